#include "statmon/status_dialogs.h"

#include "framework/trace.h"
#include "statmon/app.h"
#include "statmon/country_combo.h"
#include "statmon/messages.h"

namespace {

constexpr DWORD kDialogStyle = DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU;

}  // namespace

bool CSmDialog::Open() { return CreateModeless(Template(), nullptr); }

DWORD CSmDialog::RtlStyle() const { return app_.LeftToRight() ? 0 : WS_EX_LAYOUTRTL; }
DWORD CSmDialog::ComboStyle() const { return app_.LeftToRight() ? 0 : WS_EX_RIGHT; }

void CSmDialog::ShowNoActivate(const sm::Placement* place) {
  if (!hwnd_) return;
  if (place) SetWindowPos(hwnd_, nullptr, place->x, place->y, place->cx, place->cy, SWP_NOZORDER | SWP_NOACTIVATE);
  visible_ = true;
  OnShown(true);
  ShowWindow(hwnd_, SW_SHOWNOACTIVATE);
}

void CSmDialog::Hide() {
  if (!hwnd_) return;
  visible_ = false;
  ShowWindow(hwnd_, SW_HIDE);
}

void CSmDialog::Repaint() const {
  if (hwnd_) InvalidateRect(hwnd_, nullptr, TRUE);
}

sm::PaintInputs CSmDialog::Inputs() const {
  sm::PaintInputs in;
  in.strings = &app_.Strings();
  in.status = app_.currentStatus;
  std::string id = in.status.GetStatusStringIDFromStatus(app_.StatusTable());
  if (id.empty()) id = "SM_NONDEFINED_ERROR_SHORT";
  in.statusText = app_.Strings().Text(id);
  in.displayText = app_.jobInfo.displayText;
  in.background = app_.BackgroundBitmap();
  in.gauge = app_.GaugeBitmap(sm::GaugeBitmapFor(in.status));
  return in;
}

bool CSmDialog::OnMessage(UINT message, WPARAM wParam, LPARAM, LRESULT* result) {
  switch (message) {
    case WM_PAINT: {
      fw::PaintDC dc(hwnd_);
      RECT client{};
      GetClientRect(hwnd_, &client);
      if (IsIconic(hwnd_)) {
        HICON icon = reinterpret_cast<HICON>(GetClassLongPtrA(hwnd_, GCLP_HICON));
        if (icon) DrawIcon(dc.Get(), (client.right - GetSystemMetrics(SM_CXICON) + 1) / 2,
                           (client.bottom - GetSystemMetrics(SM_CYICON) + 1) / 2, icon);
      } else {
        Paint(dc.Get(), client);
      }
      *result = 0;
      return true;
    }
    case WM_PRINTCLIENT: {
      RECT client{};
      GetClientRect(hwnd_, &client);
      Paint(reinterpret_cast<HDC>(wParam), client);
      *result = 0;
      return true;
    }
    case WM_ERASEBKGND:
      *result = 1;  // the painting covers the whole client area
      return true;
    case WM_SHOWWINDOW:
      visible_ = wParam != 0;
      return false;
    default:
      return false;
  }
}

void CSmDialog::OnDestroy() {
  created_ = false;
  visible_ = false;
}

void CSmDialog::PlaceItem(int id, int x, int y, int cx, int cy) const {
  if (HWND item = Item(id)) MoveWindow(item, x, y, cx, cy, FALSE);
}

void CSmDialog::SetItemText(int id, const char* stringId) const {
  std::string text;
  if (app_.Strings().Lookup(stringId, &text)) SetWindowTextA(Item(id), text.c_str());
}

void CSmDialog::SetTitle(const std::string& text) const {
  if (!text.empty()) SetWindowTextA(hwnd_, text.c_str());
}

void CSmDialog::FillCountries(int id) const {
  sm::ProcessCountry(Item(id), app_.Countries(), app_.CountryNames(), app_.Strings().Text("OTCWND_STR_CONTACT"),
                     app_.CountryLcid());
}

