#pragma once
// Helpers of the framework tests: waiting on a condition while the thread's
// messages are pumped, with a deadline instead of sleeps.
#include <windows.h>

#include <functional>

namespace fw::test {

// Pumps this thread's messages until the condition holds or the deadline
// passes; returns the condition's last value.
inline bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 10000) {
  ULONGLONG deadline = GetTickCount64() + timeoutMs;
  while (!done()) {
    if (GetTickCount64() >= deadline) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
  return true;
}

// A class name unique to this process and call, so tests never share a class.
const char* UniqueClassName();

}  // namespace fw::test
