#include <gtest/gtest.h>
#include <shlobj.h>

#include <functional>

#include "setup/core/clear_copy.h"
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

TEST_F(UtlFiles, DeleteFileOnRebootMakesTheAttributesNormalFirst) {
  const DWORD kinds[] = {FILE_ATTRIBUTE_READONLY, FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM,
                         FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE};
  for (DWORD attributes : kinds) {
    std::string path = dir_.Write("attr.txt", "x");
    ASSERT_TRUE(SetFileAttributesA(path.c_str(), attributes));
    // Still in use: the delete fails, and the attributes are normal all the same.
    HANDLE lock = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(CUtl::DeleteFileOnReboot(path.c_str()));
    EXPECT_EQ(GetFileAttributesA(path.c_str()) & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM),
              0u)
        << attributes;
    CloseHandle(lock);
    EXPECT_TRUE(CUtl::DeleteFileOnReboot(path.c_str()));
    EXPECT_FALSE(FileExists(path));
    MoveFileExA(path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
  }
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

// The uninstaller copy's run: its own file goes away when the run ends, so a
// failed deletion of it leaves nothing for a restart.
TEST_F(UtlFiles, DeleteFileOnRebootLeavesAnArrangedRemovalAlone) {
  std::string path = dir_.Write("arranged.exe", "x");
  qx::test::TraceCapture trace;
  HANDLE lock = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(lock, INVALID_HANDLE_VALUE);
  core::SetRemovalArranged(path);
  {
    coretest::ScopedVersion windows2000(VER_PLATFORM_WIN32_NT, 5, 0);
    EXPECT_FALSE(CUtl::DeleteFileOnReboot(path.c_str()));
  }
  core::SetRemovalArranged("");
  CloseHandle(lock);
  EXPECT_TRUE(trace.Contains("The file goes away when this run ends (" + path + ")"));
  EXPECT_FALSE(trace.Contains("by MoveFileEx (" + path + ")"));
  EXPECT_TRUE(FileExists(path));
  EXPECT_TRUE(CUtl::DeleteFileOnReboot(path.c_str()));
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
  // A file that is already gone still takes the empty folders made for it,
  // and only those.
  CUtl::CreateDirectoryTree(dir_.File("h1\\h2").c_str(), false);
  dir_.Write("h1\\keep.txt", "x");
  EXPECT_FALSE(CUtl::DeleteFileAndEmptyParents(dir_.File("h1\\h2\\never.lnk").c_str(), false));
  EXPECT_FALSE(IsDirectory(dir_.File("h1\\h2")));
  EXPECT_TRUE(IsDirectory(dir_.File("h1")));
}

TEST_F(UtlFiles, RemoveEmptyDirectoriesStopsAtContent) {
  CUtl::CreateDirectoryTree(dir_.File("e1\\e2\\e3").c_str(), false);
  EXPECT_TRUE(CUtl::RemoveEmptyDirectories(dir_.File("e1\\e2\\e3\\").c_str()));
  EXPECT_FALSE(IsDirectory(dir_.File("e1")));
  EXPECT_TRUE(IsDirectory(dir_.Path()));
  EXPECT_FALSE(CUtl::RemoveEmptyDirectories(""));
}

std::string ShellFolder(int csidl) {
  char path[MAX_PATH] = "";
  return SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path) == S_OK ? path : "";
}

std::string Parent(const std::string& path) { return path.substr(0, path.rfind('\\')); }

TEST_F(UtlFiles, RootsAndSystemFoldersAreNeverRemoved) {
  CUtl log;
  ASSERT_TRUE(log.CreateLogFile((dir_.Path() + "\\").c_str(), "C:\\guard.exe"));
  char windows[MAX_PATH], system[MAX_PATH], temp[MAX_PATH];
  GetWindowsDirectoryA(windows, MAX_PATH);
  GetSystemDirectoryA(system, MAX_PATH);
  GetTempPathA(MAX_PATH, temp);
  const std::string profile = ShellFolder(CSIDL_PROFILE);
  // With the current folder on drive C, "C:" names that folder to the system.
  char previous[MAX_PATH];
  GetCurrentDirectoryA(MAX_PATH, previous);
  std::string current = dir_.File("current");
  CUtl::CreateDirectoryTree(current.c_str(), false);
  dir_.Write("current\\keep.txt", "must stay");
  ASSERT_TRUE(SetCurrentDirectoryA(current.c_str()));
  const std::string paths[] = {"sub", "C:\\", "C:", "", "\\", windows, system, temp, profile, Parent(profile),
                               ShellFolder(CSIDL_PROGRAM_FILES), ShellFolder(CSIDL_PROGRAMS),
                               ShellFolder(CSIDL_DESKTOPDIRECTORY), std::string(windows) + "\\..\\"};
  for (const std::string& path : paths) {
    SCOPED_TRACE(path);
    EXPECT_FALSE(CUtl::DeleteDirectoryTree(path.c_str(), true));
    EXPECT_FALSE(CUtl::RemoveEmptyDirectories(path.c_str()));
  }
  SetCurrentDirectoryA(previous);
  EXPECT_TRUE(FileExists(current + "\\keep.txt"));
  EXPECT_TRUE(IsDirectory(windows) && IsDirectory(system) && IsDirectory(temp) && IsDirectory(profile));
  std::string text = qx::test::TempDir::Read(log.GetLogPath());
  EXPECT_NE(text.find("[CUtl] Refused to remove a drive root or system folder (C:)"), std::string::npos) << text;
  EXPECT_NE(text.find(std::string("[CUtl] Refused to remove a drive root or system folder (") + system + ")"),
            std::string::npos);
}

// The empty-parent walks stop below a system folder even when it is empty.
TEST_F(UtlFiles, EmptyParentWalksStopAtSystemFolders) {
  const std::string folder = ShellFolder(CSIDL_STARTUP);
  ASSERT_FALSE(folder.empty());
  CUtl::CreateDirectoryTree(folder.c_str(), false);
  qx::test::TempDir probe;  // names a unique folder inside the system folder
  const std::string inner = folder + "\\" + probe.Path().substr(probe.Path().rfind('\\') + 1);
  struct Case {
    const char* name;
    std::function<void()> run;
  } cases[] = {
      {"DeleteDirectoryTree", [&] { CUtl::DeleteDirectoryTree((inner + "\\a").c_str(), true); }},
      {"RemoveEmptyDirectories", [&] { CUtl::RemoveEmptyDirectories((inner + "\\a").c_str()); }},
      {"DeleteFileAndEmptyParents", [&] { CUtl::DeleteFileAndEmptyParents((inner + "\\a\\f.txt").c_str(), false); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CUtl::CreateDirectoryTree((inner + "\\a").c_str(), false);
    HANDLE f = CreateFileA((inner + "\\a\\f.txt").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    CloseHandle(f);
    if (std::string(c.name) != "DeleteFileAndEmptyParents") DeleteFileA((inner + "\\a\\f.txt").c_str());
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &data);
    int entries = 0;
    if (find != INVALID_HANDLE_VALUE) {
      do entries += !core::IsDotEntry(data.cFileName); while (FindNextFileA(find, &data));
      FindClose(find);
    }
    ASSERT_EQ(entries, 1) << "the system folder holds more than the probe; the walk would stop anyway";
    c.run();
    EXPECT_FALSE(IsDirectory(inner)) << "the empty folders of the walk go";
    EXPECT_TRUE(IsDirectory(folder)) << "the walk removed the system folder";
    CUtl::CreateDirectoryTree(folder.c_str(), false);  // put back what a faulty walk took
  }
}

}  // namespace
