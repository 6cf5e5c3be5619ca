#include <gtest/gtest.h>

#include <algorithm>

#include "setup/core/utl.h"
#include "setup/scriptlib/api_function.h"
#include "tests/core/core_test_support.h"
#include "tests/support/test_identity.h"

namespace {

using coretest::RecordingHistory;
using Entries = std::vector<std::pair<std::string, int>>;

class UtlRegistry : public ::testing::Test {
 protected:
  std::string Key(const std::string& rest) const { return id_.Root() + "\\" + rest; }
  qx::test::TestIdentity id_;
};

TEST_F(UtlRegistry, WriteRegistryEntryForms) {
  RecordingHistory history;
  std::string dword = "HKCU," + Key("A\\B\\Val") + ",REG_DWORD,0x10";
  ASSERT_TRUE(CUtl::WriteRegistryEntry(dword.c_str()));
  EXPECT_EQ(CUtl::GetRegDword(Key("A\\B").c_str(), "Val", HKEY_CURRENT_USER, 0), 16u);

  std::string text = "hklm," + Key("S") + "\\Name,reg_sz,hello";
  ASSERT_TRUE(CUtl::WriteRegistryEntry(text.c_str()));
  EXPECT_EQ(CUtl::GetRegString(Key("S").c_str(), "Name"), "hello");

  std::string decimal = "HKCU," + Key("D") + "\\N,REG_DWORD,123";
  ASSERT_TRUE(CUtl::WriteRegistryEntry(decimal.c_str()));
  EXPECT_EQ(CUtl::GetRegDword(Key("D").c_str(), "N", HKEY_CURRENT_USER, 0), 123u);

  std::string noData = "HKLM," + Key("NoData") + "\\Val,REG_SZ";
  EXPECT_TRUE(CUtl::WriteRegistryEntry(noData.c_str()));
  EXPECT_FALSE(qx::test::KeyExists(HKEY_LOCAL_MACHINE, Key("NoData")));

  EXPECT_TRUE(CUtl::WriteRegistryEntry(""));
  EXPECT_FALSE(CUtl::WriteRegistryEntry("HKLM"));
  std::string noType = "HKLM," + Key("T") + "\\V";
  EXPECT_FALSE(CUtl::WriteRegistryEntry(noType.c_str()));
}

TEST_F(UtlRegistry, SetRegStringRecordsNewKeyAndNewValueOnly) {
  RecordingHistory history;
  std::string key = Key("New");
  ASSERT_TRUE(CUtl::SetRegString(key.c_str(), "Value", "one", HKEY_CURRENT_USER));
  Entries expected = {{"HKEY_CURRENT_USER\\" + key, 2}, {"HKEY_CURRENT_USER\\" + key + "\\Value", 3}};
  EXPECT_EQ(history.entries, expected);

  history.entries.clear();
  ASSERT_TRUE(CUtl::SetRegString(key.c_str(), "Value", "two", HKEY_CURRENT_USER));
  EXPECT_TRUE(history.entries.empty());
  EXPECT_EQ(CUtl::GetRegString(key.c_str(), "Value", HKEY_CURRENT_USER), "two");

  ASSERT_TRUE(CUtl::SetRegString(key.c_str(), "Other", "x", HKEY_CURRENT_USER));
  expected = {{"HKEY_CURRENT_USER\\" + key + "\\Other", 3}};
  EXPECT_EQ(history.entries, expected);
}

TEST_F(UtlRegistry, SetRegDwordRecordsLikeStrings) {
  RecordingHistory history;
  std::string key = Key("Dw");
  ASSERT_TRUE(CUtl::SetRegDword(key.c_str(), "N", 7));
  Entries expected = {{"HKEY_LOCAL_MACHINE\\" + key, 2}, {"HKEY_LOCAL_MACHINE\\" + key + "\\N", 3}};
  EXPECT_EQ(history.entries, expected);
  history.entries.clear();
  ASSERT_TRUE(CUtl::SetRegDword(key.c_str(), "N", 8));
  EXPECT_TRUE(history.entries.empty());
  EXPECT_EQ(CUtl::GetRegDword(key.c_str(), "N"), 8u);
}

TEST_F(UtlRegistry, ValuesThatExistedBeforeAreNeverRecorded) {
  std::string key = Key("Before");
  ASSERT_TRUE(CUtl::SetRegString(key.c_str(), "Text", "ERROR"));
  ASSERT_TRUE(CUtl::SetRegDword(key.c_str(), "Number", 0xFFFFFFFF));
  ASSERT_TRUE(CUtl::SetRegDword(key.c_str(), "Other", 3));
  RecordingHistory history;
  ASSERT_TRUE(CUtl::SetRegString(key.c_str(), "Text", "new text"));
  ASSERT_TRUE(CUtl::SetRegDword(key.c_str(), "Number", 1));
  ASSERT_TRUE(CUtl::SetRegString(key.c_str(), "Other", "now a string"));
  EXPECT_TRUE(history.entries.empty());
}

TEST_F(UtlRegistry, ReadersGiveDefaultsForMissingAndWrongTypes) {
  std::string key = Key("R");
  ASSERT_TRUE(CUtl::SetRegDword(key.c_str(), "Number", 5));
  ASSERT_TRUE(CUtl::SetRegString(key.c_str(), "Text", "t"));
  EXPECT_EQ(CUtl::GetRegString(key.c_str(), "Number", HKEY_LOCAL_MACHINE, "def"), "def");
  EXPECT_EQ(CUtl::GetRegDword(key.c_str(), "Text", HKEY_LOCAL_MACHINE, 9), 9u);
  EXPECT_EQ(CUtl::GetRegString(key.c_str(), "Absent", HKEY_LOCAL_MACHINE, "def"), "def");
  EXPECT_EQ(CUtl::GetRegString("", "Text", HKEY_LOCAL_MACHINE, "def"), "def");
  EXPECT_FALSE(CUtl::SetRegString("", "x", "y"));
  EXPECT_FALSE(CUtl::SetRegString(key.c_str(), "", "y"));
}

TEST_F(UtlRegistry, ValuesOfTheFullFourKilobytesAreReadAndCopied) {
  struct Case {
    size_t bytes;  // stored, with the terminating NUL
    bool read;
  } cases[] = {{4095, true}, {4096, true}, {4097, false}};
  for (const Case& c : cases) {
    std::string text(c.bytes - 1, 'v');
    HKEY h = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, Key("Big").c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &h,
                              nullptr),
              0);
    RegSetValueExA(h, "V", 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()), static_cast<DWORD>(c.bytes));
    RegCloseKey(h);
    EXPECT_EQ(CUtl::GetRegString(Key("Big").c_str(), "V", HKEY_LOCAL_MACHINE, "default"), c.read ? text : "default")
        << c.bytes;
    ASSERT_TRUE(CUtl::CopyRegKey(Key("Big").c_str(), Key("Copy").c_str(), false));
    EXPECT_EQ(CUtl::GetRegString(Key("Copy").c_str(), "V", HKEY_LOCAL_MACHINE, "none"), c.read ? text : "none")
        << c.bytes;
    CUtl::DeleteRegKey(Key("Copy").c_str(), true, false);
  }
}

