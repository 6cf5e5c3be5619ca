// Install items: Load rules and the records they write, on a real medium and
// the real registry.
#include <gtest/gtest.h>


#include "setup/engine/my_items.h"
#include "tests/engine/commands/engine_test_support.h"

namespace {

using enginetest::GetDword;
using enginetest::GetString;
using enginetest::Medium;
using enginetest::ValueExists;

const char* kItems =
    "[ITEM_INFO]\r\nCOUNTS=6\r\nITEM_0=DRIVER\r\nITEM_1=UTILITY\r\nITEM_3=OLD_OS\r\nITEM_4=PRINTER_PCL\r\n"
    "ITEM_5=MY_PRINTER\r\n"
    "[DRIVER]\r\nINST_CMDSTR=$SRC_DIR$\\driver\\setup.exe\r\nINST_PARAM_0=/s\r\nINST_PARAM_1=/v\r\n"
    "INST_PARAM_3=/never\r\nDISPLAY_NAME=DRV_NAME\r\nDESCRIPTION=DRV_DESC\r\nINSTALL_DEFAULT=1\r\n"
    "CHK_LC_TYPICAL=1\r\nCHK_LC_CUSTOM=2\r\nSUCCESS_RETURN=0\r\nWAIT_FILE=$SRC_DIR$\\wait.txt\r\n"
    "UNINST_CMDSTR=uninst.exe\r\nUNINST_PARAM_0=/u\r\nUNINST_PARAM_1=/q\r\n"
    "[UTILITY]\r\nINST_CMDSTR=util.exe\r\nINST_PARAM_1=/ignored\r\nINSTALL_DEFAULT=1\r\nDISPLAY_NAME=MISSING_KEY\r\n"
    "[OLD_OS]\r\nINST_CMDSTR=old.exe\r\nUNSUPPORTED_OS=w98,W2K\r\nINSTALL_DEFAULT=1\r\n"
    "[PRINTER_PCL]\r\nDRIVER_NAME=Vexa PCL\r\nINF_FILE=$SRC_DIR$\\pcl.inf\r\nSHARE_NAME=VEXA\r\n"
    "DEFAULT_PRINTER=1\r\nCHK_LC_TYPICAL=4\r\n"
    "[MY_PRINTER]\r\nDRIVER_NAME=Vexa PS\r\nPRINTER_NAME=Office PS\r\nDEFAULT_PRINTER_NET=1\r\n"
    "FACTORY_INSTALL=1\r\n"
    "[SHORTCUT_INFO]\r\nSC_DESK\r\nSC_MENU\r\nSC_NONAME\r\n"
    "[SC_DESK]\r\nNAME=Manual\r\nTARGET=$SRC_DIR$\\manual.pdf\r\nGROUP=desktop\r\nICON_INDEX=3\r\n"
    "DESCRIPTION=The manual\r\n"
    "[SC_MENU]\r\nNAME=Tool\r\nTARGET=tool.exe\r\nGROUP=PROGRAMS\r\nFOLDER_NAME=Vexa\r\nPERMISSION=1\r\n"
    "[SC_NONAME]\r\nTARGET=x.exe\r\n"
    "[COPY_FILE_INFO]\r\nCOPY_A\r\nCOPY_NOSRC\r\nCOPY_NODEST\r\nCOPY_FLAT\r\n"
    "[COPY_A]\r\nSOURCE=$SRC_DIR$\\docs\r\nDESTINATION=$DEST_DIR$\\docs\r\n"
    "[COPY_NOSRC]\r\nDESTINATION=x\r\n[COPY_NODEST]\r\nSOURCE=x\r\n"
    "[COPY_FLAT]\r\nSOURCE=a\r\nDESTINATION=b\r\nCOPY_SUBDIR=0\r\n";

const char* kStrings = "DRV_NAME=Printer driver\r\nDRV_DESC=Installs the driver\r\n";

class Items : public ::testing::Test {
 protected:
  Medium medium_{kItems, "", kStrings};
  CMyItems items_;

