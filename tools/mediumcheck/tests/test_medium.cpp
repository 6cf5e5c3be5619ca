#include "tools/mediumcheck/tests/test_medium.h"

#include <windows.h>

#include "tools/mediumcheck/checker.h"
#include "tools/mediumcheck/medium_io.h"

namespace mediumcheck::test {

std::string BuildDir() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string dir(path);
  for (int up = 0; up < 4; ++up) dir = dir.substr(0, dir.find_last_of('\\'));
  return dir;
}

Files CleanMedium() {
  Files f;
  f["setup.dat"] = R"([STRINGS]
%PRODUCT%=Test Product

[PROGRAM_INFO]
MFG=TST
MDL=TST-1
PROGRAM_NAME=Test Setup
CONFIGURE_FILE=setup.cfg
STRING_FILE_FORMAT=.\Lang\setup%s.str
RESOURCE_DLL=.\data\setupres.dll
SUPPORTED_LANG=LANGS

[LANGS]
0X0409 English
0X0407 German

[LANGUAGE_ABBR]
0X0409=EN
0X0407=GR

[OS_DEFINE]
0X00020601=WIN7
0X00020501=WINXP

[OS_DIR]
WIN7=Win7
WINXP=WinXP

[ITEM_INFO]
COUNTS=1
ITEM_0=MAIN_ITEM

[MAIN_ITEM]
DISPLAY_NAME=ITEM_NAME
INST_CMDSTR=$SRC_DIR$\item.exe
INST_PARAM_0=install
CHK_LC_TYPICAL=2
UNSUPPORTED_OS=WINXP

[ADD_REG.UNINSTKEY]
ROOTKEY=HKLM
KEYNAME=Software\TST
VALUE_0=REG_SZ,DisplayName,@ARP_NAME@

[FILES.COPY]
SUPPORTED_OS=WIN7
FILE1=$SRC_DIR$\readme.txt,$DEST_DIR$\readme.txt
)";
  f["setup.cfg"] = R"([DLG_COMMON]
DLG_SIZE=400,300
CAPTION=%PRODUCT%
BACK_BMP=IDB_BACKGROUND
LF_FACENAME=Tahoma
LF_HEIGHT=-12

[CANCEL_DLG]
CANCEL_MSG=MSG_CANCEL

[INST_STRART_CMD]
CT_OPEN_DLG=NORMAL.MAIN

[INST_END_CMD]
CT_COMMAND=END_STEPS

[END_STEPS]
CT_REFRESH_SYSTEM=

[UNINST_STRART_CMD]
CT_OPEN_DLG=FINISH.DONE

[UNINST_END_CMD]
CT_REFRESH_SYSTEM=

[REMOTE_START_CMD]
CT_START_PREVENT_PNP=

[REMOTE_END_CMD]
CT_END_PREVENT_PNP=

[FONT.BIG]
LF_HEIGHT=-14

[NORMAL.MAIN]
NUM_OF_OBJ=3
OBJ_0=MAIN.STATIC_TITLE
POS_0=10,10
OBJ_1=MAIN.BUTTON_NEXT
POS_1=300,260
OBJ_2=MAIN.LINK_LICENSE
POS_2=10,100

[MAIN.STATIC_TITLE]
NAME=MSG_TITLE
SIZE=380,24
OFF_COLOR=0,0,0
FONT=FONT.BIG

[MAIN.BUTTON_NEXT]
NAME=BTN_NEXT
SIZE=80,26
CMD_TYPE=CT_OPEN_DLG
CMD_STR=SELECT_ITEM.PICK

[MAIN.LINK_LICENSE]
NAME=LINK_LICENSE
SIZE=200,20
CMD_TYPE=CT_VIEW_LICESNE
CMD_STR=LICENSE.VIEW

[LICENSE.VIEW]
LICENSE_FILE=$SRC_DIR$\License\$LANG_ABBR$.txt
EDIT_LICENSE_RECT=10,10,380,240
BUTTON_OK_RECT=300,260,80,26
BUTTON_OK_NAME=BTN_OK

[SELECT_ITEM.PICK]
FIXED_ITEM=PICK.FIXED

[PICK.FIXED]
LIST_ITEMS_RECT=10,10,380,200
BUTTON_NEXT_NAME=BTN_NEXT
BUTTON_NEXT_RECT=300,260,80,26
BUTTON_NEXT_COMMAND=CMD.PICK_NEXT

[CMD.PICK_NEXT]
CMD_TYPE=CT_OPEN_DLG
CMD_STR=FINISH.DONE

[FINISH.DONE]
FIXED_ITEM=DONE.FIXED
FINISH_COMMAND=FINISH_STEPS

[DONE.FIXED]
BUTTON_FINISH_NAME=BTN_FINISH
BUTTON_FINISH_RECT=300,260,80,26
ADD_UNINST_REG_KEY=ADD_REG.UNINSTKEY

[FINISH_STEPS]
CT_COPY_FILE=FILES.COPY
CT_ITEM_EXE=MAIN_ITEM:$SRC_DIR$\item.exe
)";
  const char* messages = R"([MESSAGES]
MSG_CANCEL=Quit?
MSG_TITLE=Title
BTN_NEXT=Next
LINK_LICENSE=Licence
BTN_OK=OK
BTN_FINISH=Finish
ITEM_NAME=Main
ARP_NAME=Test Product
)";
  f["Lang\\setupEN.str"] = messages;
  f["Lang\\setupGR.str"] = messages;
  f["item.exe"] = "not a program\n";
  f["readme.txt"] = "read me\n";
  f["License\\EN.txt"] = "licence\n";
  f["License\\GR.txt"] = "Lizenz\n";
  return f;
}

void WriteMedium(const qx::test::TempDir& dir, const Files& files) {
  for (const auto& [name, text] : files) {
    std::string crlf;
    for (char c : text) {
      if (c == '\n') crlf += '\r';
      crlf += c;
    }
    dir.Write(name, crlf);
  }
  CreateDirectoryA(dir.File("data").c_str(), nullptr);
  CopyFileA((BuildDir() + "\\medium\\data\\setupres.dll").c_str(), dir.File("data\\setupres.dll").c_str(), FALSE);
}

Report CheckFolder(const std::string& folder, const std::string& language) {
  Medium medium;
  Report report;
  if (!LoadMedium(folder, language, &medium)) return report;
  MediumFacts facts(folder, medium);
  CheckMedium(medium, facts, report);
  return report;
}

}  // namespace mediumcheck::test
