// CCmdOperator: set-up, the dispatcher, command lines and the item and history
// helpers the commands share.
#include "setup/engine/cmd_operator.h"

#include "framework/trace.h"
#include "setup/core/core_context.h"
#include "setup/core/predefined_variable.h"
#include "setup/engine/history_manager.h"

using engine::CommandWord;

CCmdOperator::CCmdOperator() { log_.BorrowApplicationLog(); }

CCmdOperator::~CCmdOperator() = default;

void CCmdOperator::Initialise(HWND controlWindow, bool mainWindowFlag) {
  controlWindow_ = controlWindow;
  mainWindowFlag_ = mainWindowFlag;
  log_.BorrowApplicationLog();
  CPredefinedVariable* env = core::CurrentEnvironment();
  if (!env) {
    log_.WriteLog(0, "[CCmdOperator] No environment to initialise from\n");
    return;
  }
  dataFile_ = env->GetDataFile();
  configFile_ = env->GetConfigFile();
  stringFile_ = env->GetStringFile();
  libraries_ = {};
  librariesKnown_ = {};
}

HMODULE CCmdOperator::GetLibrary(Library which) const {
  static constexpr CPredefinedVariable::LibrarySlot kSlots[kLibraries] = {
      CPredefinedVariable::kInstallerDll, CPredefinedVariable::kUninstallerDll, CPredefinedVariable::kUtilityDll,
      CPredefinedVariable::kRemoteInstallDll, CPredefinedVariable::kDiagnosisDll};
  if (which < 0 || which >= kLibraries) return nullptr;
  if (!librariesKnown_[which]) {
    CPredefinedVariable* env = core::CurrentEnvironment();
    if (!env) return nullptr;
    libraries_[which] = env->GetLibrary(kSlots[which]);
    librariesKnown_[which] = true;
  }
  return libraries_[which];
}

void CCmdOperator::SetPage(engine::PageKind kind, engine::IWizardPage* page) {
  int index = static_cast<int>(kind);
  if (index < 0 || index >= engine::kPageKinds) return;
  engine::IWizardPage* old = pages_[static_cast<size_t>(index)];
  pages_[static_cast<size_t>(index)] = page;
  if (old && old != page) {
    if (current_ == old) current_ = nullptr;
    if (mainPage_ == old) mainPage_ = nullptr;
    for (auto& entry : historyPages_) {
      if (entry == old) entry = nullptr;
    }
  }
}

bool CCmdOperator::Execute(CommandRecord& record) {
  // The language page may switch the language, and with it the string file,
  // while the wizard runs: every command reads the current one.
  if (CPredefinedVariable* env = core::CurrentEnvironment()) {
    if (!env->GetStringFile().empty()) stringFile_ = env->GetStringFile();
  }
  if (!CUtl::WriteRegistryEntry(record.cstrAddReg.c_str())) {
    log_.WriteLog(0, "[CCmdOperator] Write registry fail [%s]\n", record.cstrAddReg.c_str());
  }
  record.cstrCmdType = engine::TrimBlanks(record.cstrCmdType);
  record.cstrCmdStr = engine::TrimBlanks(record.cstrCmdStr);
  record.cstrParam = engine::TrimBlanks(record.cstrParam);
  std::optional<CommandWord> word = engine::LookupCommandWord(record.cstrCmdType);
  if (!word) {
    if (!record.cstrCmdType.empty()) qx::Trace("[CCmdOperator] Unknown command [%s]\n", record.cstrCmdType.c_str());
    return true;
  }
  return Dispatch(*word, record);
}

bool CCmdOperator::Dispatch(CommandWord word, CommandRecord& record) {
  switch (word) {
    case CommandWord::kOpenDlg: return OpenDialog(record);
    case CommandWord::kExeFileWait:
    case CommandWord::kExeFileNoWait: {
      // The program runs on its own: its process handle is not kept.
      HANDLE process = StartProgram(record);
      if (process && process != INVALID_HANDLE_VALUE) CloseHandle(process);
      return true;
    }
    case CommandWord::kExeAndTerminate: return StartAndTerminate(record);
    case CommandWord::kRunDll:
    case CommandWord::kRunDllAndTerminate: return true;
    case CommandWord::kOpenFileNoWait: return OpenFile(record);
    case CommandWord::kOpenFileWait: return true;
    case CommandWord::kOpenUrl: return OpenUrl(record);
    case CommandWord::kOpenBrowse: return OpenBrowse(record);
    case CommandWord::kAppTerminate: return AppTerminate();
    case CommandWord::kDlgHelp: return true;
    case CommandWord::kDlgBack: return DialogBack();
    case CommandWord::kDlgCancel: return DialogCancel();
    case CommandWord::kFindLocalPrinter: return FindLocalPrinter(record);
    case CommandWord::kRunInstall: return RunInstallWorker(true);
    case CommandWord::kAddReg: return AddRegistrySection(record);
    case CommandWord::kWriteItemInfo: return WriteItemInfo();
    case CommandWord::kCommand: return RunCommandSection(record);
    case CommandWord::kPrintTestPage: return PrintTestPage(record);
    case CommandWord::kRunUninstall: return RunInstallWorker(false);
    case CommandWord::kDeleteAll: return DeleteAll();
    case CommandWord::kRefreshSystem: return RefreshSystem();
    case CommandWord::kDiagnosis: return Diagnosis(record);
    case CommandWord::kStartPreventPnp: return PreventPnp(true);
    case CommandWord::kEndPreventPnp: return PreventPnp(false);
    case CommandWord::kCopyFile: return FileSection(record, true);
    case CommandWord::kRunRemoteInstall: return RunRemoteInstall();
    case CommandWord::kOpenFinish: return OpenFinish(record);
    case CommandWord::kRemoveHardwareWizardDialog: return RemoveHardwareWizard();
    case CommandWord::kRemoveDev: return RemoveDevice();
    case CommandWord::kViewLicense: return ViewLicense(record);
    case CommandWord::kDeleteFile: return FileSection(record, false);
    case CommandWord::kItemExe: return ItemExe(record);
  }
  return true;
}

