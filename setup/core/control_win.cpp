#include "setup/core/control_win.h"

#include <vector>

#include "framework/handles.h"
#include "setup/core/command_line.h"
#include "setup/core/core_context.h"
#include "setup/core/predefined_variable.h"
#include "setup/engine/my_items.h"

namespace {

constexpr DWORD kMaxItemCount = 10000;
// How long a second start looks for the window of the run that holds the mutex.
constexpr DWORD kWindowWaitMs = 10000;

// Item uninstall parameters: UNINST_PARAM_0.. up to the first empty one, at
// most 20, each followed by one blank.
std::string JoinUninstallParams(const std::string& section, const std::string& dataFile) {
  std::string params;
  for (int n = 0; n < 20; ++n) {
    std::string key = "UNINST_PARAM_" + std::to_string(n);
    std::string value = CUtl::GetScriptString(section.c_str(), key.c_str(), dataFile.c_str(), "", "");
    if (value.empty()) break;
    params += value + " ";
  }
  return params;
}

}  // namespace

CControlWin::CControlWin(CPredefinedVariable& environment) : environment_(environment) {}

bool CControlWin::CreateControlWindow() {
  log_.BorrowApplicationLog();
  dataFile_ = environment_.GetDataFile();
  configFile_ = environment_.GetConfigFile();
  stringFile_ = environment_.GetStringFile();
  programName_ = environment_.GetProgramName();
  if (!programName_.empty()) className_ = app::InstallerClassName(programName_);

  // Two starts at the same moment both find no window: the mutex decides
  // between them first, and the class check still finds an earlier run that
  // holds no mutex.
  std::string mutexName = app::InstallerMutexName(className_);
  runMutex_.Reset(CreateMutexA(nullptr, FALSE, mutexName.c_str()));
  bool anotherRun = runMutex_ && GetLastError() == ERROR_ALREADY_EXISTS;
  if (!runMutex_) log_.WriteLog(GetLastError(), "[CControlWin] Create mutex fail [%s]\n", mutexName.c_str());
  HWND running = FindWindowA(className_.c_str(), nullptr);
  if (anotherRun || running) {
    log_.WriteLog(0, "[CControlWin] The program is alread running!!");
    runMutex_.Reset();
    // The other run may not have made its window yet.
    for (DWORD start = GetTickCount(); !running && GetTickCount() - start < kWindowWaitMs;) {
      Sleep(100);
      running = FindWindowA(className_.c_str(), nullptr);
    }
    if (running) SetForegroundWindow(running);
    return false;
  }
  if (!RegisterControlClass()) {
    log_.WriteLog(GetLastError(), "[CControlWin] Register class fail\n");
    return false;
  }
  if (!Create(className_.c_str(), programName_.c_str(), 0x00CF0000, 0, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
              CW_USEDEFAULT)) {
    log_.WriteLog(GetLastError(), "[CControlWin] Create window fail [%s] [%s]\n", className_.c_str(),
                  programName_.c_str());
    return false;
  }
  ShowWindow(hwnd_, SW_HIDE);
  UpdateWindow(hwnd_);
  operator_.Initialise(hwnd_, !mainWindowFlag_);
  pages_.Attach(operator_);
  return true;
}

bool CControlWin::RegisterControlClass() {
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof(wc);
  wc.style = 0x000B;  // vertical and horizontal redraw, double clicks
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hIcon = LoadIconA(wc.hInstance, MAKEINTRESOURCEA(128));
  wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(5));
  wc.lpszClassName = className_.c_str();
  return RegisterClassExA(&wc) || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

