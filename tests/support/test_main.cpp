// Main of every test program: GoogleTest plus the watchdog. Message boxes are
// never allowed to wait for a person: error dialogs of the system are off.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>

#include "tests/support/watchdog.h"

int main(int argc, char** argv) {
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
  ::testing::InitGoogleTest(&argc, argv);
  qx::test::InstallWatchdog();
  int result = RUN_ALL_TESTS();
  qx::test::StopWatchdog();
  // Everything a test made is gone by now. Under load Wine has been seen to
  // hang, once, in the process's exit after every test had passed; ending
  // the process outright cannot.
  std::fflush(stdout);
  std::fflush(stderr);
  TerminateProcess(GetCurrentProcess(), static_cast<UINT>(result));
  return result;
}
