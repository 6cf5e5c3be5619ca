// setup.exe on bad command lines and broken media: the documented message or
// log line, the end of the run with exit code 1, never a crash or a hang.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "tests/e2e/e2e_support.h"
#include "tests/support/watchdog.h"

namespace {

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(SetupBadInput, InvalidCommandLinesShowTheMessageAndEnd) {
  qx::test::SetWatchdogLimit(170);
  e2e::SetupMedium medium;
  const std::string cases[] = {"/X", "/", "/CLEAR", "/CLEAR /REG", "/CLEAR /REG \"\"", "/L 9", "/q /z",
                               "/" + std::string(10000, 'A')};
  for (const auto& line : cases) {
    SCOPED_TRACE(line.substr(0, 40));
    DeleteFileA(medium.TracePath().c_str());
    ASSERT_EQ(medium.Run(line), 1);
    EXPECT_TRUE(Contains(medium.Trace(), "[MessageBox] Tarquen Printer Installer Program: Invalid Parameters!!"))
        << medium.Trace();
    EXPECT_EQ(e2e::ReadDword(medium.Identity().InstallKey(), "Operation_Done"), 0xDEADBEEFu);  // nothing ran
  }
}

TEST(SetupBadInput, BrokenMediaEndTheRunWithTheirLogLine) {
  qx::test::SetWatchdogLimit(170);
  struct Case {
    const char* name;
    std::function<void(e2e::SetupMedium&)> breakIt;
    const char* arguments;
    const char* logLine;
  } cases[] = {
      {"no data file", [](e2e::SetupMedium& m) { DeleteFileA(m.DataFile().c_str()); }, "/S",
       "[CPredefinedVariable] m_cstrDataFile file does not exist"},
      {"no configuration file", [](e2e::SetupMedium& m) { DeleteFileA(m.ConfigFile().c_str()); }, "/S",
       "[CPredefinedVariable] Get Configure file fail"},
      {"configuration file is a folder",
       [](e2e::SetupMedium& m) { e2e::SetScriptValue(m.DataFile(), "PROGRAM_INFO", "CONFIGURE_FILE", "data"); },
       "/S", "[CPredefinedVariable] Get Configure file fail [data]\n"},
      {"no string file for the language",
       [](e2e::SetupMedium& m) { DeleteFileA((m.Dir() + "\\Lang\\setupGR.str").c_str()); }, "/S /L 0x0407",
       "[CPredefinedVariable] String file does not exist"},
      {"no string file at all",
       [](e2e::SetupMedium& m) {
         for (const char* abbr : {"EN", "GR", "HB"}) DeleteFileA((m.Dir() + "\\Lang\\setup" + abbr + ".str").c_str());
       },
       "/S", "[CPredefinedVariable] String file does not exist"},
      {"destination cannot be created",
       [](e2e::SetupMedium& m) {
         std::string file = m.DestDir() + ".txt";
         HANDLE h = CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
         CloseHandle(h);
         e2e::SetScriptValue(m.DataFile(), "PROGRAM_INFO", "DESTINATION_DIR", file + "\\sub");
       },
       "/S", "[CQXInstApp] Create destination directory fail ["},
      {"installer library missing", [](e2e::SetupMedium& m) { DeleteFileA((m.Dir() + "\\data\\qxexec.dll").c_str()); },
       "/S", "[CControlWin] Get Install fuction fail!"},
      {"installer library without MyInstall",
       [](e2e::SetupMedium& m) {
         CopyFileA((m.Dir() + "\\data\\qxdiag.dll").c_str(), (m.Dir() + "\\data\\qxexec.dll").c_str(), FALSE);
       },
       "/S", "[CControlWin] Get Install fuction fail!"},
      {"installer library is no library",
       [](e2e::SetupMedium& m) {
         HANDLE h = CreateFileA((m.Dir() + "\\data\\qxexec.dll").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0,
                                nullptr);
         DWORD written = 0;
         WriteFile(h, "not a library", 13, &written, nullptr);
         CloseHandle(h);
       },
       "/S", "[CPredefinedVariable] LoadLibrary fail"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    e2e::SetupMedium medium;
    c.breakIt(medium);
    ASSERT_EQ(medium.Run(c.arguments), 1);
    std::string log = medium.Log();
    EXPECT_TRUE(Contains(log, c.logLine)) << log;
  }
}

}  // namespace
