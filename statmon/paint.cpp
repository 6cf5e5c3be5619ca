#include "statmon/paint.h"

#include "framework/handles.h"
#include "framework/trace.h"
#include "statmon/string_table.h"

namespace sm {
namespace {

constexpr int kBold = 700, kThin = 100;
constexpr UINT kPlain = DT_LEFT | DT_TOP | DT_NOPREFIX;
constexpr UINT kWrapped = DT_WORDBREAK | DT_EXTERNALLEADING | DT_NOPREFIX;
constexpr UINT kOneLine = DT_SINGLELINE | DT_NOPREFIX;

// One font of the windows: "ARIAL", antialiased, selected while it lives.
class Font {
 public:
  Font(HDC dc, int height, int weight, bool underline = false, const char* face = "ARIAL")
      : font_(CreateFontA(height, 0, 0, 0, weight, FALSE, underline, FALSE, DEFAULT_CHARSET, OUT_TT_PRECIS,
                          CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face)),
        selected_(dc, font_.Get()) {}

 private:
  fw::UniqueGdiObject font_;
  fw::SelectedObject selected_;
};

std::string Str(const PaintInputs& in, const char* id) { return in.strings ? in.strings->Text(id) : std::string(); }

void Text(HDC dc, const std::string& text, int left, int top, int right, int bottom, UINT flags) {
  if (text.empty()) return;
  RECT r{left, top, right, bottom};
  DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r, flags);
}

int Width(HDC dc, const std::string& text) {
  SIZE size{};
  GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
  return size.cx;
}

// Measures the wrapped height, then draws from the top that centres it.
void CentredText(HDC dc, const std::string& text, int left, int top, int right, int bottom) {
  if (text.empty()) return;
  RECT measure{left, top, right, bottom};
  DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &measure, DT_CALCRECT | kWrapped);
  int height = measure.bottom - measure.top;
  Text(dc, text, left, top + ((bottom - top) - height) / 2, right, bottom, kWrapped | DT_VCENTER);
}

void FillRect(HDC dc, int left, int top, int right, int bottom, COLORREF colour) {
  fw::UniqueGdiObject brush(CreateSolidBrush(colour));
  RECT r{left, top, right, bottom};
  ::FillRect(dc, &r, static_cast<HBRUSH>(brush.Get()));
}

void Frame(HDC dc, const RECT& client, bool band) {
  FillRect(dc, client.left, client.top, client.right, client.bottom, RGB(255, 255, 255));
  if (band) FillRect(dc, 0, 0, kBandWidth, client.bottom, kBandColour);
  SetBkMode(dc, OPAQUE);
  SetBkColor(dc, RGB(255, 255, 255));
  SetTextColor(dc, RGB(0, 0, 0));
}

// The status text and the document below it; returns the Y of the document line.
int StatusAndDocument(HDC dc, const PaintInputs& in, int textRight, int documentHeight) {
  Font thin(dc, 15, kThin);
  int y = DisplayTextTop(Width(dc, in.statusText));
  if (y == 75) Text(dc, in.statusText, 85, 30, textRight, 77, kWrapped);
  else Text(dc, in.statusText, 85, 30, textRight, 50, kPlain);
  const std::string& d = in.displayText;
  if (!DisplayTextNeedsEllipsis(Width(dc, d))) {
    Text(dc, d, 85, y, 382, y + documentHeight, kOneLine);
  } else {
    Text(dc, d, 85, y, 377, y + documentHeight, kOneLine);
    TextOutA(dc, 378, y, "...", 3);
  }
  return y;
}

void Gauge(HDC dc, const PaintInputs& in) { DrawBitmap(dc, in.gauge, kGaugeX, kGaugeY); }

}  // namespace

int GaugeBitmapFor(const CStatus& status) {
  int level = status.GetTonerLevel();
  if (status.Byte(1) == 0) return 152;
  bool empty = status.Byte(1) == 5 && status.Byte(2) == 1;
  if (level <= 20) return (empty || level <= 5) ? 153 : 135;
  if (level <= 50) return 136;
  if (level <= 70) return 137;
  if (level <= 90) return 138;
  return 139;
}

