// The dispatcher, command sections, program starts and the ending commands.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/engine/commands/engine_test_support.h"

namespace {

using enginetest::ControlWindow;
using enginetest::HelperPath;
using enginetest::Medium;

class Commands : public ::testing::Test {
 protected:
  Commands() { op_.Initialise(control_.Handle(), false); }

  bool Run(const std::string& type, const std::string& str = "", const std::string& param = "") {
    CommandRecord record(type, str, param);
    return op_.Execute(record);
  }
  std::string HelperLines() { return enginetest::ReadFile(medium_.HelperOutput()); }
  // The helper runs on its own; its line appears when it has written it.
  bool WaitForHelperLines(size_t lines) {
    return enginetest::PumpUntil([&] {
      std::string text = HelperLines();
      return static_cast<size_t>(std::count(text.begin(), text.end(), '\n')) >= lines;
    }, 20000);
  }

  Medium medium_{"", "[SELF]\r\nCT_COMMAND=SELF\r\n[CYCLE_A]\r\nCT_COMMAND=CYCLE_B\r\n"
                     "[CYCLE_B]\r\nCT_ITEM_EXE=CYCLE:x.exe\r\nCT_COMMAND=CYCLE_A\r\n[EMPTY]\r\n"
                     "[UPPER]\r\nct_exe_file_nowait=$SRC_DIR$\\helper.exe,Mixed Case @HELLO@\r\n"
                     "[JUNK]\r\n\tct_dlg_help\t\r\n=\r\nNOT_A_WORD=x\r\nCT_ITEM_EXE\r\n"};
  ControlWindow control_;
  CCmdOperator op_;
};

TEST_F(Commands, UnknownAndEmptyWordsDoNothingAndSucceed) {
  ASSERT_TRUE(medium_.ok());
  for (const char* type : {"", "   ", "\t", "CT_NOTHING", "ct_open_dlg_x", "CT_RUNDLL", "ct_rundll_and_terminate",
                           "CT_DLG_HELP", "CT_OPEN_FILE_WAIT"}) {
    EXPECT_TRUE(Run(type, "NORMAL.X")) << type;
  }
  EXPECT_EQ(op_.HistoryIndex(), -1);
  EXPECT_FALSE(control_.TakeDestroy());
}

TEST_F(Commands, HugeFieldsAreHandled) {
  std::string huge(100000, 'A');
  EXPECT_TRUE(Run(huge, huge, huge));
  EXPECT_FALSE(Run("CT_OPEN_DLG", huge));
  EXPECT_FALSE(Run("CT_COMMAND", huge));
  EXPECT_TRUE(Run("CT_ITEM_EXE", huge + ":" + huge));
  EXPECT_FALSE(Run("CT_ADDREG", huge));
}

TEST_F(Commands, RecordFieldsAreTrimmedInPlaceAndTheRegistryEntryWrittenFirst) {
  CommandRecord record(" \tct_item_exe\t", "\t NOITEM:prog.exe  ", "  -x\t");
  std::string key = medium_.Id().Root() + "\\Entry";
  record.cstrAddReg = "HKCU," + key + "\\Flag,REG_DWORD,0x10";
  EXPECT_TRUE(op_.Execute(record));
  EXPECT_EQ(record.cstrCmdType, "ct_item_exe");
  EXPECT_EQ(record.cstrCmdStr, "NOITEM:prog.exe");
  EXPECT_EQ(record.cstrParam, "-x");
  EXPECT_EQ(enginetest::GetDword(HKEY_CURRENT_USER, key, "Flag", 0), 16u);

  CommandRecord bad("CT_DLG_HELP", "");
  bad.cstrAddReg = "HKLM," + key + "\\Value";  // no type field
  EXPECT_TRUE(op_.Execute(bad));
  EXPECT_NE(medium_.Log().find("[CCmdOperator] Write registry fail [HKLM," + key + "\\Value]\n"), std::string::npos);
}

TEST_F(Commands, CommandSectionsUpperCaseWholeLines) {
  ASSERT_TRUE(CopyFileA(HelperPath().c_str(), (medium_.SrcDir() + "\\helper.exe").c_str(), FALSE));
  EXPECT_TRUE(Run("CT_COMMAND", "UPPER"));
  ASSERT_TRUE(WaitForHelperLines(1));
  EXPECT_NE(HelperLines().find("MIXED CASE HELLO"), std::string::npos) << HelperLines();
  std::string upperSrc = engine::UpperCase(medium_.SrcDir());
  EXPECT_NE(medium_.Log().find("[CCmdOperator] Run Exe file cmd = " + upperSrc + "\\HELPER.EXE , param = MIXED CASE "
                               "HELLO\n"),
            std::string::npos)
      << medium_.Log();
}

TEST_F(Commands, CommandSectionFailuresAndOddLines) {
  EXPECT_FALSE(Run("CT_COMMAND", ""));
  EXPECT_NE(medium_.Log().find("[CCmdOperator] Get Command section error!\n"), std::string::npos);
  EXPECT_FALSE(Run("CT_COMMAND", "NO_SUCH_SECTION"));
  EXPECT_NE(medium_.Log().find("[CCmdOperator] Command section fail [NO_SUCH_SECTION] (" +
                               medium_.Env().GetConfigFile() + ") ==> ()!!"),
            std::string::npos);
  EXPECT_TRUE(Run("CT_COMMAND", "EMPTY"));
  EXPECT_TRUE(Run("CT_COMMAND", "JUNK"));
  EXPECT_EQ(op_.HistoryIndex(), -1);
}

TEST_F(Commands, SelfCallingSectionsStopAtTheDepthLimit) {
  EXPECT_TRUE(Run("CT_COMMAND", "SELF"));
  EXPECT_EQ(medium_.CountInLog("[CCmdOperator] Command section [SELF] not run: sections nested deeper than 8\n"), 1);
  EXPECT_TRUE(Run("CT_COMMAND", "CYCLE_A"));
  EXPECT_EQ(medium_.CountInLog("not run: sections nested deeper than 8"), 2);
  // Each CYCLE_B level ran its item line once: levels 2, 4, 6 and 8.
  EXPECT_EQ(medium_.CountInLog("[CCmdOperator] CYCLE Item was not installed so [CYCLE:X.EXE] command was ignored\n"), 4);
  // The interpreter is usable afterwards: the depth went back to zero.
  EXPECT_TRUE(Run("CT_COMMAND", "CYCLE_B"));
  EXPECT_EQ(medium_.CountInLog("CYCLE Item was not installed"), 8);
}

TEST(CommandSectionSize, AThousandLinesAllRun) {
  std::string section = "[BIG]\r\n";
  for (int i = 0; i < 1000; ++i) section += "CT_ITEM_EXE=MISSING" + std::to_string(i) + ":tool.exe\r\n";
  Medium medium("", section);
  CCmdOperator op;
  op.Initialise(nullptr, false);
  CommandRecord record("CT_COMMAND", "BIG");
  EXPECT_TRUE(op.Execute(record));
  EXPECT_EQ(medium.CountInLog("Item was not installed so"), 1000);
  EXPECT_EQ(medium.CountInLog("[CCmdOperator] MISSING999 Item was not installed"), 1);
}

TEST_F(Commands, ItemExeForms) {
  std::string item = medium_.InstallKey() + "\\Items\\TOOLS";
  std::string helper = HelperPath();
  EXPECT_FALSE(Run("CT_ITEM_EXE", "TOOLS"));  // no colon
  EXPECT_TRUE(Run("CT_ITEM_EXE", "TOOLS:" + helper, "not-installed"));
  EXPECT_NE(medium_.Log().find("[CCmdOperator] TOOLS Item was not installed so [TOOLS:" + helper +
                               "] command was ignored\n"),
            std::string::npos);
  EXPECT_TRUE(Run("CT_ITEM_EXE", "C:\\file.exe"));  // item C, program \file.exe
  EXPECT_NE(medium_.Log().find("[CCmdOperator] C Item was not installed so [C:\\file.exe] command was ignored\n"),
            std::string::npos);
  EXPECT_TRUE(Run("CT_ITEM_EXE", " : " + helper, "unconditional"));
  enginetest::SetDword(HKEY_LOCAL_MACHINE, item, "Install_OK", 1);
  EXPECT_TRUE(Run("CT_ITEM_EXE", "TOOLS : " + helper, "installed"));
  ASSERT_TRUE(WaitForHelperLines(2));
  std::string lines = HelperLines();
  EXPECT_NE(lines.find("unconditional"), std::string::npos);
  EXPECT_NE(lines.find("installed"), std::string::npos);
  EXPECT_EQ(lines.find("not-installed"), std::string::npos);
}

TEST_F(Commands, ProgramStartsAndTheirFailures) {
  EXPECT_TRUE(Run("CT_EXE_FILE_WAIT", "$SRC_DIR$\\..\\missing.exe"));
  EXPECT_NE(medium_.Log().find("[CCmdOperator] Run Exe file cmd = $SRC_DIR$\\..\\missing.exe , param = \n"),
            std::string::npos);
  EXPECT_TRUE(Run("CT_EXE_AND_TERMINATE", "missing.exe"));
  EXPECT_FALSE(control_.TakeDestroy());  // nothing started: the installer goes on
  EXPECT_TRUE(Run("CT_EXE_FILE_NOWAIT", HelperPath(), "$SRC_DIR$"));
  EXPECT_NE(medium_.Log().find("[CCmdOperator] Run Exe file no wait [" + HelperPath() + "] [" + medium_.SrcDir() +
                               "] \n"),
            std::string::npos);
  EXPECT_TRUE(Run("CT_EXE_AND_TERMINATE", HelperPath(), "terminate"));
  EXPECT_TRUE(control_.TakeDestroy());
  ASSERT_TRUE(WaitForHelperLines(2));
  EXPECT_FALSE(Run("CT_OPEN_FILE_NOWAIT", "no-such-document.pdf"));
}

// A process whose handle nobody holds any more is gone once it has ended;
// one whose handle was kept can still be opened.
TEST_F(Commands, ProgramStartsKeepNoProcessHandles) {
  for (const char* word : {"CT_EXE_FILE_NOWAIT", "CT_EXE_FILE_WAIT"}) {
    EXPECT_TRUE(Run(word, HelperPath(), word));
  }
  ASSERT_TRUE(WaitForHelperLines(2));
  std::string lines = HelperLines();
  std::vector<DWORD> pids;
  for (size_t at = lines.find("[pid "); at != std::string::npos; at = lines.find("[pid ", at + 1)) {
    pids.push_back(std::stoul(lines.substr(at + 5)));
  }
  ASSERT_EQ(pids.size(), 2u) << lines;
  for (DWORD pid : pids) {
    EXPECT_TRUE(enginetest::PumpUntil(
        [pid] {
          HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
          if (!process) return true;
          WaitForSingleObject(process, 100);
          CloseHandle(process);
          return false;
        },
        10000))
        << "the process " << pid << " is still held open";
  }
}

TEST_F(Commands, AppTerminateCleansUpAndPostsDestroy) {
  std::string remote = medium_.Id().Root() + "\\Remote";
  enginetest::SetString(HKEY_LOCAL_MACHINE, remote + "\\Sub", "X", "1");
  enginetest::SetString(HKEY_LOCAL_MACHINE, medium_.Id().UninstallKey(), "File0", medium_.Dir().File("made.txt"));
  enginetest::SetDword(HKEY_LOCAL_MACHINE, medium_.Id().UninstallKey(), "NumOfFiles", 1);
  medium_.Dir().Write("made.txt", "x");
  EXPECT_TRUE(Run("CT_APP_TERMINATE"));
  EXPECT_TRUE(control_.TakeDestroy());
  EXPECT_FALSE(qx::test::KeyExists(HKEY_LOCAL_MACHINE, remote));
  EXPECT_FALSE(qx::test::FileExists(medium_.Dir().File("made.txt")));  // history replayed: nothing installed
  EXPECT_NE(medium_.Log().find("[CCmdOperator] EndPreventPnP Function not found!!!!\n"), std::string::npos);
}

TEST_F(Commands, AppTerminateKeepsTheHistoryInTheUninstallWizardOrWhileAnItemIsInstalled) {
  enginetest::SetDword(HKEY_LOCAL_MACHINE, medium_.Id().UninstallKey(), "NumOfFiles", 0);
  medium_.SetInstallType(32);
  EXPECT_TRUE(Run("CT_APP_TERMINATE"));
  EXPECT_TRUE(qx::test::KeyExists(HKEY_LOCAL_MACHINE, medium_.Id().UninstallKey()));
  medium_.SetInstallType(0);
  enginetest::SetDword(HKEY_LOCAL_MACHINE, medium_.InstallKey() + "\\Items\\A", "Install_OK", 1);
  EXPECT_TRUE(op_.AnyItemInstalled());
  EXPECT_TRUE(Run("CT_APP_TERMINATE"));
  EXPECT_TRUE(qx::test::KeyExists(HKEY_LOCAL_MACHINE, medium_.Id().UninstallKey()));
}

TEST_F(Commands, CancelAsksThenEndsOnOk) {
  enginetest::MessageBoxAnswer answer(IDCANCEL);
  EXPECT_TRUE(Run("CT_DLG_CANCEL"));
  ASSERT_EQ(enginetest::MessageBoxAnswer::Texts().size(), 1u);
  EXPECT_EQ(enginetest::MessageBoxAnswer::Texts()[0].rfind("Setup is not complete.", 0), 0u);
  EXPECT_FALSE(control_.TakeDestroy());
  enginetest::MessageBoxAnswer::Answer() = IDOK;
  EXPECT_TRUE(Run("CT_DLG_CANCEL"));
  EXPECT_TRUE(control_.TakeDestroy());
  EXPECT_NE(medium_.Log().find("[CCmdOperator] remove unknown device fail\n"), std::string::npos);
  op_.SetInstallationFinished(true);
  EXPECT_TRUE(Run("CT_DLG_CANCEL"));
  EXPECT_EQ(enginetest::MessageBoxAnswer::Texts().size(), 2u);  // no question once finished
  EXPECT_TRUE(control_.TakeDestroy());
}

TEST_F(Commands, CancelClearsTheHistoryOnlyWithTheClearingFlag) {
  enginetest::MessageBoxAnswer answer(IDOK);
  std::string history = medium_.Id().UninstallKey();
  std::string made = medium_.Dir().Write("made.txt", "x");
  auto record = [&] {
    enginetest::SetString(HKEY_LOCAL_MACHINE, history, "File0", made);
    enginetest::SetDword(HKEY_LOCAL_MACHINE, history, "NumOfFiles", 1);
    enginetest::SetDword(HKEY_LOCAL_MACHINE, medium_.InstallKey(), "Install_Type", 32);  // terminate keeps it
  };
  record();
  medium_.Env().SetInstallMode(false);  // the uninstall wizard: the environment's flag is off
  EXPECT_FALSE(op_.IsHistoryClearing());
  EXPECT_TRUE(Run("CT_DLG_CANCEL"));
  EXPECT_TRUE(qx::test::FileExists(made));
  op_.SetHistoryClearing(true);
  EXPECT_TRUE(Run("CT_DLG_CANCEL"));
  EXPECT_FALSE(qx::test::FileExists(made));
  EXPECT_FALSE(qx::test::KeyExists(HKEY_LOCAL_MACHINE, history));
  medium_.Env().SetInstallMode(true);
}

TEST(Cancel, TextFromTheScripts) {
  Medium medium("", "[CANCEL_DLG]\r\nCANCEL_MSG=QUIT_TEXT\r\n", "QUIT_TEXT=Really quit?\r\n");
  CCmdOperator op;
  op.Initialise(nullptr, false);
  enginetest::MessageBoxAnswer answer(IDCANCEL);
  CommandRecord record("CT_DLG_CANCEL", "");
  EXPECT_TRUE(op.Execute(record));
  ASSERT_EQ(enginetest::MessageBoxAnswer::Texts().size(), 1u);
  EXPECT_EQ(enginetest::MessageBoxAnswer::Texts()[0], "Really quit?");
}

TEST_F(Commands, RemoveRecordedShortcuts) {
  EXPECT_FALSE(op_.RemoveRecordedShortcuts());
  EXPECT_NE(medium_.Log().find("[CCmdOperator] Open Shortcut key fail [" + medium_.InstallKey() + "\\Shortcut] \n"),
            std::string::npos);
  std::string shortcuts = medium_.InstallKey() + "\\Shortcut";
  enginetest::SetDword(HKEY_LOCAL_MACHINE, shortcuts, "Unused", 0);
  EXPECT_FALSE(op_.RemoveRecordedShortcuts());
  EXPECT_NE(medium_.Log().find("[CCmdOperator] there is no shorctus...\n"), std::string::npos);
  std::string desk = medium_.Dir().Write("desk\\app.lnk", "l");
  std::string menu = medium_.Dir().Write("menu\\Vexa\\Tools\\tool.lnk", "l");
  enginetest::SetString(HKEY_LOCAL_MACHINE, shortcuts + "\\D", "Shortcut_Path", desk);
  enginetest::SetDword(HKEY_LOCAL_MACHINE, shortcuts + "\\D", "Group", 1);
  enginetest::SetString(HKEY_LOCAL_MACHINE, shortcuts + "\\M", "Shortcut_Path", menu);
  enginetest::SetDword(HKEY_LOCAL_MACHINE, shortcuts + "\\M", "Group", 0);
  EXPECT_TRUE(op_.RemoveRecordedShortcuts());
  EXPECT_FALSE(qx::test::FileExists(desk));
  EXPECT_TRUE(qx::test::FileExists(medium_.Dir().File("desk")));  // desktop folder stays
  EXPECT_FALSE(qx::test::FileExists(menu));
  EXPECT_FALSE(qx::test::FileExists(medium_.Dir().File("menu")));  // emptied menu folders go
}

}  // namespace
