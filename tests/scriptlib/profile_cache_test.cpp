// When the process cache answers from memory, when it reads a file again and
// when it leaves a lookup to the system's reader; the answers are always
// compared with the system's reader.
#include "setup/scriptlib/profile_cache.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "setup/scriptlib/profile.h"
#include "tests/support/temp_dir.h"

namespace {

std::string System(const char* section, const char* key, const std::string& path) {
  char buffer[256] = "";
  GetPrivateProfileStringA(section, key, "none", buffer, sizeof(buffer), path.c_str());
  return buffer;
}

std::string Cached(const char* section, const char* key, const std::string& path) {
  char buffer[256] = "";
  scriptlib::ReadProfileString(section, key, "none", buffer, sizeof(buffer), path.c_str());
  return buffer;
}

FILETIME HoursAgo(int hours) {
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  ULARGE_INTEGER t{{now.dwLowDateTime, now.dwHighDateTime}};
  t.QuadPart -= static_cast<unsigned long long>(hours) * 3600 * 10000000ull;
  return FILETIME{t.LowPart, t.HighPart};
}

void SetWriteTime(const std::string& path, const FILETIME& time) {
  HANDLE file = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  SetFileTime(file, nullptr, nullptr, &time);
  CloseHandle(file);
}

FILETIME WriteTime(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data);
  return data.ftLastWriteTime;
}

class ProfileCacheTest : public ::testing::Test {
 protected:
  void SetUp() override {
    scriptlib::SetProfileCacheEnabled(true);
    scriptlib::ForgetAllProfiles();
  }
  void TearDown() override { scriptlib::ForgetAllProfiles(); }

  // A file written an hour ago, as a medium's scripts are.
  std::string OldFile(const std::string& text) {
    std::string path = dir_.Write("old.ini", text);
    SetWriteTime(path, HoursAgo(1));
    return path;
  }

  qx::test::TempDir dir_;
};

TEST_F(ProfileCacheTest, AnOldFileIsReadOnceAndAnsweredFromMemory) {
  std::string path = OldFile("[S]\r\nA=1\r\nB=2\r\n");
  auto before = scriptlib::GetProfileCacheCounters();
  EXPECT_EQ(Cached("S", "A", path), System("S", "A", path));
  EXPECT_EQ(Cached("s", "b", path), System("s", "b", path));
  EXPECT_EQ(Cached("S", "missing", path), System("S", "missing", path));
  auto after = scriptlib::GetProfileCacheCounters();
  EXPECT_EQ(after.loads - before.loads, 1u);
  EXPECT_EQ(after.hits - before.hits, 3u);
  EXPECT_EQ(after.rechecks - before.rechecks, 0u);
}

TEST_F(ProfileCacheTest, AnOldFileWrittenAgainIsReadAgain) {
  std::string path = OldFile("[S]\r\nA=1\r\n");
  EXPECT_EQ(Cached("S", "A", path), "1");
  dir_.Write("old.ini", "[S]\r\nA=2\r\n");  // same size, new time
  EXPECT_EQ(Cached("S", "A", path), System("S", "A", path));
  EXPECT_EQ(Cached("S", "A", path), "2");
}

// A rewrite that keeps both the size and the write time (a coarse file-system
// clock) is still seen while the file is recent.
TEST_F(ProfileCacheTest, ARecentFileRewrittenWithTheSameTimeAndSizeIsSeen) {
  std::string path = dir_.Write("new.ini", "[S]\r\nA=1\r\n");
  FILETIME written = WriteTime(path);
  EXPECT_EQ(Cached("S", "A", path), "1");
  dir_.Write("new.ini", "[S]\r\nA=2\r\n");
  SetWriteTime(path, written);
  EXPECT_EQ(Cached("S", "A", path), System("S", "A", path));
  EXPECT_EQ(Cached("S", "A", path), "2");
}

