// From process start to the first visible top-level window, under Wine:
//   build/wine-run build/bench/startup/startup_bench.exe [runs] [other setup.exe]
// for (a) a bare GUI program (one window), (b) the NSIS peer installer over
// the sample medium's payload (bench/peer), (c) setup.exe on the assembled
// sample medium; medians of several runs, side by side. Then one run of
// setup.exe under the debugger interface splits its start-up: process start,
// its libraries (the companion libraries among them), the log lines written
// while the scripts are read, and what comes last. An other setup.exe (a
// Windows path, for example another build's medium) runs in the same rounds,
// for a comparison.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/startup/first_window.h"
#include "tests/support/process.h"
#include "tests/support/temp_dir.h"

namespace {

struct Subject {
  const char* label;
  bench::Launch launch;
  std::vector<bench::FirstWindow> runs;
};

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? 0 : values[values.size() / 2];
}

void PrintRow(const Subject& s) {
  std::vector<double> shown, ended;
  DWORD exitCode = 0;
  int timedOut = 0, failed = 0;
  std::string title;
  for (const bench::FirstWindow& r : s.runs) {
    if (!r.started) ++failed;
    if (r.shown) shown.push_back(r.seconds * 1000), title = r.title;
    if (r.ended) ended.push_back(r.seconds * 1000), exitCode = r.exitCode;
    if (r.timedOut) ++timedOut;
  }
  std::printf("%-26s", s.label);
  if (!shown.empty()) {
    std::printf(" %9.1f %9.1f %9.1f  %zu/%zu  \"%s\"", Median(shown), *std::min_element(shown.begin(), shown.end()),
                *std::max_element(shown.begin(), shown.end()), shown.size(), s.runs.size(), title.c_str());
  } else {
    std::printf(" %9s %9s %9s  0/%zu ", "-", "-", "-", s.runs.size());
  }
  if (!ended.empty()) {
    std::printf("  ended without a window in %zu run(s), exit code %lu, median %.1f ms", ended.size(), exitCode,
                Median(ended));
  }
  if (timedOut) std::printf("  no window before the deadline in %d run(s)", timedOut);
  if (failed) std::printf("  could not be started (%s)", s.launch.program.c_str());
  std::printf("\n");
}

// The start-up of setup.exe in spans between marks of its trace, log and
// library loads (a span whose marks are missing is left out).
void PrintPhases(const std::vector<bench::Event>& events, const bench::FirstWindow& traced) {
  auto find = [&](auto pred, size_t from = 0) {
    for (size_t i = from; i < events.size(); ++i)
      if (pred(events[i].what)) return static_cast<int>(i);
    return -1;
  };
  auto has = [](const char* needle) { return [needle](const std::string& w) { return w.find(needle) != std::string::npos; }; };
  auto isCompanion = has("\\data\\qx");
  int ownCode = find(has("trace: "));
  // A library's load report comes when it is mapped; its own start-up ends at
  // the next event that is no library load. Companion libraries are summed
  // wherever they load (the start command may need one).
  double companionMs = 0;
  std::string companions;
  for (size_t i = 0; i < events.size(); ++i) {
    if (!isCompanion(events[i].what)) continue;
    int next = find([](const std::string& w) { return w.rfind("library ", 0) != 0; }, i + 1);
    if (next >= 0) companionMs += events[static_cast<size_t>(next)].ms - events[i].ms;
    companions += (companions.empty() ? "" : ", ") + events[i].what.substr(events[i].what.rfind('\\') + 1);
  }
  int resource = find(has("log: [CQXInstApp] Resource file"));
  int startCommand = find(has("log: [CQXInstApp] Start"));
  int end = events.empty() ? -1 : static_cast<int>(events.size()) - 1;
  struct Span {
    const char* label;
    int from, to;  // event indexes; -2 for the moment of CreateProcess
  };
  std::string endLabel = traced.shown ? "start command to the first window" : "start command to the end";
  const Span spans[] = {
      {"process start: loader, static libraries, runtime", -2, ownCode},
      {"command line, log, environment, scripts, control window, resource library", ownCode, resource},
      {"to the start command", resource, startCommand},
      {endLabel.c_str(), startCommand, end},
  };
  std::printf("\nsetup.exe start-up phases (ms, traced run)\n");
  for (const Span& s : spans) {
    if (s.to < 0 || s.from == -1) continue;
    double from = s.from == -2 ? 0 : events[static_cast<size_t>(s.from)].ms;
    std::printf("  %-76s %8.1f\n", s.label, events[static_cast<size_t>(s.to)].ms - from);
  }
  std::string companionLabel = "of which companion libraries (" + (companions.empty() ? "none" : companions) + ")";
  std::printf("  %-76s %8.1f\n", companionLabel.c_str(), companionMs);
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

}  // namespace