void CSmDialog::TakeCountry(int id) const {
  uint32_t lcid = 0;
  if (sm::SelectedCountry(Item(id), app_.Countries(), &lcid)) app_.SetCountryLcid(lcid);
}

// Small window.

fw::DialogTemplate CMFPSMDlg::Template() const {
  fw::DialogTemplate t("Vexa Laser Printer Status Monitor", kDialogStyle | WS_MINIMIZEBOX, 0, 0, 320, 160,
                       WS_EX_APPWINDOW | RtlStyle(), "Arial", 9);
  t.Add(0x80, "Order Toner", sm::kIdOrderToner, WS_CHILD | WS_TABSTOP | BS_PUSHBUTTON, 180, 120, 120, 16);
  return t;
}

bool CMFPSMDlg::OnInitDialog() {
  created_ = true;
  SetTitle(app_.Config().caption);
  PlaceItem(sm::kIdOrderToner, 278, 193, 192, 27);
  SetItemText(sm::kIdOrderToner, "STSWND_BTN_ORDER_TONER");
  ShowWindow(Item(sm::kIdOrderToner), offer_ ? SW_SHOWNA : SW_HIDE);
  return false;  // no focus: the window comes up without activation
}

void CMFPSMDlg::OnShown(bool show) {
  if (show) ShowWindow(Item(sm::kIdOrderToner), offer_ ? SW_SHOWNA : SW_HIDE);
}

bool CMFPSMDlg::OnCommand(WORD id, WORD, HWND) {
  if (id == sm::kIdOrderToner) host_.ShowOrderTonerWindow();
  else if (id == IDCANCEL) Hide();
  return true;
}

void CMFPSMDlg::Paint(HDC dc, const RECT& client) {
  sm::PaintInputs in = Inputs();
  in.offerOrderToner = offer_;
  sm::DrawSmallWindow(dc, client, in);
}

// Large window.

fw::DialogTemplate CSMBigDlg::Template() const {
  fw::DialogTemplate t("Vexa Laser Printer Status Monitor", kDialogStyle, 0, 0, 320, 236, RtlStyle(), "Arial", 9);
  t.Add(0x80, "Order Toner", sm::kIdOrderToner, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 160, 130, 150,
        16);
  t.Add(0x85, "", sm::kIdCountry, WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN, 56, 200, 230, 120,
        ComboStyle());
  return t;
}

bool CSMBigDlg::OnInitDialog() {
  created_ = true;
  SetTitle(app_.Config().caption);
  PlaceItem(sm::kIdOrderToner, 240, 215, 228, 27);
  SetItemText(sm::kIdOrderToner, "LTWWND_BTN_ORDER_TONER_ONLINE");
  PlaceItem(sm::kIdCountry, 85, 325, 345, 22 + 160);  // the drop-down list below the box
  FillCountries(sm::kIdCountry);
  bitmap_.Reset(LoadBitmapA(app_.Instance(), MAKEINTRESOURCEA(sm::kBitmapCartridgeRule)));
  SetWindowLongA(hwnd_, GWL_EXSTYLE, GetWindowLongA(hwnd_, GWL_EXSTYLE) | WS_EX_APPWINDOW);
  return false;
}

void CSMBigDlg::OnDestroy() {
  CSmDialog::OnDestroy();
  bitmap_.Reset();
}

bool CSMBigDlg::OnCommand(WORD id, WORD code, HWND) {
  if (id == sm::kIdOrderToner) {
    qx::Trace("ordertonerdlg ShowWindow(show) <== ordertonerbutton");
    host_.ShowOrderTonerWindow();
  } else if (id == sm::kIdCountry && code == CBN_SELCHANGE) {
    TakeCountry(sm::kIdCountry);
  } else if (id == IDCANCEL) {
    Hide();
  }
  return true;
}

void CSMBigDlg::Paint(HDC dc, const RECT& client) {
  sm::PaintInputs in = Inputs();
  in.own = static_cast<HBITMAP>(bitmap_.Get());
  sm::DrawBigWindow(dc, client, in);
}
