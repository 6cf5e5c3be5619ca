// CCmdOperator: the installation and device commands: test page, install and
// uninstall workers, the uninstaller hand-over, the utility-library calls,
// the local printer search and diagnosis.
#include <windows.h>
#include <winspool.h>

#include <memory>

#include "framework/library_loading.h"
#include "setup/core/clear_copy.h"
#include "setup/core/core_context.h"
#include "setup/core/predefined_variable.h"
#include "setup/engine/cmd_operator.h"
#include "setup/engine/worker_thread.h"

namespace {

using InstallFunction = BOOL(__stdcall*)(HWND, const char*, int);
using ModelVidPidFunction = BOOL(__stdcall*)(const char*, const char*);
using ModelFunction = BOOL(__stdcall*)(const char*);
using NoArgumentFunction = BOOL(__stdcall*)();
using DevicePortFunction = int(__stdcall*)(const char*, const char*, const char*, char*, int*);
using DiagnosisFunction = BOOL(__stdcall*)(const char*, const char*, const char*, const char*);
using PrintUiFunction = void(__stdcall*)(HWND, HINSTANCE, const wchar_t*, int);
using InvokePrinterFunction = BOOL(__stdcall*)(HWND, UINT, const char*, const char*, BOOL);

template <typename F>
F As(FARPROC proc) {
  return reinterpret_cast<F>(reinterpret_cast<void*>(proc));
}

void Copy(char* target, size_t size, const std::string& text) { lstrcpynA(target, text.c_str(), static_cast<int>(size)); }

// The worker owns its copy of the block, so a second command cannot change
// what a running worker reads.
DWORD WINAPI InstallWorker(void* parameter) {
  std::unique_ptr<InstallThreadParam> block(static_cast<InstallThreadParam*>(parameter));
  const char* name = block->nInstall ? "MyInstall" : "MyUnInstall";
  auto function = block->hLibrary ? As<InstallFunction>(GetProcAddress(block->hLibrary, name)) : nullptr;
  if (!function) return 0;
  CUtl log;
  log.BorrowApplicationLog();
  log.WriteLog(0, "[CCmdOperator]Call function %s Key\n", block->szKey);
  function(block->hWnd, block->szKey, block->nFlag);
  return 1;
}

// Wine exports SHInvokePrinterCommandA as a stub that aborts the process when
// called; there the printui.dll interface, which Wine has, prints instead.
bool RunningOnWine() {
  HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

}  // namespace

FARPROC CCmdOperator::Function(Library which, const char* name) const {
  HMODULE module = GetLibrary(which);
  if (!module) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
  }
  return GetProcAddress(module, name);
}

std::string CCmdOperator::ModelText() const {
  CPredefinedVariable* env = core::CurrentEnvironment();
  return env ? env->GetMfg() + env->GetMdl() : std::string();
}

bool CCmdOperator::StartWorker(LPTHREAD_START_ROUTINE routine, void* block) {
  DWORD id = 0;
  HANDLE thread = engine::CreateSuspendedWorker(routine, block, &id);
  if (!thread) {
    log_.WriteLog(GetLastError(), "[CCmdOperator] Creat thread error!!\n");
    return false;
  }
  worker_.Reset(thread);
  ResumeThread(thread);
  return true;
}

bool CCmdOperator::RunInstallWorker(bool install) {
  CPredefinedVariable* env = core::CurrentEnvironment();
  threadParam_ = InstallThreadParam{};
  threadParam_.hWnd = CurrentPageWindow();
  Copy(threadParam_.szKey, sizeof(threadParam_.szKey), env ? env->GetInstallKey() : std::string());
  threadParam_.nFlag = 1;
  threadParam_.hLibrary = GetLibrary(install ? kInstaller : kUninstaller);
  threadParam_.nInstall = install ? 1 : 0;
  auto block = std::make_unique<InstallThreadParam>(threadParam_);
  if (!StartWorker(&InstallWorker, block.get())) return false;
  block.release();
  return true;
}