bool CCmdOperator::RunCommandLine(const std::string& text) {
  CommandRecord record = engine::ParseCommandLine(text);
  return Execute(record);
}

bool CCmdOperator::AnyItemInstalled() {
  CPredefinedVariable* env = core::CurrentEnvironment();
  if (!env) return false;
  std::string itemsKey = "Software\\" + env->GetMfg() + "\\" + env->GetProgramName() + "\\Install\\Items";
  fw::UniqueRegKey key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, itemsKey.c_str(), 0, KEY_READ, key.Put()) != ERROR_SUCCESS) return false;
  DWORD subkeys = 0;
  if (RegQueryInfoKeyA(key.Get(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, nullptr, nullptr, nullptr,
                       nullptr, nullptr) != ERROR_SUCCESS || subkeys == 0) {
    return false;
  }
  for (DWORD i = 0; i < subkeys; ++i) {
    char name[MAX_PATH] = {};
    DWORD size = sizeof(name);
    if (RegEnumKeyExA(key.Get(), i, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
      log_.WriteLog(0, "[CUninstItemsDlg] Enum Key Error (%s)\n", itemsKey.c_str());
      continue;
    }
    if (CUtl::IsItemInstalled((itemsKey + "\\" + name).c_str(), true, false, true)) return true;
  }
  return false;
}

bool CCmdOperator::RemoveRecordedShortcuts() {
  CPredefinedVariable* env = core::CurrentEnvironment();
  std::string shortcutKey = (env ? env->GetInstallKey() : std::string()) + "\\Shortcut";
  fw::UniqueRegKey key;
  if (!env || RegOpenKeyExA(HKEY_LOCAL_MACHINE, shortcutKey.c_str(), 0, KEY_READ, key.Put()) != ERROR_SUCCESS) {
    log_.WriteLog(0, "[CCmdOperator] Open Shortcut key fail [%s] \n", shortcutKey.c_str());
    return false;
  }
  DWORD subkeys = 0;
  if (RegQueryInfoKeyA(key.Get(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, nullptr, nullptr, nullptr,
                       nullptr, nullptr) != ERROR_SUCCESS) {
    log_.WriteLog(0, "[CCmdOperator] Enum Shortcut key fail [%s] \n", shortcutKey.c_str());
    return false;
  }
  if (subkeys == 0) {
    log_.WriteLog(0, "[CCmdOperator] there is no shorctus...\n");
    return false;
  }
  for (DWORD i = 0; i < subkeys; ++i) {
    char name[MAX_PATH] = {};
    DWORD size = sizeof(name);
    if (RegEnumKeyExA(key.Get(), i, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) continue;
    std::string entry = shortcutKey + "\\" + name;
    std::string path = CUtl::GetRegString(entry.c_str(), "Shortcut_Path", HKEY_LOCAL_MACHINE, "");
    DWORD group = CUtl::GetRegDword(entry.c_str(), "Group", HKEY_LOCAL_MACHINE, 0);
    // A desktop shortcut (group 1) leaves its folder; a program-menu one
    // takes the folders that became empty with it.
    if (!path.empty()) CUtl::DeleteFileAndEmptyParents(path.c_str(), group != 0);
  }
  return true;
}

void CCmdOperator::ClearHistory() {
  CPredefinedVariable* env = core::CurrentEnvironment();
  if (!env) return;
  CHistoryManager history;
  history.Replay(env->GetUninstallKey().c_str());
}

bool CCmdOperator::IsHistoryClearing() const {
  if (historyClearingSet_) return historyClearing_;
  CPredefinedVariable* env = core::CurrentEnvironment();
  return env ? env->IsInstallMode() : true;
}

HWND CCmdOperator::CurrentPageWindow() const {
  HWND window = current_ ? current_->Window() : nullptr;
  return window && IsWindow(window) ? window : nullptr;
}

void CCmdOperator::BringCurrentPageToFront() {
  HWND window = CurrentPageWindow();
  if (!window) return;
  log_.WriteLog(0, "[CCmdOperator] SetForgroundWindow()");
  SetForegroundWindow(window);
}

bool CCmdOperator::EndAllPages() {
  for (int i = 0; i < engine::kWizardPageKinds; ++i) {
    engine::IWizardPage* page = pages_[static_cast<size_t>(i)];
    if (page && page->Window() && IsWindow(page->Window())) page->End(1);
  }
  return true;
}
