#include "setup/engine/command_rules.h"

#include <gtest/gtest.h>

#include <iterator>
#include <optional>

#include "setup/engine/item_rules.h"

namespace {

using engine::CommandWord;
using engine::PageKind;

TEST(CommandWords, MatchTrimmedInAnyCaseAndRejectUnknownOrEmpty) {
  struct Case {
    const char* type;
    std::optional<CommandWord> expected;
  } cases[] = {
      {"CT_OPEN_DLG", CommandWord::kOpenDlg},
      {"  ct_open_dlg\t", CommandWord::kOpenDlg},
      {"\tCt_Item_Exe  ", CommandWord::kItemExe},
      {"CT_VIEW_LICESNE", CommandWord::kViewLicense},
      {"CT_VIEW_LICENSE", std::nullopt},  // the word is spelt as the scripts spell it
      {"CT_REMOVEHARDWAREWIZARDDIALOG", CommandWord::kRemoveHardwareWizardDialog},
      {"CT_OPEN_DLG2", std::nullopt},
      {"CT_OPEN", std::nullopt},
      {"", std::nullopt},
      {" \t ", std::nullopt},
      {"CT_ OPEN_DLG", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(engine::LookupCommandWord(c.type), c.expected) << "[" << c.type << "]";
}

// Each documented word, in the documented order, names its own dispatch entry:
// checked against the words as written here, not against the table itself.
TEST(CommandWords, TableHoldsEveryWordOnceInDispatchOrder) {
  const std::pair<const char*, CommandWord> documented[] = {
      {"CT_OPEN_DLG", CommandWord::kOpenDlg},
      {"CT_EXE_FILE_WAIT", CommandWord::kExeFileWait},
      {"CT_EXE_FILE_NOWAIT", CommandWord::kExeFileNoWait},
      {"CT_EXE_AND_TERMINATE", CommandWord::kExeAndTerminate},
      {"CT_RUNDLL", CommandWord::kRunDll},
      {"CT_RUNDLL_AND_TERMINATE", CommandWord::kRunDllAndTerminate},
      {"CT_OPEN_FILE_NOWAIT", CommandWord::kOpenFileNoWait},
      {"CT_OPEN_FILE_WAIT", CommandWord::kOpenFileWait},
      {"CT_OPEN_URL", CommandWord::kOpenUrl},
      {"CT_OPEN_BROWSE", CommandWord::kOpenBrowse},
      {"CT_APP_TERMINATE", CommandWord::kAppTerminate},
      {"CT_DLG_HELP", CommandWord::kDlgHelp},
      {"CT_DLG_BACK", CommandWord::kDlgBack},
      {"CT_DLG_CANCEL", CommandWord::kDlgCancel},
      {"CT_FIND_LOCAL_PRINTER", CommandWord::kFindLocalPrinter},
      {"CT_RUN_INSTALL", CommandWord::kRunInstall},
      {"CT_ADDREG", CommandWord::kAddReg},
      {"CT_WRITE_ITEM_INFO", CommandWord::kWriteItemInfo},
      {"CT_COMMAND", CommandWord::kCommand},
      {"CT_PRINT_TEST_PAGE", CommandWord::kPrintTestPage},
      {"CT_RUN_UNINSTALL", CommandWord::kRunUninstall},
      {"CT_DELETE_ALL", CommandWord::kDeleteAll},
      {"CT_REFRESH_SYSTEM", CommandWord::kRefreshSystem},
      {"CT_DIAGNOSIS", CommandWord::kDiagnosis},
      {"CT_START_PREVENT_PNP", CommandWord::kStartPreventPnp},
      {"CT_END_PREVENT_PNP", CommandWord::kEndPreventPnp},
      {"CT_COPY_FILE", CommandWord::kCopyFile},
      {"CT_RUN_REMOTE_INSTALL", CommandWord::kRunRemoteInstall},
      {"CT_OPEN_FINISH", CommandWord::kOpenFinish},
      {"CT_REMOVEHARDWAREWIZARDDIALOG", CommandWord::kRemoveHardwareWizardDialog},
      {"CT_REMOVE_DEV", CommandWord::kRemoveDev},
      {"CT_VIEW_LICESNE", CommandWord::kViewLicense},  // the documented spelling
      {"CT_DELETE_FILE", CommandWord::kDeleteFile},
      {"CT_ITEM_EXE", CommandWord::kItemExe},
  };
  ASSERT_EQ(std::size(documented), static_cast<size_t>(engine::kCommandWords));
  for (size_t i = 0; i < std::size(documented); ++i) {
    const auto& [text, word] = documented[i];
    EXPECT_EQ(static_cast<size_t>(word), i) << text << " is out of the documented order";
    EXPECT_EQ(engine::LookupCommandWord(text), word) << text;
    EXPECT_STREQ(engine::CommandWordText(word), text);
  }
  EXPECT_EQ(engine::LookupCommandWord("CT_VIEW_LICENSE"), std::nullopt);
}

TEST(CommandLines, UpperCaseAndSplitAtEqualsAndFirstComma) {
  struct Case {
    const char* line;
    const char *type, *str, *param;
  } cases[] = {
      {"CT_OPEN_DLG=normal.page1", "CT_OPEN_DLG", "NORMAL.PAGE1", ""},
      {"ct_exe_file_nowait=c:\\dir\\file.exe,-a,-b", "CT_EXE_FILE_NOWAIT", "C:\\DIR\\FILE.EXE", "-A,-B"},
      {"CT_DLG_BACK", "CT_DLG_BACK", "", ""},
      {"CT_OPEN_FINISH=FINISH.A,FINISH.B", "CT_OPEN_FINISH", "FINISH.A", "FINISH.B"},
      {"=X", "", "X", ""},
      {"CT_ADDREG=", "CT_ADDREG", "", ""},
      {"CT_X=a=b,c", "CT_X", "A=B", "C"},
  };
  for (const Case& c : cases) {
    CommandRecord record = engine::ParseCommandLine(c.line);
    EXPECT_EQ(record.cstrCmdType, c.type) << c.line;
    EXPECT_EQ(record.cstrCmdStr, c.str) << c.line;
    EXPECT_EQ(record.cstrParam, c.param) << c.line;
    EXPECT_TRUE(record.cstrAddReg.empty());
    EXPECT_EQ(record.dwParam, 0xFFFFFFFFul);
  }
}

TEST(PageSelection, FirstPrefixInTableOrderAnywhereInTheName) {
  struct Case {
    const char* section;
    std::optional<PageKind> expected;
  } cases[] = {
      {"NORMAL.WELCOME", PageKind::kNormal},
      {"MY_NORMAL.PAGE1", PageKind::kNormal},
      {"INSTALL.SELECT_ITEM.X", PageKind::kSelectItem},
      {"SELECT_ITEM.INSTALL.X", PageKind::kSelectItem},
      {"UNINSTALL.PAGE", PageKind::kInstall},
      {"UNINST.PAGE", PageKind::kUninst},
      {"FINISH.END", PageKind::kFinish},
      {"SET_PRINTERS.A", PageKind::kSetPrinters},
      {"ENTER_CLIENT_PC.A", PageKind::kEnterClientPc},
      {"SET_PORT.A", PageKind::kSetPort},
      {"SELECT_DRIVER.A", PageKind::kSelectDriver},
      {"SELECT_PRINTER.A", PageKind::kSelectPrinter},
      {"SELECT_LANGUAGE.A", PageKind::kSelectLanguage},
      {"FINISH.NORMAL.", PageKind::kNormal},
      {"NORMAL", std::nullopt},
      {"", std::nullopt},
      {"WELCOME", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(engine::SelectPageKind(c.section), c.expected) << c.section;
}

TEST(ItemProgram, SplitsAtTheFirstColonAndTrims) {
  struct Case {
    const char* text;
    bool valid;
    const char *item, *program;
  } cases[] = {
      {"UTILITY:$SRC_DIR$\\tool.exe", true, "UTILITY", "$SRC_DIR$\\tool.exe"},
      {" ITEM : C:\\dir\\file.exe ", true, "ITEM", "C:\\dir\\file.exe"},
      {"C:\\file.exe", true, "C", "\\file.exe"},
      {":prog.exe", true, "", "prog.exe"},
      {"ITEMONLY", false, "", ""},
      {"", false, "", ""},
      {"\tA\t:\tB\t", true, "A", "B"},
  };
  for (const Case& c : cases) {
    auto split = engine::SplitItemProgram(c.text);
    ASSERT_EQ(split.has_value(), c.valid) << c.text;
    if (!split) continue;
    EXPECT_EQ(split->item, c.item) << c.text;
    EXPECT_EQ(split->program, c.program) << c.text;
  }
}

TEST(CopyEntries, SourceDestinationAndSaveFlag) {
  struct Case {
    const char* arguments;
    bool valid;
    const char *source, *destination;
    bool save;
  } cases[] = {
      {"a.txt,b.txt", true, "a.txt", "b.txt", true},
      {"\"a b.txt\" , \"c d.txt\"", true, "a b.txt", "c d.txt", true},
      {"a,b,0", true, "a", "b", false},
      {"a,b, 0 ", true, "a", "b", false},
      {"a,b,0x0", true, "a", "b", false},
      {"a,b,1", true, "a", "b", true},
      {"a,b,abc", true, "a", "b", true},  // not a number: saving stays on
      {"a,b,", true, "a", "b", true},
      {"a,b,0,extra", true, "a", "b", true},  // the save field is "0,extra"
      {"a.txt", false, "", "", true},
      {"a,", false, "", "", true},
      {"a, \"\" ,0", false, "", "", true},
      {"", false, "", "", true},
  };
  for (const Case& c : cases) {
    auto parsed = engine::ParseCopyArguments(c.arguments);
    ASSERT_EQ(parsed.has_value(), c.valid) << c.arguments;
    if (!parsed) continue;
    EXPECT_EQ(parsed->source, c.source) << c.arguments;
    EXPECT_EQ(parsed->destination, c.destination) << c.arguments;
    EXPECT_EQ(parsed->saveHistory, c.save) << c.arguments;
  }
}

TEST(FileEntries, KindUpperCasedArgumentsTrimmedTargetsByWord) {
  engine::FileEntry entry = engine::SplitFileEntry("file2 =  a,b  ");
  EXPECT_EQ(entry.kind, "FILE2 ");
  EXPECT_EQ(entry.arguments, "a,b");
  EXPECT_EQ(engine::TargetOf("FILE1"), engine::FileTarget::kFile);
  EXPECT_EQ(engine::TargetOf("DIRECTORY3"), engine::FileTarget::kDirectory);
  EXPECT_EQ(engine::TargetOf("FILEDIRECTORY"), engine::FileTarget::kFile);
  EXPECT_EQ(engine::TargetOf("REGISTRY"), engine::FileTarget::kOther);
  EXPECT_EQ(engine::SplitFileEntry("NOEQUALS").arguments, "");
}

TEST(RegistryValues, TypeNameDataFields) {
  engine::RegistryValue v = engine::ParseRegistryValue("reg_dword,Count,0x10");
  EXPECT_EQ(v.type, "REG_DWORD");
  EXPECT_TRUE(v.isDword);
  EXPECT_EQ(v.name, "Count");
  EXPECT_EQ(v.data, "0x10");
  v = engine::ParseRegistryValue("REG_SZ,Path,C:\\a,b");
  EXPECT_FALSE(v.isDword);
  EXPECT_EQ(v.data, "C:\\a,b");
  v = engine::ParseRegistryValue("REG_SZ");
  EXPECT_TRUE(v.name.empty());
  v = engine::ParseRegistryValue("REG_SZ,,data");
  EXPECT_TRUE(v.name.empty());
  v = engine::ParseRegistryValue("REG_SZ,Name");
  EXPECT_EQ(v.name, "Name");
  EXPECT_TRUE(v.data.empty());
}

TEST(ClearLine, ParametersForTheUninstallerCopy) {
  std::string text = engine::ClearParameters("My Program", "Software\\M\\P\\Uninstall", 1234);
  EXPECT_EQ(text, "/CLEAR /CLS My Program /REG Software\\M\\P\\Uninstall /PID 0x4d2");
  EXPECT_EQ(engine::ClearParameters("P", "K", 0xABCDEF01), "/CLEAR /CLS P /REG K /PID 0xabcdef01");
}

TEST(DiagnosisPorts, OnlyLocalPortsPass) {
  struct Case {
    const char* port;
    bool accepted;
  } cases[] = {{"USB001", true}, {"usb002", true}, {"LPT1:", true}, {"FILE:", true}, {" lpt2: ", true},
               {"IP_192.168.1.20", false}, {"", false}, {"COM1:", false}, {"\\\\server\\printer", false},
               {"DOT4_001", false}};
  for (const Case& c : cases) EXPECT_EQ(engine::DiagnosisPortAccepted(c.port), c.accepted) << c.port;
}

TEST(CheckTable, PackedNibblesSelectedByInstallType) {
  const unsigned numbers[6] = {1, 2, 3, 4, 5, 6};
  unsigned value = engine::PackCheckTable(numbers);
  EXPECT_EQ(value, 0x654321u);
  struct Case {
    unsigned long type;
    unsigned expected;
  } cases[] = {{0, 1}, {1, 2}, {2, 3}, {18, 4}, {4, 5}, {20, 6}, {3, 1}, {32, 1}, {36, 1}, {0x12345, 1}};
  for (const Case& c : cases) EXPECT_EQ(engine::SelectCheckNumber(value, c.type), c.expected) << c.type;
  const unsigned big[6] = {0x1F, 0, 0, 0, 0, 0};
  EXPECT_EQ(engine::PackCheckTable(big), 0xFu);  // a number keeps its 4 bits only
}

TEST(CheckTable, TickedStateFromTheSelectedNumber) {
  struct Case {
    unsigned number;
    bool installDefault, ticked, installed;
  } cases[] = {{1, false, true, false}, {5, true, false, true}, {3, true, true, false},
               {3, false, false, false}, {0, true, true, false}, {2, false, false, false}};
  for (const Case& c : cases) {
    engine::TickState state = engine::ApplyCheckNumber(c.number, c.installDefault);
    EXPECT_EQ(state.ticked, c.ticked) << c.number;
    EXPECT_EQ(state.alreadyInstalled, c.installed) << c.number;
  }
}

TEST(Parameters, JoinedUntilTheFirstEmptyEachWithABlank) {
  std::vector<std::string> values = {"-a", "-b", "", "-d"};
  auto at = [&](int i) { return i < static_cast<int>(values.size()) ? values[static_cast<size_t>(i)] : ""; };
  EXPECT_EQ(engine::JoinParameters(at), "-a -b ");
  values = {"", "-b"};
  EXPECT_EQ(engine::JoinParameters(at), "");
  int calls = 0;
  EXPECT_EQ(engine::JoinParameters([&](int) { ++calls; return std::string("x"); }).size(), 40u);
  EXPECT_EQ(calls, 20);
}

}  // namespace
