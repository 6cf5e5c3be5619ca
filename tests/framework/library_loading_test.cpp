// Libraries by bare system name come from the system folder only, libraries
// of the medium only by full path: a file of the same name in the current
// folder is never taken, while the plain search would take it.
#include "framework/library_loading.h"

#include <gtest/gtest.h>

#include <string>

#include "framework/handles.h"
#include "tests/support/process.h"
#include "tests/support/temp_dir.h"

namespace {

using qx::test::TempDir;

std::string ProbePath() { return qx::test::WinePath(QX_BUILD_DIR "/tests/support/planted_probe.dll"); }

// The current folder holds the probe under `name` while the object lives.
class PlantedInCurrentFolder {
 public:
  explicit PlantedInCurrentFolder(const std::string& name) : path_(dir_.File(name)) {
    GetCurrentDirectoryA(MAX_PATH, previous_);
    CopyFileA(ProbePath().c_str(), path_.c_str(), FALSE);
    SetCurrentDirectoryA(dir_.Path().c_str());
  }
  ~PlantedInCurrentFolder() { SetCurrentDirectoryA(previous_); }
  const std::string& Path() const { return path_; }
  bool Loaded() const { return qx::test::FileExists(path_ + ".loaded"); }

 private:
  TempDir dir_;
  std::string path_;
  char previous_[MAX_PATH] = {};
};

TEST(LibraryLoading, NameDecisions) {
  struct Case {
    const char* text;
    bool full, bare;
  } cases[] = {
      {"C:\\medium\\data\\qxexec.dll", true, false}, {"c:/medium/x.dll", true, false},
      {"\\\\server\\share\\x.dll", true, false},     {"version.dll", false, true},
      {".\\data\\qxexec.dll", false, false},         {"data\\qxexec.dll", false, false},
      {"C:x.dll", false, false},                     {"\\x.dll", false, false},
      {"", false, false},                            {"..", false, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(fw::IsFullPath(c.text), c.full) << c.text;
    EXPECT_EQ(fw::IsBareName(c.text), c.bare) << c.text;
  }
  EXPECT_EQ(fw::SystemLibraryPath("C:\\windows\\system32", "version.dll"), "C:\\windows\\system32\\version.dll");
  EXPECT_EQ(fw::SystemLibraryPath("C:\\windows\\system32\\", "version.dll"), "C:\\windows\\system32\\version.dll");
  EXPECT_EQ(fw::SystemLibraryPath("C:\\windows\\system32", "..\\version.dll"), "");
  EXPECT_EQ(fw::SystemLibraryPath("", "version.dll"), "");
}

TEST(LibraryLoading, ThePlainSearchWouldTakeAPlantedLibrary) {
  PlantedInCurrentFolder planted("qxplanted_plain.dll");
  fw::UniqueModule module(LoadLibraryA("qxplanted_plain.dll"));
  EXPECT_TRUE(module);
  EXPECT_TRUE(planted.Loaded());
}

TEST(LibraryLoading, ASystemNameComesFromTheSystemFolderOnly) {
  PlantedInCurrentFolder planted("qxplanted_system.dll");
  fw::UniqueModule module(fw::LoadSystemLibrary("qxplanted_system.dll"));
  EXPECT_FALSE(module);
  EXPECT_FALSE(planted.Loaded());
  // A real system library still loads, and from the system folder.
  fw::UniqueModule version(fw::LoadSystemLibrary("version.dll"));
  ASSERT_TRUE(version);
  char path[MAX_PATH] = {}, system[MAX_PATH] = {};
  GetModuleFileNameA(version.Get(), path, MAX_PATH);
  GetSystemDirectoryA(system, MAX_PATH);
  EXPECT_EQ(_strnicmp(path, system, strlen(system)), 0) << path;
}

TEST(LibraryLoading, NamesWithFoldersAreRefusedAsSystemNames) {
  for (const char* name : {".\\version.dll", "sub\\version.dll", "C:\\windows\\system32\\version.dll", ""}) {
    SetLastError(0);
    EXPECT_EQ(fw::LoadSystemLibrary(name), nullptr) << name;
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER)) << name;
  }
}

TEST(LibraryLoading, AMediumLibraryLoadsByItsFullPathOnly) {
  PlantedInCurrentFolder planted("qxplanted_medium.dll");
  SetLastError(0);
  EXPECT_EQ(fw::LoadLibraryAtPath("qxplanted_medium.dll"), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_EQ(fw::LoadLibraryAtPath(".\\qxplanted_medium.dll"), nullptr);
  EXPECT_FALSE(planted.Loaded());
  fw::UniqueModule module(fw::LoadLibraryAtPath(planted.Path().c_str()));
  EXPECT_TRUE(module);
  EXPECT_TRUE(planted.Loaded());
  EXPECT_EQ(fw::LoadLibraryAtPath((planted.Path() + ".absent.dll").c_str()), nullptr);
}

}  // namespace
