#pragma once
// Timing a program from its process start to its first visible top-level
// window, from inside Wine: CreateProcess, then EnumWindows polled for a
// visible window of that process, with a deadline. A program that ends before
// it shows a window is reported with its exit code.
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

namespace bench {

struct Launch {
  std::string program;
  std::string arguments;
  std::vector<std::pair<std::string, std::string>> environment;  // set on top of ours
  // Close the window with WM_CLOSE and wait, or end the process at once
  // (for programs that ask before they close).
  bool closePolitely = true;
};

struct FirstWindow {
  bool started = false;
  bool shown = false;      // a visible top-level window appeared
  bool ended = false;      // the process ended before that
  bool timedOut = false;   // neither before the deadline
  double seconds = 0;      // from just before CreateProcess to the window or the end
  DWORD exitCode = 0;      // when ended
  std::string title;       // of the window
};

// One run. The process is closed (or ended) after its window was seen.
FirstWindow TimeFirstWindow(const Launch& launch, DWORD deadlineMs);

// What a program did until its first window, in order, with times from just
// before CreateProcess: its debug texts (OutputDebugString, the programs'
// trace), the libraries it loaded, the lines it appended to `logFile` (may be
// empty), and the first window or the end. The program runs under the
// debugger interface, which costs time of its own: use for the split, not
// for the total.
struct Event {
  double ms;
  std::string what;
};
std::vector<Event> TraceFirstWindow(const Launch& launch, const std::string& logFile, DWORD deadlineMs,
                                    FirstWindow* result);

}  // namespace bench