TEST_F(UtlRegistry, OverlongKeyNamesFailCleanly) {
  RecordingHistory history;
  std::string key = Key(std::string(300, 'k'));
  EXPECT_FALSE(CUtl::SetRegString(key.c_str(), "V", "x"));
  EXPECT_FALSE(CUtl::SetRegDword(key.c_str(), "V", 1));
  EXPECT_EQ(CUtl::GetRegString(key.c_str(), "V", HKEY_LOCAL_MACHINE, "d"), "d");
  EXPECT_FALSE(CUtl::DeleteRegKey(key.c_str(), true, true));
  EXPECT_TRUE(history.entries.empty());
}

TEST_F(UtlRegistry, DeleteWithoutSubtreeKeepsKeyWithValues) {
  std::string key = Key("Keep");
  ASSERT_TRUE(CUtl::SetRegString(key.c_str(), "V", "x"));
  EXPECT_TRUE(CUtl::DeleteRegKey(key.c_str(), false, false));
  EXPECT_TRUE(qx::test::KeyExists(HKEY_LOCAL_MACHINE, key));
  ASSERT_TRUE(CUtl::DeleteRegValue(key.c_str(), "V"));
  EXPECT_TRUE(CUtl::DeleteRegKey(key.c_str(), false, false));
  EXPECT_FALSE(qx::test::KeyExists(HKEY_LOCAL_MACHINE, key));
  EXPECT_FALSE(CUtl::DeleteRegKey(key.c_str(), false, false));
}

TEST_F(UtlRegistry, DeleteSubtreeRemovesMoreThanTwentySubkeys) {
  std::string key = Key("Many");
  for (int i = 0; i < 45; ++i) {
    std::string sub = key + "\\Sub" + std::to_string(i) + "\\Deeper";
    ASSERT_TRUE(CUtl::SetRegDword(sub.c_str(), "N", static_cast<DWORD>(i)));
  }
  EXPECT_TRUE(CUtl::DeleteRegKey(key.c_str(), true, false));
  EXPECT_FALSE(qx::test::KeyExists(HKEY_LOCAL_MACHINE, key));
  EXPECT_TRUE(qx::test::KeyExists(HKEY_LOCAL_MACHINE, id_.Root()));
}

