#include "tests/support/watchdog.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace qx::test {
namespace {

std::atomic<unsigned> g_limitSeconds{60};
std::atomic<ULONGLONG> g_deadline{0};  // 0: no test running
std::string g_testName;                // written before g_deadline is armed
std::atomic<bool> g_stop{false};
HANDLE g_thread = nullptr;

unsigned DefaultLimit() {
  const char* value = std::getenv("QX_TEST_TIMEOUT");
  int seconds = value ? std::atoi(value) : 0;
  return seconds > 0 ? static_cast<unsigned>(seconds) : 60u;
}

BOOL CALLBACK PrintWindow(HWND window, LPARAM level) {
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if (pid != GetCurrentProcessId()) return TRUE;
  char title[256] = "", cls[256] = "";
  GetWindowTextA(window, title, sizeof(title));
  GetClassNameA(window, cls, sizeof(cls));
  std::fprintf(stderr, "%*s  window %p class \"%s\" title \"%s\"%s\n", static_cast<int>(level) * 2, "",
               static_cast<void*>(window), cls, title, IsWindowVisible(window) ? " (visible)" : "");
  if (level == 0) EnumChildWindows(window, PrintWindow, level + 1);
  return TRUE;
}

DWORD WINAPI WatchdogThread(void*) {
  while (!g_stop.load()) {
    Sleep(200);
    ULONGLONG deadline = g_deadline.load();
    if (deadline == 0 || GetTickCount64() < deadline) continue;
    std::fprintf(stderr, "\nWATCHDOG: test %s ran over its limit of %u s; open windows:\n", g_testName.c_str(),
                 g_limitSeconds.load());
    EnumWindows(PrintWindow, 0);
    std::fflush(stderr);
    std::fflush(stdout);
    TerminateProcess(GetCurrentProcess(), 3);
  }
  return 0;
}

class WatchdogListener : public ::testing::EmptyTestEventListener {
  void OnTestStart(const ::testing::TestInfo& info) override {
    g_limitSeconds = DefaultLimit();
    g_testName = std::string(info.test_suite_name()) + "." + info.name();
    g_deadline = GetTickCount64() + g_limitSeconds.load() * 1000ull;
  }
  void OnTestEnd(const ::testing::TestInfo&) override { g_deadline = 0; }
};

}  // namespace

void SetWatchdogLimit(unsigned seconds) {
  g_limitSeconds = seconds;
  g_deadline = GetTickCount64() + seconds * 1000ull;
}

void InstallWatchdog() {
  ::testing::UnitTest::GetInstance()->listeners().Append(new WatchdogListener);
  g_thread = CreateThread(nullptr, 0, WatchdogThread, nullptr, 0, nullptr);
}

void StopWatchdog() {
  g_stop = true;
  if (g_thread) {
    WaitForSingleObject(g_thread, 5000);
    CloseHandle(g_thread);
    g_thread = nullptr;
  }
}

}  // namespace qx::test
