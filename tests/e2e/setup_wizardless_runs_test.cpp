// The /INSTALL and /UNINSTALL runs end to end, on media whose start sections
// run commands without pages: the run values they write, their log lines, and
// the uninstall's hand-over to the clear run.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "tests/e2e/e2e_support.h"
#include "tests/support/watchdog.h"

namespace {

using e2e::ReadDword;
using e2e::ReadString;

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs) {
  DWORD start = GetTickCount();
  while (!condition()) {
    if (GetTickCount() - start > timeoutMs) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
  }
  return true;
}

class WizardlessRuns : public ::testing::Test {
 protected:
  void SetUp() override { qx::test::SetWatchdogLimit(170); }
  std::string InstallKey() const { return medium_.Identity().InstallKey(); }
  std::string ProductKey() const { return "Software\\" + medium_.Identity().Mfg(); }
  e2e::SetupMedium medium_;
};

TEST_F(WizardlessRuns, InstallWritesTheRunValuesAndRunsBothSections) {
  // The start section opens no page; the end section runs after it.
  e2e::SetScriptSection(medium_.ConfigFile(), "INST_STRART_CMD", "CT_DLG_HELP=\r\n");
  e2e::SetScriptSection(medium_.ConfigFile(), "INST_END_CMD", "CT_ADDREG=ADD_REG.RUN_END\r\n");
  e2e::SetScriptSection(medium_.DataFile(), "ADD_REG.RUN_END",
                        "ROOTKEY=HKLM\r\nKEYNAME=" + InstallKey() + "\r\nVALUE_0=REG_DWORD,End_Ran,7\r\n");
  ASSERT_EQ(medium_.Run("/INSTALL"), 1) << medium_.Log();
  std::string log = medium_.Log();
  EXPECT_TRUE(Contains(log, "[CQXInstApp] Start Install")) << log;

  const std::string key = InstallKey();
  char windows[MAX_PATH];
  GetWindowsDirectoryA(windows, MAX_PATH);
  struct Text {
    const char* name;
    std::string value;
  } texts[] = {
      {"MFG", medium_.Identity().Mfg()},  {"Program_Name", medium_.Identity().Program()},
      {"Default_Printer", ""},            {"Printer_Port", "LPT1:"},
      {"Lang_Abbr", "EN"},                {"Dest_Dir", medium_.DestDir()},
      {"Win_Dir", windows},               {"Temp_Dir", medium_.TempDir()},
      {"STR_FILE", medium_.Dir() + "\\Lang\\setupEN.str"},
  };
  for (const Text& t : texts) EXPECT_EQ(ReadString(key, t.name), t.value) << t.name;
  struct Number {
    const char* name;
    DWORD value;
  } numbers[] = {{"InstallAsServer", 0}, {"Install_Type", 0}, {"Lang_Code", 0x0409},
                 {"OS_Ver", 2},          {"Operation_Done", 0}, {"End_Ran", 7}};
  for (const Number& n : numbers) EXPECT_EQ(ReadDword(key, n.name), n.value) << n.name;
  EXPECT_NE(ReadString(key, "MDL"), "<none>");
  EXPECT_NE(ReadString(key, "VIDPID"), "<none>");
  // The run marker is removed again at the end of the run.
  EXPECT_EQ(ReadDword(ProductKey() + "\\" + ReadString(key, "MDL"), "CDInstall"), 0xDEADBEEFu);
}

TEST_F(WizardlessRuns, UninstallRunsItsSectionsThenHandsOverToTheClearRun) {
  ASSERT_EQ(medium_.Run("/S"), 1) << medium_.Log();
  const std::string key = InstallKey();
  ASSERT_EQ(ReadDword(key, "Lang_Code"), 0x0409u);
  EXPECT_GT(medium_.UninstallItems(), 0);
  const std::string destDir = ReadString(key, "Dest_Dir");
  ASSERT_EQ(destDir, medium_.DestDir());

  // First an uninstall run that keeps everything: its run values stay to be read.
  // Its end section's file list also names a drive root and an empty variable.
  e2e::SetScriptSection(medium_.ConfigFile(), "UNINST_STRART_CMD", "CT_DELETE_FILE=FILES.GUARD\r\n");
  e2e::SetScriptSection(medium_.DataFile(), "FILES.GUARD", "DIRECTORY1=C:\\\r\nDIRECTORY2=$SCANIP$\r\n");
  ASSERT_EQ(medium_.Run("/UNINSTALL"), 1) << medium_.Log();
  std::string log = medium_.Log();
  EXPECT_TRUE(Contains(log, "[CQXInstApp] Start Uninstall")) << log;
  EXPECT_TRUE(Contains(log, "[CUtl] Refused to remove a drive root or system folder (C:)")) << log;
  EXPECT_TRUE(Contains(log, "[CUtl] Refused to remove a drive root or system folder ()")) << log;
  EXPECT_EQ(ReadDword(key, "Install_Type"), 0x20u);  // the uninstall wizard's kind
  EXPECT_EQ(ReadDword(key, "Operation_Done"), 0u);
  EXPECT_EQ(ReadString(key, "Dest_Dir"), destDir);
  EXPECT_EQ(ReadDword(ProductKey() + "\\" + ReadString(key, "MDL"), "CDInstall"), 0xDEADBEEFu);
  // The sample's end section removed its listed files and folders, nothing more.
  EXPECT_NE(GetFileAttributesA(destDir.c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_NE(GetFileAttributesA("C:\\windows"), INVALID_FILE_ATTRIBUTES);

  // Then the hand-over: a copy of the installer in the temporary folder clears
  // what the history recorded once this run has ended.
  ASSERT_FALSE(e2e::RegistrySnapshot(medium_.Identity().UninstallKey()).empty());
  e2e::SetScriptSection(medium_.ConfigFile(), "UNINST_STRART_CMD", "CT_DELETE_ALL=\r\n");
  ASSERT_EQ(medium_.Run("/UNINSTALL"), 1) << medium_.Log();
  log = medium_.Log();
  EXPECT_FALSE(Contains(log, "[CCmdOperator] There are more installed items..")) << log;
  EXPECT_FALSE(Contains(log, "create uninstall process fail")) << log;
  EXPECT_TRUE(WaitFor([&] { return e2e::RegistrySnapshot(medium_.Identity().UninstallKey()).empty(); }, 90000))
      << "the clear run did not replay the history";
  EXPECT_TRUE(WaitFor([&] { return GetFileAttributesA(destDir.c_str()) == INVALID_FILE_ATTRIBUTES; }, 30000));
  EXPECT_TRUE(WaitFor(
      [&] { return Contains(medium_.Trace(), "The installer was finised , now uninstall all files and information!!"); },
      30000));

  // The copy goes away when the clear run ends, with nothing left waiting for
  // a restart and nothing left running.
  const std::string copy = medium_.TempDir() + "\\setup.exe";
  EXPECT_TRUE(WaitFor([&] { return !qx::test::FileExists(copy); }, 60000)) << "the clear run's copy stayed";
  for (const auto& pending : e2e::PendingDeletes()) EXPECT_NE(pending, "\\??\\" + copy);
  EXPECT_FALSE(Contains(medium_.Trace(), "Set file to be deleted when rebooting by MoveFileEx (" + copy + ")"));
  EXPECT_TRUE(Contains(medium_.Trace(), "The file goes away when this run ends (" + copy + ")")) << medium_.Trace();
}

}  // namespace
