// Speed of the command interpreter on large generated media:
//  - CT_WRITE_ITEM_INFO and the item loading (CMyItems::Load) on data files of
//    10, 100 and 1,000 items, every item key set, with the script values read
//    by the system's profile reader (the reference) and from memory;
//  - CT_COMMAND running a section of 1,000 CT_ADDREG lines.
// The generated files are dated an hour back, as a medium's files are when it
// is installed (the system's reader reads a file written in the last 2 s again
// for every value); with --fresh they keep the time they were written at.
// Prints the figures; run under Wine:
//   build/wine-run build/bench/engine/engine_bench.exe [--fresh] [items ...]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "bench/clock.h"
#include "setup/core/core_context.h"
#include "setup/core/predefined_variable.h"
#include "setup/engine/cmd_operator.h"
#include "setup/engine/history_manager.h"
#include "setup/engine/my_items.h"
#include "setup/scriptlib/profile_cache.h"
#include "tests/support/temp_dir.h"

namespace {

bool g_fresh = false;

void Write(const std::string& path, const std::string& text) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  DWORD written = 0;
  WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  // An hour back: a medium is written long before it is installed.
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  ULARGE_INTEGER t{{now.dwLowDateTime, now.dwHighDateTime}};
  t.QuadPart -= 3600ull * 10000000ull;
  FILETIME old{t.LowPart, t.HighPart};
  if (!g_fresh) SetFileTime(file, nullptr, nullptr, &old);
  CloseHandle(file);
}

