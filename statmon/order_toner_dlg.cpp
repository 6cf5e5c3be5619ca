#include "statmon/order_toner_dlg.h"

#include <vector>

#include "framework/trace.h"
#include "statmon/app.h"
#include "statmon/country_combo.h"
#include "statmon/device_link.h"
#include "statmon/messages.h"
#include "statmon/order_url.h"

namespace sm {

std::string GetDefaultWebBrowser() {
  fw::UniqueRegKey key;
  char value[256] = {};
  DWORD size = 255, type = 0;
  if (RegOpenKeyExA(HKEY_CLASSES_ROOT, "http\\shell\\open\\command", 0, KEY_READ, key.Put()) != ERROR_SUCCESS ||
      RegQueryValueExA(key.Get(), nullptr, nullptr, &type, reinterpret_cast<BYTE*>(value), &size) != ERROR_SUCCESS ||
      (type != REG_SZ && type != REG_EXPAND_SZ)) {
    qx::Trace("GetDefaultWebBrowser fail");
    return std::string();
  }
  return std::string(value, strnlen(value, size));
}

bool LaunchOrderUrl(const std::string& url) {
  std::string line = BrowserCommandLine(GetDefaultWebBrowser(), url);
  if (line.empty()) return false;
  std::vector<char> buffer(line.begin(), line.end());
  buffer.push_back('\0');
  STARTUPINFOA si{};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi{};
  if (!CreateProcessA(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
    qx::Trace("explorer launch fail.. GetLastError() = %lu", GetLastError());
    return false;
  }
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return true;
}

}  // namespace sm

fw::DialogTemplate COrderTonerDlg::Template() const {
  fw::DialogTemplate t("Vexa Laser Printer - Supplies Order",
                       DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 0, 0, 360, 200, RtlStyle(),
                       "Arial", 8);
  t.Add(0x80, "Close", IDCANCEL, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 270, 170, 66, 16);
  t.Add(0x82, "", sm::kIdPicturePhone, WS_CHILD | WS_VISIBLE | SS_BITMAP, 66, 124, 20, 20);
  t.Add(0x82, "", sm::kIdPictureWeb, WS_CHILD | WS_VISIBLE | SS_BITMAP, 63, 60, 20, 20);
  t.Add(0x85, "", sm::kIdCountry, WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 100, 150, 230,
        120, ComboStyle());
  return t;
}

bool COrderTonerDlg::OnInitDialog() {
  qx::Trace("Enter COrderTonerDlg initdialog");
  created_ = true;
  SetWindowPos(hwnd_, nullptr, GetSystemMetrics(SM_CXSCREEN) / 2 - 270, GetSystemMetrics(SM_CYSCREEN) / 2 - 192, 540,
               322, SWP_NOZORDER | SWP_NOACTIVATE);
  web_.Reset(LoadBitmapA(app_.Instance(), MAKEINTRESOURCEA(sm::kBitmapWeb)));
  phone_.Reset(LoadBitmapA(app_.Instance(), MAKEINTRESOURCEA(sm::kBitmapPhone)));
  SendMessageA(Item(sm::kIdPictureWeb), STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(web_.Get()));
  SendMessageA(Item(sm::kIdPicturePhone), STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(phone_.Get()));
  SetWindowPos(Item(sm::kIdPictureWeb), nullptr, 95, 90, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  SetWindowPos(Item(sm::kIdPicturePhone), nullptr, 100, 186, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  PlaceItem(IDCANCEL, 405, 260, 100, 25);
  PlaceItem(sm::kIdCountry, 152, 230, 345, 22 + 160);
  SetTitle(app_.Strings().Text("OTCWND_CAPTION"));
  SetItemText(IDCANCEL, "COMMON_BTN_CLOSE");
  FillCountries(sm::kIdCountry);
  {
    // The link is known before the first paint, so a click always finds it.
    fw::WindowDC dc(hwnd_);
    link_ = sm::MeasureOrderTonerLink(dc.Get(), app_.Strings());
  }
  ReadServiceTag();
  qx::Trace("$$$$$$$ servicetag(%s)", serviceTag_.c_str());
  return false;
}

void COrderTonerDlg::OnDestroy() {
  CSmDialog::OnDestroy();
  web_.Reset();
  phone_.Reset();
}

void COrderTonerDlg::ReadServiceTag() {
  unsigned char tag[9] = {};
  if (host_.Device().GetServiceTagData(tag)) serviceTag_.assign(reinterpret_cast<char*>(tag), strnlen(reinterpret_cast<char*>(tag), 8));
}

void COrderTonerDlg::ShowWindowAndSelect(bool show) {
  qx::Trace("Enter OrderTonerDlg's ShowWindow bShow(%d)", show ? 1 : 0);
  if (!hwnd_) return;
  visible_ = show;
  ShowWindow(hwnd_, show ? SW_SHOW : SW_HIDE);
  sm::SelectCountry(Item(sm::kIdCountry), app_.Countries(), app_.Strings().Text("OTCWND_STR_CONTACT"),
                    app_.CountryLcid());
}

void COrderTonerDlg::BringToForeground() {
  if (!hwnd_) return;
  SetWindowPos(hwnd_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  SetWindowPos(hwnd_, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  if (IsIconic(hwnd_)) {
    qx::Trace("Restore");
    ShowWindow(hwnd_, SW_RESTORE);
  }
  DWORD own = GetCurrentThreadId();
  HWND foreground = GetForegroundWindow();
  DWORD other = foreground ? GetWindowThreadProcessId(foreground, nullptr) : own;
  if (other != own) AttachThreadInput(other, own, TRUE);
  SetForegroundWindow(hwnd_);
  if (other != own) AttachThreadInput(other, own, FALSE);
  InvalidateRect(hwnd_, nullptr, TRUE);
}

bool COrderTonerDlg::InLink(POINT p) const {
  return p.x >= link_.left && p.x <= link_.right && p.y >= link_.top && p.y <= link_.bottom;
}

bool COrderTonerDlg::OnCommand(WORD id, WORD code, HWND) {
  if (id == IDCANCEL) {
    qx::Trace("ordertonerdlg ShowWindow (hide) <== oncancel");
    ShowWindowAndSelect(false);
    host_.OnOrderTonerClosed();
  } else if (id == IDOK) {
    qx::Trace("OK pressed");
  } else if (id == sm::kIdCountry && code == CBN_SELCHANGE) {
    TakeCountry(sm::kIdCountry);
  }
  return true;
}

bool COrderTonerDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  switch (message) {
    case WM_SETCURSOR: {
      POINT p{};
      GetCursorPos(&p);
      ScreenToClient(hwnd_, &p);
      if (reinterpret_cast<HWND>(wParam) != hwnd_ || !InLink(p)) return false;
      SetCursor(LoadCursorA(app_.Instance(), MAKEINTRESOURCEA(sm::kCursorLink)));
      *result = TRUE;
      return true;
    }
    case WM_LBUTTONDOWN: {
      POINT p{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
      if (!InLink(p)) return false;
      OnLinkClicked();
      *result = 0;
      return true;
    }
    default:
      return CSmDialog::OnMessage(message, wParam, lParam, result);
  }
}

std::string COrderTonerDlg::CurrentOrderUrl() {
  ReadServiceTag();
  CStatus fresh;
  host_.Device().OnGetStatusForOrderToner(&fresh);
  qx::Trace("StatusInfo.GetTonerLevel() (%d)", fresh.GetTonerLevel());
  const CStatus& current = app_.currentStatus;
  sm::TonerState toner = sm::ChooseTonerState({fresh.Byte(6), fresh.Byte(5)}, {current.Byte(6), current.Byte(5)});
  qx::Trace("tonersize(%d), tonerlevel(%d)", toner.size, toner.level);
  return sm::BuildOrderUrl(app_.Config().tonerLink, app_.CountryLcid(), serviceTag_, app_.Config().linkModel, toner);
}

void COrderTonerDlg::OnLinkClicked() {
  qx::Trace("Enter OnLButtonDown");
  HCURSOR previous = SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_WAIT)));
  sm::LaunchOrderUrl(CurrentOrderUrl());
  SetCursor(previous);
}

void COrderTonerDlg::Paint(HDC dc, const RECT& client) { sm::DrawOrderTonerWindow(dc, client, Inputs(), &link_); }
