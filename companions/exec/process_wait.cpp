#include "companions/exec/process_wait.h"

#include <shellapi.h>

#include <vector>

#include "companions/exec/item_record.h"
#include "companions/world/companion_log.h"
#include "companions/world/text.h"
#include "framework/handles.h"

namespace qx::exec {
namespace {

constexpr DWORD kPollMs = 100;

RunResult WaitForProcess(HANDLE process, DWORD* exitCode) {
  if (WaitForSingleObject(process, kCommandLimitMs) != WAIT_OBJECT_0) return RunResult::kTimedOut;
  GetExitCodeProcess(process, exitCode);
  return RunResult::kExited;
}

std::string DirectoryOf(const std::string& path) {
  size_t slash = path.find_last_of("\\/");
  if (slash == std::string::npos) return {};
  std::string dir = path.substr(0, slash);
  DWORD attributes = GetFileAttributesA(dir.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) ? dir : std::string();
}

template <typename Condition>
bool PollUntil(DWORD limitMs, Condition condition) {
  DWORD start = GetTickCount();
  for (;;) {
    if (condition()) return true;
    if (GetTickCount() - start >= limitMs) return false;
    Sleep(kPollMs);
  }
}

}  // namespace

RunResult RunAndWait(const std::string& command, const std::string& param, DWORD* exitCode) {
  *exitCode = 0;
  std::string file = world::Trim(command);
  if (file.size() >= 2 && file.front() == '"' && file.back() == '"') file = file.substr(1, file.size() - 2);
  bool isFile = GetFileAttributesA(file.c_str()) != INVALID_FILE_ATTRIBUTES;
  std::string commandLine = BuildCommandLine(command, param, isFile);
  // CreateProcess may write into the command line: a modifiable heap copy.
  std::vector<char> line(commandLine.begin(), commandLine.end());
  line.push_back('\0');
  std::string dir = isFile ? DirectoryOf(file) : std::string();
  STARTUPINFOA si{};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi{};
  if (CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, dir.empty() ? nullptr : dir.c_str(),
                     &si, &pi)) {
    fw::UniqueHandle process(pi.hProcess), thread(pi.hThread);
    return WaitForProcess(process.Get(), exitCode);
  }
  DWORD error = GetLastError();
  if (!isFile) {
    world::Log("qxexec", "CreateProcess failed (%lu)", error);
    return RunResult::kNotStarted;
  }
  // One existing file that is no program (a package, a document): the shell opens it.
  world::Log("qxexec", "CreateProcess (%s) failed (%lu), trying the shell", file.c_str(), error);
  std::string params = world::Trim(param);
  SHELLEXECUTEINFOA sei{};
  sei.cbSize = sizeof(sei);
  sei.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
  sei.lpFile = file.c_str();
  sei.lpParameters = params.empty() ? nullptr : params.c_str();
  sei.lpDirectory = dir.empty() ? nullptr : dir.c_str();
  sei.nShow = SW_SHOWNORMAL;
  if (!ShellExecuteExA(&sei) || !sei.hProcess) {
    world::Log("qxexec", "ShellExecuteEx (%s) failed (%lu)", file.c_str(), GetLastError());
    return RunResult::kNotStarted;
  }
  fw::UniqueHandle process(sei.hProcess);
  return WaitForProcess(process.Get(), exitCode);
}

bool WaitForFile(const std::string& path, DWORD limitMs) {
  return PollUntil(limitMs, [&] { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; });
}

bool WaitForRegistry(const std::string& key, const std::string& value, const std::string& data, DWORD limitMs) {
  HKEY hive = HKEY_LOCAL_MACHINE;
  std::string path;
  SplitRegistryPath(key, &hive, &path);
  std::vector<BYTE> buffer(4097);
  return PollUntil(limitMs, [&] {
    fw::UniqueRegKey k;
    if (RegOpenKeyExA(hive, path.c_str(), 0, KEY_READ, k.Put()) != ERROR_SUCCESS) return false;
    if (value.empty() && data.empty()) return true;  // only the key was asked for
    DWORD type = 0, size = static_cast<DWORD>(buffer.size() - 1);
    std::fill(buffer.begin(), buffer.end(), 0);
    if (RegQueryValueExA(k.Get(), value.c_str(), nullptr, &type, buffer.data(), &size) != ERROR_SUCCESS) return false;
    return RegistryDataMatches(type, buffer.data(), size, data);
  });
}

}  // namespace qx::exec
