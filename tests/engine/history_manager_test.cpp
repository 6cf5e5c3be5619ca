#include "setup/engine/history_manager.h"

#include <gtest/gtest.h>

#include "setup/core/predefined_variable.h"
#include "setup/engine/history_rules.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_identity.h"
#include "tests/support/trace_capture.h"

namespace {

using qx::test::FileExists;
using qx::test::KeyExists;

bool IsDirectory(const std::string& path) {
  DWORD a = GetFileAttributesA(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

TEST(HistoryRules, EntryNamesAndSplits) {
  EXPECT_EQ(engine::EntryName(0, 3), "File3");
  EXPECT_EQ(engine::EntryName(5, 0), "DestDir0");
  EXPECT_EQ(engine::EntryName(6, 0), "");
  EXPECT_EQ(engine::EntryNumber(0, "File12"), 12u);
  EXPECT_EQ(engine::EntryNumber(1, "Dir0"), 0u);
  EXPECT_FALSE(engine::EntryNumber(1, "DestDir0"));
  EXPECT_FALSE(engine::EntryNumber(0, "File012"));
  EXPECT_FALSE(engine::EntryNumber(0, "File"));
  EXPECT_FALSE(engine::EntryNumber(0, "File-1"));
  EXPECT_FALSE(engine::EntryNumber(0, "NumOfFiles"));
  EXPECT_FALSE(engine::EntryNumber(0, "File99999999999"));

  auto value = engine::SplitValueEntry("HKEY_CURRENT_USER\\Software\\X\\Name");
  ASSERT_TRUE(value);
  EXPECT_EQ(value->hive, HKEY_CURRENT_USER);
  EXPECT_EQ(value->key, "Software\\X");
  EXPECT_EQ(value->name, "Name");
  EXPECT_FALSE(engine::SplitValueEntry("HKEY_CURRENT_USER\\Name"));
  EXPECT_FALSE(engine::SplitValueEntry("BOGUS\\Software\\X\\Name"));
  EXPECT_FALSE(engine::SplitValueEntry("NoBackslash"));
  EXPECT_FALSE(engine::SplitValueEntry(""));

  auto key = engine::SplitKeyEntry("BOGUS\\Software\\X");
  ASSERT_TRUE(key);
  EXPECT_EQ(key->hive, HKEY_LOCAL_MACHINE);
  EXPECT_EQ(key->key, "Software\\X");
  EXPECT_EQ(engine::SplitKeyEntry("HKEY_USERS\\K")->hive, HKEY_USERS);
  EXPECT_FALSE(engine::SplitKeyEntry("HKEY_USERS"));
}

class History : public ::testing::Test {
 protected:
  void SetUp() override {
    previousVendor_ = CHistoryManager::SetVendorKey(id_.Root() + "\\Vendor\\ZKPrinter");
    env_.SetProductIdentity(id_.Mfg().c_str(), id_.Program().c_str());
    previousEnv_ = core::SetCurrentEnvironment(&env_);
    previousRecorder_ = core::SetHistoryRecorder(&history_);
    dir_.Write("keep.txt", "keeps the test folder");
  }
  void TearDown() override {
    CHistoryManager::SetVendorKey(previousVendor_);
    core::SetHistoryRecorder(previousRecorder_);
    core::SetCurrentEnvironment(previousEnv_);
  }
  std::string Key(const std::string& rest) const { return id_.Root() + "\\" + rest; }
  const std::string& HistoryKey() const { return env_.GetUninstallKey(); }

  qx::test::TestIdentity id_;
  qx::test::TempDir dir_;
  CPredefinedVariable env_;
  CHistoryManager history_;
  CPredefinedVariable* previousEnv_ = nullptr;
  core::IHistoryRecorder* previousRecorder_ = nullptr;
  std::string previousVendor_;
};

TEST_F(History, AddEntryWritesNumberedValuesWithoutTerminator) {
  ASSERT_TRUE(history_.AddEntry("C:\\a.txt", 0));
  ASSERT_TRUE(history_.AddEntry("C:\\bb.txt", 0));
  ASSERT_TRUE(history_.AddEntry("C:\\dir", 5));
  EXPECT_FALSE(history_.AddEntry("x", 6));
  EXPECT_FALSE(history_.AddEntry("x", -1));
  EXPECT_EQ(CUtl::GetRegDword(HistoryKey().c_str(), "NumOfFiles"), 2u);
  EXPECT_EQ(CUtl::GetRegDword(HistoryKey().c_str(), "NumOfDestDirs"), 1u);
  EXPECT_EQ(CUtl::GetRegString(HistoryKey().c_str(), "File1"), "C:\\bb.txt");
  EXPECT_EQ(CUtl::GetRegString(HistoryKey().c_str(), "File0"), "C:\\a.txt");
}

TEST_F(History, AddEntryWithoutEnvironmentFails) {
  core::SetCurrentEnvironment(nullptr);
  EXPECT_FALSE(history_.AddEntry("x", 0));
}

TEST_F(History, ReplayOfMissingHistoryDeletesNothing) {
  core::SetHistoryRecorder(nullptr);
  ASSERT_TRUE(CUtl::SetRegDword(Key("Other").c_str(), "N", 1));
  EXPECT_TRUE(history_.Replay(HistoryKey().c_str()));
  EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, Key("Other")));
  EXPECT_FALSE(history_.Replay(""));
  EXPECT_FALSE(history_.Replay(nullptr));
}

TEST_F(History, ValueAndKeyEntriesAndTheirSkippingRules) {
  core::SetHistoryRecorder(nullptr);  // set up without recording
  ASSERT_TRUE(CUtl::SetRegString(Key("X").c_str(), "Name", "v", HKEY_CURRENT_USER));
  ASSERT_TRUE(CUtl::SetRegString(Key("X").c_str(), "Keep", "v", HKEY_CURRENT_USER));
  ASSERT_TRUE(CUtl::SetRegString(Key("Bogus").c_str(), "Name", "v"));
  ASSERT_TRUE(CUtl::SetRegString(Key("Gone").c_str(), "V", "v"));
  history_.AddEntry(("HKEY_CURRENT_USER\\" + Key("X") + "\\Name").c_str(), 3);
  history_.AddEntry("HKEY_CURRENT_USER\\Name", 3);
  history_.AddEntry(("BOGUS\\" + Key("Bogus") + "\\Name").c_str(), 3);
  history_.AddEntry(("BOGUS\\" + Key("Gone")).c_str(), 2);
  history_.AddEntry("NoBackslashAtAll", 2);
  history_.AddEntry("", 2);

  EXPECT_TRUE(history_.Replay(HistoryKey().c_str()));
  EXPECT_EQ(CUtl::GetRegString(Key("X").c_str(), "Name", HKEY_CURRENT_USER, "deleted"), "deleted");
  EXPECT_EQ(CUtl::GetRegString(Key("X").c_str(), "Keep", HKEY_CURRENT_USER), "v");
  EXPECT_EQ(CUtl::GetRegString(Key("Bogus").c_str(), "Name"), "v");  // value with unknown hive: skipped
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, Key("Gone")));          // key with unknown hive: local machine
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, HistoryKey()));
}