void DrawBitmap(HDC dc, HBITMAP bitmap, int x, int y) {
  if (!bitmap) return;
  BITMAP info{};
  if (!GetObjectA(bitmap, sizeof(info), &info)) return;
  fw::MemoryDC source(dc);
  fw::SelectedObject selected(source.Get(), bitmap);
  BitBlt(dc, x, y, info.bmWidth, info.bmHeight, source.Get(), 0, 0, SRCCOPY);
}

void DrawSmallWindow(HDC dc, const RECT& client, const PaintInputs& in) {
  Frame(dc, client, true);
  DrawBitmap(dc, in.background, 0, 0);
  {
    Font bold(dc, 15, kBold);
    Text(dc, Str(in, "STSWND_LABEL_PRINTER_STATUS"), 85, 10, 382, 30, kPlain);
    Text(dc, Str(in, in.offerOrderToner ? "STSWND_LABEL_TONER_LEVEL" : "STSWND_LABEL_TONER_LOW"), 346, 31, 471, 51,
         kOneLine | DT_CENTER | DT_VCENTER);
  }
  int y = StatusAndDocument(dc, in, 346, 40);
  if (!in.offerOrderToner) {
    Font thin(dc, 15, kThin);
    SetTextColor(dc, kGuideColour);
    Text(dc, Str(in, "STSWND_STR_LOW_TONER_GUIDE"), 85, y + 50, 382, y + 90, kWrapped);
    Text(dc, Str(in, "STSWND_STR_LOW_TONER_WND_GUIDE"), 85, y + 90, 382, y + 135, kWrapped);
    SetTextColor(dc, RGB(0, 0, 0));
  }
  Gauge(dc, in);
}

void DrawBigWindow(HDC dc, const RECT& client, const PaintInputs& in) {
  // Without a status text only the empty frame shows.
  Frame(dc, client, true);
  if (in.statusText.empty()) return;
  DrawBitmap(dc, in.background, 0, 0);
  bool empty = in.status.Byte(1) == 5 && in.status.Byte(2) == 1;
  {
    Font bold(dc, 15, kBold);
    Text(dc, Str(in, "STSWND_LABEL_PRINTER_STATUS"), 85, 10, 382, 30, kPlain);
    Text(dc, Str(in, empty ? "STSWND_LABEL_TONER_EMPTY" : "STSWND_LABEL_TONER_LOW"), 346, 31, 471, 51,
         kOneLine | DT_CENTER | DT_VCENTER);
  }
  StatusAndDocument(dc, in, 344, 20);
  {
    Font thin(dc, 15, kThin);
    SetTextColor(dc, kGuideColour);
    if (in.status.Byte(1) != 5 && in.status.Byte(2) != 1)
      Text(dc, Str(in, "STSWND_STR_LOW_TONER_GUIDE"), 85, 89, 382, 119, kWrapped);
    Text(dc, Str(in, "STSWND_STR_LOW_TONER_WND_GUIDE"), 85, 119, 382, 164, kWrapped);
    SetTextColor(dc, RGB(0, 0, 0));
  }
  DrawBitmap(dc, in.own, 85, 165);
  {
    Font bold(dc, 15, kBold);
    Text(dc, Str(in, "LTWWND_CATRIDGE_AVAILABLE_INFO"), 85, 180, 455, 215, kWrapped);
  }
  {
    Font thin(dc, 15, kThin);
    CentredText(dc, Str(in, "LTWWND_STR_NOTE"), 85, 247, 455, 317);
    Text(dc, Str(in, "LTWWND_STR_TEL"), 85, 295, 455, 340, kWrapped);
  }
  Gauge(dc, in);
}

void DrawLowTonerWindow(HDC dc, const RECT& client, const PaintInputs& in) {
  Frame(dc, client, true);
  DrawBitmap(dc, in.own, 0, 0);
  {
    Font bold(dc, 16, kBold);
    Text(dc, Str(in, "LTWWND_CATRIDGE_AVAILABLE_INFO"), 85, 10, 455, 55, kWrapped);
  }
  Font thin(dc, 16, kThin);
  CentredText(dc, Str(in, "LTWWND_STR_NOTE"), 85, 68, 455, 153);
  Text(dc, Str(in, "LTWWND_STR2"), 103, 187, 295, 242, kWrapped);
}

