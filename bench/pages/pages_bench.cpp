// Loading a large page: a script-driven page with 200 objects (links,
// statics, buttons, bitmaps, shapes) over a 5,000-entry string file. Prints
// the first load and apply (the window made), one reload (as Next, Back or a
// language switch does) and 100 reloads, medians of several runs, beside a
// reference: the same page with 10 objects.
//
//   pages_bench.exe [runs]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/clock.h"
#include "setup/core/core_context.h"
#include "setup/core/predefined_variable.h"
#include "setup/ui/normal_dlg.h"
#include "tests/support/process.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_identity.h"

namespace {

const char* const kKinds[] = {"LINK", "STATIC", "BUTTON", "BITMAP", "LINE"};

std::string PageSection(int objects) {
  std::string page = "[NORMAL.BIG" + std::to_string(objects) + "]\r\nCAPTION=%CAPTION_TOKEN%\r\nNUM_OF_OBJ=" +
                     std::to_string(objects) + "\r\n";
  for (int i = 0; i < objects; ++i) {
    page += "OBJ_" + std::to_string(i) + "=OBJ" + std::to_string(i) + "." + kKinds[i % 5] + "\r\n";
    page += "POS_" + std::to_string(i) + "=" + std::to_string(10 + (i % 10) * 50) + "," +
            std::to_string(10 + (i / 10) * 18) + "\r\n";
  }
  return page;
}

std::string ObjectSections(int objects) {
  std::string text;
  for (int i = 0; i < objects; ++i) {
    text += "[OBJ" + std::to_string(i) + "." + kKinds[i % 5] + "]\r\n";
    switch (i % 5) {
      case 0: text += "NAME=MSG_" + std::to_string(i * 20) + "\r\nTOOLTIP=MSG_" + std::to_string(i * 20 + 1) +
                      "\r\nSCRIPT=MSG_" + std::to_string(i * 20 + 2) + "\r\nUSE_BITMAP_ICON=1\r\nFONT=FONT.LINK\r\n"
                      "CMD_TYPE=CT_OPEN_URL\r\nCMD_STR=http://example.invalid/\r\n"; break;
      case 1: text += "NAME=MSG_" + std::to_string(i * 20) + "\r\nOFF_COLOR=0,0,128\r\n"; break;
      case 2: text += "NAME=MSG_" + std::to_string(i * 20) + "\r\nSIZE=48,16\r\nCMD_TYPE=CT_DLG_BACK\r\n"; break;
      case 3: text += "NAME=IDB_OFF_BUTTON\r\nTRANS_COLOR=198,195,198\r\n"; break;
      default: text += "SIZE=40,1\r\nOFF_COLOR=160,160,160\r\n"; break;
    }
  }
  return text;
}

struct Figures {
  double first = 0, reload = 0, hundred = 0;
};

Figures Measure(HWND control, int objects) {
  const std::string section = "NORMAL.BIG" + std::to_string(objects);
  ui::CNormalDlg page;
  page.SetControlWindow(control);
  Figures f;
  double start = bench::Now();
  page.Reset();
  page.Load(section.c_str());
  page.CreatePage(nullptr);  // initialisation applies the description
  f.first = bench::Now() - start;

  start = bench::Now();
  page.Reset();
  page.Load(section.c_str());
  page.Refresh();
  f.reload = bench::Now() - start;

  start = bench::Now();
  for (int i = 0; i < 100; ++i) {
    page.Reset();
    page.Load(section.c_str());
    page.Refresh();
  }
  f.hundred = bench::Now() - start;
  page.End(0);
  return f;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  qx::test::TempDir dir;
  qx::test::TestIdentity id;
  std::string data = "[STRINGS]\r\n%CAPTION_TOKEN%=A large page\r\n[PROGRAM_INFO]\r\nMFG=" + id.Mfg() +
                     "\r\nMDL=Bench\r\nPROGRAM_NAME=" + id.Program() +
                     "\r\nCONFIGURE_FILE=.\\config.ini\r\nSTRING_FILE_FORMAT=.\\str%s.ini\r\nRESOURCE_DLL=res.dll\r\n"
                     "DESTINATION_DIR=$SRC_DIR$\\dest\r\n[LANGUAGE_ABBR]\r\n0X0409=EN\r\n";
  dir.Write("medium\\setup.dat", data);
  dir.Write("medium\\config.ini", "[DLG_COMMON]\r\nDLG_SIZE=520,380\r\nBACK_BMP=IDB_BACKGROUND\r\nLF_FACENAME=Tahoma\r\n"
                                  "LF_HEIGHT=-12\r\n[FONT.LINK]\r\nLF_UNDERLINE=1\r\n" +
                                      PageSection(200) + PageSection(10) + ObjectSections(200));
  std::string messages = "[MESSAGES]\r\n";
  for (int i = 0; i < 5000; ++i) messages += "MSG_" + std::to_string(i) + "=Text number " + std::to_string(i) + "\r\n";
  dir.Write("medium\\strEN.ini", messages);
  dir.Write("medium\\autorun.inf", "[INFOMATION]\r\nVERSION=1.0\r\n");
  CopyFileA(qx::test::WinePath(QX_SKIN_LIBRARY).c_str(), dir.File("medium\\res.dll").c_str(), FALSE);

  CPredefinedVariable env;
  if (!env.InitEnvironment(dir.File("medium\\setup.exe").c_str())) {
    std::printf("pages_bench: the medium does not load\n");
    return 1;
  }
  core::SetCurrentEnvironment(&env);
  HMODULE skins = LoadLibraryA(dir.File("medium\\res.dll").c_str());
  core::SetResourceLibrary(skins);
  HWND control = CreateWindowA("STATIC", "control", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);

  std::printf("page load and apply, medians of %d runs (ms)\n", runs);
  std::printf("%-28s %12s %12s %14s\n", "page", "first show", "one reload", "100 reloads");
  for (int objects : {10, 200}) {
    std::vector<double> first, reload, hundred;
    for (int r = 0; r < runs; ++r) {
      Figures f = Measure(control, objects);
      first.push_back(f.first * 1000);
      reload.push_back(f.reload * 1000);
      hundred.push_back(f.hundred * 1000);
    }
    std::printf("%-28s %12.1f %12.1f %14.1f\n",
                (std::to_string(objects) + " objects, 5,000 strings").c_str(), Median(first), Median(reload),
                Median(hundred));
  }
  DestroyWindow(control);
  core::SetResourceLibrary(nullptr);
  core::SetCurrentEnvironment(nullptr);
  if (skins) FreeLibrary(skins);
  RegDeleteTreeA(HKEY_LOCAL_MACHINE, id.Root().c_str());
  return 0;
}