// Median of the seconds that `runs` calls take.
double Median(int runs, const std::function<void()>& call) {
  std::vector<double> times;
  for (int i = 0; i < runs; ++i) {
    double start = bench::Now();
    call();
    times.push_back(bench::Now() - start);
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

std::string ItemSection(int i) {
  std::string n = std::to_string(i);
  std::string s = "[ITEM" + n + (i % 10 == 0 ? "_PRINTER" : "") + "]\r\n";
  s += "INST_CMDSTR=$SRC_DIR$\\item" + n + "\\setup.exe\r\n";
  for (int p = 0; p < 4; ++p) s += "INST_PARAM_" + std::to_string(p) + "=/p" + std::to_string(p) + "\r\n";
  s += "SUCCESS_RETURN=0\r\nINSTALL_DEFAULT=1\r\nDISPLAY_NAME=NAME" + n + "\r\nDESCRIPTION=DESC" + n +
       "\r\nTOOLTIP=TIP" + n + "\r\nFACTORY_INSTALL=1\r\n";
  for (const char* k : {"CHK_LC_TYPICAL", "CHK_LC_CUSTOM", "CHK_NW_LC_PRINTER", "CHK_NW_LC_SERVER",
                        "CHK_NW_RT_PRINTER", "CHK_NW_RT_SERVER"}) {
    s += std::string(k) + "=1\r\n";
  }
  s += "WAIT_FILE=$DEST_DIR$\\done" + n + "\r\nWAIT_REGKEY=HKLM\\Software\\X\r\nWAIT_REGVALUE=V\r\nWAIT_REGDATA=1\r\n";
  s += "UNSUPPORTED_OS=W98,WME\r\nDRIVER_NAME=Driver " + n + "\r\nPRINTER_NAME=Printer " + n +
       "\r\nINF_FILE=$SRC_DIR$\\a.inf\r\nINF_9X=$SRC_DIR$\\9x.inf\r\nINF_NT=$SRC_DIR$\\nt.inf\r\n"
       "INF_2K=$SRC_DIR$\\2k.inf\r\nSHARE_NAME=SHARE" + n + "\r\nSIGNED_OS=W2K\r\nDEFAULT_PRINTER=0\r\n"
       "DEFAULT_PRINTER_NET=0\r\nUNINST_VALUE_NAME=Item" + n + "\r\nUNINST_CMDSTR=$SRC_DIR$\\un.exe\r\n"
       "UNINST_PARAM_0=/u\r\nUNINST_PARAM_1=/q\r\n";
  return s;
}

std::string Medium(const std::string& dir, const std::string& mfg, int items) {
  std::string data = "[PROGRAM_INFO]\r\nMFG=" + mfg + "\r\nMDL=Model\r\nVIDPID=VID_1&PID_2\r\nPROGRAM_NAME=Bench\r\n"
                     "CONFIGURE_FILE=.\\config.ini\r\nSTRING_FILE_FORMAT=.\\str%s.ini\r\nRESOURCE_DLL=res.dll\r\n"
                     "[OS_DEFINE]\r\n0X00020601=W7\r\n0X00020500=W2K\r\n[ITEM_INFO]\r\nCOUNTS=" +
                     std::to_string(items) + "\r\n";
  for (int i = 0; i < items; ++i) {
    data += "ITEM_" + std::to_string(i) + "=ITEM" + std::to_string(i) + (i % 10 == 0 ? "_PRINTER" : "") + "\r\n";
  }
  for (int i = 0; i < items; ++i) data += ItemSection(i);
  data += "[REGSEC]\r\nROOTKEY=HKLM\r\nKEYNAME=Software\\" + mfg + "\\Added\r\nVALUE_0=REG_SZ,Path,$SRC_DIR$\\x\r\n"
          "VALUE_1=REG_DWORD,Count,7\r\n";
  std::string config = "[ADDREGS]\r\n";
  for (int i = 0; i < 1000; ++i) config += "CT_ADDREG=REGSEC\r\n";
  std::string strings = "[MESSAGES]\r\n";
  for (int i = 0; i < items; ++i) {
    std::string n = std::to_string(i);
    strings += "NAME" + n + "=Item number " + n + "\r\nDESC" + n + "=Description " + n + "\r\nTIP" + n + "=Tip\r\n";
  }
  CreateDirectoryA(dir.c_str(), nullptr);
  Write(dir + "\\setup.dat", data);
  Write(dir + "\\config.ini", config);
  Write(dir + "\\strEN.ini", strings);
  Write(dir + "\\res.dll", "x");
  return dir + "\\setup.exe";
}

struct Figures {
  double write = 0;  // ms per item
  double load = 0;
  double value = 0;  // ms per script value
};

Figures Measure(CCmdOperator& op, const CPredefinedVariable& env, int items, bool memory) {
  scriptlib::SetProfileCacheEnabled(memory);
  scriptlib::ForgetAllProfiles();
  // Large media through the system's reader take seconds a run: fewer runs.
  int runs = items >= 1000 ? (memory ? 3 : 1) : 5;
  Figures f;
  f.write = Median(runs, [&] {
              CommandRecord write("CT_WRITE_ITEM_INFO", "");
              if (!op.Execute(write)) std::printf("  CT_WRITE_ITEM_INFO FAILED\n");
            }) * 1000 / items;
  f.load = Median(runs, [&] {
             CMyItems loaded;
             loaded.Load("ITEM_INFO", false);
           }) * 1000 / items;
  f.value = Median(runs, [&] {
              for (int i = 0; i < items; ++i) {
                std::string section = "ITEM" + std::to_string(i) + (i % 10 == 0 ? "_PRINTER" : "");
                CUtl::GetScriptString(section.c_str(), "WAIT_REGDATA", env.GetDataFile().c_str(), "", "");
              }
            }) * 1000 / items;
  return f;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<int> counts;
  for (int i = 1; i < argc; ++i) {
    if (std::string(argv[i]) == "--fresh") g_fresh = true;
    else counts.push_back(std::max(1, std::atoi(argv[i])));
  }
  if (counts.empty()) counts = {10, 100, 1000};
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  std::string root = std::string(temp) + "qx_engine_bench_" + std::to_string(GetCurrentProcessId());
  CreateDirectoryA(root.c_str(), nullptr);
  std::string mfg = "QxBench" + std::to_string(GetCurrentProcessId());
  CUtl log;
  log.CreateLogFile((root + "\\").c_str(), "setup.exe");
  int result = 0;

  std::printf("files %s\n", g_fresh ? "just written" : "dated an hour back");
  std::printf("items | CT_WRITE_ITEM_INFO ms/item      | CMyItems::Load ms/item          | one item value ms\n");
  std::printf("      | system    memory    ratio       | system    memory    ratio       | system   memory\n");
  for (int items : counts) {
    std::string dir = root + "\\m" + std::to_string(items);
    std::string program = Medium(dir, mfg, items);
    CPredefinedVariable env;
    if (!env.InitEnvironment(program.c_str())) {
      std::printf("environment failed\n");
      result = 1;
      break;
    }
    core::SetCurrentEnvironment(&env);
    CHistoryManager history;
    core::SetHistoryRecorder(&history);
    CCmdOperator op;
    op.Initialise(nullptr, false);
    // Once untimed, so that both readers find the item records in place.
    CommandRecord warm("CT_WRITE_ITEM_INFO", "");
    op.Execute(warm);
    Figures system = Measure(op, env, items, false);
    Figures memory = Measure(op, env, items, true);
    std::printf("%5d | %8.3f  %8.3f  %6.1fx     | %8.3f  %8.3f  %6.1fx     | %7.3f  %7.3f\n", items, system.write,
                memory.write, system.write / memory.write, system.load, memory.load, system.load / memory.load,
                system.value, memory.value);
    std::printf("      | of which the records (write - load): system %.3f, memory %.3f ms/item\n",
                system.write - system.load, memory.write - memory.load);
    std::fflush(stdout);
    if (items == counts.back()) {
      for (bool memoryReader : {false, true}) {
        scriptlib::SetProfileCacheEnabled(memoryReader);
        double start = bench::Now();
        CommandRecord command("CT_COMMAND", "ADDREGS");
        bool ok = op.Execute(command);
        double seconds = bench::Now() - start;
        std::printf("CT_COMMAND, 1,000 CT_ADDREG lines, %s reader (%s): %.2f s, %.3f ms per line\n",
                    memoryReader ? "memory" : "system", ok ? "ok" : "FAILED", seconds, seconds);
      }
    }
    core::SetHistoryRecorder(nullptr);
    core::SetCurrentEnvironment(nullptr);
  }
  scriptlib::SetProfileCacheEnabled(true);
  RegDeleteTreeA(HKEY_LOCAL_MACHINE, ("Software\\" + mfg).c_str());
  qx::test::RemoveTree(root);
  return result;
}
