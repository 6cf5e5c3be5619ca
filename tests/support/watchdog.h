#pragma once
// A watchdog for test programs: a test that runs past its limit is failed by
// ending the process, after the names of the test and of every window the
// process has open are printed. Nothing may hang a test run.
namespace qx::test {

// Limit of the running test in seconds (default 60, or QX_TEST_TIMEOUT).
void SetWatchdogLimit(unsigned seconds);

// Installed by the test main; stopped (its thread ended) before the main
// returns, so no thread of ours runs while the process takes itself down.
void InstallWatchdog();
void StopWatchdog();

}  // namespace qx::test
