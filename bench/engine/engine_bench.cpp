// Speed of the command interpreter on large generated media:
//  - CT_WRITE_ITEM_INFO on a data file with 1,000 items, every item key set;
//  - CT_COMMAND running a section of 1,000 CT_ADDREG lines.
// Prints the figures; run under Wine:
//   build/wine-run build/bench/engine/engine_bench.exe
#include <windows.h>

#include <cstdio>
#include <string>

#include "bench/clock.h"
#include "setup/core/core_context.h"
#include "setup/core/predefined_variable.h"
#include "setup/engine/cmd_operator.h"
#include "setup/engine/history_manager.h"
#include "setup/engine/my_items.h"
#include "tests/support/temp_dir.h"

namespace {

void Write(const std::string& path, const std::string& text) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  DWORD written = 0;
  WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  CloseHandle(file);
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

}  // namespace

int main() {
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  std::string dir = std::string(temp) + "qx_engine_bench_" + std::to_string(GetCurrentProcessId());
  CreateDirectoryA(dir.c_str(), nullptr);
  std::string mfg = "QxBench" + std::to_string(GetCurrentProcessId());
  const int kItems = 1000;

  std::string data = "[PROGRAM_INFO]\r\nMFG=" + mfg + "\r\nMDL=Model\r\nVIDPID=VID_1&PID_2\r\nPROGRAM_NAME=Bench\r\n"
                     "CONFIGURE_FILE=.\\config.ini\r\nSTRING_FILE_FORMAT=.\\str%s.ini\r\nRESOURCE_DLL=res.dll\r\n"
                     "[OS_DEFINE]\r\n0X00020601=W7\r\n0X00020500=W2K\r\n[ITEM_INFO]\r\nCOUNTS=" +
                     std::to_string(kItems) + "\r\n";
  for (int i = 0; i < kItems; ++i) {
    data += "ITEM_" + std::to_string(i) + "=ITEM" + std::to_string(i) + (i % 10 == 0 ? "_PRINTER" : "") + "\r\n";
  }
  for (int i = 0; i < kItems; ++i) data += ItemSection(i);
  data += "[REGSEC]\r\nROOTKEY=HKLM\r\nKEYNAME=Software\\" + mfg + "\\Added\r\nVALUE_0=REG_SZ,Path,$SRC_DIR$\\x\r\n"
          "VALUE_1=REG_DWORD,Count,7\r\n";
  std::string config = "[ADDREGS]\r\n";
  for (int i = 0; i < 1000; ++i) config += "CT_ADDREG=REGSEC\r\n";
  std::string strings = "[MESSAGES]\r\n";
  for (int i = 0; i < kItems; ++i) {
    std::string n = std::to_string(i);
    strings += "NAME" + n + "=Item number " + n + "\r\nDESC" + n + "=Description " + n + "\r\nTIP" + n + "=Tip\r\n";
  }
  Write(dir + "\\setup.dat", data);
  Write(dir + "\\config.ini", config);
  Write(dir + "\\strEN.ini", strings);
  Write(dir + "\\res.dll", "x");

  CUtl log;
  log.CreateLogFile((dir + "\\").c_str(), "setup.exe");
  int result = 0;
  {
    CPredefinedVariable env;
    if (!env.InitEnvironment((dir + "\\setup.exe").c_str())) {
      std::printf("environment failed\n");
      result = 1;
    } else {
      core::SetCurrentEnvironment(&env);
      CHistoryManager history;
      core::SetHistoryRecorder(&history);
      CCmdOperator op;
      op.Initialise(nullptr, false);

      double start = bench::Now();
      CommandRecord write("CT_WRITE_ITEM_INFO", "");
      bool ok = op.Execute(write);
      double first = bench::Now() - start;
      start = bench::Now();
      CommandRecord again("CT_WRITE_ITEM_INFO", "");
      op.Execute(again);
      double second = bench::Now() - start;
      std::printf("CT_WRITE_ITEM_INFO, %d items, all keys set (%s):\n", kItems, ok ? "ok" : "FAILED");
      std::printf("  first run (records created): %.2f s, %.2f ms per item\n", first, first * 1000 / kItems);
      std::printf("  second run (records exist):  %.2f s, %.2f ms per item\n", second, second * 1000 / kItems);

      start = bench::Now();
      {
        CMyItems items;
        items.Load("ITEM_INFO", false);
      }
      double load = bench::Now() - start;
      std::printf("  of which reading the 1,000 items (Load):  %.2f s, %.2f ms per item\n", load, load * 1000 / kItems);

      // What one script value costs on this data file (the system's profile
      // reader; every item key is read this way).
      start = bench::Now();
      for (int i = 0; i < 1000; ++i) {
        std::string section = "ITEM" + std::to_string(i) + (i % 10 == 0 ? "_PRINTER" : "");
        CUtl::GetScriptString(section.c_str(), "WAIT_REGDATA", env.GetDataFile().c_str(), "", "");
      }
      double one = (bench::Now() - start) * 1000;
      std::printf("  one script value of an item section: %.3f ms\n", one / 1000);

      start = bench::Now();
      CommandRecord command("CT_COMMAND", "ADDREGS");
      ok = op.Execute(command);
      double commands = bench::Now() - start;
      std::printf("CT_COMMAND, 1,000 CT_ADDREG lines (%s): %.2f s, %.3f ms per line\n", ok ? "ok" : "FAILED",
                  commands, commands);
      core::SetHistoryRecorder(nullptr);
      core::SetCurrentEnvironment(nullptr);
    }
  }
  RegDeleteTreeA(HKEY_LOCAL_MACHINE, ("Software\\" + mfg).c_str());
  qx::test::RemoveTree(dir);
  return result;
}
