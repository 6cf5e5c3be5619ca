#include "setup/pages/license_dlg.h"

#include <algorithm>

#include "framework/handles.h"

namespace pages {

std::string CLicenseDlg::ShownText(std::string bytes) {
  std::replace(bytes.begin(), bytes.end(), '\0', ' ');
  return bytes;
}

void CLicenseDlg::CreateFixedControls() {
  edit_ = ui::CreateFixedControl(hwnd_, "EDIT",
                                 ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_VSCROLL | WS_TABSTOP | WS_BORDER, 0,
                                 kEditId);
  ok_ = ui::CreateFixedControl(hwnd_, "BUTTON", BS_DEFPUSHBUTTON | WS_TABSTOP, 0, kOkId);
  // No limit but memory: the whole file is shown.
  SendMessageA(edit_, EM_LIMITTEXT, 0, 0);
}

bool CLicenseDlg::ReadLicense(const std::string& path, std::string* text) {
  fw::UniqueFile file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.Get(), &size) || size.QuadPart <= 0) return false;
  if (size.QuadPart > 0x7FFFFFFF) {
    log_.WriteLog(0, "[CLicenseDlg] Licence file too large (%s)\n", path.c_str());
    return false;
  }
  std::string bytes;
  try {
    bytes.resize(static_cast<size_t>(size.QuadPart));
  } catch (...) {
    log_.WriteLog(0, "[CLicenseDlg] Allocate memory for the licence text fail (%s)\n", path.c_str());
    return false;
  }
  DWORD read = 0;
  size_t total = 0;
  while (total < bytes.size() &&
         ReadFile(file.Get(), &bytes[total], static_cast<DWORD>(std::min<size_t>(bytes.size() - total, 1 << 20)), &read,
                  nullptr) &&
         read > 0) {
    total += read;
  }
  bytes.resize(total);
  *text = ShownText(std::move(bytes));
  return true;
}

bool CLicenseDlg::InitPage() {
  const std::string section = LoadedSection();
  SetWindowTextA(edit_, "");
  std::string file = config_.DialogValue(section, "LICENSE_FILE");
  if (file.empty()) log_.WriteLog(0, "[LicenseDlg] Get Licesne file fail!!");
  PlaceControl(edit_, section, "EDIT_LICENSE", false);
  PlaceControl(ok_, section, "BUTTON_OK", false);
  SetControlText(ok_, section, "BUTTON_OK");
  std::string text;
  if (!file.empty() && ReadLicense(file, &text)) SetWindowTextA(edit_, text.c_str());
  // The reader starts at the top with nothing selected and OK ready for
  // Enter. Posted: the dialog manager gives the first control the focus (and
  // selects all of an edit's text) only after initialisation.
  PostMessageA(hwnd_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(ok_), TRUE);
  PostMessageA(edit_, EM_SETSEL, 0, 0);
  return true;
}

bool CLicenseDlg::OnCommand(WORD id, WORD, HWND) {
  // OK, Enter and Esc close the viewer; it asks no questions.
  if (id == IDOK || id == IDCANCEL) {
    End(id);
    return true;
  }
  return false;
}

bool CLicenseDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  if (message == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_CLOSE) {
    End(IDCANCEL);
    *result = 0;
    return true;
  }
  if (message == WM_CTLCOLORSTATIC && reinterpret_cast<HWND>(lParam) == edit_) {
    return false;  // the read-only field keeps its own colours
  }
  return CNormalDlg::OnMessage(message, wParam, lParam, result);
}

}  // namespace pages
