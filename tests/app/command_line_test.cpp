#include "setup/core/command_line.h"

#include <gtest/gtest.h>

#include <string>

using namespace app;

TEST(CommandLine, InstallTypesTable) {
  struct Case {
    const char* line;
    InstallType type;
  } cases[] = {
      {"", IS_TYPE_INSTALL},
      {"/INSTALL", IS_TYPE_INSTALL},
      {"/install", IS_TYPE_INSTALL},
      {"/InStAlL", IS_TYPE_INSTALL},
      {"/REINSTALL", IS_TYPE_REINSTALL},  // not taken for /INSTALL
      {"/uninstall", IS_TYPE_UNINSTALL},
      {"/Remote", IS_TYPE_REMOTE},
      {"/S", IS_TYPE_FACTORY},
      {"/s /l 9", IS_TYPE_FACTORY},
      {"/SILENT", IS_TYPE_FACTORY},      // switches are substrings, not tokens
      {"x/INSTALLy", IS_TYPE_INSTALL},
      {"/X", IS_TYPE_INVALID},
      {"/", IS_TYPE_INVALID},
      {"/L 9", IS_TYPE_INVALID},          // a language without /S
      {"/CLEAR", IS_TYPE_INVALID},        // without /REG
      {"/CLEAR /REG", IS_TYPE_INVALID},   // empty value
      {"/CLEAR /REG \"\"", IS_TYPE_INVALID},
      {"/CLEAR /REG   \" \"  ", IS_TYPE_INVALID},
      {"/clear /reg key", IS_TYPE_CLEAR},
      {"/INSTALL /CLEAR /REG k", IS_TYPE_INSTALL},  // the first switch in the fixed order decides
  };
  for (const auto& c : cases) {
    CommandLineOptions options = ParseCommandLine(c.line);
    EXPECT_EQ(options.type, c.type) << "line: [" << c.line << "]";
  }
}

TEST(CommandLine, FactoryLanguage) {
  struct Case {
    const char* line;
    bool has;
    LANGID language;
  } cases[] = {
      {"/S", false, 9},
      {"/S /L0x0412", true, 0x0412},
      {"/S /L 1042", true, 1042},
      {"/L 10 42 /S", true, 1042},   // spaces inside the value are removed
      {"/S /L0X412/other", true, 0x412},
      {"/S /Lgarbage", true, 0},
      {"/S /L", true, 0},
  };
  for (const auto& c : cases) {
    CommandLineOptions options = ParseCommandLine(c.line);
    EXPECT_EQ(options.type, IS_TYPE_FACTORY) << c.line;
    EXPECT_TRUE(options.factoryTested) << c.line;
    EXPECT_EQ(options.hasLanguage, c.has) << c.line;
    if (c.has) {
      EXPECT_EQ(options.factoryLanguage, c.language) << c.line;
    }
  }
}

TEST(CommandLine, ClearModeValues) {
  struct Case {
    const char* line;
    const char* key;
    const char* className;
    bool hasPid;
    DWORD pid;
  } cases[] = {
      {"/CLEAR /CLS Vexa Setup /REG Software\\Vexa\\Vexa Setup\\Uninstall /PID 0x4d2",
       "Software\\Vexa\\Vexa Setup\\Uninstall", "Vexa Setup Installer Program", true, 1234},
      {"/CLEAR /REG \"Software\\A\\B\\Uninstall\"", "Software\\A\\B\\Uninstall", "", false, 0},
      {"/CLEAR /REG=\" key \"", "key", "", false, 0},  // any separator is skipped
      {"/CLEAR /REG k /PID 1234", "k", "", true, 1234},
      {"/CLEAR /REG k /PID 0xFFFFFFFF", "k", "", true, 0xFFFFFFFF},
      {"/CLEAR /REG k /PID 0x123456789", "k", "", true, 0x23456789},  // nine digits: 32 bits kept
      {"/CLEAR /REG k /PID garbage", "k", "", true, 0},
      {"/CLEAR /REG k /PID", "k", "", true, 0},
      {"/clear /cls P /reg Key /pid 0X10", "Key", "P Installer Program", true, 16},
  };
  for (const auto& c : cases) {
    CommandLineOptions options = ParseCommandLine(c.line);
    ASSERT_EQ(options.type, IS_TYPE_CLEAR) << c.line;
    EXPECT_EQ(options.uninstallKey, c.key) << c.line;
    EXPECT_EQ(options.className, c.className) << c.line;
    EXPECT_EQ(options.hasProcessId, c.hasPid) << c.line;
    EXPECT_EQ(options.processId, c.pid) << c.line;
  }
}

TEST(CommandLine, ArgumentsAfterTheProgramName) {
  struct Case {
    const char* full;
    const char* arguments;
  } cases[] = {
      {"setup.exe", ""},
      {"setup.exe /S", "/S"},
      {"  setup.exe \t /X  ", "/X  "},
      {"\"C:\\Program Files\\Vexa\\setup.exe\" /UNINSTALL", "/UNINSTALL"},
      {"\"C:\\unterminated quote /S", ""},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(ArgumentsOf(c.full), c.arguments) << c.full;
}

TEST(CommandLine, HugeLinesAreHandled) {
  std::string line = "/S " + std::string(10000, 'A');
  EXPECT_EQ(ParseCommandLine(line).type, IS_TYPE_FACTORY);
  std::string slashes(10000, '/');
  EXPECT_EQ(ParseCommandLine(slashes).type, IS_TYPE_INVALID);
  std::string clear = "/CLEAR /REG " + std::string(10000, 'k');
  CommandLineOptions options = ParseCommandLine(clear);
  EXPECT_EQ(options.type, IS_TYPE_CLEAR);
  EXPECT_EQ(options.uninstallKey.size(), 10000u);
}

namespace {

// The run's mutex: the same for class names that differ only in case (as the
// window-class check sees them), different per product, never a namespace.
TEST(CommandLine, InstallerMutexNames) {
  const std::string a = app::InstallerMutexName("QX Printer Installer Program");
  EXPECT_EQ(app::InstallerMutexName("qx printer INSTALLER program"), a);
  EXPECT_NE(app::InstallerMutexName("QX Scanner Installer Program"), a);
  for (const char* cls : {"QX\\Printer Installer Program", "Local\\QX Installer Program", ""}) {
    EXPECT_EQ(app::InstallerMutexName(cls).find('\\'), std::string::npos) << cls;
  }
  EXPECT_LT(app::InstallerMutexName(std::string(5000, 'x')).size(), 260u);
}

}  // namespace
