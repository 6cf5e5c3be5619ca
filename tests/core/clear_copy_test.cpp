// The decisions of the self-removing start of the uninstaller copy.
#include "setup/core/clear_copy.h"

#include <gtest/gtest.h>

namespace {

TEST(ClearCopy, TextsThatPassThroughTheInterpreter) {
  struct Case {
    const char* text;
    bool passes;
  } cases[] = {
      {"/CLEAR /CLS QX Printer /REG Software\\QX\\QX Printer\\Uninstall /PID 0x1a", true},
      {"C:\\Documents and Settings\\user\\Local Settings\\Temp\\setup.exe", true},
      {"Printer (2)", true},           {"", true},
      {"QX \"Printer\"", false},       {"50%", false},
      {"%TEMP%", false},               {"A&B", false},
      {"A|B", false},                  {"A<B", false},
      {"A>B", false},                  {"A^B", false},
      {"Hi!", false},                  {"two\r\nlines", false},
  };
  for (const Case& c : cases) EXPECT_EQ(core::PassesThroughInterpreter(c.text), c.passes) << c.text;
}

TEST(ClearCopy, TheWaitingStartQuotesTheProgramAndKeepsTheParameters) {
  const std::string line = core::WaitingStartLine("C:\\windows\\system32\\cmd.exe", "C:\\my temp\\setup.exe",
                                                  "/CLEAR /CLS QX /REG Software\\QX /PID 0x1a");
  EXPECT_EQ(line.find("\"C:\\windows\\system32\\cmd.exe\" "), 0u) << line;
  EXPECT_NE(line.find(" /wait \"C:\\my temp\\setup.exe\" /CLEAR /CLS QX /REG Software\\QX /PID 0x1a"),
            std::string::npos)
      << line;
  EXPECT_NE(line.find(" /d "), std::string::npos) << line;  // no AutoRun commands
}

TEST(ClearCopy, NoWaitingStartForTextsTheInterpreterWouldRead) {
  const char* cmd = "C:\\windows\\system32\\cmd.exe";
  EXPECT_EQ(core::WaitingStartLine(cmd, "C:\\temp\\setup.exe", "/CLEAR /CLS A&B /REG K"), "");
  EXPECT_EQ(core::WaitingStartLine(cmd, "C:\\100%\\setup.exe", "/CLEAR"), "");
  EXPECT_EQ(core::WaitingStartLine(cmd, "", "/CLEAR"), "");
  EXPECT_EQ(core::WaitingStartLine("", "C:\\temp\\setup.exe", "/CLEAR"), "");
}

TEST(ClearCopy, TheStartReportIsNamedAfterTheStartingProcess) {
  EXPECT_NE(core::ClearRunEventName(0x1a2b), core::ClearRunEventName(0x1a2c));
  EXPECT_NE(core::ClearRunEventName(0x1a2b).find("1a2b"), std::string::npos);
  EXPECT_EQ(core::ClearRunEventName(0x1a2b).find('\\'), std::string::npos);  // no object namespace
}

TEST(ClearCopy, NoReportWithoutAStarterWaitingForIt) {
  EXPECT_FALSE(core::ReportClearRunStart(0x7ffffff0));
}

TEST(ClearCopy, OnlyTheArrangedFileCounts) {
  core::SetRemovalArranged("C:\\Temp\\setup.exe");
  EXPECT_TRUE(core::IsRemovalArranged("c:\\temp\\SETUP.EXE"));
  EXPECT_FALSE(core::IsRemovalArranged("C:\\Temp\\other.exe"));
  core::SetRemovalArranged("");
  EXPECT_FALSE(core::IsRemovalArranged("C:\\Temp\\setup.exe"));
  EXPECT_FALSE(core::IsRemovalArranged(""));
}

}  // namespace