void DrawMemOverWindow(HDC dc, const RECT& client, const PaintInputs& in) {
  Frame(dc, client, false);
  {
    Font thin(dc, 16, kThin, false, "Arial");
    Text(dc, Str(in, "MEMOVERWND_TITLE"), 10, 10, 443, 58, kWrapped);
    std::string first = Str(in, "MEMOVERWND_STR1");
    TextOutA(dc, 60, 108, first.c_str(), static_cast<int>(first.size()));
  }
  Font bold(dc, 16, kBold, false, "Arial");
  std::string second = Str(in, "MEMOVERWND_STR2");
  TextOutA(dc, 110, 145, second.c_str(), static_cast<int>(second.size()));
}

RECT MeasureOrderTonerLink(HDC dc, const CStrTableList& strings) {
  Font link(dc, 15, kThin, true);
  std::string text = strings.Text("OTCWND_VISIT_WEBSITE");
  RECT r{152, 95, 152, 95};
  if (text.empty()) return r;
  SIZE size{};
  GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
  r.right = 152 + size.cx;
  r.bottom = 95 + size.cy;
  return r;
}

void DrawOrderTonerWindow(HDC dc, const RECT& client, const PaintInputs& in, RECT* link) {
  Frame(dc, client, true);
  FillRect(dc, 85, 31, 525, 34, kBandColour);
  DrawBitmap(dc, in.background, 0, 0);
  {
    Font bold(dc, 16, kBold);
    Text(dc, Str(in, "OTCWND_TITLE"), 85, 10, 525, 30, kPlain);
  }
  {
    Font bold(dc, 15, kBold);
    Text(dc, Str(in, "LTWWND_CATRIDGE_AVAILABLE_INFO"), 85, 40, 525, 80, kPlain);
    Text(dc, Str(in, "OTCWND_STR2"), 85, 70, 525, 90, kPlain);
    Text(dc, Str(in, "OTCWND_LABEL_TEL"), 85, 165, 525, 185, kPlain);
  }
  if (in.strings && link) *link = MeasureOrderTonerLink(dc, *in.strings);
  {
    Font underlined(dc, 15, kThin, true);
    SetTextColor(dc, kLinkColour);
    Text(dc, Str(in, "OTCWND_VISIT_WEBSITE"), 152, 95, 525, 115, kPlain);
    SetTextColor(dc, RGB(0, 0, 0));
  }
  Font thin(dc, 15, kThin);
  Text(dc, Str(in, "OTCWND_STR_NOTE"), 152, 115, 525, 160, kWrapped);
  Text(dc, Str(in, "OTCWND_STR_TEL"), 152, 190, 525, 235, kWrapped);
}

COLORREF LowTonerCaptionColour(int tonerLevel) { return tonerLevel == 5 ? RGB(255, 0, 0) : RGB(255, 255, 0); }

void DrawLowTonerCaption(HWND window, HDC dc, const std::string& caption, int tonerLevel) {
  OutputDebugStringA("OnNcPaint");
  RECT w{};
  GetWindowRect(window, &w);
  int width = w.right - w.left;
  RECT bar{GetSystemMetrics(SM_CXFRAME) - GetSystemMetrics(SM_CXBORDER),
           GetSystemMetrics(SM_CYFRAME) - GetSystemMetrics(SM_CYBORDER), width - GetSystemMetrics(SM_CXFRAME),
           GetSystemMetrics(SM_CYDLGFRAME) + GetSystemMetrics(SM_CYCAPTION) - 1};
  COLORREF colour = LowTonerCaptionColour(tonerLevel);
  FillRect(dc, bar.left, bar.top, bar.right, bar.bottom, colour);
  SetBkMode(dc, OPAQUE);
  SetBkColor(dc, colour);
  SetTextColor(dc, RGB(0, 0, 0));
  {
    fw::SelectedObject font(dc, GetStockObject(DEFAULT_GUI_FONT));
    Text(dc, caption, bar.left + 2, bar.top + 2, bar.right, bar.bottom, kPlain);
  }
  int cx = GetSystemMetrics(SM_CXSIZE), cy = GetSystemMetrics(SM_CYSIZE);
  RECT box{bar.right - cx + 1, 3, bar.right + 1, 3 + cy};
  box.right -= 2;
  box.top += 2;
  box.bottom -= 2;
  DrawFrameControl(dc, &box, DFC_CAPTION, DFCS_CAPTIONCLOSE);
}

}  // namespace sm
