// The installer's environment started on a copy of the sample medium: it finds
// the three script files, the product, the version, the operating-system key of
// every system Wine can report, the languages and the companion libraries.
// The copy carries this test's own manufacturer and program name, so the
// values the environment writes land under this test's registry root.
#include "setup/core/predefined_variable.h"

#include <gtest/gtest.h>

#include "framework/handles.h"
#include "media/tests/medium_reader.h"
#include "tests/core/core_test_support.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_identity.h"

namespace {

void Replace(std::string* text, const std::string& from, const std::string& to) {
  size_t at = text->find(from);
  ASSERT_NE(std::string::npos, at) << from;
  text->replace(at, from.size(), to);
}

class SampleMediumEnvironment : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string source = mediumtest::MediumDir();
    medium_ = dir_.Path() + "\\medium";
    std::string data = mediumtest::ReadFile(source + "\\setup.dat");
    ASSERT_FALSE(data.empty()) << "build the sample_medium target";
    Replace(&data, "\r\nMFG=QX\r\n", "\r\nMFG=" + id_.Mfg() + "\r\n");
    Replace(&data, "\r\nPROGRAM_NAME=QX Laser L2020 Setup\r\n", "\r\nPROGRAM_NAME=" + id_.Program() + "\r\n");
    dir_.Write("medium\\setup.dat", data);
    for (const char* file : {"setup.cfg", "autorun.inf", "Lang\\setupEN.str", "Lang\\setupHB.str",
                             "Lang\\setupGR.str", "Manual\\English\\index.html", "Manual\\German\\index.html"}) {
      dir_.Write(std::string("medium\\") + file, mediumtest::ReadFile(source + "\\" + file));
    }
    ASSERT_TRUE(CreateDirectoryA((medium_ + "\\data").c_str(), nullptr));
    WIN32_FIND_DATAA found{};
    fw::UniqueFind find(FindFirstFileA((source + "\\data\\*.dll").c_str(), &found));
    ASSERT_TRUE(static_cast<bool>(find));
    do {
      ASSERT_TRUE(CopyFileA((source + "\\data\\" + found.cFileName).c_str(),
                            (dir_.Path() + "\\medium\\data\\" + found.cFileName).c_str(), FALSE));
    } while (FindNextFileA(find.Get(), &found));
    ASSERT_TRUE(log_.CreateLogFile((dir_.Path() + "\\").c_str(), "setup.exe"));
  }

  qx::test::TempDir dir_;
  qx::test::TestIdentity id_;
  coretest::RecordingHistory history_;
  CUtl log_;
  std::string medium_;
};

TEST_F(SampleMediumEnvironment, FindsScriptsIdentityVersionAndLibraries) {
  coretest::ScopedVersion version(VER_PLATFORM_WIN32_NT, 6, 1);
  coretest::ScopedSystemLanguage language(0x0409);
  CPredefinedVariable env;
  ASSERT_TRUE(env.InitEnvironment((medium_ + "\\setup.exe").c_str())) << coretest::ReadAll(log_.GetLogPath());
  EXPECT_EQ(medium_ + "\\setup.dat", env.GetDataFile());
  EXPECT_EQ(medium_ + "\\setup.cfg", env.GetConfigFile());
  EXPECT_EQ(medium_ + "\\Lang\\setupEN.str", env.GetStringFile());
  EXPECT_EQ(id_.Mfg(), env.GetMfg());
  EXPECT_EQ("QX-L2020", env.GetMdl());
  EXPECT_EQ("VID_1B2C&PID_0201", env.GetVidPid());
  EXPECT_EQ(id_.Program(), env.GetProgramName());
  EXPECT_EQ("1.2.0", env.GetVersion());
  EXPECT_EQ(id_.InstallKey(), env.GetInstallKey());
  EXPECT_EQ(medium_ + "\\Manual\\English\\index.html", env.GetManualFile());
  EXPECT_EQ(env.GetProgramFilesDir() + "\\QX\\Laser L2020", env.GetDestDir());
  for (auto slot : {CPredefinedVariable::kInstallerDll, CPredefinedVariable::kUninstallerDll,
                    CPredefinedVariable::kUtilityDll, CPredefinedVariable::kRemoteInstallDll,
                    CPredefinedVariable::kDiagnosisDll}) {
    EXPECT_NE(nullptr, env.GetLibrary(slot)) << "library slot " << slot;
  }
  EXPECT_EQ(medium_ + "\\data\\qxnetman.dll", env.GetNetworkLibraryPath());
  // Every item command expands completely on this system.
  mediumtest::Script data(env.GetDataFile());
  for (int i = 0; i < 6; ++i) {
    std::string item = data.Value("ITEM_INFO", "ITEM_" + std::to_string(i));
    for (const char* key : {"INST_CMDSTR", "INST_PARAM_0", "UNINST_CMDSTR", "UNINST_PARAM_0"}) {
      std::string expanded = env.ExpandVariables(data.Value(item, key));
      EXPECT_EQ(std::string::npos, expanded.find('$')) << item << "." << key << ": " << expanded;
    }
  }
  EXPECT_EQ(medium_ + "\\Driver\\Vista_Up", env.ExpandVariables("$SRC_DIR$\\Driver\\$OS_DIR$"));
}