TEST_F(History, ReplayTakesEmptyProductKeysAlongButKeepsFullOnes) {
  ASSERT_TRUE(history_.AddEntry("C:\\nothing-here.txt", 0));  // writing the history makes the product key
  ASSERT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, id_.Root()));
  EXPECT_TRUE(history_.Replay(HistoryKey().c_str()));
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, id_.Root()));                // empty: gone
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, "Software\\" + id_.Mfg()));  // its empty parent too
  EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, "Software"));

  core::SetHistoryRecorder(nullptr);
  ASSERT_TRUE(CUtl::SetRegDword(("Software\\" + id_.Mfg() + "\\Other").c_str(), "N", 1));
  core::SetHistoryRecorder(&history_);
  ASSERT_TRUE(history_.AddEntry("C:\\nothing-here.txt", 0));
  EXPECT_TRUE(history_.Replay(HistoryKey().c_str()));
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, id_.Root()));
  EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, "Software\\" + id_.Mfg() + "\\Other"));  // another product's stays
}

TEST_F(History, FilesAreRemovedNewestFirst) {
  std::string a = dir_.Write("a.txt", "a"), b = dir_.Write("b.txt", "b");
  history_.AddEntry(a.c_str(), 0);
  history_.AddEntry(b.c_str(), 0);
  qx::test::TraceCapture trace;
  EXPECT_TRUE(history_.Replay(HistoryKey().c_str()));
  std::string text = trace.Text();
  size_t first = text.find("[CUtl] Delete File (" + b + ")");
  size_t second = text.find("[CUtl] Delete File (" + a + ")");
  ASSERT_NE(first, std::string::npos);
  ASSERT_NE(second, std::string::npos);
  EXPECT_LT(first, second);
  EXPECT_FALSE(FileExists(a));
  EXPECT_FALSE(FileExists(b));
}

