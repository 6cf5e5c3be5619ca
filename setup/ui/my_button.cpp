// CMyButton (a platform push button) and CMyBitmap.
#include <vector>

#include "setup/engine/wizard_page.h"
#include "setup/ui/my_controls.h"
#include "setup/ui/skin_bitmap.h"
#include "setup/ui/ui_rules.h"

namespace ui {

bool CMyButton::Create(HWND page, ObjectRecord* record) {
  page_ = page;
  record_ = record;
  bool autoSize = !(record->width && record->height);
  RECT rect{record->x, record->y, record->x + (autoSize ? 10 : record->width),
            record->y + (autoSize ? 10 : record->height)};
  requestX_ = record->x;
  requestY_ = record->y;
  if (!CreateControl("BUTTON", record->name.c_str(), WS_CHILD | BS_PUSHBUTTON, 0, rect, page, 0)) return false;
  SendMessageA(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(PageFont(page)), FALSE);
  return true;
}

void CMyButton::SetFont(const LOGFONTA& font) {
  LOGFONTA copy = font;
  copy.lfFaceName[LF_FACESIZE - 1] = '\0';
  font_.Reset(CreateFontIndirectA(&copy));
  if (hwnd_ && font_) SendMessageA(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), TRUE);
}

void CMyButton::AutoSize() {
  if (!hwnd_) return;
  std::string text = text_;
  if (text.empty()) {
    char buffer[4096] = {};
    GetWindowTextA(hwnd_, buffer, sizeof(buffer));
    text = buffer;
  }
  fw::WindowDC dc(hwnd_);
  fw::SelectedObject font(dc.Get(), font_ ? static_cast<HFONT>(font_.Get()) : PageFont(page_));
  int widest = 0, height = 0;
  size_t start = 0;
  while (true) {
    size_t end = text.find("\r\n", start);
    std::string line = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
    SIZE size{0, 0};
    if (line.empty()) {
      TEXTMETRICA metrics{};
      GetTextMetricsA(dc.Get(), &metrics);
      size.cy = metrics.tmHeight;
    } else {
      GetTextExtentPoint32A(dc.Get(), line.c_str(), static_cast<int>(line.size()), &size);
    }
    widest = size.cx > widest ? size.cx : widest;
    height += size.cy;
    if (end == std::string::npos) break;
    start = end + 2;
  }
  RECT now{};
  GetWindowRect(hwnd_, &now);
  MapWindowPoints(nullptr, GetParent(hwnd_), reinterpret_cast<POINT*>(&now), 2);
  int x = requestX_ == -1 ? now.left : requestX_;
  int y = requestY_ == -1 ? now.top : requestY_;
  SetWindowPos(hwnd_, nullptr, x, y, widest + 10, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

bool CMyButton::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  if (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) tooltip_.Relay(hwnd_, message, wParam, lParam);
  switch (message) {
    case WM_MOUSEMOVE:
      if (!tracking_) {
        TRACKMOUSEEVENT track{sizeof(track), TME_HOVER | TME_LEAVE, hwnd_, 1};
        tracking_ = TrackMouseEvent(&track) != FALSE;
      }
      return false;
    case WM_MOUSEHOVER:
      underMouse_ = tracking_ = true;
      return false;
    case WM_MOUSELEAVE:
      underMouse_ = tracking_ = false;
      return false;
    case WM_LBUTTONUP:
      // Only a release over the button is a click; the keyboard never is.
      if (underMouse_ && record_ && record_->HasCommand() && page_) {
        PostMessageA(page_, engine::kCommandMessage, 0, reinterpret_cast<LPARAM>(&record_->command));
      }
      return false;
    case WM_SETCURSOR:
      if (HandCursor()) {
        SetCursor(HandCursor());
        *result = TRUE;
        return true;
      }
      return false;
    default:
      return false;
  }
}

bool CMyBitmap::Create(HWND page, ObjectRecord* record, CUtl* log) {
  log_ = log;
  name_ = record->name;
  transparent_ = record->transparent;
  transparentColour_ = record->transColor;
  if (!CreateControl("STATIC", "", WS_CHILD | WS_VISIBLE, 0, RECT{0, 0, 100, 100}, page, kObjectControlId)) {
    return false;
  }
  fw::UniqueGdiObject bitmap = LoadSkinBitmap(name_);
  if (!bitmap) {
    if (log_) log_->WriteLog(0, "[CMyBitmap] bitmap not found!! (%s)\n", name_.c_str());
    return true;
  }
  SIZE size = BitmapSize(static_cast<HBITMAP>(bitmap.Get()));
  SetWindowPos(hwnd_, nullptr, record->x, record->y, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
  return true;
}

void CMyBitmap::Paint(HDC dc) {
  fw::UniqueGdiObject bitmap = LoadSkinBitmap(name_);
  if (!bitmap) return;
  RECT client{};
  GetClientRect(hwnd_, &client);
  HBITMAP handle = static_cast<HBITMAP>(bitmap.Get());
  if (transparent_) DrawTransparent(dc, 0, 0, client.right, client.bottom, handle, transparentColour_);
  else DrawBitmap(dc, 0, 0, client.right, client.bottom, handle);
}

bool CMyBitmap::OnMessage(UINT message, WPARAM wParam, LPARAM, LRESULT* result) {
  if (message != WM_PAINT && message != WM_PRINTCLIENT) return false;
  fw::UniqueGdiObject probe = LoadSkinBitmap(name_);
  if (!probe) {
    if (log_) log_->WriteLog(0, "[CMyBitmap] Load bitmap Error!! (%s)\n", name_.c_str());
    return false;  // the platform's default painting
  }
  probe.Reset();
  if (message == WM_PAINT) {
    fw::PaintDC dc(hwnd_);
    Paint(dc.Get());
  } else {
    Paint(reinterpret_cast<HDC>(wParam));
  }
  *result = 0;
  return true;
}

}  // namespace ui
