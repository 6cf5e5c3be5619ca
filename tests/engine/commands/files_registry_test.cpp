// Registry sections and file sections against the real registry and files.
#include <gtest/gtest.h>

#include "tests/engine/commands/engine_test_support.h"

namespace {

using enginetest::GetDword;
using enginetest::GetString;
using enginetest::Medium;
using enginetest::ValueExists;

class Sections : public ::testing::Test {
 protected:
  static std::string Data(const qx::test::TestIdentity& id) {
    std::string key = "Software\\" + id.Mfg() + "\\Added";
    return "[REG_MAIN]\r\nROOTKEY=hkcu\r\nKEYNAME=" + key +
           "\r\nVALUE_0=reg_dword,Count,0x10\r\nVALUE_1=REG_SZ,Path,$SRC_DIR$\\x\r\nVALUE_3=REG_SZ,Late,never\r\n"
           "[REG_ODD]\r\nKEYNAME=" + key + "\\Odd\r\nVALUE_0=REG_SZ\r\nVALUE_1=REG_SZ,,nameless\r\n"
           "VALUE_2=REG_SZ,NoData\r\nVALUE_3=REG_EXPAND_SZ,Text,abc\r\nVALUE_4=REG_DWORD,Number,12abc\r\n"
           "[REG_NOKEY]\r\nROOTKEY=HKLM\r\nVALUE_0=REG_SZ,A,B\r\n";
  }
  Sections() : medium_(Data(id_), "") { op_.Initialise(nullptr, false); }
  bool Run(const std::string& type, const std::string& str) {
    CommandRecord record(type, str);
    return op_.Execute(record);
  }
  std::string Added() const { return "Software\\" + id_.Mfg() + "\\Added"; }

