// The low-toner and memory-overflow windows.
#include "framework/controls.h"
#include "framework/trace.h"
#include "statmon/app.h"
#include "statmon/messages.h"
#include "statmon/status_dialogs.h"

namespace {

constexpr DWORD kDialogStyle = DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU;

}  // namespace

// Low-toner window.

fw::DialogTemplate CLowTonerDlg::Template() const {
  fw::DialogTemplate t("Low Toner Warning", kDialogStyle, 0, 0, 320, 170, RtlStyle(), "Arial", 9);
  t.Add(0x80, "Close", IDCANCEL, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 200, 130, 110, 16);
  t.Add(0x80, "Order Toner Online", sm::kIdOrderOnline, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 180, 20,
        130, 16);
  t.Add(0x80, "", sm::kIdNotAgain, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX, 56, 125, 9, 9);
  t.Add(0x85, "", sm::kIdCountry, WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 56, 100, 200, 120,
        ComboStyle());
  return t;
}

bool CLowTonerDlg::OnInitDialog() {
  created_ = true;
  bitmap_.Reset(LoadBitmapA(app_.Instance(), MAKEINTRESOURCEA(sm::kBitmapLowToner)));
  PlaceItem(sm::kIdOrderOnline, 274, 35, 199, 27);
  SetItemText(sm::kIdOrderOnline, "LTWWND_BTN_ORDER_TONER_ONLINE");
  PlaceItem(IDCANCEL, 302, 198, 166, 27);
  SetItemText(IDCANCEL, "COMMON_BTN_CLOSE");
  PlaceItem(sm::kIdCountry, 85, 158, 295, 22 + 160);
  PlaceItem(sm::kIdNotAgain, 85, 192, 13, 13);
  SetTitle(app_.Strings().Text("LTWWND_CAPTION"));
  FillCountries(sm::kIdCountry);
  return false;
}

void CLowTonerDlg::OnDestroy() {
  CSmDialog::OnDestroy();
  bitmap_.Reset();
}

bool CLowTonerDlg::OnCommand(WORD id, WORD code, HWND) {
  if (id == sm::kIdOrderOnline) {
    host_.ShowOrderTonerWindow();
  } else if (id == sm::kIdCountry && code == CBN_SELCHANGE) {
    TakeCountry(sm::kIdCountry);
  } else if (id == IDCANCEL) {
    if (fw::Button(hwnd_, sm::kIdNotAgain).IsChecked()) host_.OnLowTonerNotAgain();
    Hide();
  }
  return true;
}

bool CLowTonerDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  switch (message) {
    case WM_NCPAINT:
      *result = DefWindowProcA(hwnd_, message, wParam, lParam);
      DrawCaption();
      return true;
    case WM_NCACTIVATE:
      DefWindowProcA(hwnd_, message, wParam, lParam);
      DrawCaption();
      *result = TRUE;
      return true;
    default:
      return CSmDialog::OnMessage(message, wParam, lParam, result);
  }
}

void CLowTonerDlg::DrawCaption() {
  HDC dc = GetWindowDC(hwnd_);
  if (!dc) return;
  sm::DrawLowTonerCaption(hwnd_, dc, app_.Strings().Text("LTWWND_CAPTION"), app_.currentStatus.GetTonerLevel());
  ReleaseDC(hwnd_, dc);
}

void CLowTonerDlg::Paint(HDC dc, const RECT& client) {
  sm::PaintInputs in = Inputs();
  in.own = static_cast<HBITMAP>(bitmap_.Get());
  sm::DrawLowTonerWindow(dc, client, in);
}

// Memory-overflow window.

fw::DialogTemplate CMemOverDlg::Template() const {
  fw::DialogTemplate t("Insufficient Memory Error", kDialogStyle, 0, 0, 320, 140, RtlStyle(), "Arial", 9);
  t.Add(0x80, "Print", sm::kIdMemPrint, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 120, 100, 80, 16);
  t.Add(0x80, "Cancel", sm::kIdMemCancel, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 220, 100, 80, 16);
  return t;
}

bool CMemOverDlg::OnInitDialog() {
  created_ = true;
  SetTitle(app_.Strings().Text("MEMOVERWND_CAPTION"));
  SetWindowPos(hwnd_, nullptr, GetSystemMetrics(SM_CXSCREEN) / 2 - 240, GetSystemMetrics(SM_CYSCREEN) / 2 - 115, 480,
               230, SWP_NOZORDER | SWP_NOACTIVATE);
  PlaceItem(sm::kIdMemPrint, 185, 160, 120, 27);
  SetItemText(sm::kIdMemPrint, "COMMON_BTN_OK");
  PlaceItem(sm::kIdMemCancel, 330, 160, 120, 27);
  SetItemText(sm::kIdMemCancel, "COMMON_BTN_CANCEL");
  return false;
}

bool CMemOverDlg::OnCommand(WORD id, WORD, HWND) {
  if (id == sm::kIdMemPrint || id == sm::kIdMemCancel || id == IDCANCEL) {
    Hide();
    host_.OnMemOverAnswered(id);
  }
  return true;  // Enter (IDOK) does nothing
}

void CMemOverDlg::Paint(HDC dc, const RECT& client) { sm::DrawMemOverWindow(dc, client, Inputs()); }