TEST_F(History, DirectoriesOnlyWhenEmptyDestinationTreesWhole) {
  dir_.Write("plain\\stays.txt", "x");
  dir_.Write("dest\\Install\\a\\b.txt", "x");
  dir_.Write("dest\\Install\\.x", "x");
  history_.AddEntry(dir_.File("plain").c_str(), 1);
  env_.SetDestDir(dir_.File("dest").c_str());
  EXPECT_TRUE(env_.RecordDestInstallDir());
  EXPECT_TRUE(history_.Replay(HistoryKey().c_str()));
  EXPECT_TRUE(FileExists(dir_.File("plain\\stays.txt")));
  EXPECT_FALSE(IsDirectory(dir_.File("dest\\Install")));
  EXPECT_FALSE(IsDirectory(dir_.File("dest")));  // emptied parent goes too
}

TEST_F(History, ListsAreReplayedInTheirOrder) {
  // Files before directories: a recorded directory holding a recorded file goes.
  std::string holder = dir_.File("holder");
  ASSERT_TRUE(CUtl::CreateDirectoryTree(holder.c_str(), true));
  std::string source = dir_.Write("source.txt", "x");
  ASSERT_TRUE(CUtl::CopyOneFile(source.c_str(), (holder + "\\copied.txt").c_str(), true, false));
  // Shortcuts come last: a directory still holding a shortcut stays.
  std::string menu = dir_.File("menu");
  ASSERT_TRUE(CUtl::CreateDirectoryTree(menu.c_str(), true));
  std::string link = dir_.Write("menu\\app.lnk", "link");
  history_.AddEntry(link.c_str(), 4);
  // Values before keys, with history recorded by the registry writers.
  ASSERT_TRUE(CUtl::SetRegString(Key("Written\\Sub").c_str(), "V", "x"));
  ASSERT_TRUE(CUtl::SetRegString(Key("Written\\Sub").c_str(), "W", "y"));
  ASSERT_TRUE(CUtl::SetRegString(Key("Other").c_str(), "V", "z"));
  ASSERT_TRUE(history_.AddEntry(dir_.File("dest").c_str(), 5));

  qx::test::TraceCapture trace;
  EXPECT_TRUE(history_.Replay(HistoryKey().c_str()));
  // The removals as they happened: values, keys, files, destination trees,
  // directories, shortcuts; newest first within each list.
  std::vector<std::string> removed;
  std::string text = trace.Text();
  for (size_t at = text.find("[CHistoryManager] Remove "); at != std::string::npos;
       at = text.find("[CHistoryManager] Remove ", at + 1)) {
    size_t start = at + 25, end = text.find(' ', start);
    std::string entry = text.substr(end + 2, text.find(")\n", end) - end - 2);
    while (!entry.empty() && entry.back() == '\\') entry.pop_back();  // directories end in one
    removed.push_back(text.substr(start, end - start) + " " + entry.substr(entry.rfind('\\') + 1));
  }
  EXPECT_EQ(removed, (std::vector<std::string>{"NumOfValues V", "NumOfValues W", "NumOfValues V", "NumOfKeys Other",
                                               "NumOfKeys Sub", "NumOfFiles copied.txt", "NumOfDestDirs dest",
                                               "NumOfDirs menu", "NumOfDirs holder", "NumOfShortcuts app.lnk"}))
      << text;
  EXPECT_FALSE(IsDirectory(holder));
  EXPECT_TRUE(IsDirectory(menu));
  EXPECT_FALSE(FileExists(link));
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, Key("Written\\Sub")));
}

