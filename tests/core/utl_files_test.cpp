#include <gtest/gtest.h>

#include "setup/core/utl.h"
#include "tests/core/core_test_support.h"
#include "tests/support/temp_dir.h"
#include "tests/support/trace_capture.h"

namespace {

using coretest::RecordingHistory;
using qx::test::FileExists;

bool IsDirectory(const std::string& path) {
  DWORD a = GetFileAttributesA(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

class UtlFiles : public ::testing::Test {
 protected:
  void SetUp() override { dir_.Write("keep.txt", "keeps the test folder from being removed as an empty parent"); }
  qx::test::TempDir dir_;
};

TEST_F(UtlFiles, DeleteDirectoryTreeRemovesDotNamedFilesToo) {
  dir_.Write("tree\\.x", "dot file");
  dir_.Write("tree\\..y", "two dots");
  dir_.Write("tree\\a\\b\\c.txt", "deep");
  dir_.Write("tree\\.hidden\\z", "dot directory");
  std::string tree = dir_.File("tree");
  SetFileAttributesA(dir_.File("tree\\a\\b\\c.txt").c_str(), FILE_ATTRIBUTE_READONLY);
  EXPECT_TRUE(CUtl::DeleteDirectoryTree((tree + "\\").c_str(), true));
  EXPECT_FALSE(IsDirectory(tree));
  EXPECT_TRUE(IsDirectory(dir_.Path()));
}

TEST_F(UtlFiles, NonRecursiveDeleteLeavesFullDirectory) {
  dir_.Write("full\\f.txt", "x");
  EXPECT_TRUE(CUtl::DeleteDirectoryTree(dir_.File("full").c_str(), false));
  EXPECT_TRUE(FileExists(dir_.File("full\\f.txt")));
  CreateDirectoryA(dir_.File("empty").c_str(), nullptr);
  EXPECT_TRUE(CUtl::DeleteDirectoryTree(dir_.File("empty").c_str(), false));
  EXPECT_FALSE(IsDirectory(dir_.File("empty")));
  EXPECT_FALSE(CUtl::DeleteDirectoryTree("", true));
}

TEST_F(UtlFiles, RecursiveDeleteRemovesEmptyParentsOnly) {
  dir_.Write("p\\q\\r\\f.txt", "x");
  dir_.Write("p\\other.txt", "x");
  EXPECT_TRUE(CUtl::DeleteDirectoryTree(dir_.File("p\\q\\r").c_str(), true));
  EXPECT_FALSE(IsDirectory(dir_.File("p\\q")));
  EXPECT_TRUE(FileExists(dir_.File("p\\other.txt")));
}

TEST_F(UtlFiles, CreateDirectoryTreeRecordsOnlyWhatItCreated) {
  RecordingHistory history;
  CreateDirectoryA(dir_.File("a").c_str(), nullptr);
  ASSERT_TRUE(CUtl::CreateDirectoryTree(dir_.File("a\\b\\c").c_str(), true));
  EXPECT_TRUE(IsDirectory(dir_.File("a\\b\\c")));
  std::vector<std::pair<std::string, int>> expected = {{dir_.File("a\\b\\"), 1}, {dir_.File("a\\b\\c\\"), 1}};
  EXPECT_EQ(history.entries, expected);

  history.entries.clear();
  ASSERT_TRUE(CUtl::CreateDirectoryTree(dir_.File("x\\y").c_str(), false));
  EXPECT_TRUE(history.entries.empty());
  dir_.Write("file", "x");
  EXPECT_FALSE(CUtl::CreateDirectoryTree(dir_.File("file\\sub").c_str(), false));
}

TEST_F(UtlFiles, CopyOneFileOverwritesReadOnlyAndClearsTheFlag) {
  RecordingHistory history;
  std::string source = dir_.Write("src.txt", "new");
  std::string destination = dir_.Write("dst.txt", "old");
  SetFileAttributesA(source.c_str(), FILE_ATTRIBUTE_READONLY);
  SetFileAttributesA(destination.c_str(), FILE_ATTRIBUTE_READONLY);
  ASSERT_TRUE(CUtl::CopyOneFile(source.c_str(), destination.c_str(), true, false));
  EXPECT_EQ(qx::test::TempDir::Read(destination), "new");
  EXPECT_EQ(GetFileAttributesA(destination.c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
  std::vector<std::pair<std::string, int>> expected = {{destination, 0}};
  EXPECT_EQ(history.entries, expected);
  SetFileAttributesA(source.c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_FALSE(CUtl::CopyOneFile(dir_.File("absent").c_str(), destination.c_str(), true, false));
}

TEST_F(UtlFiles, CopyDirectoryTreeRecursiveOrFlat) {
  dir_.Write("src\\a.txt", "a");
  dir_.Write("src\\.dot", "d");
  dir_.Write("src\\sub\\b.txt", "b");
  RecordingHistory history;
  ASSERT_TRUE(CUtl::CopyDirectoryTree(dir_.File("src").c_str(), dir_.File("deep").c_str(), false, true));
  EXPECT_TRUE(FileExists(dir_.File("deep\\a.txt")));
  EXPECT_TRUE(FileExists(dir_.File("deep\\.dot")));
  EXPECT_TRUE(FileExists(dir_.File("deep\\sub\\b.txt")));
  for (const auto& entry : history.entries) EXPECT_EQ(entry.second, 1) << entry.first;  // directories always

  ASSERT_TRUE(CUtl::CopyDirectoryTree(dir_.File("src").c_str(), dir_.File("flat").c_str(), true, false));
  EXPECT_TRUE(FileExists(dir_.File("flat\\a.txt")));
  EXPECT_FALSE(IsDirectory(dir_.File("flat\\sub")));
}

TEST_F(UtlFiles, DeleteFileOnRebootMissingAndLocked) {
  EXPECT_TRUE(CUtl::DeleteFileOnReboot(dir_.File("absent").c_str()));
  std::string path = dir_.Write("locked.txt", "x");
  qx::test::TraceCapture trace;
  HANDLE lock = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(lock, INVALID_HANDLE_VALUE);
  {
    coretest::ScopedVersion windows2000(VER_PLATFORM_WIN32_NT, 5, 0);
    EXPECT_FALSE(CUtl::DeleteFileOnReboot(path.c_str()));
  }
  EXPECT_TRUE(trace.Contains("by MoveFileEx (" + path + ")"));
  CloseHandle(lock);
  EXPECT_TRUE(CUtl::DeleteFileOnReboot(path.c_str()));
  EXPECT_FALSE(FileExists(path));
  // The restart would have deleted it; forget the scheduled deletion.
  MoveFileExA(path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
}

TEST_F(UtlFiles, DeleteFileAndEmptyParents) {
  std::string file = dir_.Write("d1\\d2\\f.txt", "x");
  EXPECT_TRUE(CUtl::DeleteFileAndEmptyParents(file.c_str(), true));
  EXPECT_TRUE(IsDirectory(dir_.File("d1\\d2")));
  file = dir_.Write("d1\\d2\\g.txt", "x");
  EXPECT_TRUE(CUtl::DeleteFileAndEmptyParents(file.c_str(), false));
  EXPECT_FALSE(IsDirectory(dir_.File("d1")));
  EXPECT_TRUE(IsDirectory(dir_.Path()));
  EXPECT_FALSE(CUtl::DeleteFileAndEmptyParents(file.c_str(), false));
}

TEST_F(UtlFiles, RemoveEmptyDirectoriesStopsAtContent) {
  CUtl::CreateDirectoryTree(dir_.File("e1\\e2\\e3").c_str(), false);
  EXPECT_TRUE(CUtl::RemoveEmptyDirectories(dir_.File("e1\\e2\\e3\\").c_str()));
  EXPECT_FALSE(IsDirectory(dir_.File("e1")));
  EXPECT_TRUE(IsDirectory(dir_.Path()));
  EXPECT_FALSE(CUtl::RemoveEmptyDirectories(""));
}

}  // namespace
