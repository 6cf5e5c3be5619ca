#include "setup/core/clear_copy.h"

#include <cstdio>

#include "framework/handles.h"
#include "setup/core/utl.h"

namespace core {
namespace {

// How long the handing-over installer waits for the clear run to report.
constexpr DWORD kStartReportMs = 30000;
// How long a copy left to the interpreter may take to go once it has ended.
constexpr DWORD kRemovalWaitMs = 10000;

std::string& ArrangedRemoval() {
  static std::string path;
  return path;
}

std::string SystemFile(const char* name) {
  char folder[MAX_PATH] = {};
  UINT length = GetSystemDirectoryA(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return std::string();
  return std::string(folder, length) + "\\" + name;
}

}  // namespace

std::string ClearRunEventName(DWORD installerProcessId) {
  char name[64];
  std::snprintf(name, sizeof(name), "QXClearRunStarted:%lx", static_cast<unsigned long>(installerProcessId));
  return name;
}

bool PassesThroughInterpreter(const std::string& text) {
  for (char c : text) {
    switch (c) {
      case '"': case '%': case '!': case '&': case '|': case '<': case '>': case '^': case '\r': case '\n':
        return false;
      default:
        break;
    }
  }
  return true;
}

std::string WaitingStartLine(const std::string& interpreter, const std::string& program,
                             const std::string& parameters) {
  if (interpreter.empty() || program.empty()) return std::string();
  if (!PassesThroughInterpreter(interpreter) || !PassesThroughInterpreter(program) ||
      !PassesThroughInterpreter(parameters)) {
    return std::string();
  }
  // /d: no AutoRun commands of the registry; the empty title keeps the quoted
  // program from being taken for the window title.
  std::string line = "\"" + interpreter + "\" /d /c start \"\" /wait \"" + program + "\"";
  if (!parameters.empty()) line += " " + parameters;
  return line;
}

bool StartSelfRemovingCopy(const std::string& copy, const std::string& parameters, DWORD installerProcessId,
                           CUtl& log) {
  if (CUtl::OsFamily() == kFamily9x) return false;  // no such interpreter, no deletion on close
  std::string interpreter = SystemFile("cmd.exe");
  if (interpreter.empty() || GetFileAttributesA(interpreter.c_str()) == INVALID_FILE_ATTRIBUTES) return false;
  std::string line = WaitingStartLine(interpreter, copy, parameters);
  if (line.empty()) {
    log.WriteLog(0, "[CCmdOperator] The uninstaller copy is started directly [%s]\n", parameters.c_str());
    return false;
  }
  fw::UniqueHandle started(CreateEventA(nullptr, TRUE, FALSE, ClearRunEventName(installerProcessId).c_str()));
  if (!started || GetLastError() == ERROR_ALREADY_EXISTS) return false;

  // Shared for reading and deletion, as the system opens a program it starts;
  // never for writing, so nobody changes the copy before it runs.
  fw::UniqueFile guard(CreateFileA(copy.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                   OPEN_EXISTING, FILE_FLAG_DELETE_ON_CLOSE, nullptr));
  if (!guard) {
    log.WriteLog(GetLastError(), "[CCmdOperator] Open uninstaller copy for removal fail [%s]\n", copy.c_str());
    return false;
  }
  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  std::string commandLine = line;
  // Nothing is inherited: the interpreter and the copy would keep this run's
  // open files (the scripts in the destination) from being deleted. The
  // interpreter gets the copy's handle put into it before it starts. It works
  // in the copy's folder: a current folder in use cannot be removed, and this
  // run's is often the destination.
  std::string folder = copy.substr(0, copy.find_last_of('\\') + 1);
  if (!CreateProcessA(interpreter.c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                      CREATE_NO_WINDOW | CREATE_SUSPENDED, nullptr, folder.empty() ? nullptr : folder.c_str(),
                      &startup, &process)) {
    log.WriteLog(GetLastError(), "[CCmdOperator] Start uninstaller copy through [%s] fail\n", interpreter.c_str());
    return false;
  }
  fw::UniqueHandle thread(process.hThread);
  fw::UniqueHandle interpreterProcess(process.hProcess);
  HANDLE held = nullptr;
  if (!DuplicateHandle(GetCurrentProcess(), guard.Get(), interpreterProcess.Get(), &held, 0, FALSE,
                       DUPLICATE_SAME_ACCESS)) {
    log.WriteLog(GetLastError(), "[CCmdOperator] Hand the uninstaller copy to [%s] fail\n", interpreter.c_str());
    TerminateProcess(interpreterProcess.Get(), 1);
    return false;
  }
  // From here the interpreter holds the only handle of the copy.
  guard.Reset();
  ResumeThread(thread.Get());
  log.WriteLog(0, "[CCmdOperator] Run Exe file no wait [%s] [%s] \n", copy.c_str(), parameters.c_str());
  HANDLE waits[] = {started.Get(), interpreterProcess.Get()};
  DWORD result = WaitForMultipleObjects(2, waits, FALSE, kStartReportMs);
  if (result == WAIT_OBJECT_0 + 1) {
    log.WriteLog(0, "[CCmdOperator] The uninstaller copy ended without starting its run\n");
    // The system deletes the copy as it closes the interpreter's handles,
    // just after the interpreter counts as ended: the caller copies again
    // only once it is gone.
    for (DWORD start = GetTickCount();
         GetFileAttributesA(copy.c_str()) != INVALID_FILE_ATTRIBUTES && GetTickCount() - start < kRemovalWaitMs;) {
      Sleep(50);
    }
    return false;
  }
  if (result == WAIT_TIMEOUT) log.WriteLog(0, "[CCmdOperator] The uninstaller copy has not reported its start yet\n");
  return true;
}

bool ReportClearRunStart(DWORD installerProcessId) {
  fw::UniqueHandle started(OpenEventA(EVENT_MODIFY_STATE, FALSE, ClearRunEventName(installerProcessId).c_str()));
  if (!started) return false;
  SetEvent(started.Get());
  return true;
}

void SetRemovalArranged(const std::string& path) { ArrangedRemoval() = path; }

bool IsRemovalArranged(const std::string& path) {
  const std::string& arranged = ArrangedRemoval();
  return !arranged.empty() && _stricmp(arranged.c_str(), path.c_str()) == 0;
}

}  // namespace core