TEST_F(UtlRegistry, DeleteWithParentsStopsAtFirstLevelAndAtNonEmptyParents) {
  std::string leaf = Key("P\\Q\\R");
  ASSERT_TRUE(CUtl::SetRegDword(leaf.c_str(), "N", 1, HKEY_CURRENT_USER));
  ASSERT_TRUE(CUtl::SetRegDword(Key("Sibling").c_str(), "N", 1, HKEY_CURRENT_USER));
  EXPECT_TRUE(CUtl::DeleteRegKey((leaf + "\\").c_str(), true, true, HKEY_CURRENT_USER));
  EXPECT_FALSE(qx::test::KeyExists(HKEY_CURRENT_USER, Key("P")));
  EXPECT_TRUE(qx::test::KeyExists(HKEY_CURRENT_USER, id_.Root()));

  CUtl::DeleteRegKey(Key("Sibling").c_str(), true, false, HKEY_CURRENT_USER);
  ASSERT_TRUE(CUtl::SetRegDword(leaf.c_str(), "N", 1, HKEY_CURRENT_USER));
  EXPECT_TRUE(CUtl::DeleteRegKey(leaf.c_str(), true, true, HKEY_CURRENT_USER));
  EXPECT_FALSE(qx::test::KeyExists(HKEY_CURRENT_USER, "Software\\" + id_.Mfg()));
  EXPECT_TRUE(qx::test::KeyExists(HKEY_CURRENT_USER, "Software"));
}

TEST_F(UtlRegistry, CopyRegKeyCopiesStringsAndNumbersAndRecordsThem) {
  std::string from = Key("From"), to = Key("To");
  ASSERT_TRUE(CUtl::SetRegString(from.c_str(), "S", "text"));
  ASSERT_TRUE(CUtl::SetRegDword(from.c_str(), "D", 0xDEADBEEF));
  ASSERT_TRUE(CUtl::SetRegString((from + "\\Child").c_str(), "C", "child"));
  HKEY raw = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, from.c_str(), 0, KEY_WRITE, &raw), ERROR_SUCCESS);
  const BYTE bytes[3] = {1, 2, 3};
  RegSetValueExA(raw, "B", 0, REG_BINARY, bytes, 3);
  RegCloseKey(raw);

  RecordingHistory history;
  ASSERT_TRUE(CUtl::CopyRegKey(from.c_str(), to.c_str(), true));
  EXPECT_EQ(CUtl::GetRegString(to.c_str(), "S"), "text");
  EXPECT_EQ(CUtl::GetRegDword(to.c_str(), "D"), 0xDEADBEEFu);
  EXPECT_EQ(CUtl::GetRegString((to + "\\Child").c_str(), "C"), "child");
  EXPECT_EQ(CUtl::GetRegString(to.c_str(), "B", HKEY_LOCAL_MACHINE, "skipped"), "skipped");
  // Subkeys are copied first, so the destination key itself is made as a
  // parent of its child and only the child is recorded as a new key.
  std::vector<std::pair<std::string, int>> expected = {{"HKEY_LOCAL_MACHINE\\" + to + "\\Child", 2},
                                                       {"HKEY_LOCAL_MACHINE\\" + to + "\\Child\\C", 3},
                                                       {"HKEY_LOCAL_MACHINE\\" + to + "\\S", 3},
                                                       {"HKEY_LOCAL_MACHINE\\" + to + "\\D", 3}};
  std::sort(expected.begin(), expected.end());
  std::sort(history.entries.begin(), history.entries.end());
  EXPECT_EQ(history.entries, expected);

  history.entries.clear();
  ASSERT_TRUE(CUtl::CopyRegKey(from.c_str(), (to + "2").c_str(), false));
  EXPECT_FALSE(qx::test::KeyExists(HKEY_LOCAL_MACHINE, to + "2\\Child"));
  EXPECT_FALSE(CUtl::CopyRegKey(Key("Absent").c_str(), to.c_str(), true));
}

TEST_F(UtlRegistry, KeyPermissionNeedsBoundSecurityFunctions) {
  std::string key = Key("Dacl");
  ASSERT_TRUE(CUtl::SetRegDword(key.c_str(), "N", 1));
  // Whether the object-ACE function works here (Wine 8's refuses) decides.
  BYTE buffer[256];
  PACL acl = reinterpret_cast<PACL>(buffer);
  SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
  PSID everyone = nullptr;
  ASSERT_TRUE(AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &everyone));
  bool objectAces = InitializeAcl(acl, sizeof(buffer), ACL_REVISION_DS) &&
                    AddAccessAllowedObjectAce(acl, ACL_REVISION_DS, 0x12, 0xF003F, nullptr, nullptr, everyone);
  FreeSid(everyone);
  EXPECT_EQ(CUtl::SetKeyDaclPermission(key.c_str()), objectAces);
  EXPECT_FALSE(CUtl::SetKeyDaclPermission(Key("Absent").c_str()));
  // A key whose permissions could not be changed is still deleted where rights allow.
  EXPECT_TRUE(CUtl::DeleteRegKey(key.c_str(), true, false));

  CAPIFunction unbound;  // like a system without the security functions
  CAPIFunction* previous = core::SetSystemFunctionsOverride(&unbound);
  ASSERT_TRUE(CUtl::SetRegDword(key.c_str(), "N", 1));
  EXPECT_FALSE(CUtl::SetKeyDaclPermission(key.c_str()));
  core::SetSystemFunctionsOverride(previous);
}

}  // namespace
