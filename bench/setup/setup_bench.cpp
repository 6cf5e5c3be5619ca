// Whole runs of setup.exe under Wine, timed from the outside:
//   build/wine-run build/bench/setup/setup_bench.exe [items]
// 1. the factory run (/S) of a generated medium whose items run a trivial
//    program, per item;
// 2. the start-up of setup.exe up to its start command (an install run whose
//    start and end sections are empty), against a bare start of a process.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "bench/clock.h"
#include "tests/support/temp_dir.h"

namespace {

std::string WinePath(std::string unixPath) {
  std::replace(unixPath.begin(), unixPath.end(), '/', '\\');
  return "Z:" + unixPath;
}




std::string AddRemoveKey(const std::string& mfg) {
  return "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + mfg;
}

// The medium's data file with the item, shortcut and copy lists replaced and
// the identity set; every other section kept as it is.
std::string Rewrite(const std::string& text, const std::string& mfg, const std::string& program,
                    const std::string& destination, const std::string& itemSections) {
  static const char* dropped[] = {"[ITEM_INFO]", "[SHORTCUT_INFO]", "[COPY_FILE_INFO]"};
  std::istringstream in(text);
  std::string out, section;
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty() && line[0] == '[') section = line;
    bool drop = std::any_of(std::begin(dropped), std::end(dropped), [&](const char* s) { return section == s; });
    if (drop) continue;
    if (section == "[PROGRAM_INFO]") {
      if (line.rfind("MFG=", 0) == 0) line = "MFG=" + mfg;
      if (line.rfind("PROGRAM_NAME=", 0) == 0) line = "PROGRAM_NAME=" + program;
      if (line.rfind("DESTINATION_DIR=", 0) == 0) line = "DESTINATION_DIR=" + destination;
    }
    if (section == "[ADD_REG.UNINSTKEY]" && line.rfind("KEYNAME=", 0) == 0) line = "KEYNAME=" + AddRemoveKey(mfg);
    out += line + "\r\n";
  }
  return out + itemSections + "[SHORTCUT_INFO]\r\n[COPY_FILE_INFO]\r\n";
}

double RunSeconds(const std::string& program, const std::string& arguments, DWORD* exitCode) {
  std::string line = "\"" + program + "\" " + arguments;
  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info{};
  double start = bench::Now();
  if (!CreateProcessA(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
    return -1;
  }
  WaitForSingleObject(info.hProcess, INFINITE);
  double seconds = bench::Now() - start;
  GetExitCodeProcess(info.hProcess, exitCode);
  CloseHandle(info.hThread);
  CloseHandle(info.hProcess);
  return seconds;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  int items = argc > 1 ? std::atoi(argv[1]) : 1000;
  if (items < 1 || items > 100000) items = 1000;
  const std::string build = WinePath(QX_BUILD_DIR);
  const std::string trivial = build + "\\bench\\setup\\trivial_item.exe";
  char temp[MAX_PATH];
  GetTempPathA(sizeof(temp), temp);
  const std::string root = std::string(temp) + "qx_setup_bench";
  const std::string medium = root + "\\medium";
  const std::string destination = root + "\\dest";
  const std::string mfg = "QxBench" + std::to_string(GetCurrentProcessId());
  const std::string program = "Setup Bench";
  qx::test::RemoveTree(root);
  CreateDirectoryA(root.c_str(), nullptr);
  qx::test::CopyTree(build + "\\medium", medium);

  std::ifstream in(medium + "\\setup.dat", std::ios::binary);
  std::stringstream original;
  original << in.rdbuf();
  in.close();
  std::string sections = "[ITEM_INFO]\r\nCOUNTS=" + std::to_string(items) + "\r\n";
  for (int i = 0; i < items; ++i) sections += "ITEM_" + std::to_string(i) + "=BENCH_ITEM_" + std::to_string(i) + "\r\n";
  for (int i = 0; i < items; ++i) {
    sections += "[BENCH_ITEM_" + std::to_string(i) + "]\r\nINST_CMDSTR=" + trivial +
                "\r\nSUCCESS_RETURN=0\r\nFACTORY_INSTALL=1\r\nINSTALL_DEFAULT=1\r\n";
  }
  std::ofstream(medium + "\\setup.dat", std::ios::binary | std::ios::trunc)
      << Rewrite(original.str(), mfg, program, destination, sections);
  // The run's own start and end commands do nothing here: only the installer is timed.
  for (const char* section : {"INST_STRART_CMD", "INST_END_CMD"}) {
    WritePrivateProfileSectionA(section, "\0", (medium + "\\setup.cfg").c_str());
  }
  SetEnvironmentVariableA("QX_MESSAGE_BOX_ANSWER", "1");

  DWORD code = 0;
  std::vector<double> bare, startup;
  for (int i = 0; i < 7; ++i) bare.push_back(RunSeconds(trivial, "", &code));
  for (int i = 0; i < 7; ++i) startup.push_back(RunSeconds(medium + "\\setup.exe", "/INSTALL", &code));
  std::printf("bare process start and end          median %8.1f ms\n", Median(bare) * 1000);
  std::printf("setup.exe start-up to start command median %8.1f ms (an install run with empty commands)\n",
              Median(startup) * 1000);

  double factory = RunSeconds(medium + "\\setup.exe", "/S", &code);
  std::printf("factory run of %d trivial items      %8.2f s, %.2f ms per item (exit code %lu)\n", items, factory,
              factory * 1000 / items, code);

  std::string key = "Software\\" + mfg;
  RegDeleteTreeA(HKEY_LOCAL_MACHINE, key.c_str());
  RegDeleteKeyA(HKEY_LOCAL_MACHINE, key.c_str());
  RegDeleteTreeA(HKEY_LOCAL_MACHINE, AddRemoveKey(mfg).c_str());
  RegDeleteKeyA(HKEY_LOCAL_MACHINE, AddRemoveKey(mfg).c_str());
  qx::test::RemoveTree(root);
  return 0;
}
