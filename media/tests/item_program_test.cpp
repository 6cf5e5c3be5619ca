// sampleitem.exe as the installation library runs it: a real process that
// copies a payload into a temporary destination, records it in the registry
// (below this test's own product key) and removes exactly that again.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/handles.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_identity.h"
#include "tools/sampleitem/item_ops.h"

namespace {

using qx::test::FileExists;

std::string BesideTest(const char* name) {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string dir(path);
  return dir.substr(0, dir.find_last_of('\\') + 1) + name;
}

bool FolderExists(const std::string& path) {
  DWORD a = GetFileAttributesA(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

// Names in a folder, "." and ".." left out.
std::vector<std::string> List(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found{};
  fw::UniqueFind find(FindFirstFileA((folder + "\\*").c_str(), &found));
  if (!find) return names;
  do {
    std::string n = found.cFileName;
    if (n != "." && n != "..") names.push_back(n);
  } while (FindNextFileA(find.Get(), &found));
  return names;
}

class SampleItemProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    key_ = id_.Root() + "\\Components";
    source_ = dir_.Path() + "\\medium\\Payload\\driver";
    dir_.Write("medium\\Payload\\driver\\QXL2020.INF", "[Version]\r\n");
    dir_.Write("medium\\Payload\\driver\\QXL2020.PPD", "*PPD-Adobe: \"4.3\"\r\n");
    dir_.Write("medium\\Payload\\driver\\Help\\en\\help.txt", "help\r\n");
    dest_ = dir_.Path() + "\\Program Files\\QX\\Driver";
  }

  // Runs sampleitem.exe with --key of this test and the arguments; returns its exit code.
  DWORD Run(const std::vector<std::string>& args) {
    std::string line = "\"" + BesideTest("sampleitem.exe") + "\" --key \"" + key_ + "\"";
    for (const std::string& a : args) line += " \"" + a + "\"";
    std::vector<char> buffer(line.begin(), line.end());
    buffer.push_back('\0');
    STARTUPINFOA si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(nullptr, buffer.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &si,
                        &pi)) {
      ADD_FAILURE() << "cannot start " << line << " (" << GetLastError() << ")";
      return 0xFFFFFFFF;
    }
    fw::UniqueHandle process(pi.hProcess), thread(pi.hThread);
    WaitForSingleObject(process.Get(), INFINITE);
    DWORD code = 0xFFFFFFFF;
    GetExitCodeProcess(process.Get(), &code);
    return code;
  }

  sampleitem::ComponentRecord Record(const char* component = "driver") {
    return sampleitem::ReadComponentRecord(key_, component);
  }

  qx::test::TempDir dir_;
  qx::test::TestIdentity id_;
  std::string key_, source_, dest_;
};

TEST_F(SampleItemProgram, InstallsRecordsAndRemovesExactlyItsPayload) {
  ASSERT_EQ(0u, Run({"install", dest_, "driver", source_}));
  EXPECT_TRUE(FileExists(dest_ + "\\QXL2020.INF"));
  EXPECT_TRUE(FileExists(dest_ + "\\QXL2020.PPD"));
  EXPECT_TRUE(FileExists(dest_ + "\\Help\\en\\help.txt"));
  EXPECT_TRUE(FileExists(dest_ + "\\driver.qxitem"));
  sampleitem::ComponentRecord r = Record();
  EXPECT_TRUE(r.present);
  EXPECT_EQ(1u, r.installed);
  EXPECT_EQ(3u, r.files);
  EXPECT_EQ(dest_, r.path);
  EXPECT_EQ(source_, r.source);
  EXPECT_EQ(0u, Run({"status", "driver"}));

  ASSERT_EQ(0u, Run({"uninstall", dest_, "driver"}));
  EXPECT_FALSE(FolderExists(dest_));
  // The folders above the destination that install created went with it.
  EXPECT_FALSE(FolderExists(dir_.Path() + "\\Program Files"));
  EXPECT_FALSE(Record().present);
  EXPECT_FALSE(qx::test::KeyExists(HKEY_LOCAL_MACHINE, key_));
  // So did the empty keys above the record (the vendor's key among them).
  EXPECT_FALSE(qx::test::KeyExists(HKEY_LOCAL_MACHINE, "Software\\" + id_.Mfg()));
  EXPECT_TRUE(qx::test::KeyExists(HKEY_LOCAL_MACHINE, "Software"));
  EXPECT_EQ(6u, Run({"status", "driver"}));
  EXPECT_TRUE(FileExists(source_ + "\\QXL2020.INF"));  // the medium is untouched
}

TEST_F(SampleItemProgram, UninstallFindsTheFolderInTheRecord) {
  ASSERT_EQ(0u, Run({"install", dest_, "driver", source_}));
  ASSERT_EQ(0u, Run({"uninstall", "driver"}));
  EXPECT_FALSE(FolderExists(dest_));
  EXPECT_FALSE(Record().present);
  EXPECT_EQ(0u, Run({"uninstall", "driver"}));  // nothing recorded any more: nothing to do

  // A record whose folder is no plain absolute path is refused, and nothing is touched.
  ASSERT_EQ(0u, Run({"install", dest_, "driver", source_}));
  fw::UniqueRegKey key;
  ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, (key_ + "\\driver").c_str(), 0, KEY_SET_VALUE, key.Put()));
  std::string bad = dest_ + "\\..\\..";
  RegSetValueExA(key.Get(), "Path", 0, REG_SZ, reinterpret_cast<const BYTE*>(bad.c_str()), bad.size() + 1);
  EXPECT_EQ(7u, Run({"uninstall", "driver"}));
  EXPECT_TRUE(FileExists(dest_ + "\\QXL2020.INF"));
  EXPECT_TRUE(Record().present);
}

