#pragma once
// Helpers of the status monitor tests: where the built programs and the sample
// data are, and a monitor installation in a temporary folder.
#include <windows.h>

#include <string>

#include "tests/support/temp_dir.h"

namespace smtest {

// A file of this build, by its path relative to the build folder.
std::string BuildFile(const std::string& relative);
// The shipped sample data (media/statmon).
std::string MediaDir();
std::string ReadMedia(const std::string& name);

// Copies statmon.exe (under `exeName`), smdevmon.dll and the sample data into
// the folder; returns the path of the copied program.
std::string InstallSample(const qx::test::TempDir& dir, const std::string& exeName = "statmon.exe");

// Waits (pumping this thread's messages) until `done` holds or `ms` passed.
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

// A process started by a test; ended when the object goes if still running.
class Process {
 public:
  Process() = default;
  ~Process();
  Process(const Process&) = delete;
  Process& operator=(const Process&) = delete;
  // `commandLine` is passed as it stands (the program path goes separately).
  bool Start(const std::string& program, const std::string& commandLine, const std::string& directory);
  bool Wait(DWORD ms, DWORD* exitCode);
  HANDLE Handle() const { return process_; }

 private:
  HANDLE process_ = nullptr;
};

}  // namespace smtest
