#include "setup/core/qxinst_app.h"

#include "framework/dialog.h"
#include "framework/library_loading.h"
#include "setup/core/clear_copy.h"
#include "setup/core/core_context.h"

namespace {

constexpr DWORD kSynchronizeAndQuery = 0x100400;  // SYNCHRONIZE | PROCESS_QUERY_INFORMATION
constexpr COLORREF kNoColour = 0x010101;

}  // namespace

CQXInstApp::CQXInstApp() : log_(std::make_unique<CUtl>()), controlWin_(environment_) {
  exitCode_ = 1;  // never changed: callers rely on it
  log_->CreateLogFile();
  core::SetCurrentEnvironment(&environment_);
  core::SetHistoryRecorder(&history_);
}

CQXInstApp::~CQXInstApp() {
  core::SetHistoryRecorder(nullptr);
  core::SetCurrentEnvironment(nullptr);
  core::SetResourceLibrary(nullptr);
  if (resourceLibrary_) FreeLibrary(resourceLibrary_);
}

int CQXInstApp::ExitInstance() {
  log_.reset();
  core::SetResourceLibrary(nullptr);
  if (resourceLibrary_) FreeLibrary(resourceLibrary_);
  resourceLibrary_ = nullptr;
  // 1 on every path, also when an exception ended the start-up (the framework sets -1 then).
  exitCode_ = 1;
  return exitCode_;
}

void CQXInstApp::ParseArguments() {
  CUtl::Trace("[CQXInstApp] Parsing parameters...\n");
  options_ = app::ParseCommandLine(app::ArgumentsOf(GetCommandLineA()));
  if (options_.type == app::IS_TYPE_CLEAR) {
    CUtl::Trace("[CQXInstApp] Install type is IS_TYPE_CLEAR...\n");
    CUtl::Trace("[CQXInstApp] Uninstall Key is [%s]...\n", options_.uninstallKey.c_str());
    if (!options_.className.empty()) CUtl::Trace("[CQXInstApp] Class Name is [%s]...\n", options_.className.c_str());
    if (options_.hasProcessId) CUtl::Trace("[CQXInstApp] Process ID = [0x%lx]..\n", options_.processId);
  } else if (options_.factoryTested) {
    CUtl::Trace("[CQXInstApp] Install type is IS_TYPE_FACTORY...\n");  // also when "/S" turns out missing
  }
  factoryLanguage_ = options_.hasLanguage ? options_.factoryLanguage : CUtl::MyGetSystemDefaultLangID(true);
}

void CQXInstApp::ShowInvalidParameters() {
  std::string text = CUtl::GetScriptString("MESSAGES", "INVALID_PARAM_ERROR_MSG", environment_.GetStringFile().c_str(),
                                           environment_.GetDataFile().c_str(), "");
  if (text.empty()) text = "Invalid Parameters!!";
  CUtl::ShowMessageBox(nullptr, text.c_str(), environment_.GetProgramName().c_str(), MB_ICONERROR);
}

bool CQXInstApp::Prepare() {
  if (!environment_.InitEnvironment()) return false;

  int osCode = 0, osFamily = 0;
  CUtl::GetOSVersion(&osCode, &osFamily);
  if (osFamily != 10 && !CUtl::IsAdministrator()) {
    std::string text = CUtl::GetScriptString("MESSAGES", "INVALID_ADMIN_ERROR_MSG",
                                             environment_.GetStringFile().c_str(), environment_.GetDataFile().c_str(), "");
    if (!text.empty()) CUtl::ShowMessageBox(nullptr, text.c_str(), environment_.GetProgramName().c_str(), MB_ICONERROR);
    return false;
  }

  COLORREF back = CUtl::GetColorValue("DLG_COMMON", "DLG_BACK_COLOR", environment_.GetConfigFile().c_str());
  if (back != kNoColour) {
    dialogBackColor_ = back;
    fw::SetDialogColors(back, RGB(0, 0, 0));
  }

  const std::string& destination = environment_.GetDestDir();
  if (!CUtl::CreateDirectoryTree(destination.c_str(), true)) {
    log_->WriteLog(GetLastError(), "[CQXInstApp] Create destination directory fail [%s]\n", destination.c_str());
    return false;
  }
  if (!controlWin_.CreateControlWindow()) {
    log_.reset();
    return false;
  }
  SetMainWindow(controlWin_.Handle());
  const std::string& resource = environment_.GetResourceDll();
  if (!resource.empty()) {
    resourceLibrary_ = fw::LoadLibraryAtPath(resource.c_str());
    if (resourceLibrary_) log_->WriteLog(0, "[CQXInstApp] Resource file = %s\n", resource.c_str());
  }
  // The pages look for their bitmaps in the resource library first.
  core::SetResourceLibrary(resourceLibrary_);
  return true;
}