bool CControlWin::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  switch (message) {
    case kUserCommandMessage: {
      auto* record = reinterpret_cast<CommandRecord*>(lParam);
      if (!record) {
        *result = 0;
        return true;
      }
      CUtl::Trace("[CControlWin] Command type = %s, string = %s, param = %s, dwParam = %lu\n",
                  record->cstrCmdType.c_str(), record->cstrCmdStr.c_str(), record->cstrParam.c_str(),
                  record->dwParam);
      operator_.Execute(*record);
      *result = 1;
      return true;
    }
    case kCancelMessage: {
      CommandRecord cancel("CT_DLG_CANCEL", "");
      operator_.Execute(cancel);
      *result = 1;
      return true;
    }
    case WM_ACTIVATE:
      // The default handling first: it gives the keyboard focus to this
      // window. Bringing the page forward before it would hand the activation
      // straight back here, and each round would nest another activation.
      *result = DefaultProc(message, wParam, lParam);
      if (LOWORD(wParam) != WA_INACTIVE && !activating_) {
        activating_ = true;
        operator_.BringCurrentPageToFront();
        activating_ = false;
      }
      return true;
    case WM_DESTROY:
      // Ends every page's modal loop, so the start command unwinds and the
      // start-up routine can finish the run.
      operator_.EndAllPages();
      return false;
    default:
      return false;
  }
}

bool CControlWin::StartInstall() {
  environment_.SetInstallMode(true);
  return RunStartCommand("INST_STRART_CMD");
}

bool CControlWin::StartUninstall() {
  environment_.SetInstallMode(false);
  CUtl::SetRegDword(environment_.GetInstallKey().c_str(), "Install_Type", 0x20);
  return RunStartCommand("UNINST_STRART_CMD");
}

bool CControlWin::RunStartCommand(const char* section) {
  CommandRecord record("CT_COMMAND", section ? section : "");
  operator_.Execute(record);
  return true;
}

CControlWin::InstallFunction CControlWin::FindInstallFunction() {
  HMODULE library = environment_.GetLibrary(CPredefinedVariable::kInstallerDll);
  return library ? reinterpret_cast<InstallFunction>(reinterpret_cast<void*>(GetProcAddress(library, "MyInstall")))
                 : nullptr;
}

void CControlWin::WriteUninstallEntry() {
  CommandRecord addReg("CT_ADDREG", "ADD_REG.UNINSTKEY");
  operator_.Execute(addReg);
}

bool CControlWin::RemoteInstall() {
  CUtl::Trace("[CControlWin] Remote installing start");
  const std::string& installKey = environment_.GetInstallKey();
  if (!ReMakeFullPath(installKey.c_str())) {
    log_.WriteLog(0, "[CControlWin] Make full path fail!!");
    return false;
  }
  CUtl::Trace("[CControlWin] ReMakeFullPath success");
  WriteItemDisplayNames();
  InstallFunction install = FindInstallFunction();
  if (!install) {
    log_.WriteLog(GetLastError(), "[CControlWin] Get Install fuction fail!");
    return false;
  }
  log_.WriteLog(0, "[CControlWin] call Install");
  if (install(hwnd_, installKey.c_str(), 0)) WriteUninstallEntry();
  environment_.RecordDestInstallDir();
  core::RecordHistory("HKEY_LOCAL_MACHINE\\" + installKey, core::kHistoryKey);
  return true;
}

bool CControlWin::FactoryInstall() {
  CUtl::Trace("[CControlWin] factory installing start");
  {
    CMyItems items;
    if (items.Load("ITEM_INFO", true)) {
      items.WriteItemRecords();
      items.WriteShortcutRecords();
      items.WriteCopyRecords();
    }
  }
  InstallFunction install = FindInstallFunction();
  if (!install) {
    log_.WriteLog(GetLastError(), "[CControlWin] Get Install fuction fail!");
    return false;
  }
  log_.WriteLog(0, "[CControlWin] call Install");
  install(hwnd_, environment_.GetInstallKey().c_str(), 0);
  WriteUninstallEntry();
  environment_.RecordDestInstallDir();
  log_.WriteLog(0, "[CControlWin] Factory installation sucess!");
  return true;
}

