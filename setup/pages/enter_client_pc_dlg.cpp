#include "setup/pages/enter_client_pc_dlg.h"

#include <shlobj.h>

#include <cctype>
#include <memory>

#include "companions/contracts/remote_install_param.h"
#include "framework/controls.h"
#include "setup/core/core_context.h"
#include "setup/core/predefined_variable.h"
#include "setup/pages/printer_rules.h"
#include "setup/ui/script_values.h"

namespace pages {

namespace {

using RemoteCheck = BOOL(__stdcall*)(RemoteInstallParam*);

void Copy(char (&field)[256], const std::string& text) { lstrcpynA(field, text.c_str(), sizeof(field)); }

// The block holds the password: wiped before it goes.
struct Block {
  Block() : param(std::make_unique<RemoteInstallParam>()) { *param = RemoteInstallParam{}; }
  ~Block() { SecureZeroMemory(param.get(), sizeof(RemoteInstallParam)); }
  std::unique_ptr<RemoteInstallParam> param;
};

RemoteCheck RemoteFunction(const char* name) {
  CPredefinedVariable* env = core::CurrentEnvironment();
  HMODULE library = env ? env->GetLibrary(CPredefinedVariable::kRemoteInstallDll) : nullptr;
  return library ? reinterpret_cast<RemoteCheck>(reinterpret_cast<void*>(GetProcAddress(library, name))) : nullptr;
}

struct WaitCursor {
  WaitCursor() : previous(SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_WAIT)))) {}
  ~WaitCursor() { SetCursor(previous); }
  HCURSOR previous;
};

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

}  // namespace

std::string ClientComputerName(const std::string& typed) {
  if (!typed.empty() && std::isdigit(static_cast<unsigned char>(typed[0]))) return typed;
  if (typed.rfind("\\\\", 0) == 0) return typed.substr(2);
  return typed;
}

bool HasComputer(const std::vector<std::string>& list, const std::string& name) {
  std::string wanted = Upper(name);
  for (const std::string& entry : list) {
    if (Upper(entry) == wanted) return true;
  }
  return false;
}