std::string CQXInstApp::ProductKey() const {
  return "Software\\" + environment_.GetMfg() + "\\" + environment_.GetMdl();
}

void CQXInstApp::WriteRunValues(bool fullList) {
  const char* key = environment_.GetInstallKey().c_str();
  if (fullList) {
    CUtl::SetRegString(key, "MFG", environment_.GetMfg().c_str());
    CUtl::SetRegString(key, "MDL", environment_.GetMdl().c_str());
    CUtl::SetRegString(key, "VIDPID", environment_.GetVidPid().c_str());
    CUtl::SetRegString(key, "Default_Printer", "");
    CUtl::SetRegString(key, "Printer_Port", "LPT1:");
    CUtl::SetRegDword(key, "InstallAsServer", 0);
    CUtl::SetRegDword(key, "Install_Type", 0);
    CUtl::SetRegString(key, "Program_Name", environment_.GetProgramName().c_str());
  }
  CUtl::SetRegDword(key, "Lang_Code", environment_.GetLanguageId() & 0xFFFF);
  CUtl::SetRegString(key, "Lang_Abbr", environment_.ExpandVariables("$LANG_ABBR$").c_str());
  CUtl::SetRegString(key, "Dest_Dir", environment_.ExpandVariables("$DEST_DIR$").c_str());
  CUtl::SetRegString(key, "Win_Dir", environment_.ExpandVariables("$WIN_DIR$").c_str());
  CUtl::SetRegString(key, "Temp_Dir", environment_.GetTempDir().c_str());
  CUtl::SetRegString(key, "STR_FILE", environment_.ExpandVariables("$STRING_FILE$").c_str());
  int osCode = 0, osFamily = 0;
  CUtl::GetOSVersion(&osCode, &osFamily);
  CUtl::SetRegDword(key, "OS_Ver", osFamily == 10 ? 1 : osFamily == 15 ? 2 : 3);
}

void CQXInstApp::RunInstall() {
  log_->WriteLog(0, "[CQXInstApp] Start Install");
  WriteRunValues(true);
  controlWin_.StartInstall();
  controlWin_.RunStartCommand("INST_END_CMD");
}

void CQXInstApp::RunUninstall() {
  log_->WriteLog(0, "[CQXInstApp] Start Uninstall");
  const char* key = environment_.GetInstallKey().c_str();
  environment_.SetLanguage(static_cast<LANGID>(CUtl::GetRegDword(key, "Lang_Code", HKEY_LOCAL_MACHINE, 0)));
  environment_.SetDestDir(CUtl::GetRegString(key, "Dest_Dir", HKEY_LOCAL_MACHINE, "").c_str());
  controlWin_.StartUninstall();
  controlWin_.RunStartCommand("UNINST_END_CMD");
}

void CQXInstApp::RunRemote() {
  log_->WriteLog(0, "[CQXInstApp] Start Remote Install");
  std::string remoteKey = "Software\\" + environment_.GetMfg() + "\\" + environment_.GetProgramName() + "\\Remote";
  CUtl::DeleteRegKey((remoteKey + "\\Remote_Info").c_str(), true, false);
  const std::string& installKey = environment_.GetInstallKey();
  if (!CUtl::CopyRegKey(remoteKey.c_str(), installKey.c_str(), true)) {
    log_->WriteLog(0, "[CQXInstApp] Copy Remote Install Key fail");
    return;
  }
  if (!CUtl::DeleteRegKey(remoteKey.c_str(), true, false)) {
    history_.AddEntry(("HKEY_LOCAL_MACHINE\\" + remoteKey).c_str(), core::kHistoryKey);
  }
  WriteRunValues(false);
  environment_.LoadScanIP();
  controlWin_.RunStartCommand("REMOTE_START_CMD");
  if (controlWin_.RemoteInstall()) {
    DWORD type = CUtl::GetRegDword(installKey.c_str(), "Install_Type", HKEY_LOCAL_MACHINE, 0);
    CUtl::SetRegDword(installKey.c_str(), "Install_Type", type == 4 ? 2 : 0x12);
    controlWin_.RunStartCommand("REMOTE_END_CMD");
  }
}