TEST_F(SampleItemProgram, LeavesWhatWasThereBefore) {
  dir_.Write("Program Files\\QX\\Driver\\QXL2020.INF", "someone else's");
  dir_.Write("Program Files\\QX\\Driver\\notes.txt", "mine");
  ASSERT_EQ(0u, Run({"install", dest_, "driver", source_}));
  EXPECT_EQ("[Version]\r\n", qx::test::TempDir::Read(dest_ + "\\QXL2020.INF"));  // overwritten
  ASSERT_EQ(0u, Run({"uninstall", dest_, "driver"}));
  // Files that existed before are never removed; the folders holding them stay.
  EXPECT_TRUE(FileExists(dest_ + "\\QXL2020.INF"));
  EXPECT_TRUE(FileExists(dest_ + "\\notes.txt"));
  EXPECT_FALSE(FileExists(dest_ + "\\QXL2020.PPD"));
  EXPECT_FALSE(FolderExists(dest_ + "\\Help"));
  EXPECT_FALSE(FileExists(dest_ + "\\driver.qxitem"));
}

TEST_F(SampleItemProgram, SecondInstallKeepsTheFirstOnesRecord) {
  ASSERT_EQ(0u, Run({"install", dest_, "driver", source_}));
  dir_.Write("medium\\Payload\\driver\\extra.txt", "new in the second run");
  ASSERT_EQ(0u, Run({"install", dest_, "driver", source_}));
  EXPECT_EQ(4u, Record().files);
  ASSERT_EQ(0u, Run({"uninstall", dest_, "driver"}));
  EXPECT_FALSE(FolderExists(dest_));
}

TEST_F(SampleItemProgram, SingleFileSourceAndDefaultPayload) {
  std::string file = dir_.Write("medium\\ReadMe.txt", "read me");
  ASSERT_EQ(0u, Run({"install", dest_, "readme", file}));
  EXPECT_EQ("read me", qx::test::TempDir::Read(dest_ + "\\ReadMe.txt"));
  ASSERT_EQ(0u, Run({"uninstall", dest_, "readme"}));
  EXPECT_FALSE(FileExists(dest_ + "\\ReadMe.txt"));

  // Without a source the payload is <medium>\Payload\<component>, the medium
  // being the parent of the program's "data" folder.
  sampleitem::Request q;
  q.verb = sampleitem::Verb::kInstall;
  q.dest = dest_;
  q.component = "driver";
  q.registryKey = key_;
  std::string message;
  ASSERT_EQ(sampleitem::kOk, sampleitem::InstallComponent(q, dir_.Path() + "\\medium", &message)) << message;
  EXPECT_TRUE(FileExists(dest_ + "\\QXL2020.PPD"));
  ASSERT_EQ(sampleitem::kOk, sampleitem::UninstallComponent(q, &message)) << message;
  EXPECT_FALSE(FolderExists(dest_));
}

TEST_F(SampleItemProgram, FailuresLeaveNothingBehind) {
  struct Case {
    const char* what;
    std::vector<std::string> args;
    DWORD code;
  };
  std::string missing = dir_.Path() + "\\medium\\Payload\\nothing";
  const Case cases[] = {
      {"missing payload", {"install", dest_, "driver", missing}, 3},
      {"no component", {"install", dest_}, 2},
      {"relative destination", {"install", "Program Files\\QX", "driver", source_}, 2},
      {"unknown command", {"copy", dest_, "driver"}, 2},
      {"component with a path", {"install", dest_, "..\\driver", source_}, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(c.code, Run(c.args));
    EXPECT_FALSE(FolderExists(dir_.Path() + "\\Program Files"));
    EXPECT_FALSE(Record().present);
  }
}

TEST_F(SampleItemProgram, CopyFailureTakesBackWhatItCopied) {
  // A file where the payload needs a folder: the copy fails part-way.
  dir_.Write("Program Files\\QX\\Driver\\Help", "a file, not a folder");
  EXPECT_EQ(4u, Run({"install", dest_, "driver", source_}));
  EXPECT_EQ(std::vector<std::string>{"Help"}, List(dest_));
  EXPECT_FALSE(Record().present);
}

TEST_F(SampleItemProgram, UninstallOfNothingAndOfADamagedManifest) {
  EXPECT_EQ(0u, Run({"uninstall", dest_, "driver"}));  // nothing recorded: nothing to do

  std::string outside = dir_.Write("outside.txt", "not ours");
  dir_.Write("Program Files\\QX\\Driver\\driver.qxitem",
             "QXITEM-MANIFEST 1\r\nF ..\\..\\..\\outside.txt\r\nF inside.txt\r\n");
  dir_.Write("Program Files\\QX\\Driver\\inside.txt", "ours");
  EXPECT_EQ(7u, Run({"uninstall", dest_, "driver"}));  // incomplete: a line was refused
  EXPECT_TRUE(FileExists(outside));
  EXPECT_FALSE(FileExists(dest_ + "\\inside.txt"));

  dir_.Write("Program Files\\QX\\Driver\\driver.qxitem", "not a manifest\r\nF notes.txt\r\n");
  dir_.Write("Program Files\\QX\\Driver\\notes.txt", "keep");
  EXPECT_EQ(7u, Run({"uninstall", dest_, "driver"}));
  EXPECT_TRUE(FileExists(dest_ + "\\notes.txt"));
}

}  // namespace