int main(int argc, char** argv) {
  int runs = argc > 1 ? std::atoi(argv[1]) : 7;
  if (runs < 1 || runs > 100) runs = 7;
  const DWORD deadlineMs = 30000;
  const std::string build = qx::test::WinePath(QX_BUILD_DIR);
  char tempPath[MAX_PATH];
  GetTempPathA(sizeof(tempPath), tempPath);
  const std::string temp = std::string(tempPath) + "qx_startup_bench";
  qx::test::RemoveTree(temp);
  CreateDirectoryA(temp.c_str(), nullptr);
  // The programs' logs and temporary files go to a folder of ours; every
  // message box (the cancel question when a page is closed) is answered Yes.
  const std::vector<std::pair<std::string, std::string>> environment = {
      {"TEMP", temp}, {"TMP", temp}, {"QX_MESSAGE_BOX_ANSWER", "6"}, {"QX_TRACE_FILE", ""}};

  std::vector<Subject> subjects = {
      {"bare window", {build + "\\bench\\startup\\bare_window.exe", "", environment, true}, {}},
      // The peer asks before it closes: it is ended instead.
      {"NSIS peer (welcome page)", {build + "\\bench\\peer\\peer_setup.exe", "", environment, false}, {}},
      {"setup.exe, sample medium", {build + "\\medium\\setup.exe", "", environment, true}, {}},
  };
  if (argc > 2) subjects.push_back({"setup.exe, other build", {argv[2], "", environment, true}, {}});
  for (const Subject& s : subjects) {
    if (!Exists(s.launch.program)) std::printf("missing: %s\n", s.launch.program.c_str());
  }
  if (!Exists(subjects[1].launch.program)) {
    std::printf("  (the peer is built by the target bench_peer when makensis is installed: Debian package nsis)\n");
  }
  // Rounds take the programs in turn, so that the machine's ups and downs are shared.
  for (int round = 0; round < runs; ++round) {
    for (Subject& s : subjects) {
      if (Exists(s.launch.program)) s.runs.push_back(bench::TimeFirstWindow(s.launch, deadlineMs));
    }
  }
  std::printf("\nprocess start to first visible window, %d runs each (ms)\n", runs);
  std::printf("%-26s %9s %9s %9s  %s\n", "program", "median", "min", "max", "shown, title");
  for (const Subject& s : subjects) PrintRow(s);

  // One traced run of setup.exe: where its start-up goes.
  const Subject& setup = subjects[2];
  if (Exists(setup.launch.program)) {
    std::string log = temp + "\\setup.exe.log";
    DeleteFileA(log.c_str());
    bench::FirstWindow traced;
    std::vector<bench::Event> events = bench::TraceFirstWindow(setup.launch, log, deadlineMs, &traced);
    std::printf("\nsetup.exe start-up, one run under the debugger interface (slower than the runs above)\n");
    double last = 0;
    for (const bench::Event& e : events) {
      std::printf("%9.1f ms  (+%7.1f)  %s\n", e.ms, e.ms - last, e.what.c_str());
      last = e.ms;
    }
    PrintPhases(events, traced);
  }
  qx::test::RemoveTree(temp);
  return 0;
}
