#pragma once
// Starting whole programs from a test: a process with environment overrides
// that is ended when the object goes, and waiting on a condition with a
// deadline while this thread's messages are pumped.
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

namespace qx::test {

using Environment = std::vector<std::pair<std::string, std::string>>;  // an empty value removes a variable

class Process {
 public:
  Process() = default;
  ~Process();
  Process(const Process&) = delete;
  Process& operator=(const Process&) = delete;

  // Starts `program` with the arguments (the program path is put in front,
  // quoted), in `directory` (empty: the program's own folder).
  bool Start(const std::string& program, const std::string& arguments, const Environment& environment = {},
             const std::string& directory = "");
  // Waits for the end; false when it is still running after `ms`.
  bool Wait(DWORD ms, DWORD* exitCode = nullptr);
  bool Running() const;
  void Kill();
  DWORD Id() const { return id_; }
  HANDLE Handle() const { return process_; }

 private:
  HANDLE process_ = nullptr;
  DWORD id_ = 0;
};

// Pumps this thread's messages until `done()` holds or `ms` passed.
template <typename Fn>
bool WaitFor(Fn done, DWORD ms = 20000) {
  DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start > ms) return false;
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    Sleep(20);
  }
  return true;
}

// A Linux path of the build as Wine sees it ("Z:" and backslashes).
std::string WinePath(const std::string& unixPath);

}  // namespace qx::test