bool CCmdOperator::PrintTestPage(CommandRecord& record) {
  HCURSOR previousCursor = SetCursor(LoadCursor(nullptr, IDC_WAIT));
  CPredefinedVariable* env = core::CurrentEnvironment();
  std::string printer = record.cstrCmdStr;
  if (printer.empty() && env) {
    printer = CUtl::GetRegString(env->GetInstallKey().c_str(), "Default_Printer", HKEY_LOCAL_MACHINE, "");
  }
  bool opened = false;
  for (int attempt = 0; attempt < kPrinterOpenTries && !opened; ++attempt) {
    if (attempt > 0) Sleep(printerRetryPause_);
    HANDLE handle = nullptr;
    PRINTER_DEFAULTSA defaults{nullptr, nullptr, PRINTER_ALL_ACCESS};
    // An empty name would open the print server itself, not a printer.
    if (!printer.empty() && OpenPrinterA(const_cast<char*>(printer.c_str()), &handle, &defaults)) {
      ClosePrinter(handle);
      opened = true;
      break;
    }
    DWORD error = printer.empty() ? ERROR_INVALID_PRINTER_NAME : GetLastError();
    log_.WriteLog(error, "[CCmdOperator] Printer Name is %s", printer.c_str());
    CUtl::TraceError(error, "OpenPrinter");
  }
  if (!opened) {
    log_.WriteLog(0, "[CCmdOperator] Open Printer Fail So it couldn't print test page!!");
    SetCursor(previousCursor);
    return false;
  }
  bool started = false;
  bool printUi = CUtl::OsFamily() == 17 || RunningOnWine();
  const char* module = printUi ? "printui.dll" : "shell32.dll";
  const char* functionName = printUi ? "PrintUIEntryW" : "SHInvokePrinterCommandA";
  fw::UniqueModule library(fw::LoadSystemLibrary(module));
  if (!library) {
    log_.WriteLog(GetLastError(), "[CCmdOperator] Cannot load '%s' module for printing test page:", module);
  } else if (FARPROC proc = GetProcAddress(library.Get(), functionName); !proc) {
    log_.WriteLog(GetLastError(), "[CCmdOperator] Cannot find '%s' function in module '%s' for printing test page:",
                  functionName, module);
  } else if (printUi) {
    std::string command = "/k /n\"" + printer + "\"";
    if (command.size() > 259) command.resize(259);
    log_.WriteLog(0, "[CCmdOperator] Print Test Page ( %s )", command.c_str());
    std::wstring wide(command.size() + 1, L'\0');
    int n = MultiByteToWideChar(CP_ACP, 0, command.c_str(), -1, wide.data(), static_cast<int>(wide.size()));
    wide.resize(n > 0 ? static_cast<size_t>(n - 1) : 0);
    As<PrintUiFunction>(proc)(CurrentPageWindow(), GetModuleHandleA(nullptr), wide.c_str(), SW_SHOWNORMAL);
    started = true;
  } else {
    started = As<InvokePrinterFunction>(proc)(CurrentPageWindow(), 4, printer.c_str(), nullptr, TRUE) != FALSE;
    if (!started) {
      log_.WriteLog(GetLastError(), "[CCmdOperator] Cannot execute '%s' function from module '%s' to print test page:",
                    functionName, module);
    }
  }
  if (started) log_.WriteLog(0, "[CCmdOperator] Printing test page has been started (by '%s')", functionName);
  SetCursor(previousCursor);
  return started;
}

bool CCmdOperator::DeleteAll() {
  if (AnyItemInstalled()) {
    log_.WriteLog(0, "[CCmdOperator] There are more installed items..\n");
    return false;
  }
  RemoveRecordedShortcuts();
  std::string program = programForClear_;
  if (program.empty()) {
    char path[MAX_PATH] = {};
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) {
      log_.WriteLog(GetLastError(), "[CCmdOperator] Get module name fail. create uninstall process fail!!");
      return false;
    }
    program = path;
  }
  CPredefinedVariable* env = core::CurrentEnvironment();
  std::string fileName = program.substr(program.rfind('\\') + 1);
  std::string copy = (env ? env->GetTempDir() : std::string()) + "\\" + fileName;
  if (!env || !CUtl::CopyOneFile(program.c_str(), copy.c_str(), true, false)) {
    copy = (env ? env->GetWinDir() : std::string()) + "\\qxuninst.exe";
    if (!env || !CUtl::CopyOneFile(program.c_str(), copy.c_str(), true, false)) {
      log_.WriteLog(GetLastError(), "[CCmdOperator] Copy uninstaller fail. create uninstall process fail!!");
      return false;
    }
  }
  DWORD pid = pidForClear_ ? pidForClear_ : GetCurrentProcessId();
  std::string parameters = engine::ClearParameters(env->GetProgramName(), env->GetUninstallKey(), pid);
  if (core::StartSelfRemovingCopy(copy, env->ExpandVariables(parameters), pid, log_)) return true;
  // Started directly, the copy's run leaves its file for the next start of
  // the system. The attempt above may have deleted the copy already.
  if (GetFileAttributesA(copy.c_str()) == INVALID_FILE_ATTRIBUTES &&
      !CUtl::CopyOneFile(program.c_str(), copy.c_str(), false, false)) {
    log_.WriteLog(GetLastError(), "[CCmdOperator] Copy uninstaller fail. create uninstall process fail!!");
    return false;
  }
  CommandRecord start(std::string(), copy, parameters);
  HANDLE process = StartProgram(start);
  if (process && process != INVALID_HANDLE_VALUE) CloseHandle(process);
  return true;
}