TEST_F(ProfileCacheTest, WritesThroughTheScriptReaderAreSeenAtOnce) {
  std::string path = OldFile("[S]\r\nA=1\r\n");
  FILETIME old = WriteTime(path);
  EXPECT_EQ(Cached("S", "A", path), "1");
  CProfile profile;
  profile.Create(path.c_str(), nullptr, true);
  ASSERT_EQ(profile.SetValue("S", "A", "9"), 0u);
  SetWriteTime(path, old);  // even when the time says nothing changed
  EXPECT_EQ(Cached("S", "A", path), System("S", "A", path));
  EXPECT_EQ(Cached("S", "A", path), "9");
  ASSERT_EQ(profile.SetValue("S", "", ""), 0u);  // the section cleared
  EXPECT_EQ(Cached("S", "A", path), System("S", "A", path));
}

TEST_F(ProfileCacheTest, AnyPathSpellingIsForgotten) {
  std::string path = OldFile("[S]\r\nA=1\r\n");
  Cached("S", "A", path);
  auto before = scriptlib::GetProfileCacheCounters();
  std::string other = path;
  CharLowerBuffA(other.data(), static_cast<DWORD>(other.size()));
  other.replace(other.rfind('\\'), 1, "\\.\\");
  scriptlib::ForgetProfile(other.c_str());
  Cached("S", "A", path);
  EXPECT_EQ(scriptlib::GetProfileCacheCounters().loads - before.loads, 1u);
}

struct Delegated {
  const char* name;
  const char* file;  // written into the folder unless text is null
  const char* text;
  size_t length;
  const char* section;
  const char* key;
};

template <size_t N>
Delegated Case(const char* name, const char* file, const char (&text)[N], const char* section, const char* key) {
  return Delegated{name, file, text, N - 1, section, key};
}

Delegated Case(const char* name, const char* file, std::nullptr_t, const char* section, const char* key) {
  return Delegated{name, file, nullptr, 0, section, key};
}

class ProfileCacheDelegation : public ProfileCacheTest, public ::testing::WithParamInterface<Delegated> {};

