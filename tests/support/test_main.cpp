// Main of every test program: GoogleTest plus the watchdog. Message boxes are
// never allowed to wait for a person: error dialogs of the system are off.
#include <windows.h>

#include <gtest/gtest.h>

#include "tests/support/watchdog.h"

int main(int argc, char** argv) {
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
  ::testing::InitGoogleTest(&argc, argv);
  qx::test::InstallWatchdog();
  int result = RUN_ALL_TESTS();
  qx::test::StopWatchdog();
  return result;
}
