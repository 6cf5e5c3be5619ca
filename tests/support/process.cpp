#include "tests/support/process.h"

#include <algorithm>
#include <cctype>
#include <map>

namespace qx::test {
namespace {

struct NoCase {
  bool operator()(const std::string& a, const std::string& b) const {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
      return std::toupper(static_cast<unsigned char>(x)) < std::toupper(static_cast<unsigned char>(y));
    });
  }
};

// This process's environment with the overrides applied, as a block for CreateProcess.
std::string EnvironmentBlock(const Environment& overrides) {
  std::map<std::string, std::string, NoCase> variables;
  char* strings = GetEnvironmentStringsA();
  for (const char* p = strings; p && *p; p += strlen(p) + 1) {
    std::string entry(p);
    size_t equals = entry.find('=', 1);  // names like "=C:" start with "="
    if (equals == std::string::npos) continue;
    variables[entry.substr(0, equals)] = entry.substr(equals + 1);
  }
  if (strings) FreeEnvironmentStringsA(strings);
  for (const auto& [name, value] : overrides) {
    if (value.empty()) {
      variables.erase(name);
    } else {
      variables[name] = value;
    }
  }
  std::string block;
  for (const auto& [name, value] : variables) block += name + "=" + value + '\0';
  block += '\0';
  return block;
}

}  // namespace

Process::~Process() {
  Kill();
  if (process_) CloseHandle(process_);
}

bool Process::Start(const std::string& program, const std::string& arguments, const Environment& environment,
                    const std::string& directory) {
  std::string commandLine = "\"" + program + "\"" + (arguments.empty() ? "" : " " + arguments);
  std::string folder = directory;
  if (folder.empty()) folder = program.substr(0, program.find_last_of('\\'));
  std::string block = EnvironmentBlock(environment);
  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info{};
  if (!CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, block.data(),
                      folder.empty() ? nullptr : folder.c_str(), &startup, &info)) {
    return false;
  }
  CloseHandle(info.hThread);
  process_ = info.hProcess;
  id_ = info.dwProcessId;
  return true;
}

bool Process::Wait(DWORD ms, DWORD* exitCode) {
  if (!process_) return false;
  if (WaitForSingleObject(process_, ms) != WAIT_OBJECT_0) return false;
  if (exitCode) GetExitCodeProcess(process_, exitCode);
  return true;
}

bool Process::Running() const { return process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT; }

void Process::Kill() {
  if (Running()) {
    TerminateProcess(process_, 99);
    WaitForSingleObject(process_, 5000);
  }
}

std::string WinePath(const std::string& unixPath) {
  std::string path = "Z:" + unixPath;
  std::replace(path.begin(), path.end(), '/', '\\');
  return path;
}

}  // namespace qx::test