void CQXInstApp::RunFactory() {
  log_->WriteLog(0, "[CQXInstApp] Start Factory Install");
  environment_.SetLanguage(factoryLanguage_);
  WriteRunValues(true);
  controlWin_.FactoryInstall();
}

void CQXInstApp::WaitForClass(const std::string& className) {
  CUtl::Trace("[CQXInstApp] Wait the installer to be finished.....!!\n");
  while (FindWindowA(className.c_str(), nullptr)) Sleep(1000);
}

void CQXInstApp::RunClear() {
  CUtl::Trace("[CQXInstApp] Clear.....!!\n");
  // Reported before the wait: the installer that started this run waits for
  // the report before it ends.
  if (options_.hasProcessId && core::ReportClearRunStart(options_.processId)) {
    char self[MAX_PATH] = {};
    DWORD length = GetModuleFileNameA(nullptr, self, MAX_PATH);
    if (length > 0 && length < MAX_PATH) core::SetRemovalArranged(std::string(self, length));
  }
  if (options_.hasProcessId) {
    HANDLE process = OpenProcess(kSynchronizeAndQuery, FALSE, options_.processId);
    if (process) {
      CUtl::Trace("[QXInstApp] Wait the installer to be finised....!!\n");
      WaitForSingleObject(process, INFINITE);
      CloseHandle(process);
    } else {
      CUtl::TraceError(GetLastError(), "OpenProcess");
      if (!options_.className.empty()) WaitForClass(options_.className);
    }
  } else if (!options_.className.empty()) {
    WaitForClass(options_.className);
  }
  if (options_.uninstallKey.empty()) return;
  CUtl::Trace("[QXInstApp] The installer was finised , now uninstall all files and information!!\n");
  // The current folder came from whoever started the uninstaller, often the
  // destination's Install folder: a folder in use cannot be removed, so the
  // run moves to the folder of its own copy first.
  char self[MAX_PATH] = {};
  DWORD length = GetModuleFileNameA(nullptr, self, MAX_PATH);
  if (length > 0 && length < MAX_PATH) {
    std::string folder(self, length);
    folder.erase(folder.find_last_of('\\') + 1);
    SetCurrentDirectoryA(folder.c_str());
  }
  history_.Replay(options_.uninstallKey.c_str());
}

void CQXInstApp::RemoveRunMarker() {
  std::string key = ProductKey();
  CUtl::DeleteRegValue(key.c_str(), "CDInstall");
  CUtl::DeleteRegKey(key.c_str(), false, true);
}

bool CQXInstApp::InitInstance() {
  ParseArguments();
  if (options_.type == app::IS_TYPE_CLEAR) {
    RunClear();
    return false;
  }
  if (options_.type == app::IS_TYPE_INVALID) {
    ShowInvalidParameters();
    return false;
  }
  if (!Prepare()) return false;

  CUtl::SetRegDword(environment_.GetInstallKey().c_str(), "Operation_Done", 0);
  CUtl::SetRegDword(ProductKey().c_str(), "CDInstall", 1);
  switch (options_.type) {
    case app::IS_TYPE_INSTALL: RunInstall(); break;
    case app::IS_TYPE_UNINSTALL: RunUninstall(); break;
    case app::IS_TYPE_REMOTE: RunRemote(); break;
    case app::IS_TYPE_REINSTALL: log_->WriteLog(0, "[CQXInstApp] Start Reinstall"); break;
    case app::IS_TYPE_FACTORY: RunFactory(); break;
    default: break;
  }
  RemoveRunMarker();
  return false;
}