void CEnterClientPCDlg::CreateFixedControls() {
  adminHeading_ = ui::CreateFixedControl(hwnd_, "STATIC", SS_LEFT, 0, kAdminHeadingId);
  userLabel_ = ui::CreateFixedControl(hwnd_, "STATIC", SS_LEFT, 0, kUserLabelId);
  user_ = ui::CreateFixedControl(hwnd_, "EDIT", ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 0, kUserId);
  passwordLabel_ = ui::CreateFixedControl(hwnd_, "STATIC", SS_LEFT, 0, kPasswordLabelId);
  password_ = ui::CreateFixedControl(hwnd_, "EDIT", ES_AUTOHSCROLL | ES_PASSWORD | WS_BORDER | WS_TABSTOP, 0, kPasswordId);
  ok_ = ui::CreateFixedControl(hwnd_, "BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 0, kOkId);
  clientLabel_ = ui::CreateFixedControl(hwnd_, "STATIC", SS_LEFT, 0, kClientLabelId);
  client_ = ui::CreateFixedControl(hwnd_, "EDIT", ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 0, kClientId);
  list_ = ui::CreateFixedControl(hwnd_, "LISTBOX", LBS_EXTENDEDSEL | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_BORDER, 0,
                                 kListId);
  browse_ = ui::CreateFixedControl(hwnd_, "BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 0, kBrowseId);
  add_ = ui::CreateFixedControl(hwnd_, "BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 0, kAddId);
  delete_ = ui::CreateFixedControl(hwnd_, "BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 0, kDeleteId);
  next_button_ = ui::CreateFixedControl(hwnd_, "BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 0, kNextId);
  fw::Edit(user_).SetLimit(255);
  fw::Edit(password_).SetLimit(255);
  fw::Edit(client_).SetLimit(static_cast<int>(kComputerChars));
}

bool CEnterClientPCDlg::InitPage() {
  CPredefinedVariable* env = core::CurrentEnvironment();
  if (env) {
    std::string base = "Software\\" + env->GetMfg() + "\\" + env->GetProgramName();
    normalRoot_ = base + "\\Install";
    remoteRoot_ = base + "\\Remote";
    if (_stricmp(env->GetInstallKey().c_str(), remoteRoot_.c_str()) != 0) {
      // A copy left by an earlier run (with its Remote_Info) must not mix in.
      CUtl::DeleteRegKey(remoteRoot_.c_str(), true, false);
      if (CUtl::CopyRegKey(env->GetInstallKey().c_str(), remoteRoot_.c_str(), true)) {
        env->SetInstallKey(remoteRoot_.c_str());
      }
    }
  }
  next_ = CommandRecord();
  invalidMessage_ = "The \"%s\" computer could not be added!!";
  std::string fixed = FixedSection(nullptr);
  HWND all[] = {adminHeading_, userLabel_, user_,   passwordLabel_, password_, ok_,         clientLabel_,
                client_,       list_,      browse_, add_,           delete_,   next_button_};
  if (fixed.empty()) {
    for (HWND c : all) ShowWindow(c, SW_HIDE);
    return true;
  }
  struct Placed {
    HWND control;
    const char* prefix;
    bool text;
  } placed[] = {{adminHeading_, "STATIC_NETWORK_ADMIN", true}, {userLabel_, "STATIC_USER_NAME", true},
                {user_, "EDIT_USER_NAME", false},             {passwordLabel_, "STATIC_PASSWORD", true},
                {password_, "EDIT_PASSWORD", false},          {ok_, "BUTTON_OK", true},
                {clientLabel_, "STATIC_CLIENT_COMPUTER", true}, {client_, "EDIT_CLIENT_PC", false},
                {list_, "LIST_CLIENT_PC", false},             {browse_, "BUTTON_BROWSE", true},
                {add_, "BUTTON_ADD", true},                   {delete_, "BUTTON_DELETE", true},
                {next_button_, "BUTTON_NEXT", true}};
  for (const Placed& p : placed) {
    PlaceControl(p.control, fixed, p.prefix);
    if (p.text) SetControlText(p.control, fixed, p.prefix);
  }
  next_ = ReadCommand(fixed, "BUTTON_NEXT");
  std::string message =
      ui::MessageText(ui::ScriptFiles::FromEnvironment(), config_.DialogValue(fixed, "MSG_INVALID_COMPUTER"));
  if (!message.empty()) invalidMessage_ = message;
  EnableClientControls(false);
  return true;
}

void CEnterClientPCDlg::EnableClientControls(bool enable) {
  for (HWND c : {clientLabel_, client_, list_, browse_, add_, delete_}) EnableWindow(c, enable);
  EnableWindow(next_button_, enable && fw::ListBox(list_).Count() > 0);
}

void CEnterClientPCDlg::UpdateNext() { EnableWindow(next_button_, fw::ListBox(list_).Count() > 0); }

bool CEnterClientPCDlg::CheckAccount() {
  WaitCursor wait;
  std::string user = fw::GetText(user_);
  bool valid = false;
  if (!user.empty()) {
    if (RemoteCheck check = RemoteFunction("CheckLogonUser")) {
      CPredefinedVariable* env = core::CurrentEnvironment();
      Block block;
      Copy(block.param->userName, user);
      std::string password = fw::GetText(password_);
      Copy(block.param->password, password);
      SecureZeroMemory(password.data(), password.size());
      Copy(block.param->domain, CUtl::GetLanGroupName());
      Copy(block.param->sourceDir, env ? env->GetSrcDir() : std::string());
      valid = check(block.param.get()) != FALSE;
    }
  }
  EnableClientControls(valid);
  SetFocus(valid ? client_ : user_);
  return valid;
}

void CEnterClientPCDlg::ShowInvalid(const std::string& name) {
  CPredefinedVariable* env = core::CurrentEnvironment();
  CUtl::ShowMessageBox(hwnd_, FormatWithText(invalidMessage_, name).c_str(), env ? env->GetProgramName().c_str() : "",
                       MB_ICONHAND);
}

bool CEnterClientPCDlg::AddComputer() {
  WaitCursor wait;
  std::string typed = fw::GetText(client_);
  // An empty name, or one longer than the library's field, cannot be checked.
  if (typed.empty() || typed.size() > kComputerChars) {
    ShowInvalid(typed.substr(0, kComputerChars));
    return false;
  }
  std::string name = ClientComputerName(typed);
  RemoteCheck check = RemoteFunction("CheckRemoteAdmin");
  if (!check) {
    log_.WriteLog(0, "[CEnterClientPCDlg] Get function Error (CheckRemoteAdmin)");
    return false;
  }
  CPredefinedVariable* env = core::CurrentEnvironment();
  Block block;
  std::string localIp;
  CUtl::GetIPAddress("", &localIp);
  Copy(block.param->remoteComputer, name);
  Copy(block.param->localIp, localIp);
  Copy(block.param->userName, fw::GetText(user_));
  std::string password = fw::GetText(password_);
  Copy(block.param->password, password);
  SecureZeroMemory(password.data(), password.size());
  Copy(block.param->domain, domain_);
  Copy(block.param->sourceDir, env ? env->GetSrcDir() : std::string());
  if (!check(block.param.get())) {
    log_.WriteLog(0, "[CEnterClientPCDlg] Check admin fail");
    ShowInvalid(name);
    UpdateNext();
    return false;
  }
  if (!HasComputer(Computers(), name)) fw::ListBox(list_).Add(name.c_str());
  UpdateNext();
  return true;
}

std::vector<std::string> CEnterClientPCDlg::Computers() const {
  std::vector<std::string> names;
  fw::ListBox list(list_);
  for (int i = 0; i < list.Count(); ++i) names.push_back(list.ItemText(i));
  return names;
}

void CEnterClientPCDlg::DeleteSelected() {
  fw::ListBox list(list_);
  for (int i = 0; i < list.Count();) {
    if (SendMessageA(list_, LB_GETSEL, static_cast<WPARAM>(i), 0) > 0) {
      list.Delete(i);
      i = 0;  // the scan starts again after each removal
    } else {
      ++i;
    }
  }
  UpdateNext();
}

bool CEnterClientPCDlg::Next() {
  std::vector<std::string> computers = Computers();
  CPredefinedVariable* env = core::CurrentEnvironment();
  if (computers.empty() || !env) return false;
  std::string info = env->GetInstallKey() + "\\Remote_Info";
  const char* key = info.c_str();
  CUtl::SetRegString(key, "User_Name", fw::GetText(user_).c_str());
  std::string password = fw::GetText(password_);
  CUtl::SetRegString(key, "Password", password.c_str());
  SecureZeroMemory(password.data(), password.size());
  CUtl::SetRegString(key, "Domain", domain_.c_str());
  CUtl::SetRegDword(key, "NumOfPCs", static_cast<DWORD>(computers.size()));
  for (size_t i = 0; i < computers.size(); ++i) {
    CUtl::SetRegString(key, ("PC_" + std::to_string(i)).c_str(), computers[i].c_str());
  }
  PostCommand(next_);
  return true;
}

bool CEnterClientPCDlg::Browse() {
  LPITEMIDLIST root = nullptr;
  if (FAILED(SHGetSpecialFolderLocation(hwnd_, CSIDL_NETWORK, &root))) return false;
  char display[MAX_PATH] = {};
  BROWSEINFOA info{};
  info.hwndOwner = hwnd_;
  info.pidlRoot = root;
  info.pszDisplayName = display;
  info.ulFlags = BIF_BROWSEFORCOMPUTER | BIF_RETURNONLYFSDIRS;
  LPITEMIDLIST chosen = SHBrowseForFolderA(&info);
  CoTaskMemFree(root);
  if (!chosen) return false;
  CoTaskMemFree(chosen);
  SetWindowTextA(client_, display);
  return true;
}

bool CEnterClientPCDlg::OnCommand(WORD id, WORD code, HWND control) {
  if (code == BN_CLICKED) {
    switch (id) {
      case kOkId: CheckAccount(); return true;
      case kAddId: AddComputer(); return true;
      case kDeleteId: DeleteSelected(); return true;
      case kBrowseId: Browse(); return true;
      case kNextId: Next(); return true;
      default: break;
    }
  }
  return CNormalDlg::OnCommand(id, code, control);
}

bool CEnterClientPCDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  if (message == engine::kCommandMessage && lParam) {
    const auto* record = reinterpret_cast<const CommandRecord*>(lParam);
    CPredefinedVariable* env = core::CurrentEnvironment();
    if (env && !normalRoot_.empty() &&
        (_stricmp(record->cstrCmdType.c_str(), "CT_OPEN_DLG") == 0 ||
         _stricmp(record->cstrCmdType.c_str(), "CT_DLG_BACK") == 0)) {
      env->SetInstallKey(normalRoot_.c_str());
    }
  }
  return CNormalDlg::OnMessage(message, wParam, lParam, result);
}

}  // namespace pages
