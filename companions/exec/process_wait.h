#pragma once
// Running an item's command and waiting for what it leaves behind.
#include <windows.h>

#include <string>

namespace qx::exec {

// A command that runs longer is given up (and left running): an installer
// that never ends must not hang the installation for ever.
inline constexpr DWORD kCommandLimitMs = 30 * 60 * 1000;
// Default limit of the wait for a wait file or wait registry value.
inline constexpr DWORD kDefaultWaitLimitMs = 10 * 60 * 1000;

enum class RunResult { kExited, kNotStarted, kTimedOut };

// Starts the command with its parameters (CreateProcess on the command line
// of BuildCommandLine; when that cannot start it, for instance for a package
// or document file, ShellExecuteEx), waits for it and gives its exit code.
RunResult RunAndWait(const std::string& command, const std::string& param, DWORD* exitCode);

// Waits until the file exists; true when it does within the limit.
bool WaitForFile(const std::string& path, DWORD limitMs);
// Waits until the registry value exists and matches the data (see
// RegistryDataMatches); true when it does within the limit.
bool WaitForRegistry(const std::string& key, const std::string& value, const std::string& data, DWORD limitMs);

}  // namespace qx::exec
