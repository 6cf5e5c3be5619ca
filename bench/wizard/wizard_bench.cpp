// Page changes and memory of the wizard, against the NSIS peer (bench/peer):
//   build/wine-run build/bench/wizard/wizard_bench.exe [runs] [medium]
// `medium` (a Windows path) takes the programs and libraries of another
// assembled medium, another build's, for a comparison; the scripts stay.
//
// Page changes: from just before the click to the new page visible (looked
// for without sleeping between two looks, and for both programs without
// asking the page for its texts while it is being made). setup.exe runs on a private copy
// of the assembled medium: Next (welcome page to the main menu), Back (main
// menu to the welcome page) and a language switch on the welcome page
// (English to Hebrew and back, the page's texts change in place). The peer:
// Next (welcome to licence) and Back (licence to welcome); it has one
// language. Medians over the runs, each run a fresh process.
//
// Memory: the peak working set (GetProcessMemoryInfo) of setup.exe over the
// driven wizard, of the peer over its driven wizard, of statmon.exe while it
// polls a ready printer for a job, and of the bare window program.
#include <windows.h>
#include <psapi.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "bench/clock.h"
#include "tests/e2e/e2e_support.h"
#include "tests/support/process.h"
#include "tests/support/temp_dir.h"
#include "tools/wizarddrive/page_driver.h"

