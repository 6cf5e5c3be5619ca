// CMyStatic and CMyLink: labels and links drawn by us.
#include <windowsx.h>

#include "setup/engine/wizard_page.h"
#include "setup/ui/my_controls.h"
#include "setup/ui/skin_bitmap.h"
#include "setup/ui/ui_rules.h"

namespace ui {

HCURSOR HandCursor() {
  static HCURSOR cursor = [] {
    HCURSOR own = LoadCursorA(GetModuleHandleA(nullptr), kHandCursor);
    return own ? own : LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_HAND));
  }();
  return cursor;
}

HFONT PageFont(HWND page) {
  HFONT font = page ? reinterpret_cast<HFONT>(SendMessageA(page, WM_GETFONT, 0, 0)) : nullptr;
  return font ? font : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

bool CMyStatic::Create(HWND page, ObjectRecord* record, DWORD extraStyle) {
  page_ = page;
  record_ = record;
  bool autoSize = !(record->width && record->height);
  RECT rect{record->x, record->y, record->x + (autoSize ? 10 : record->width),
            record->y + (autoSize ? 10 : record->height)};
  requestX_ = record->x;
  requestY_ = record->y;
  return CreateControl("STATIC", record->name.c_str(), WS_CHILD | WS_TABSTOP | SS_NOTIFY | extraStyle, 0, rect, page,
                       kObjectControlId);
}

void CMyStatic::SetFont(const LOGFONTA& font) {
  LOGFONTA copy = font;
  copy.lfFaceName[LF_FACESIZE - 1] = '\0';
  font_.Reset(CreateFontIndirectA(&copy));
  if (hwnd_) InvalidateRect(hwnd_, nullptr, TRUE);
}

void CMyStatic::SetColours(COLORREF rest, COLORREF hover, COLORREF disabled) {
  rest_ = rest;
  hover_ = hover;
  disabled_ = disabled;
}

HFONT CMyStatic::DrawingFont() const { return font_ ? static_cast<HFONT>(font_.Get()) : PageFont(page_); }

std::string CMyStatic::DrawnText() const {
  if (!text_.empty()) return text_;
  char buffer[4096] = {};
  if (hwnd_) GetWindowTextA(hwnd_, buffer, sizeof(buffer));
  return buffer;
}

SIZE CMyStatic::MeasureText() const {
  std::string text = DrawnText();
  if (text.empty() || !hwnd_) return SIZE{0, 0};
  fw::WindowDC dc(hwnd_);
  fw::SelectedObject font(dc.Get(), DrawingFont());
  // Word-broken measurement with room for the whole line: explicit line
  // breaks count, a line is not broken merely because the control is small.
  RECT rect{0, 0, kMaxCoordinate, 0};
  DrawTextA(dc.Get(), text.c_str(), -1, &rect, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
  return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

void CMyStatic::ApplySize(SIZE size) {
  if (!hwnd_) return;
  RECT now{};
  GetWindowRect(hwnd_, &now);
  MapWindowPoints(nullptr, GetParent(hwnd_), reinterpret_cast<POINT*>(&now), 2);
  int x = requestX_ == -1 ? now.left : requestX_;
  int y = requestY_ == -1 ? now.top : requestY_;
  SetWindowPos(hwnd_, nullptr, x, y, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
  sized_ = true;
}

void CMyStatic::AutoSize() { ApplySize(MeasureText()); }

void CMyStatic::Repaint() {
  if (!hwnd_) return;
  HWND parent = GetParent(hwnd_);
  if (!parent) {
    InvalidateRect(hwnd_, nullptr, TRUE);
    return;
  }
  RECT rect{};
  GetWindowRect(hwnd_, &rect);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
  RedrawWindow(parent, &rect, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void CMyStatic::Paint(HDC dc) {
  RECT client{};
  GetClientRect(hwnd_, &client);
  std::string text = DrawnText();
  if (text.empty()) return;
  fw::SelectedObject font(dc, DrawingFont());
  COLORREF oldColour = SetTextColor(dc, rest_);
  int oldMode = SetBkMode(dc, TRANSPARENT);
  DrawTextA(dc, text.c_str(), -1, &client, DT_WORDBREAK | DT_NOPREFIX);
  SetBkMode(dc, oldMode);
  SetTextColor(dc, oldColour);
}

bool CMyStatic::OnMessage(UINT message, WPARAM wParam, LPARAM, LRESULT* result) {
  switch (message) {
    case WM_PAINT: {
      fw::PaintDC dc(hwnd_);
      Paint(dc.Get());
      *result = 0;
      return true;
    }
    case WM_PRINTCLIENT:
      Paint(reinterpret_cast<HDC>(wParam));
      *result = 0;
      return true;
    case WM_ERASEBKGND:  // the page's background shows through
      *result = 1;
      return true;
    default:
      return false;
  }
}

CMyLink::CMyLink() { SetColours(RGB(0, 0, 255), RGB(255, 0, 0), RGB(128, 128, 128)); }

void CMyLink::SetBitmaps(const std::string& rest, const std::string& hover, const std::string& pressed,
                         COLORREF transparent) {
  restBitmap_ = rest;
  hoverBitmap_ = hover;
  pressedBitmap_ = pressed;
  transparent_ = transparent;
}

std::string CMyLink::StateBitmap() const {
  if (!useBitmaps_) return std::string();
  if (!underMouse_) return restBitmap_;
  return pressed_ ? pressedBitmap_ : hoverBitmap_;
}

COLORREF CMyLink::TextColour() const {
  if (unsupported_) return disabled_;
  return underMouse_ ? hover_ : rest_;
}

void CMyLink::AutoSize() {
  SIZE text = MeasureText();
  SIZE bitmap{0, 0};
  if (useBitmaps_) {
    fw::UniqueGdiObject rest = LoadSkinBitmap(restBitmap_);
    if (rest) bitmap = BitmapSize(static_cast<HBITMAP>(rest.Get()));
    else useBitmaps_ = false;
  }
  ApplySize(ui::AutoSize(text, useBitmaps_, bitmap));
}

void CMyLink::Paint(HDC dc) {
  RECT client{};
  GetClientRect(hwnd_, &client);
  int textLeft = client.left;
  if (useBitmaps_) {
    fw::UniqueGdiObject rest = LoadSkinBitmap(restBitmap_);
    if (!rest) {
      useBitmaps_ = false;
    } else {
      SIZE size = BitmapSize(static_cast<HBITMAP>(rest.Get()));
      fw::UniqueGdiObject state = LoadSkinBitmap(StateBitmap());
      HBITMAP drawn = static_cast<HBITMAP>(state ? state.Get() : rest.Get());
      int top = client.top + ((client.bottom - client.top) - size.cy) / 2;
      DrawTransparent(dc, client.left, top, size.cx, size.cy, drawn, transparent_);
      textLeft = client.left + size.cx + 10;
    }
  }
  std::string text = DrawnText();
  if (text.empty()) return;
  fw::SelectedObject font(dc, DrawingFont());
  COLORREF oldColour = SetTextColor(dc, TextColour());
  int oldMode = SetBkMode(dc, TRANSPARENT);
  RECT area{textLeft, client.top, client.right, client.bottom};
  if (useBitmaps_) {
    // Vertically centred beside the bitmap.
    RECT measure{0, 0, area.right - area.left, 0};
    DrawTextA(dc, text.c_str(), -1, &measure, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    int h = measure.bottom - measure.top;
    area.top = client.top + ((client.bottom - client.top) - h) / 2;
    area.bottom = area.top + h;
  }
  DrawTextA(dc, text.c_str(), -1, &area, DT_WORDBREAK | DT_NOPREFIX);
  SetBkMode(dc, oldMode);
  SetTextColor(dc, oldColour);
}

bool CMyLink::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  if (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) tooltip_.Relay(hwnd_, message, wParam, lParam);
  switch (message) {
    case WM_MOUSEMOVE:
      if (!unsupported_ && !tracking_) {
        TRACKMOUSEEVENT track{sizeof(track), TME_HOVER | TME_LEAVE, hwnd_, 1};
        tracking_ = TrackMouseEvent(&track) != FALSE;
      }
      *result = 0;
      return true;
    case WM_MOUSEHOVER:
      underMouse_ = true;
      tracking_ = true;
      if (!description_.empty() && page_) {
        SendMessageA(page_, engine::kDescriptionMessage, 0, reinterpret_cast<LPARAM>(description_.c_str()));
      }
      Repaint();
      *result = 0;
      return true;
    case WM_MOUSELEAVE:
      tracking_ = underMouse_ = pressed_ = false;
      Repaint();
      *result = 0;
      return true;
    case WM_LBUTTONDOWN:
      pressed_ = true;
      Repaint();
      *result = 0;
      return true;
    case WM_LBUTTONUP:
      pressed_ = false;
      if (record_ && record_->HasCommand() && page_ && !unsupported_) {
        PostMessageA(page_, engine::kCommandMessage, 0, reinterpret_cast<LPARAM>(&record_->command));
      }
      Repaint();
      *result = 0;
      return true;
    case WM_SETCURSOR:
      if (!unsupported_ && HandCursor()) {
        SetCursor(HandCursor());
        *result = TRUE;
        return true;
      }
      return false;
    default:
      return CMyStatic::OnMessage(message, wParam, lParam, result);
  }
}

}  // namespace ui
