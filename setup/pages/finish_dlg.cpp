#include "setup/pages/finish_dlg.h"

#include "setup/core/core_context.h"
#include "setup/core/predefined_variable.h"

namespace pages {
namespace {
DWORD InstallType() {
  CPredefinedVariable* env = core::CurrentEnvironment();
  return env ? CUtl::GetRegDword(env->GetInstallKey().c_str(), "Install_Type") : 0;
}
}  // namespace

bool ShowsTestPageButton(DWORD installType, int osCode) {
  if (installType == 32) return true;
  return !(installType & 0x04) && osCode != 11 && osCode != 12;
}

void CFinishDlg::CreateFixedControls() {
  finish_ = ui::CreateFixedControl(hwnd_, "BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 0, kFinishId);
  testPage_ = ui::CreateFixedControl(hwnd_, "BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 0, kTestPageId);
}

bool CFinishDlg::InitPage() {
  registration_ = kDefaultRegistration;
  std::string fixed = FixedSection("[CFinishDlg]");
  if (fixed.empty()) {
    ShowWindow(finish_, SW_HIDE);
    ShowWindow(testPage_, SW_HIDE);
  } else {
    SetControlText(finish_, fixed, "BUTTON_FINISH");
    PlaceControl(finish_, fixed, "BUTTON_FINISH");
    SetControlTooltip(finish_, fixed, "BUTTON_FINISH");
    SetControlText(testPage_, fixed, "BUTTON_TESTPAGE");
    PlaceControl(testPage_, fixed, "BUTTON_TESTPAGE");
    SetControlTooltip(testPage_, fixed, "BUTTON_TESTPAGE");
    std::string section = config_.DialogValue(fixed, "ADD_UNINST_REG_KEY");
    if (!section.empty()) registration_ = section;
  }
  int osCode = 0, family = 0;
  CUtl::GetOSVersion(&osCode, &family);
  if (!ShowsTestPageButton(InstallType(), osCode)) ShowWindow(testPage_, SW_HIDE);
  return true;
}

void CFinishDlg::Send(const char* type, const std::string& text) {
  HWND control = ControlWindow();
  if (!control) {
    log_.WriteLog(0, "[CFinishDlg] No control window for the command [%s] [%s]\n", type, text.c_str());
    return;
  }
  CommandRecord record(type, text);
  SendMessageA(control, engine::kCommandMessage, 0, reinterpret_cast<LPARAM>(&record));
}

void CFinishDlg::RegisterUninstall() {
  if (!RegistersUninstall(InstallType())) return;
  Send("CT_ADDREG", registration_);
}

void CFinishDlg::Finish() {
  RegisterUninstall();
  ShowWindow(hwnd_, SW_HIDE);
  std::string command = config_.DialogValue(LoadedSection(), "FINISH_COMMAND");
  if (!command.empty()) Send("CT_COMMAND", command);
  Send("CT_APP_TERMINATE", "");
}

void CFinishDlg::PrintTestPage() { Send("CT_PRINT_TEST_PAGE", ""); }

bool CFinishDlg::OnCommand(WORD id, WORD code, HWND control) {
  if (id == kFinishId && code == BN_CLICKED) {
    Finish();
    return true;
  }
  if (id == kTestPageId && code == BN_CLICKED) {
    PrintTestPage();
    return true;
  }
  return CNormalDlg::OnCommand(id, code, control);
}

bool CFinishDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  if (message == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_CLOSE && IsWindowVisible(hwnd_)) {
    RegisterUninstall();
    Send("CT_APP_TERMINATE", "");
    *result = 0;
    return true;
  }
  return CNormalDlg::OnMessage(message, wParam, lParam, result);
}

}  // namespace pages