TEST_F(History, AbsurdCounterAndStaleEntries) {
  std::string a = dir_.Write("a.txt", "a"), beyond = dir_.Write("beyond.txt", "b");
  history_.AddEntry(a.c_str(), 0);
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, HistoryKey().c_str(), 0, KEY_WRITE, &key), ERROR_SUCCESS);
  DWORD claimed = 1000000;
  RegSetValueExA(key, "NumOfFiles", 0, REG_DWORD, reinterpret_cast<BYTE*>(&claimed), sizeof(claimed));
  RegSetValueExA(key, "File999999", 0, REG_SZ, reinterpret_cast<const BYTE*>(""), 1);
  DWORD one = 1;
  RegSetValueExA(key, "NumOfDirs", 0, REG_DWORD, reinterpret_cast<BYTE*>(&one), sizeof(one));
  // Written beyond its list's counter: not part of the history.
  RegSetValueExA(key, "Dir5", 0, REG_SZ, reinterpret_cast<const BYTE*>(beyond.c_str()),
                 static_cast<DWORD>(beyond.size()));
  RegSetValueExA(key, "NumOfKeys", 0, REG_BINARY, reinterpret_cast<const BYTE*>("xx"), 2);
  RegCloseKey(key);
  EXPECT_TRUE(history_.Replay(HistoryKey().c_str()));
  EXPECT_FALSE(FileExists(a));
  EXPECT_TRUE(FileExists(beyond));
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, HistoryKey()));
}

// The vendor key is the product's fixed one; the test points the seam at a key
// of its own identity so that the machine's real key is never touched.
TEST_F(History, ReplayAlsoRemovesTheVendorKey) {
  const std::string vendor = id_.Root() + "\\Vendor\\ZKPrinter";  // the fixture's seam
  ASSERT_TRUE(CUtl::SetRegDword((vendor + "\\Sub").c_str(), "N", 1));
  EXPECT_TRUE(history_.Replay(HistoryKey().c_str()));
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, vendor));
  EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, id_.Root() + "\\Vendor")) << "only the vendor key itself goes";
}

TEST_F(History, UnopenableHistoryKeyIsLogged) {
  qx::test::TempDir logDir;
  CHistoryManager manager;  // made before the log exists, as a member of the application may be
  CUtl log;
  ASSERT_TRUE(log.CreateLogFile((logDir.Path() + "\\").c_str(), "setup.exe"));
  env_.SetProductIdentity(std::string(300, 'm').c_str(), "p");
  EXPECT_FALSE(manager.AddEntry("x", 0));
  log.SetLogHandle(INVALID_HANDLE_VALUE);
  std::string text = qx::test::TempDir::Read(logDir.File("setup.exe.log"));
  EXPECT_EQ(text.rfind("CUtl-Open or Create Key\r\nError Code = ", 0), 0u) << text;
}

TEST_F(History, ReplayLogsTheHistoryKey) {
  qx::test::TempDir logDir;
  CUtl log;
  ASSERT_TRUE(log.CreateLogFile((logDir.Path() + "\\").c_str(), "setup.exe"));
  EXPECT_TRUE(history_.Replay(HistoryKey().c_str()));
  EXPECT_FALSE(history_.Replay(""));
  log.SetLogHandle(INVALID_HANDLE_VALUE);
  EXPECT_EQ(qx::test::TempDir::Read(logDir.File("setup.exe.log")),
            "[CHistoryManager] Uninstall registry Key = " + HistoryKey() +
                "\n\r\n[CHistoryManager] Uninstall registry Key = \n\r\n");
}

}  // namespace