  qx::test::TestIdentity id_;
  Medium medium_;
  CCmdOperator op_;
};

TEST_F(Sections, AddRegStopsAtTheFirstMissingValue) {
  EXPECT_TRUE(Run("CT_ADDREG", "REG_MAIN"));
  EXPECT_EQ(GetDword(HKEY_CURRENT_USER, Added(), "Count", 0), 16u);
  EXPECT_EQ(GetString(HKEY_CURRENT_USER, Added(), "Path"), medium_.SrcDir() + "\\x");
  EXPECT_FALSE(ValueExists(HKEY_CURRENT_USER, Added(), "Late"));
  EXPECT_FALSE(qx::test::KeyExists(HKEY_LOCAL_MACHINE, Added()));
}

TEST_F(Sections, AddRegSkipsNamelessValuesAndDefaultsToTheLocalMachine) {
  EXPECT_TRUE(Run("CT_ADDREG", "REG_ODD"));
  std::string odd = Added() + "\\Odd";
  EXPECT_EQ(GetString(HKEY_LOCAL_MACHINE, odd, "NoData"), "");
  EXPECT_TRUE(ValueExists(HKEY_LOCAL_MACHINE, odd, "NoData"));
  EXPECT_EQ(GetString(HKEY_LOCAL_MACHINE, odd, "Text"), "abc");
  EXPECT_EQ(GetDword(HKEY_LOCAL_MACHINE, odd, "Number", 0), 12u);
  EXPECT_FALSE(ValueExists(HKEY_LOCAL_MACHINE, odd, ""));
}

TEST_F(Sections, AddRegFailures) {
  EXPECT_FALSE(Run("CT_ADDREG", ""));
  EXPECT_NE(medium_.Log().find("[CCmdOperator] Get Add registry section error!\n"), std::string::npos);
  EXPECT_FALSE(Run("CT_ADDREG", "REG_NOKEY"));
  EXPECT_FALSE(Run("CT_ADDREG", "NO_SUCH_SECTION"));
  EXPECT_EQ(medium_.CountInLog("[CCmdOperator] Get Add registry Key Name error!\n"), 2);
}

TEST(FileSections, CopyEntriesGoodAndBad) {
  qx::test::TempDir work;
  std::string src = work.Write("src\\a.txt", "A");
  work.Write("src\\tree\\sub\\b.txt", "B");
  work.Write("out\\keep.txt", "K");  // the file copier does not create folders
  std::string data = "[COPY_ALL]\r\nFILE1=" + src + "," + work.File("out\\a1.txt") +
                     "\r\nFILE2=\"" + src + "\" , \"" + work.File("out\\a2.txt") + "\" , 0\r\n"
                     "FILE3=" + src + "\r\nFILE4=" + src + ",   \r\nFILE5=" + work.File("missing.txt") + "," +
                     work.File("out\\m.txt") + "\r\nDIRECTORY1=" + work.File("src\\tree") + "," +
                     work.File("out\\tree") + ",no\r\nREGISTRY=" + src + "," + work.File("out\\r.txt") +
                     "\r\n[COPY_OTHER_OS]\r\nSUPPORTED_OS=W98,WME\r\nFILE=" + src + "," + work.File("other.txt") +
                     "\r\n[COPY_THIS_OS]\r\nSUPPORTED_OS=w98,w2k\r\nFILE=" + src + "," + work.File("this.txt") +
                     "\r\n[DELETE_ALL]\r\nFILE=" + work.File("this.txt") + "\r\nDIRECTORY=" + work.File("out") +
                     "\r\nFILE2=" + work.File("never-there.txt") + "\r\n";
  Medium medium(data, "");
  CCmdOperator op;
  op.Initialise(nullptr, false);
  CommandRecord copy("CT_COPY_FILE", "COPY_ALL");
  EXPECT_TRUE(op.Execute(copy));
  EXPECT_TRUE(qx::test::FileExists(work.File("out\\a1.txt")));
  EXPECT_TRUE(qx::test::FileExists(work.File("out\\a2.txt")));
  EXPECT_TRUE(qx::test::FileExists(work.File("out\\tree\\sub\\b.txt")));
  EXPECT_FALSE(qx::test::FileExists(work.File("out\\r.txt")));
  EXPECT_FALSE(qx::test::FileExists(work.File("out\\m.txt")));
  std::string log = medium.Log();
  EXPECT_NE(log.find("[CCmdOperator] Copy file COPY_ALL"), std::string::npos);
  EXPECT_NE(log.find("[CCmdOperator] Invalid copy command (" + src + ")\n"), std::string::npos);
  EXPECT_NE(log.find("[CCmdOperator] Invalid copy command (" + src + ",)\n"), std::string::npos);
  EXPECT_NE(log.find("[CCmdOperator] Copy Type = FILE1, Src = " + src + ", Dest = " + work.File("out\\a1.txt") +
                     " , Save history = 1\n"),
            std::string::npos);
  EXPECT_NE(log.find("[CCmdOperator] Copy Type = FILE2, Src = " + src + ", Dest = " + work.File("out\\a2.txt") +
                     " , Save history = 0\n"),
            std::string::npos);
  EXPECT_NE(log.find("[CCmdOperator] Copy fail (" + work.File("missing.txt")), std::string::npos);
  // History: a1 (saved), not a2 (save flag 0), the tree's file and directories.
  std::string history;
  for (DWORD i = 0; i < GetDword(HKEY_LOCAL_MACHINE, medium.Id().UninstallKey(), "NumOfFiles", 0); ++i) {
    history += GetString(HKEY_LOCAL_MACHINE, medium.Id().UninstallKey(), ("File" + std::to_string(i)).c_str()) + ";";
  }
  EXPECT_NE(history.find(work.File("out\\a1.txt")), std::string::npos) << history;
  EXPECT_EQ(history.find(work.File("out\\a2.txt")), std::string::npos) << history;
  EXPECT_NE(history.find(work.File("out\\tree\\sub\\b.txt")), std::string::npos) << history;

  CommandRecord other("CT_COPY_FILE", "COPY_OTHER_OS");
  EXPECT_TRUE(op.Execute(other));
  EXPECT_FALSE(qx::test::FileExists(work.File("other.txt")));
  EXPECT_EQ(medium.Log().find("[CCmdOperator] Copy file COPY_OTHER_OS"), std::string::npos);
  CommandRecord same("CT_COPY_FILE", "COPY_THIS_OS");
  EXPECT_TRUE(op.Execute(same));
  EXPECT_TRUE(qx::test::FileExists(work.File("this.txt")));

  CommandRecord remove("CT_DELETE_FILE", "DELETE_ALL");
  EXPECT_TRUE(op.Execute(remove));
  EXPECT_FALSE(qx::test::FileExists(work.File("this.txt")));
  EXPECT_FALSE(qx::test::FileExists(work.File("out")));
  EXPECT_NE(medium.Log().find("[CCmdOperator] Delete Type = DIRECTORY, Target = " + work.File("out") + "\n"),
            std::string::npos);
}

TEST(FileSections, MissingSectionsAndNames) {
  Medium medium("[EMPTY_SECTION]\r\n", "");
  CCmdOperator op;
  op.Initialise(nullptr, false);
  CommandRecord noName("CT_COPY_FILE", "");
  EXPECT_FALSE(op.Execute(noName));
  CommandRecord noDeleteName("CT_DELETE_FILE", "");
  EXPECT_FALSE(op.Execute(noDeleteName));
  EXPECT_EQ(medium.CountInLog("[CCmdOperator] Copy file fail.....Invalid section name!!!"), 2);
  CommandRecord missing("CT_COPY_FILE", "NOPE");
  EXPECT_FALSE(op.Execute(missing));
  EXPECT_NE(medium.Log().find("[CCmdOperator] Get copy file information fail!! [NOPE] (" +
                              medium.Env().GetDataFile() + ")"),
            std::string::npos);
  CommandRecord missingDelete("CT_DELETE_FILE", "NOPE");
  EXPECT_FALSE(op.Execute(missingDelete));
  EXPECT_NE(medium.Log().find("[CCmdOperator] Get Delete file information fail!! [NOPE]"), std::string::npos);
  CommandRecord empty("CT_COPY_FILE", "EMPTY_SECTION");
  EXPECT_TRUE(op.Execute(empty));
}

TEST(WriteItemInfo, WritesItemsShortcutsAndCopiesOrFails) {
  Medium medium("[ITEM_INFO]\r\nCOUNTS=1\r\nITEM_0=A\r\n[A]\r\nINST_CMDSTR=$SRC_DIR$\\a.exe\r\n"
                "[SHORTCUT_INFO]\r\nS\r\n[S]\r\nNAME=s\r\n[COPY_FILE_INFO]\r\nC\r\n[C]\r\nSOURCE=x\r\nDESTINATION=y\r\n",
                "");
  CCmdOperator op;
  op.Initialise(nullptr, false);
  CommandRecord record("CT_WRITE_ITEM_INFO", "");
  EXPECT_TRUE(op.Execute(record));
  EXPECT_EQ(GetString(HKEY_LOCAL_MACHINE, medium.InstallKey() + "\\Items\\A", "Command"), medium.SrcDir() + "\\a.exe");
  EXPECT_TRUE(qx::test::KeyExists(HKEY_LOCAL_MACHINE, medium.InstallKey() + "\\Shortcut\\S"));
  EXPECT_TRUE(qx::test::KeyExists(HKEY_LOCAL_MACHINE, medium.InstallKey() + "\\CopyFiles\\C"));

  Medium empty("", "");
  CCmdOperator other;
  other.Initialise(nullptr, false);
  CommandRecord again("CT_WRITE_ITEM_INFO", "");
  EXPECT_FALSE(other.Execute(again));
}

}  // namespace
