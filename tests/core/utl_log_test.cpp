#include <gtest/gtest.h>

#include "setup/core/utl.h"
#include "tests/core/core_test_support.h"
#include "tests/support/temp_dir.h"
#include "tests/support/trace_capture.h"

namespace {

std::string Folder(const qx::test::TempDir& dir) { return dir.Path() + "\\"; }

TEST(UtlLog, NameIsProgramFileNameInTempFolder) {
  qx::test::TempDir dir;
  CUtl log;
  ASSERT_TRUE(log.CreateLogFile(Folder(dir).c_str(), "C:\\media\\setup.exe"));
  EXPECT_EQ(log.GetLogPath(), dir.File("setup.exe.log"));
  EXPECT_NE(log.GetLogHandle(), INVALID_HANDLE_VALUE);
}

TEST(UtlLog, SecondRunLeavesOnlyItsOwnLines) {
  qx::test::TempDir dir;
  {
    CUtl first;
    ASSERT_TRUE(first.CreateLogFile(Folder(dir).c_str(), "C:\\setup.exe"));
    first.WriteLog(0, "[First] a rather long line of the first run\n");
    first.WriteLog(0, "[First] line %d", 2);
  }
  {
    CUtl second;
    ASSERT_TRUE(second.CreateLogFile(Folder(dir).c_str(), "C:\\setup.exe"));
    second.WriteLog(0, "[Second] only");
  }
  EXPECT_EQ(coretest::ReadAll(dir.File("setup.exe.log")), "[Second] only\r\n");
}

TEST(UtlLog, FormatEndingInNewlineGivesNewlineThenCrLf) {
  qx::test::TempDir dir;
  {
    CUtl log;
    ASSERT_TRUE(log.CreateLogFile(Folder(dir).c_str(), "C:\\a.exe"));
    log.WriteLog(0, "[CControlWin] Create window fail [%s] [%s]\n", "x", "y");
  }
  EXPECT_EQ(coretest::ReadAll(dir.File("a.exe.log")), "[CControlWin] Create window fail [x] [y]\n\r\n");
}

TEST(UtlLog, ErrorCodeLineFollowsMessage) {
  qx::test::TempDir dir;
  {
    CUtl log;
    ASSERT_TRUE(log.CreateLogFile(Folder(dir).c_str(), "C:\\a.exe"));
    log.WriteLog(5, "[Test] open");
  }
  std::string text = CUtl::SystemErrorText(5);
  ASSERT_FALSE(text.empty());
  EXPECT_EQ(coretest::ReadAll(dir.File("a.exe.log")), "[Test] open\r\nError Code = 5 :" + text + " \r\n");
}

TEST(UtlLog, BorrowersShareTheHandleAndNeverCloseIt) {
  qx::test::TempDir dir;
  {
    CUtl owner;
    ASSERT_TRUE(owner.CreateLogFile(Folder(dir).c_str(), "C:\\a.exe"));
    {
      CUtl borrower;
      borrower.BorrowApplicationLog();
      EXPECT_EQ(borrower.GetLogHandle(), owner.GetLogHandle());
      borrower.WriteLog(0, "borrowed");
    }
    owner.WriteLog(0, "owner after borrower went");
  }
  EXPECT_EQ(coretest::ReadAll(dir.File("a.exe.log")), "borrowed\r\nowner after borrower went\r\n");
  // The owner is gone: a new borrower gets no log and writes nothing.
  CUtl late;
  late.BorrowApplicationLog();
  EXPECT_EQ(late.GetLogHandle(), INVALID_HANDLE_VALUE);
  late.WriteLog(0, "nowhere");
}

TEST(UtlLog, UnwritableFolderLeavesLoggingOff) {
  CUtl log;
  EXPECT_FALSE(log.CreateLogFile("C:\\no\\such\\folder\\", "C:\\a.exe"));
  EXPECT_EQ(log.GetLogHandle(), INVALID_HANDLE_VALUE);
  log.WriteLog(5, "dropped");
}

TEST(UtlLog, RealRuleUsesTempPathAndProgramName) {
  CUtl log;
  ASSERT_TRUE(log.CreateLogFile());
  char temp[MAX_PATH], program[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  GetModuleFileNameA(nullptr, program, MAX_PATH);
  std::string name = program;
  name = name.substr(name.rfind('\\') + 1);
  EXPECT_EQ(log.GetLogPath(), std::string(temp) + name + ".log");
  log.WriteLog(0, "[UtlLog] real rule");
  std::string path = log.GetLogPath();
  log.SetLogHandle(INVALID_HANDLE_VALUE);  // closes the owned handle
  EXPECT_EQ(coretest::ReadAll(path), "[UtlLog] real rule\r\n");
  DeleteFileA(path.c_str());
}

TEST(UtlLog, TracesGoToTheTraceSinkNotTheLog) {
  qx::test::TempDir dir;
  qx::test::TraceCapture trace;
  {
    CUtl log;
    ASSERT_TRUE(log.CreateLogFile(Folder(dir).c_str(), "C:\\a.exe"));
    CUtl::DeleteRegKey("", false, false);
    CUtl::TraceError(2, "CUtl-OpenKey");
  }
  EXPECT_TRUE(trace.Contains("[CUtl] Invalid registry key!!!"));
  EXPECT_TRUE(trace.Contains("[CUtl-OpenKey]"));
  EXPECT_EQ(coretest::ReadAll(dir.File("a.exe.log")), "");
}

}  // namespace