TEST_P(ProfileCacheDelegation, TheSystemReaderAnswers) {
  const Delegated& d = GetParam();
  std::string path = d.text ? dir_.Write(d.file, std::string(d.text, d.length)) : dir_.File(d.file);
  if (std::string(d.file) == "folder") CreateDirectoryA(path.c_str(), nullptr);
  if (std::string(d.file) == "bare.ini") path = "qx_no_such_profile.ini";
  auto before = scriptlib::GetProfileCacheCounters();
  char ours[64], system[64];
  std::memset(ours, 0x7f, sizeof(ours));
  std::memset(system, 0x7f, sizeof(system));
  unsigned long a = scriptlib::ReadProfileString(d.section, d.key, "\"dflt\"", ours, sizeof(ours), path.c_str());
  unsigned long b = GetPrivateProfileStringA(d.section, d.key, "\"dflt\"", system, sizeof(system), path.c_str());
  EXPECT_EQ(a, b);
  EXPECT_EQ(std::string(ours, sizeof(ours)), std::string(system, sizeof(system)));
  EXPECT_EQ(scriptlib::GetProfileCacheCounters().delegated - before.delegated, 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ProfileCacheDelegation,
    ::testing::Values(Case("MissingFile", "missing.ini", nullptr, "S", "A"),
                      Case("MissingFolder", "no\\such\\file.ini", nullptr, "S", "A"),
                      Case("Folder", "folder", nullptr, "S", "A"),
                      Case("BareName", "bare.ini", nullptr, "S", "A"),
                      Case("Utf8Mark", "utf8.ini", "\xEF\xBB\xBF[S]\r\nA=\xC3\xA9\r\n", "S", "A"),
                      Case("Utf16Mark", "utf16.ini", "\xFF\xFE[\0S\0]\0\r\0\n\0A\0=\0x\0", "S", "A"),
                      Case("KeyListing", "list.ini", "[S]\r\nA=1\r\nB=2\r\n", "S", nullptr),
                      Case("SectionListing", "names.ini", "[S]\r\nA=1\r\n[T]\r\n", nullptr, nullptr)),
    [](const ::testing::TestParamInfo<Delegated>& info) { return std::string(info.param.name); });

TEST_F(ProfileCacheTest, SwitchedOffEveryLookupGoesToTheSystemReader) {
  std::string path = OldFile("[S]\r\nA=1\r\n");
  scriptlib::SetProfileCacheEnabled(false);
  auto before = scriptlib::GetProfileCacheCounters();
  EXPECT_EQ(Cached("S", "A", path), "1");
  auto after = scriptlib::GetProfileCacheCounters();
  scriptlib::SetProfileCacheEnabled(true);
  EXPECT_EQ(after.delegated - before.delegated, 1u);
  EXPECT_EQ(after.loads - before.loads, 0u);
}

TEST_F(ProfileCacheTest, ThreadsReadingWhileTheFileChangesGetWholeAnswers) {
  std::string path = OldFile("[S]\r\nA=first\r\n");
  std::vector<std::thread> readers;
  std::vector<int> odd(4, 0);
  for (int t = 0; t < 4; ++t) {
    readers.emplace_back([&, t] {
      for (int i = 0; i < 300; ++i) {
        std::string value = Cached("S", "A", path);
        if (value != "first" && value != "second" && value != "none") ++odd[t];
      }
    });
  }
  for (int i = 0; i < 20; ++i) dir_.Write("old.ini", i % 2 ? "[S]\r\nA=first\r\n" : "[S]\r\nA=second\r\n");
  for (auto& r : readers) r.join();
  for (int t = 0; t < 4; ++t) EXPECT_EQ(odd[t], 0) << "thread " << t;
}

// Inside a read scope a file is checked once: a change on disk by someone
// else shows only after the scope; a write of ours, or a forget, at once.
TEST_F(ProfileCacheTest, AReadScopeChecksEachFileOnce) {
  std::string path = OldFile("[S]\r\nA=1\r\n");
  std::string other = dir_.Write("other.ini", "[S]\r\nA=x\r\n");
  SetWriteTime(other, HoursAgo(1));
  {
    scriptlib::ProfileReadScope scope;
    EXPECT_EQ(Cached("S", "A", path), "1");
    dir_.Write("old.ini", "[S]\r\nA=2\r\n");
    EXPECT_EQ(Cached("S", "A", path), "1");
    EXPECT_EQ(Cached("S", "A", other), "x");  // another file is read as it is
    {
      scriptlib::ProfileReadScope nested;
      EXPECT_EQ(Cached("S", "A", path), "1");
    }
    EXPECT_EQ(Cached("S", "A", path), "1");  // the inner scope's end keeps the outer one's pins
    scriptlib::ForgetProfile(other.c_str());
    EXPECT_EQ(Cached("S", "A", path), "2");
    dir_.Write("old.ini", "[S]\r\nA=3\r\n");
    CProfile profile;
    profile.Create(path.c_str(), nullptr, true);
    ASSERT_EQ(profile.SetValue("S", "B", "b"), 0u);
    EXPECT_EQ(Cached("S", "A", path), "3");
    EXPECT_EQ(Cached("S", "B", path), "b");
  }
  dir_.Write("old.ini", "[S]\r\nA=4\r\n");
  EXPECT_EQ(Cached("S", "A", path), System("S", "A", path));
  EXPECT_EQ(Cached("S", "A", path), "4");
  // Another thread's scope does not pin this thread's reads.
  std::thread([&] {
    scriptlib::ProfileReadScope elsewhere;
    EXPECT_EQ(Cached("S", "A", path), "4");
  }).join();
  dir_.Write("old.ini", "[S]\r\nA=5\r\n");
  EXPECT_EQ(Cached("S", "A", path), "5");
}

}  // namespace