bool CCmdOperator::RefreshSystem() {
  auto function = As<ModelVidPidFunction>(Function(kUtility, "SystemRefresh"));
  if (!function) {
    log_.WriteLog(GetLastError(), "[CCmdOperator] Get system refresh function fail\n");
    return false;
  }
  CPredefinedVariable* env = core::CurrentEnvironment();
  function(ModelText().c_str(), env ? env->GetVidPid().c_str() : "");
  return true;
}

bool CCmdOperator::RemoveDevice() {
  auto function = As<ModelVidPidFunction>(Function(kUtility, "RemoveUnknownDev"));
  if (!function) {
    log_.WriteLog(0, "[CCmdOperator] remove unknown device fail\n");
    return false;
  }
  CPredefinedVariable* env = core::CurrentEnvironment();
  std::string model = ModelText();
  std::string vidpid = env ? env->GetVidPid() : std::string();
  function(model.c_str(), vidpid.c_str());
  log_.WriteLog(0, "[CCmdOperator] Remove Unknown Device (%s,%s)", model.c_str(), vidpid.c_str());
  return true;
}

bool CCmdOperator::RemoveHardwareWizard() {
  auto function = As<NoArgumentFunction>(Function(kUtility, "RemoveHardwareWizardDialog"));
  if (!function) {
    log_.WriteLog(0, "[CCmdOperator] Get remove hardware wizard function fail\n");
    return false;
  }
  function();
  return true;
}

bool CCmdOperator::PreventPnp(bool start) {
  auto function = As<ModelFunction>(Function(kUtility, start ? "StartPreventPnP" : "EndPreventPnP"));
  if (!function) {
    log_.WriteLog(0, start ? "[CCmdOperator] StartPreventPnP Function not found!!!!\n"
                           : "[CCmdOperator] EndPreventPnP Function not found!!!!\n");
    return true;
  }
  bool done = function(ModelText().c_str()) != FALSE;
  if (start) {
    log_.WriteLog(0, done ? "[CCmdOperator] Prevent PnP Start\n" : "[CCmdOperator] Prevent PnP Start  fail !!!! \n");
  } else {
    log_.WriteLog(0, done ? "[CCmdOperator] Prevent PnP End\n" : "[CCmdOperator] Prevent PnP End  fail !!!! \n");
  }
  return true;
}

bool CCmdOperator::FindLocalPrinter(CommandRecord& record) {
  auto function = As<DevicePortFunction>(Function(kUtility, "GetDevicePort"));
  if (!function) {
    log_.WriteLog(0, "[CCmdOperator] GetProcAddress(GetDevicePort) error");
    ownRecord_ = CommandRecord("CT_DLG_BACK", std::string());
    return Execute(ownRecord_);
  }
  CPredefinedVariable* env = core::CurrentEnvironment();
  char port[260] = {};
  int count = 0;
  function(env ? env->GetMfg().c_str() : "", env ? env->GetMdl().c_str() : "", env ? env->GetVidPid().c_str() : "",
           port, &count);
  ownRecord_ = CommandRecord("CT_OPEN_DLG", count >= 1 ? record.cstrCmdStr : record.cstrParam);
  return Execute(ownRecord_);
}

bool CCmdOperator::Diagnosis(CommandRecord& record) {
  CPredefinedVariable* env = core::CurrentEnvironment();
  std::string installKey = env ? env->GetInstallKey() : std::string();
  std::string port = CUtl::GetRegString(installKey.c_str(), "Printer_Port", HKEY_LOCAL_MACHINE, "");
  if (!engine::DiagnosisPortAccepted(port)) {
    log_.WriteLog(0, "[CCmdOperator] No diagnosis for the port [%s]\n", port.c_str());
    return false;
  }
  std::string printer = !record.cstrCmdStr.empty()
                            ? record.cstrCmdStr
                            : CUtl::GetRegString(installKey.c_str(), "Default_Printer", HKEY_LOCAL_MACHINE, "");
  auto function = As<DiagnosisFunction>(Function(kDiagnosis, "Diagnosis"));
  if (!function) {
    log_.WriteLog(0, "[CCmdOperator] Get Diagnosis function fail\n");
    return false;
  }
  std::string mfg = env ? env->GetMfg() : std::string();
  std::string mdl = env ? env->GetMdl() : std::string();
  std::string vidpid = env ? env->GetVidPid() : std::string();
  for (const std::string& name : {std::string("Vexa Laser MFP 9000 PS"), std::string("Vexa Laser MFP 9000 PCL 6"), printer}) {
    function(mfg.c_str(), name.c_str(), mdl.c_str(), vidpid.c_str());
  }
  return true;
}