bool CControlWin::ReMakeFullPath(const char* key) {
  fw::UniqueRegKey handle;
  LONG error = RegOpenKeyExA(HKEY_LOCAL_MACHINE, key, 0, KEY_READ, handle.Put());
  if (error != ERROR_SUCCESS) {
    log_.WriteLog(static_cast<DWORD>(error), "[CControlWin] Open Key Error!! (%s)", key);
    return false;
  }
  DWORD subkeys = 0, values = 0;
  error = RegQueryInfoKeyA(handle.Get(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values, nullptr,
                           nullptr, nullptr, nullptr);
  if (error != ERROR_SUCCESS) {
    log_.WriteLog(static_cast<DWORD>(error), "[CControlWin] Query info Key Error!! (%s)", key);
    return false;
  }
  for (DWORD i = 0; i < subkeys; ++i) {
    char name[260];
    DWORD length = sizeof(name);
    if (RegEnumKeyExA(handle.Get(), i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
      log_.WriteLog(0, "[CControlWin] enumerate key fail [%s] (%d)", key, static_cast<int>(i));
      continue;
    }
    ReMakeFullPath((std::string(key) + "\\" + name).c_str());
  }
  std::vector<char> data(4096 + 1);  // values of 4096 bytes and a NUL
  for (DWORD i = 0; i < values; ++i) {
    char name[260];
    DWORD nameLength = sizeof(name), type = 0, dataLength = static_cast<DWORD>(data.size() - 1);
    if (RegEnumValueA(handle.Get(), i, name, &nameLength, nullptr, &type, reinterpret_cast<BYTE*>(data.data()),
                      &dataLength) != ERROR_SUCCESS) {
      log_.WriteLog(0, "[CControlWin] enumerate value fail [%s] (%d)", key, static_cast<int>(i));
      continue;
    }
    if (type != REG_SZ) continue;
    data[dataLength] = '\0';  // a stored string need not end with its NUL
    std::string expanded = environment_.ExpandVariables(data.data());
    CUtl::SetRegString(key, name, expanded.c_str());
  }
  std::string itemName = CUtl::GetRegString(key, "Item_Name");
  if (!itemName.empty()) WriteItemUninstall(key);
  return true;
}

bool CControlWin::WriteItemUninstall(const char* itemKey) {
  if (!itemKey || !*itemKey) {
    log_.WriteLog(0, "[CControlWin] Write uninstall key fail.. Subkey is invlide..\n");
    return false;
  }
  std::string section = CUtl::GetRegString(itemKey, "Item_Name");
  if (section.empty()) {
    log_.WriteLog(0, "[CControlWin] Get Item section name fail!! [%s]\n", itemKey);
    return false;
  }
  std::string command = CUtl::GetScriptString(section.c_str(), "UNINST_CMDSTR", dataFile_.c_str(), "", "");
  CUtl::SetRegString(itemKey, "Uninstall_Cmd", environment_.ExpandVariables(command).c_str());
  std::string params = JoinUninstallParams(section, dataFile_);
  CUtl::SetRegString(itemKey, "Uninstall_Param", environment_.ExpandVariables(params).c_str());
  return true;
}

void CControlWin::WriteItemDisplayNames() {
  DWORD count = CUtl::StringToNumber(CUtl::GetScriptString("ITEM_INFO", "COUNTS", dataFile_.c_str(), "", "").c_str());
  // A negative or absurd count (a typo in the script) must not keep the
  // installer busy for hours: at most kMaxItemCount items are looked at.
  if (count > kMaxItemCount) count = kMaxItemCount;
  for (DWORD i = 0; i < count; ++i) {
    std::string key = "ITEM_" + std::to_string(i);
    std::string item = CUtl::GetScriptString("ITEM_INFO", key.c_str(), dataFile_.c_str(), "", "");
    if (item.empty()) continue;
    std::string messageKey = CUtl::GetScriptString(item.c_str(), "DISPLAY_NAME", dataFile_.c_str(), "", "");
    if (messageKey.empty()) continue;
    std::string text = CUtl::GetScriptString("MESSAGES", messageKey.c_str(), stringFile_.c_str(), "", "");
    if (text.empty()) continue;
    std::string itemKey = environment_.GetInstallKey() + "\\Items\\" + item;
    CUtl::SetRegString(itemKey.c_str(), "DisplayName", text.c_str());
  }
}