TEST_F(SampleMediumEnvironment, OperatingSystemKeyOfEverySystem) {
  struct Case {
    DWORD platform, major, minor;
    const char* os;
    const char* dir;
  };
  const Case cases[] = {
      {VER_PLATFORM_WIN32_WINDOWS, 4, 10, "WIN98", "Win9x"},     {VER_PLATFORM_WIN32_WINDOWS, 4, 90, "WINME", "Win9x"},
      {VER_PLATFORM_WIN32_NT, 4, 0, "WINNT4", "WinNT4"},         {VER_PLATFORM_WIN32_NT, 5, 0, "WIN2000", "Win2K_XP"},
      {VER_PLATFORM_WIN32_NT, 5, 1, "WINXP", "Win2K_XP"},        {VER_PLATFORM_WIN32_NT, 5, 2, "WIN2003", "Win2K_XP"},
      {VER_PLATFORM_WIN32_NT, 6, 0, "WINVISTA", "Vista_Up"},     {VER_PLATFORM_WIN32_NT, 6, 1, "WIN7", "Vista_Up"},
      {VER_PLATFORM_WIN32_NT, 6, 2, "WIN8_0", "Vista_Up"},       {VER_PLATFORM_WIN32_NT, 6, 3, "WIN8_1", "Vista_Up"},
      {VER_PLATFORM_WIN32_NT, 10, 0, "WIN10", "Vista_Up"},
  };
  coretest::ScopedSystemLanguage language(0x0409);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.os);
    coretest::ScopedVersion version(c.platform, c.major, c.minor);
    CPredefinedVariable env;
    ASSERT_TRUE(env.InitEnvironment((medium_ + "\\setup.exe").c_str()));
    EXPECT_EQ(c.os, env.GetOsString());
    EXPECT_EQ(c.dir, env.GetOsDir());
  }
}

TEST_F(SampleMediumEnvironment, LanguagesStringFilesAndReadingDirection) {
  struct Case {
    LANGID id;
    const char* abbr;
    const char* langDir;
    const char* manualDir;
    bool rightToLeft;
  };
  const Case cases[] = {
      {0x0409, "EN", "English", "English", false}, {0x0809, "EN", "English", "English", false},
      {0x040D, "HB", "Hebrew", "English", true},   {0x0407, "GR", "German", "German", false},
      {0x0C07, "GR", "German", "German", false},   {0x0411, "EN", "English", "English", false},
  };
  coretest::ScopedVersion version(VER_PLATFORM_WIN32_NT, 6, 1);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    coretest::ScopedSystemLanguage language(c.id);
    CPredefinedVariable env;
    ASSERT_TRUE(env.InitEnvironment((medium_ + "\\setup.exe").c_str()));
    ASSERT_TRUE(env.SetLanguage(c.id));
    EXPECT_EQ(c.abbr, env.GetLangAbbr());
    EXPECT_EQ(c.langDir, env.GetLangDir());
    EXPECT_EQ(medium_ + "\\Lang\\setup" + c.abbr + ".str", env.GetStringFile());
    EXPECT_EQ(medium_ + "\\Manual\\" + c.manualDir, env.GetManualDir());
    EXPECT_EQ(c.rightToLeft, env.IsRightAligned(c.id));
  }
}

}  // namespace