namespace {

constexpr double kDeadline = 20.0;  // seconds for any one page to come

std::string g_binaries;  // the medium whose programs run; empty: the build's

// The programs and libraries of the medium at g_binaries, over those of a copy.
void TakeBinaries(const std::string& medium) {
  if (g_binaries.empty()) return;
  for (const char* file : {"setup.exe", "sampleitem.exe", "data\\setupres.dll", "data\\qxexec.dll", "data\\qxutil.dll",
                           "data\\qxremote.dll", "data\\qxdiag.dll", "data\\qxnetman.dll"}) {
    CopyFileA((g_binaries + "\\" + file).c_str(), (medium + "\\" + file).c_str(), FALSE);
  }
}

double Median(std::vector<double> values) {
  if (values.empty()) return -1;
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Looks as fast as it can until `done()` holds; milliseconds from `start`,
// or -1 after the deadline.
double TimeUntil(double start, const std::function<bool()>& done) {
  while (!done()) {
    if (bench::Now() - start > kDeadline) return -1;
    Sleep(0);
  }
  return (bench::Now() - start) * 1000;
}

double PeakWorkingSetMb(HANDLE process) {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof(counters);
  if (!GetProcessMemoryInfo(process, &counters, sizeof(counters))) return -1;
  return static_cast<double>(counters.PeakWorkingSetSize) / (1024.0 * 1024.0);
}

std::string Message(const std::string& stringFile, const char* key) {
  char text[1024] = "";
  GetPrivateProfileStringA("MESSAGES", key, "", text, sizeof(text), stringFile.c_str());
  return text;
}

struct Changes {
  std::vector<double> next, back, language;
  std::vector<double> memoryMb;
  int failed = 0;
};

// --- setup.exe -------------------------------------------------------------

bool IsPageWith(HWND window, const std::string& text) {
  return IsWindowVisible(window) && drive::ClassName(window) == "#32770" && drive::FindChild(window, "Static", text.c_str());
}

HWND OtherPage(DWORD pid, HWND page) {
  for (HWND window : drive::VisibleWindows(pid)) {
    if (window != page && IsWindowVisible(window) && drive::ClassName(window) == "#32770") return window;
  }
  return nullptr;
}

HWND FindPage(DWORD pid, const std::string& text) {
  for (HWND window : drive::VisibleWindows(pid)) {
    if (IsPageWith(window, text)) return window;
  }
  return nullptr;
}

bool RunOurs(Changes* out) {
  e2e::SetupMedium medium;
  TakeBinaries(medium.Dir());
  const std::string en = medium.Dir() + "\\Lang\\setupEN.str", hb = medium.Dir() + "\\Lang\\setupHB.str";
  const std::string welcomeEn = Message(en, "MSG_WELCOME_TITLE"), welcomeHb = Message(hb, "MSG_WELCOME_TITLE");
  const std::string menuEn = Message(en, "MSG_MENU_TITLE");
  qx::test::Process process;
  if (!medium.Start(&process, "", {{"QX_MESSAGE_BOX_ANSWER", "1"}, {"QX_TRACE_FILE", ""}})) return false;
  const DWORD pid = process.Id();
  double start = bench::Now();
  HWND welcome = nullptr;
  if (TimeUntil(start, [&] { return (welcome = FindPage(pid, welcomeEn)) != nullptr; }) < 0) return false;
  // The first page settles (its start command has returned) before the first click.
  drive::WaitUntil([] { return false; }, 300);

  HWND combo = drive::FindChild(welcome, "ComboBox");
  if (!combo) return false;
  start = bench::Now();
  drive::ChooseComboRow(combo, 1);
  double toHebrew = TimeUntil(start, [&] { return drive::FindChild(welcome, "Static", welcomeHb.c_str()) != nullptr; });
  drive::WaitUntil([] { return false; }, 100);
  combo = drive::FindChild(welcome, "ComboBox");
  start = bench::Now();
  drive::ChooseComboRow(combo, 0);
  double toEnglish = TimeUntil(start, [&] { return drive::FindChild(welcome, "Static", welcomeEn.c_str()) != nullptr; });
  if (toHebrew < 0 || toEnglish < 0) return false;
  out->language.push_back(toHebrew);
  out->language.push_back(toEnglish);
  drive::WaitUntil([] { return false; }, 100);

  HWND next = drive::FindChild(welcome, "Button", Message(en, "BTN_NEXT").c_str());
  if (!next) return false;
  HWND menu = nullptr;
  start = bench::Now();
  drive::ClickObject(next);
  // Looked for as the peer's new page is: a visible page window other than
  // the one clicked on, without asking it for its texts (each asks the busy
  // program and would add to the figure); its title is checked afterwards.
  double forward = TimeUntil(start, [&] { return (menu = OtherPage(pid, welcome)) != nullptr; });
  if (forward < 0 || !IsPageWith(menu, menuEn)) return false;
  out->next.push_back(forward);
  drive::WaitUntil([] { return false; }, 100);

  HWND back = drive::FindChild(menu, "Button", Message(en, "BTN_BACK").c_str());
  if (!back) return false;
  start = bench::Now();
  drive::ClickObject(back);
  double backward = TimeUntil(start, [&] { return IsWindowVisible(welcome) && !IsWindowVisible(menu); });
  if (backward < 0) return false;
  out->back.push_back(backward);
  out->memoryMb.push_back(PeakWorkingSetMb(process.Handle()));
  process.Kill();
  return true;
}

// --- the NSIS peer ------------------------------------------------------------

// The peer's wizard window: a visible dialog of the process with a Next button (id 1).
HWND PeerFrame(DWORD pid) {
  for (HWND window : drive::VisibleWindows(pid)) {
    if (drive::ClassName(window) == "#32770" && GetDlgItem(window, 1)) return window;
  }
  return nullptr;
}

// The page inside the frame: its visible child dialog.
HWND PeerPage(HWND frame) {
  for (HWND child = GetWindow(frame, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (IsWindowVisible(child) && drive::ClassName(child) == "#32770") return child;
  }
  return nullptr;
}

bool RunPeer(const std::string& peer, const std::string& temp, Changes* out) {
  qx::test::Process process;
  if (!process.Start(peer, "", {{"TEMP", temp}, {"TMP", temp}}, temp)) return false;
  const DWORD pid = process.Id();
  double start = bench::Now();
  HWND frame = nullptr, page = nullptr;
  if (TimeUntil(start, [&] { return (frame = PeerFrame(pid)) && (page = PeerPage(frame)); }) < 0) return false;
  drive::WaitUntil([] { return false; }, 300);
  HWND welcome = page;
  start = bench::Now();
  PostMessageA(GetDlgItem(frame, 1), BM_CLICK, 0, 0);
  HWND licence = nullptr;
  double forward = TimeUntil(start, [&] { return (licence = PeerPage(frame)) != nullptr && licence != welcome; });
  if (forward < 0) return false;
  out->next.push_back(forward);
  drive::WaitUntil([] { return false; }, 100);
  start = bench::Now();
  PostMessageA(GetDlgItem(frame, 3), BM_CLICK, 0, 0);
  double backward = TimeUntil(start, [&] {
    HWND now = PeerPage(frame);
    return now != nullptr && now != licence;
  });
  if (backward < 0) return false;
  out->back.push_back(backward);
  out->memoryMb.push_back(PeakWorkingSetMb(process.Handle()));
  process.Kill();
  return true;
}

// --- statmon.exe and the bare window -------------------------------------------

DWORD FindProcess(const char* exeName) {
  DWORD found = 0;
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return 0;
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof(entry);
  for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
    if (_stricmp(entry.szExeFile, exeName) == 0) found = entry.th32ProcessID;
  }
  CloseHandle(snapshot);
  return found;
}

int Count(const std::string& text, const std::string& part) {
  int n = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

// statmon.exe of the medium, handed a job for a ready printer of the simulated
// world; measured once it has polled three times.
double StatmonWhilePolling(const std::string& build) {
  qx::test::TempDir dir;
  const std::string from = (g_binaries.empty() ? build + "\\medium" : g_binaries) + "\\StatMon";
  if (!qx::test::CopyTree(from, dir.Path())) return -1;
  const std::string exe = dir.File("QXBenchMon.exe");
  if (!MoveFileA(dir.File("statmon.exe").c_str(), exe.c_str())) return -1;
  CopyFileA(dir.File("QXL2020.dat").c_str(), dir.File("QXBenchMon.dat").c_str(), FALSE);
  dir.Write("world.ini",
            "[PRINTER.USB001]\r\nMDL=MFG:QX;MDL:QX-L2020;\r\nStatus=01 01 00 00 00 32 0A 00\r\n"
            "ServiceTag=QX7F3K2\r\n[QUEUE.QX Laser L2020]\r\nJobs=1\r\n");
  const std::string trace = dir.File("trace.txt");
  qx::test::Environment environment = {{"QX_WORLD_FILE", dir.File("world.ini")}, {"QX_TRACE_FILE", trace},
                                       {"TEMP", dir.Path()}, {"TMP", dir.Path()}};
  qx::test::Process announcer;
  if (!announcer.Start(build + "\\tools\\jobannounce\\jobannounce.exe",
                       "/pipe /exe \"" + exe + "\" /printer \"QX Laser L2020\" /display report.doc /key QXMemBench",
                       environment, dir.Path()) ||
      !announcer.Wait(30000)) {
    return -1;
  }
  DWORD pid = 0;
  drive::WaitUntil([&] { return (pid = FindProcess("QXBenchMon.exe")) != 0; }, 10000);
  HANDLE process = pid ? OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ | PROCESS_TERMINATE, FALSE, pid)
                       : nullptr;
  if (!process) return -1;
  bool polled = drive::WaitUntil(
      [&] { return Count(qx::test::TempDir::Read(trace), "Enter Polling Timer routine") >= 3; }, 30000);
  double mb = polled ? PeakWorkingSetMb(process) : -1;
  TerminateProcess(process, 1);
  WaitForSingleObject(process, 5000);
  CloseHandle(process);
  return mb;
}

double BareWindow(const std::string& build) {
  qx::test::Process process;
  if (!process.Start(build + "\\bench\\startup\\bare_window.exe", "")) return -1;
  if (!drive::WaitForWindow(process.Id(), [](HWND) { return true; }, 20000)) return -1;
  drive::WaitUntil([] { return false; }, 200);
  double mb = PeakWorkingSetMb(process.Handle());
  process.Kill();
  return mb;
}

void Row(const char* what, double ours, double reference, const char* referenceName, const char* unit) {
  if (ours < 0) {
    std::printf("  %-34s %9s\n", what, "-");
    return;
  }
  std::printf("  %-34s %9.1f %s", what, ours, unit);
  if (reference > 0) std::printf("   %-12s %9.1f %s   ratio %5.2f", referenceName, reference, unit, ours / reference);
  std::printf("\n");
}

}  // namespace

int main(int argc, char** argv) {
  int runs = argc > 1 ? std::atoi(argv[1]) : 5;
  if (runs < 1 || runs > 50) runs = 5;
  if (argc > 2) g_binaries = argv[2];
  const std::string build = qx::test::WinePath(QX_BUILD_DIR);
  const std::string peer = build + "\\bench\\peer\\peer_setup.exe";
  const bool havePeer = Exists(peer);
  if (!havePeer) std::printf("missing: %s (built by the target bench_peer when makensis is installed: Debian package nsis)\n", peer.c_str());
  if (!Exists(build + "\\medium\\setup.exe")) {
    std::printf("missing: %s\\medium\\setup.exe (scripts/build)\n", build.c_str());
    return 1;
  }
  qx::test::TempDir peerTemp;
  Changes ours, theirs;
  for (int r = 0; r < runs; ++r) {
    if (!RunOurs(&ours)) ++ours.failed;
    if (havePeer && !RunPeer(peer, peerTemp.Path(), &theirs)) ++theirs.failed;
  }
  std::printf("\npage changes, click to the new page visible, medians of %d runs (ms)\n", runs);
  Row("Next (welcome to next page)", Median(ours.next), Median(theirs.next), "NSIS peer", "ms");
  Row("Back (to the welcome page)", Median(ours.back), Median(theirs.back), "NSIS peer", "ms");
  Row("language switch (in place)", Median(ours.language), 30, "goal", "ms");
  if (!ours.next.empty()) {
    std::printf("  setup.exe slowest of all its page changes: %.1f ms (goal 30 ms)\n",
                std::max({*std::max_element(ours.next.begin(), ours.next.end()),
                          *std::max_element(ours.back.begin(), ours.back.end()),
                          *std::max_element(ours.language.begin(), ours.language.end())}));
  }
  if (ours.failed) std::printf("  setup.exe: %d run(s) did not reach every page\n", ours.failed);
  if (theirs.failed) std::printf("  NSIS peer: %d run(s) did not reach every page\n", theirs.failed);

  std::printf("\npeak working set (MB)\n");
  double peerMb = Median(theirs.memoryMb);
  Row("setup.exe, wizard driven", Median(ours.memoryMb), peerMb, "NSIS peer", "MB");
  std::vector<double> statmon;
  for (int r = 0; r < std::min(runs, 3); ++r) statmon.push_back(StatmonWhilePolling(build));
  Row("statmon.exe, polling", Median(statmon), peerMb, "NSIS peer", "MB");
  Row("bare window program", BareWindow(build), peerMb, "NSIS peer", "MB");
  return 0;
}
