// Whole factory installs of the assembled sample medium, timed from outside:
//   build/wine-run build/bench/factory/factory_bench.exe [runs]
// Each run takes a fresh copy of build/medium under a product identity of its
// own (its files dated an hour back, as a medium's are) and times
//  - setup.exe /S, once with the script values read from memory and once with
//    the system's reader (QX_PROFILE_READER=system, the reference);
//  - the uninstall as the uninstall wizard does it: the items through the
//    installation library, then the clear run (setup.exe /CLEAR);
//  - the NSIS peer (bench/peer) of the same payload: its silent install
//    (/S /D=...) and its uninstaller's silent run;
//  - the NSIS peer doing the same work as the factory install (peer_items:
//    the medium's item program for the same five items, the same five
//    shortcuts), from inside a copy of the medium, and its uninstall.
// Prints the medians and the least times of the runs (default 5): on a
// shared machine the least time is the steadier figure.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/clock.h"
#include "tests/e2e/e2e_support.h"

namespace {

double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

void DateBack(const std::string& folder) {
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  ULARGE_INTEGER t{{now.dwLowDateTime, now.dwHighDateTime}};
  t.QuadPart -= 3600ull * 10000000ull;
  FILETIME old{t.LowPart, t.HighPart};
  WIN32_FIND_DATAA found;
  HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &found);
  if (find == INVALID_HANDLE_VALUE) return;
  do {
    std::string name = found.cFileName;
    if (name == "." || name == "..") continue;
    std::string path = folder + "\\" + name;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      DateBack(path);
      continue;
    }
    HANDLE file = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) continue;
    SetFileTime(file, nullptr, nullptr, &old);
    CloseHandle(file);
  } while (FindNextFileA(find, &found));
  FindClose(find);
}

// Seconds of a run of the program, or -1 when it could not start or ran over a minute.
double Timed(const std::string& program, const std::string& arguments, DWORD* code) {
  qx::test::Process process;
  double start = bench::Now();
  if (!process.Start(program, arguments)) return -1;
  if (!process.Wait(60000, code)) return -1;
  return bench::Now() - start;
}

struct OurRun {
  double install = -1;
  double uninstall = -1;
};

OurRun RunOurs(bool systemReader) {
  e2e::SetupMedium medium;
  DateBack(medium.Dir());
  qx::test::Environment environment = {{"QX_TRACE_FILE", ""}};
  if (systemReader) environment.push_back({"QX_PROFILE_READER", "system"});
  OurRun run;
  double start = bench::Now();
  long code = medium.Run("/S", environment);
  run.install = bench::Now() - start;
  if (code != 1) {
    std::printf("  factory run ended with %ld\n", code);
    run.install = -1;
    return run;
  }
  start = bench::Now();
  medium.UninstallItems();
  code = medium.Run("/CLEAR /CLS " + medium.Identity().Program() + " /REG " + medium.Identity().UninstallKey(),
                    environment);
  run.uninstall = bench::Now() - start;
  if (code != 1) {
    std::printf("  clear run ended with %ld\n", code);
    run.uninstall = -1;
  }
  return run;
}

// The peer's silent install into `dir` and its uninstaller's silent run;
// "_?=" keeps the uninstaller in place, so that its run is the whole uninstall.
void RunPeer(const std::string& program, const std::string& dir, std::vector<double>* install,
             std::vector<double>* uninstall) {
  qx::test::RemoveTree(dir);
  DWORD code = 0;
  double in = Timed(program, "/S /D=" + dir, &code);
  if (in > 0 && code == 0) install->push_back(in);
  double out = Timed(dir + "\\Uninstall.exe", "/S _?=" + dir, &code);
  if (out > 0 && code == 0) uninstall->push_back(out);
  qx::test::RemoveTree(dir);
}

void Print(const char* what, const std::vector<double>& seconds, double reference) {
  double median = Median(seconds);
  double least = seconds.empty() ? 0 : *std::min_element(seconds.begin(), seconds.end());
  std::printf("  %-42s median %7.1f ms, least %7.1f ms", what, median * 1000, least * 1000);
  if (reference > 0 && median > 0) std::printf("  (%.2fx the peer's)", median / reference);
  std::printf("\n");
}

}  // namespace

int main(int argc, char** argv) {
  int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  std::string peer = e2e::BuildPath("bench/peer/peer_setup.exe");
  bool havePeer = GetFileAttributesA(peer.c_str()) != INVALID_FILE_ATTRIBUTES;
  char temp[MAX_PATH];
  GetTempPathA(sizeof(temp), temp);
  std::string peerDir = std::string(temp) + "qx_factory_bench_peer";

  std::string itemsPeer = e2e::BuildPath("bench/peer/peer_items.exe");
  bool haveItemsPeer = GetFileAttributesA(itemsPeer.c_str()) != INVALID_FILE_ATTRIBUTES;
  std::string itemsPeerDir = std::string(temp) + "qx_factory_bench_items_peer";
  std::vector<double> itemsPeerInstall, itemsPeerUninstall;
  std::vector<double> peerInstall, peerUninstall, memoryInstall, memoryUninstall, systemInstall, systemUninstall;
  for (int r = 0; r < runs; ++r) {
    // The order alternates, so that neither kind always runs on a warmer machine.
    for (int k = 0; k < 2; ++k) {
      bool system = (r + k) % 2 == 1;
      OurRun run = RunOurs(system);
      if (run.install > 0) (system ? systemInstall : memoryInstall).push_back(run.install);
      if (run.uninstall > 0) (system ? systemUninstall : memoryUninstall).push_back(run.uninstall);
    }
    if (havePeer) RunPeer(peer, peerDir, &peerInstall, &peerUninstall);
    if (haveItemsPeer) {
      e2e::SetupMedium medium;
      DateBack(medium.Dir());
      std::string program = medium.Dir() + "\\peer_items.exe";
      CopyFileA(itemsPeer.c_str(), program.c_str(), FALSE);
      RunPeer(program, itemsPeerDir, &itemsPeerInstall, &itemsPeerUninstall);
    }
  }
  double peerIn = Median(peerInstall), peerOut = Median(peerUninstall);
  std::printf("factory install of the sample medium, %d runs\n", runs);
  if (havePeer) {
    Print("NSIS peer, silent install (reference)", peerInstall, 0);
  } else {
    std::printf("  NSIS peer missing (build the target bench_peer; Debian package nsis)\n");
  }
  Print("setup.exe /S, script values from memory", memoryInstall, peerIn);
  Print("setup.exe /S, system profile reader", systemInstall, peerIn);
  double itemsIn = Median(itemsPeerInstall), itemsOut = Median(itemsPeerUninstall);
  if (haveItemsPeer) {
    std::printf("the same work (the medium's item programs, the shortcuts)\n");
    Print("NSIS peer running the item programs", itemsPeerInstall, 0);
    Print("setup.exe /S, script values from memory", memoryInstall, itemsIn);
  }
  std::printf("uninstall (items, then the clear run)\n");
  if (havePeer) Print("NSIS peer, silent uninstall (reference)", peerUninstall, 0);
  Print("ours, script values from memory", memoryUninstall, peerOut);
  Print("ours, system profile reader", systemUninstall, peerOut);
  if (haveItemsPeer) {
    std::printf("the same work (the items' uninstall commands, the shortcuts)\n");
    Print("NSIS peer running the item programs", itemsPeerUninstall, 0);
    Print("ours, script values from memory", memoryUninstall, itemsOut);
  }
  return 0;
}
