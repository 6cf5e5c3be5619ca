#include "bench/startup/first_window.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "bench/clock.h"

namespace bench {
namespace {

// Our environment with the launch's variables set on top, as a block.
std::string EnvironmentBlock(const Launch& launch) {
  std::vector<std::string> entries;
  if (char* block = GetEnvironmentStringsA()) {
    for (const char* p = block; *p; p += std::strlen(p) + 1) entries.emplace_back(p);
    FreeEnvironmentStringsA(block);
  }
  for (const auto& [name, value] : launch.environment) {
    std::string prefix = name + "=";
    entries.erase(std::remove_if(entries.begin(), entries.end(),
                                 [&](const std::string& e) { return _strnicmp(e.c_str(), prefix.c_str(), prefix.size()) == 0; }),
                  entries.end());
    entries.push_back(prefix + value);
  }
  std::string out;
  for (const std::string& e : entries) out += e + '\0';
  return out + '\0';
}

struct Search {
  DWORD pid;
  HWND found;
};

BOOL CALLBACK FindVisible(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<Search*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if (pid == search->pid && IsWindowVisible(window)) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

HWND VisibleWindowOf(DWORD pid) {
  Search search{pid, nullptr};
  EnumWindows(FindVisible, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::string TitleOf(HWND window) {
  char text[256] = {};
  GetWindowTextA(window, text, sizeof(text));
  return text;
}

bool Start(const Launch& launch, DWORD flags, PROCESS_INFORMATION* info, double* startTime) {
  std::string line = "\"" + launch.program + "\" " + launch.arguments;
  std::string environment = EnvironmentBlock(launch);
  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  *startTime = Now();
  return CreateProcessA(launch.program.c_str(), line.data(), nullptr, nullptr, FALSE, flags, environment.data(),
                        nullptr, &startup, info) != 0;
}

// After the window was seen: close it as a user would, or end the process.
void Close(const Launch& launch, const PROCESS_INFORMATION& info, HWND window) {
  if (launch.closePolitely && window) {
    PostMessageA(window, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(info.hProcess, 5000) == WAIT_OBJECT_0) return;
  }
  TerminateProcess(info.hProcess, 1);
  WaitForSingleObject(info.hProcess, 5000);
}

}  // namespace

FirstWindow TimeFirstWindow(const Launch& launch, DWORD deadlineMs) {
  FirstWindow result;
  PROCESS_INFORMATION info{};
  double start = 0;
  if (!Start(launch, 0, &info, &start)) return result;
  result.started = true;
  HWND window = nullptr;
  for (;;) {
    if ((window = VisibleWindowOf(info.dwProcessId)) != nullptr) {
      result.shown = true;
      result.seconds = Now() - start;
      result.title = TitleOf(window);
      break;
    }
    if (WaitForSingleObject(info.hProcess, 1) == WAIT_OBJECT_0) {
      result.ended = true;
      result.seconds = Now() - start;
      GetExitCodeProcess(info.hProcess, &result.exitCode);
      break;
    }
    if (Now() - start > deadlineMs / 1000.0) {
      result.timedOut = true;
      break;
    }
  }
  if (!result.ended) Close(launch, info, window);
  CloseHandle(info.hThread);
  CloseHandle(info.hProcess);
  return result;
}

namespace {

std::string DebugText(HANDLE process, const OUTPUT_DEBUG_STRING_INFO& info) {
  if (info.fUnicode || info.nDebugStringLength == 0) return "";
  std::string text(info.nDebugStringLength, '\0');
  SIZE_T read = 0;
  ReadProcessMemory(process, info.lpDebugStringData, text.data(), text.size(), &read);
  text.resize(read);
  while (!text.empty() && (text.back() == '\0' || text.back() == '\n' || text.back() == '\r')) text.pop_back();
  return text;
}

std::string FileName(HANDLE file) {
  char path[MAX_PATH] = {};
  if (!file || !GetFinalPathNameByHandleA(file, path, MAX_PATH, 0)) return "?";
  std::string name = path;
  return name.rfind("\\\\?\\", 0) == 0 ? name.substr(4) : name;
}

bool IsSystemLibrary(std::string path) {
  std::transform(path.begin(), path.end(), path.begin(), [](unsigned char c) { return std::tolower(c); });
  // Windows' own folder, or where Wine keeps its built-in libraries.
  return path.find("\\windows\\") != std::string::npos || path.find("\\wine\\") != std::string::npos;
}

// New complete lines of a growing file.
class Tail {
 public:
  explicit Tail(std::string path) : path_(std::move(path)) {}
  std::vector<std::string> Lines() {
    std::vector<std::string> out;
    if (path_.empty()) return out;
    HANDLE file = CreateFileA(path_.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return out;
    DWORD size = GetFileSize(file, nullptr);
    if (size != INVALID_FILE_SIZE && size > offset_) {
      std::string data(size - offset_, '\0');
      DWORD read = 0;
      SetFilePointer(file, static_cast<LONG>(offset_), nullptr, FILE_BEGIN);
      ReadFile(file, data.data(), static_cast<DWORD>(data.size()), &read, nullptr);
      data.resize(read);
      size_t end = data.rfind('\n');
      if (end != std::string::npos) {
        offset_ += static_cast<DWORD>(end + 1);
        size_t from = 0;
        for (size_t nl; (nl = data.find('\n', from)) <= end; from = nl + 1) {
          std::string line = data.substr(from, nl - from);
          while (!line.empty() && line.back() == '\r') line.pop_back();
          if (!line.empty()) out.push_back(line);
        }
      }
    }
    CloseHandle(file);
    return out;
  }

 private:
  std::string path_;
  DWORD offset_ = 0;
};

}  // namespace

std::vector<Event> TraceFirstWindow(const Launch& launch, const std::string& logFile, DWORD deadlineMs,
                                    FirstWindow* result) {
  std::vector<Event> events;
  *result = FirstWindow{};
  PROCESS_INFORMATION info{};
  double start = 0;
  if (!Start(launch, DEBUG_ONLY_THIS_PROCESS, &info, &start)) return events;
  result->started = true;
  auto at = [&] { return (Now() - start) * 1000; };
  Tail log(logFile);
  int systemRun = 0;  // consecutive system libraries, reported as one line
  auto flushSystem = [&] {
    if (systemRun) events.push_back({at(), std::to_string(systemRun) + " system libraries loaded"});
    systemRun = 0;
  };
  bool exited = false, closing = false;
  HWND window = nullptr;
  while (!exited) {
    DEBUG_EVENT ev{};
    if (WaitForDebugEvent(&ev, 1)) {
      DWORD status = DBG_CONTINUE;
      switch (ev.dwDebugEventCode) {
        case CREATE_PROCESS_DEBUG_EVENT:
          if (ev.u.CreateProcessInfo.hFile) CloseHandle(ev.u.CreateProcessInfo.hFile);
          events.push_back({at(), "process created"});
          break;
        case LOAD_DLL_DEBUG_EVENT: {
          std::string name = FileName(ev.u.LoadDll.hFile);
          if (ev.u.LoadDll.hFile) CloseHandle(ev.u.LoadDll.hFile);
          if (IsSystemLibrary(name)) {
            ++systemRun;
          } else {
            flushSystem();
            events.push_back({at(), "library " + name});
          }
          break;
        }
        case OUTPUT_DEBUG_STRING_EVENT: {
          std::string text = DebugText(info.hProcess, ev.u.DebugString);
          if (!text.empty()) {
            flushSystem();
            events.push_back({at(), "trace: " + text});
          }
          break;
        }
        case EXCEPTION_DEBUG_EVENT:
          // The loader's breakpoint is ours to pass; every other exception is the program's.
          if (ev.u.Exception.ExceptionRecord.ExceptionCode != EXCEPTION_BREAKPOINT) status = DBG_EXCEPTION_NOT_HANDLED;
          break;
        case EXIT_PROCESS_DEBUG_EVENT:
          exited = true;
          if (!result->shown && !closing) {
            result->ended = true;
            result->exitCode = ev.u.ExitProcess.dwExitCode;
            result->seconds = at() / 1000;
            flushSystem();
            events.push_back({at(), "process ended, exit code " + std::to_string(ev.u.ExitProcess.dwExitCode)});
          }
          break;
      }
      ContinueDebugEvent(ev.dwProcessId, ev.dwThreadId, status);
    }
    for (const std::string& line : log.Lines()) events.push_back({at(), "log: " + line});
    if (!result->shown && !closing && (window = VisibleWindowOf(info.dwProcessId)) != nullptr) {
      result->shown = true;
      result->seconds = at() / 1000;
      result->title = TitleOf(window);
      flushSystem();
      events.push_back({at(), "first visible window \"" + result->title + "\""});
      closing = true;
      TerminateProcess(info.hProcess, 1);  // under the debugger a polite close would be timed too
    }
    if (!closing && at() > deadlineMs) {
      result->timedOut = true;
      closing = true;
      TerminateProcess(info.hProcess, 1);
    }
    if (closing && at() > deadlineMs + 10000.0) break;  // no exit report: give up on it
  }
  DebugActiveProcessStop(info.dwProcessId);
  CloseHandle(info.hThread);
  CloseHandle(info.hProcess);
  return events;
}

}  // namespace bench