  CMyItem* Find(const std::string& name) {
    for (int i = 0; i < items_.Count(); ++i) {
      if (items_.Item(i)->name == name) return items_.Item(i);
    }
    return nullptr;
  }
  std::string ItemKey(const std::string& name) { return medium_.InstallKey() + "\\Items\\" + name; }
};

TEST_F(Items, LoadSkipsMissingAndUnsupportedItemsWithTheirLogLines) {
  ASSERT_TRUE(medium_.ok());
  medium_.SetInstallType(0);
  ASSERT_TRUE(items_.Load("ITEM_INFO", false));
  EXPECT_EQ(items_.Count(), 4);
  EXPECT_NE(Find("DRIVER"), nullptr);
  EXPECT_EQ(Find("OLD_OS"), nullptr);
  EXPECT_EQ(items_.Item(4), nullptr);
  EXPECT_EQ(items_.Item(-1), nullptr);
  std::string log = medium_.Log();
  EXPECT_NE(log.find("[CMyItems] Get Item Section fail [ITEM_2]"), std::string::npos);
  EXPECT_NE(log.find("[CMyItems] OLD_OS item is not supported in this os\n"), std::string::npos);
}

TEST_F(Items, RemoteInstallTypesKeepUnsupportedItemsAndStoreCommandsUnexpanded) {
  medium_.SetInstallType(4);
  ASSERT_TRUE(items_.Load("ITEM_INFO", false));
  EXPECT_TRUE(items_.IsRemote());
  EXPECT_NE(Find("OLD_OS"), nullptr);
  items_.WriteItemRecords();
  EXPECT_EQ(GetString(HKEY_LOCAL_MACHINE, ItemKey("DRIVER"), "Command"), "$SRC_DIR$\\driver\\setup.exe");
  EXPECT_EQ(GetString(HKEY_LOCAL_MACHINE, ItemKey("PRINTER_PCL"), "Inf_Path"), "$SRC_DIR$\\pcl.inf");
  EXPECT_EQ(GetString(HKEY_LOCAL_MACHINE, ItemKey("DRIVER"), "WaitFile"), "$SRC_DIR$\\wait.txt");
}

TEST_F(Items, LocalRecordsHoldEveryValueExpanded) {
  medium_.SetInstallType(0);
  ASSERT_TRUE(items_.Load("ITEM_INFO", false));
  ASSERT_TRUE(items_.WriteItemRecords());
  std::string key = ItemKey("DRIVER");
  std::string src = medium_.SrcDir();
  EXPECT_EQ(GetString(HKEY_LOCAL_MACHINE, key, "DisplayName"), "Printer driver");
  EXPECT_EQ(GetDword(HKEY_LOCAL_MACHINE, key, "Install", 9), 1u);  // CHK_LC_TYPICAL=1
  EXPECT_EQ(GetDword(HKEY_LOCAL_MACHINE, key, "Install_OK", 9), 0u);
  EXPECT_EQ(GetString(HKEY_LOCAL_MACHINE, key, "Item_Name"), "DRIVER");
  EXPECT_EQ(GetString(HKEY_LOCAL_MACHINE, key, "Command"), src + "\\driver\\setup.exe");
  EXPECT_EQ(GetString(HKEY_LOCAL_MACHINE, key, "Param"), "/s /v ");
  EXPECT_EQ(GetDword(HKEY_LOCAL_MACHINE, key, "Success_Return", 9), 0u);
  EXPECT_EQ(GetString(HKEY_LOCAL_MACHINE, key, "WaitFile"), src + "\\wait.txt");  // expanded, or never found
  EXPECT_FALSE(ValueExists(HKEY_LOCAL_MACHINE, key, "WaitRegKey"));
  EXPECT_EQ(GetDword(HKEY_LOCAL_MACHINE, key, "Printer", 9), 0u);
  EXPECT_FALSE(ValueExists(HKEY_LOCAL_MACHINE, key, "Driver_Name"));
  EXPECT_EQ(GetString(HKEY_LOCAL_MACHINE, key, "Uninstall_Cmd"), "uninst.exe");
  EXPECT_EQ(GetString(HKEY_LOCAL_MACHINE, key, "Uninstall_Param"), "/u /q ");
  EXPECT_TRUE(ValueExists(HKEY_LOCAL_MACHINE, key, "Uninstall_Value_Name"));

  // INST_PARAM_0 empty: nothing read even though INST_PARAM_1 is set.
  key = ItemKey("UTILITY");
  EXPECT_FALSE(ValueExists(HKEY_LOCAL_MACHINE, key, "Param"));
  EXPECT_EQ(GetString(HKEY_LOCAL_MACHINE, key, "DisplayName"), "UTILITY");  // message key without text
  EXPECT_EQ(GetDword(HKEY_LOCAL_MACHINE, key, "Install", 9), 1u);           // empty check keys: INSTALL_DEFAULT
  EXPECT_EQ(GetDword(HKEY_LOCAL_MACHINE, key, "Success_Return", 9), 1u);

  key = ItemKey("PRINTER_PCL");
  EXPECT_EQ(GetDword(HKEY_LOCAL_MACHINE, key, "Printer", 9), 1u);
  EXPECT_EQ(GetString(HKEY_LOCAL_MACHINE, key, "Driver_Name"), "Vexa PCL");
  EXPECT_EQ(GetString(HKEY_LOCAL_MACHINE, key, "Printer_Name"), "Vexa PCL");  // driver name when empty
  EXPECT_EQ(GetString(HKEY_LOCAL_MACHINE, key, "Inf_Path"), src + "\\pcl.inf");
  EXPECT_EQ(GetString(HKEY_LOCAL_MACHINE, key, "Share_Name"), "VEXA");
  EXPECT_EQ(GetDword(HKEY_LOCAL_MACHINE, key, "Share", 9), 0u);
  EXPECT_EQ(GetDword(HKEY_LOCAL_MACHINE, key, "Install", 9), 0u);  // check number 4: default (0)
  EXPECT_EQ(GetDword(HKEY_LOCAL_MACHINE, ItemKey("MY_PRINTER"), "Printer", 9), 1u);
  // DEFAULT_PRINTER counts for local types; MY_PRINTER's DEFAULT_PRINTER_NET does not.
  EXPECT_EQ(GetString(HKEY_LOCAL_MACHINE, medium_.InstallKey(), "Default_Printer"), "Vexa PCL");
}

TEST_F(Items, NetworkTypesUseTheNetDefaultPrinterKeyAndTheServerShare) {
  medium_.SetInstallType(18);
  enginetest::SetDword(HKEY_LOCAL_MACHINE, medium_.InstallKey(), "InstallAsServer", 1);
  ASSERT_TRUE(items_.Load("ITEM_INFO", false));
  items_.WriteItemRecords();
  EXPECT_EQ(GetString(HKEY_LOCAL_MACHINE, medium_.InstallKey(), "Default_Printer"), "Office PS");
  EXPECT_EQ(GetDword(HKEY_LOCAL_MACHINE, ItemKey("PRINTER_PCL"), "Share", 9), 1u);
  EXPECT_EQ(GetDword(HKEY_LOCAL_MACHINE, ItemKey("DRIVER"), "Install", 9), 1u);  // nibble of type 18 is 3
}

TEST(ItemState, AnItemFoundInstalledGetsStateFive) {
  Medium medium("[ITEM_INFO]\r\nCOUNTS=1\r\nITEM_0=STATE5\r\n"
                "[STATE5]\r\nUNINST_VALUE_NAME=DriverPack\r\nINSTALL_DEFAULT=1\r\nCHK_LC_TYPICAL=1\r\n",
                "");
  std::string key = medium.InstallKey() + "\\Items\\STATE5";
  enginetest::SetString(HKEY_LOCAL_MACHINE, medium.Id().UninstallInfoKey(), "DriverPack", "uninst.exe");
  medium.SetInstallType(0);
  CMyItems items;
  ASSERT_TRUE(items.Load("ITEM_INFO", false));
  ASSERT_EQ(items.Count(), 1);
  CMyItem* item = items.Item(0);
  EXPECT_FALSE(item->install);
  EXPECT_TRUE(item->alreadyInstalled);
  EXPECT_FALSE(ValueExists(HKEY_LOCAL_MACHINE, key, "Install_OK"));  // the check writes nothing
  items.WriteItemRecords();
  EXPECT_EQ(GetDword(HKEY_LOCAL_MACHINE, key, "Install_OK", 9), 1u);
  EXPECT_EQ(GetDword(HKEY_LOCAL_MACHINE, key, "Install", 9), 0u);
  EXPECT_TRUE(CMyItems::IsItemInstalled("STATE5", false, false, true));
  EXPECT_TRUE(items.DeleteItemRecord("STATE5"));
  EXPECT_FALSE(qx::test::KeyExists(HKEY_LOCAL_MACHINE, key));
  // Remote types do not ask: the check table decides (1 in bits 16-19 is not set: 3).
  medium.SetInstallType(4);
  CMyItems remote;
  ASSERT_TRUE(remote.Load("ITEM_INFO", false));
  EXPECT_FALSE(remote.Item(0)->alreadyInstalled);
  EXPECT_TRUE(remote.Item(0)->install);
}

TEST_F(Items, FactoryModeTicksByFactoryInstallOnly) {
  medium_.SetInstallType(0);
  ASSERT_TRUE(items_.Load("ITEM_INFO", true));
  EXPECT_TRUE(Find("MY_PRINTER")->install);
  EXPECT_FALSE(Find("DRIVER")->install);
  EXPECT_FALSE(Find("UTILITY")->install);
  items_.Clear();
  EXPECT_EQ(items_.Count(), 0);
  EXPECT_FALSE(items_.IsFactory());
}

TEST_F(Items, ShortcutAndCopyRecords) {
  medium_.SetInstallType(0);
  ASSERT_TRUE(items_.Load("ITEM_INFO", false));
  ASSERT_TRUE(items_.WriteShortcutRecords());
  ASSERT_TRUE(items_.WriteCopyRecords());
  std::string desk = medium_.InstallKey() + "\\Shortcut\\SC_DESK";
  EXPECT_EQ(GetString(HKEY_LOCAL_MACHINE, desk, "Name"), "Manual");
  EXPECT_EQ(GetString(HKEY_LOCAL_MACHINE, desk, "Target"), medium_.SrcDir() + "\\manual.pdf");
  EXPECT_EQ(GetDword(HKEY_LOCAL_MACHINE, desk, "Group", 9), 1u);
  EXPECT_EQ(GetDword(HKEY_LOCAL_MACHINE, desk, "Icon_Index", 9), 3u);
  EXPECT_EQ(GetString(HKEY_LOCAL_MACHINE, desk, "Icon_Description"), "The manual");
  std::string menu = medium_.InstallKey() + "\\Shortcut\\SC_MENU";
  EXPECT_EQ(GetDword(HKEY_LOCAL_MACHINE, menu, "Group", 9), 0u);
  EXPECT_EQ(GetString(HKEY_LOCAL_MACHINE, menu, "Folder_Name"), "Vexa");
  EXPECT_EQ(GetDword(HKEY_LOCAL_MACHINE, menu, "Permission", 9), 1u);
  EXPECT_FALSE(qx::test::KeyExists(HKEY_LOCAL_MACHINE, medium_.InstallKey() + "\\Shortcut\\SC_NONAME"));
  std::string copy = medium_.InstallKey() + "\\CopyFiles\\COPY_A";
  EXPECT_EQ(GetString(HKEY_LOCAL_MACHINE, copy, "Src"), medium_.SrcDir() + "\\docs");
  EXPECT_EQ(GetString(HKEY_LOCAL_MACHINE, copy, "Dest"), medium_.Env().GetDestDir() + "\\docs");
  EXPECT_EQ(GetDword(HKEY_LOCAL_MACHINE, copy, "CopySubDir", 9), 1u);
  EXPECT_EQ(GetDword(HKEY_LOCAL_MACHINE, medium_.InstallKey() + "\\CopyFiles\\COPY_FLAT", "CopySubDir", 9), 0u);
  std::string log = medium_.Log();
  EXPECT_NE(log.find("[CMyItems] Get shortcut name fail. section: [SC_NONAME]\n"), std::string::npos);
  EXPECT_NE(log.find("[CMyItems] Get src directory fail. section: [COPY_NOSRC]\n"), std::string::npos);
  EXPECT_NE(log.find("[CMyItems] Get dest directory fail. section: [COPY_NODEST]\n"), std::string::npos);
}

TEST_F(Items, RewriteCommandsLogsAndWritesAgain) {
  medium_.SetInstallType(0);
  ASSERT_TRUE(items_.Load("ITEM_INFO", false));
  items_.RewriteCommands();
  std::string log = medium_.Log();
  EXPECT_NE(log.find("Write [DRIVER] Item Command CMD = " + medium_.SrcDir() + "\\driver\\setup.exe"),
            std::string::npos);
  EXPECT_NE(log.find("Write [DRIVER] Item Command PARAM = /s /v "), std::string::npos);
  EXPECT_EQ(log.find("Write [UTILITY] Item Command PARAM"), std::string::npos);
  EXPECT_EQ(GetString(HKEY_LOCAL_MACHINE, ItemKey("UTILITY"), "Command"), "util.exe");
}

class ItemCounts : public ::testing::TestWithParam<const char*> {};

TEST_P(ItemCounts, BadCountsNeitherCrashNorHang) {
  std::string data = std::string("[ITEM_INFO]\r\nCOUNTS=") + GetParam() +
                     "\r\nITEM_0=A\r\nITEM_1=B\r\n[A]\r\nINST_CMDSTR=a.exe\r\n[B]\r\nINST_CMDSTR=b.exe\r\n";
  Medium medium(data, "");
  CMyItems items;
  bool loaded = items.Load("ITEM_INFO", false);
  std::string count = GetParam();
  if (count.empty()) {
    EXPECT_FALSE(loaded);
    EXPECT_NE(medium.Log().find("[CMyItems] Get Item counts fail"), std::string::npos);
    return;
  }
  EXPECT_TRUE(loaded);
  int expected = count[0] == '-' || count == "0" || count == "abc" ? 0 : (count == "1" ? 1 : 2);
  EXPECT_EQ(items.Count(), expected) << count;
  if (count == "999999999") {
    EXPECT_NE(medium.Log().find("[CMyItems] Item counts 999999999 but the last item key is ITEM_1\n"),
              std::string::npos);
    EXPECT_EQ(medium.CountInLog("[CMyItems] Get Item Section fail"), 0);
  }
}

INSTANTIATE_TEST_SUITE_P(Counts, ItemCounts, ::testing::Values("", "0", "1", "2", "3", "-1", "-2147483648",
                                                               "4000000000", "999999999", "0x7FFF", "abc"));

}  // namespace
