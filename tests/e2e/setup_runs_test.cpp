// Whole runs of setup.exe as a process, on a private copy of the sample medium.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/frame_window.h"
#include "tests/e2e/e2e_support.h"
#include "tests/support/watchdog.h"

namespace {

using e2e::ReadDword;
using e2e::ReadString;

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

class SetupRuns : public ::testing::Test {
 protected:
  void SetUp() override { qx::test::SetWatchdogLimit(170); }
  e2e::SetupMedium medium_;
  std::string InstallKey() const { return medium_.Identity().InstallKey(); }
  std::string UninstallKey() const { return medium_.Identity().UninstallKey(); }
  std::string ProductKey() const { return "Software\\" + medium_.Identity().Mfg(); }
};

TEST_F(SetupRuns, FactoryRunInstallsTheItemsAndWritesTheRunValues) {
  ASSERT_EQ(medium_.Run("/S"), 1) << medium_.Log();
  std::string log = medium_.Log();
  EXPECT_TRUE(Contains(log, "[CQXInstApp] Start Factory Install")) << log;
  EXPECT_TRUE(Contains(log, "[CControlWin] call Install")) << log;
  EXPECT_TRUE(Contains(log, "[CControlWin] Factory installation sucess!")) << log;

  const std::string key = InstallKey();
  EXPECT_EQ(ReadDword(key, "Operation_Done"), 0u);
  EXPECT_EQ(ReadString(key, "MFG"), medium_.Identity().Mfg());
  EXPECT_EQ(ReadString(key, "Program_Name"), medium_.Identity().Program());
  EXPECT_NE(ReadString(key, "Default_Printer"), "<none>");
  EXPECT_EQ(ReadString(key, "Printer_Port"), "LPT1:");
  EXPECT_EQ(ReadDword(key, "InstallAsServer"), 0u);
  EXPECT_EQ(ReadDword(key, "Install_Type"), 0u);
  EXPECT_EQ(ReadDword(key, "Lang_Code"), 0x0409u);  // the system default of the prefix
  EXPECT_EQ(ReadString(key, "Lang_Abbr"), "EN");
  EXPECT_EQ(ReadString(key, "Dest_Dir"), medium_.DestDir());
  EXPECT_EQ(ReadString(key, "Temp_Dir"), medium_.TempDir());
  EXPECT_TRUE(Contains(ReadString(key, "STR_FILE"), "setupEN.str"));
  EXPECT_EQ(ReadDword(key, "OS_Ver"), 2u);  // the NT family
  EXPECT_NE(ReadString(key, "MDL"), "<none>");
  EXPECT_NE(ReadString(key, "VIDPID"), "<none>");

  // The run marker is gone again, and the destination exists.
  std::string product = "Software\\" + medium_.Identity().Mfg() + "\\" + ReadString(key, "MDL");
  EXPECT_EQ(ReadDword(product, "CDInstall"), 0xDEADBEEFu);
  EXPECT_NE(GetFileAttributesA(medium_.DestDir().c_str()), INVALID_FILE_ATTRIBUTES);

  // Item records were written and the ticked items installed.
  auto items = e2e::RegistrySnapshot(key + "\\Items");
  EXPECT_GE(items.size(), 6u);
  // The history recorded what the installer made.
  EXPECT_FALSE(e2e::RegistrySnapshot(UninstallKey()).empty());
  EXPECT_GT(medium_.UninstallItems(), 0);  // leaves the spooler and the shared records as they were
}

TEST_F(SetupRuns, ReinstallOnlyLogs) {
  ASSERT_EQ(medium_.Run("/REINSTALL"), 1);
  std::string log = medium_.Log();
  EXPECT_TRUE(Contains(log, "[CQXInstApp] Start Reinstall")) << log;
  EXPECT_FALSE(Contains(log, "Start Install")) << log;
  EXPECT_EQ(ReadString(InstallKey(), "MFG"), "<none>");  // no run values
  EXPECT_EQ(ReadDword(InstallKey(), "Operation_Done"), 0u);
}

TEST_F(SetupRuns, SecondStartBringsTheFirstToTheFrontAndEnds) {
  // The first run waits in a question (its cancel command) that nobody answers.
  e2e::SetScriptSection(medium_.ConfigFile(), "INST_STRART_CMD", "CT_DLG_CANCEL=");
  qx::test::Process first;
  ASSERT_TRUE(medium_.Start(&first, "/INSTALL"));
  std::string className = medium_.Identity().Program() + " Installer Program";
  HWND box = nullptr;
  ASSERT_TRUE(qx::test::WaitFor([&] {
    if (!FindWindowA(className.c_str(), nullptr)) return false;
    box = FindWindowA("#32770", medium_.Identity().Program().c_str());
    return box != nullptr;
  }, 60000)) << medium_.Log();

  std::string secondTemp = medium_.TempDir() + "\\second";
  CreateDirectoryA(secondTemp.c_str(), nullptr);
  qx::test::Process second;
  ASSERT_TRUE(medium_.Start(&second, "/INSTALL", {}, secondTemp));
  DWORD code = 0;
  ASSERT_TRUE(second.Wait(60000, &code));
  EXPECT_EQ(code, 1u);
  EXPECT_TRUE(first.Running());
  std::string secondLog = qx::test::TempDir::Read(secondTemp + "\\setup.exe.log");
  EXPECT_TRUE(Contains(secondLog, "[CControlWin] The program is alread running!!")) << secondLog;

  // Cancel the question: the first run goes on to its end.
  PostMessageA(box, WM_COMMAND, IDCANCEL, 0);
  ASSERT_TRUE(first.Wait(60000, &code));
  EXPECT_EQ(code, 1u);
}

// Eight starts one right after the other, all before any has made its window:
// one run goes on, the seven others find it and end.
TEST_F(SetupRuns, EightStartsAtOnceRunOneInstaller) {
  e2e::SetScriptSection(medium_.ConfigFile(), "INST_STRART_CMD", "CT_DLG_CANCEL=");
  constexpr int kStarts = 8;
  std::vector<std::unique_ptr<qx::test::Process>> runs;
  std::vector<std::string> temps;
  for (int i = 0; i < kStarts; ++i) {
    temps.push_back(medium_.TempDir() + "\\run" + std::to_string(i));
    CreateDirectoryA(temps.back().c_str(), nullptr);
  }
  for (int i = 0; i < kStarts; ++i) {
    runs.push_back(std::make_unique<qx::test::Process>());
    ASSERT_TRUE(medium_.Start(runs.back().get(), "/INSTALL", {}, temps[i]));
  }
  auto running = [&] {
    int count = 0;
    for (const auto& run : runs) count += run->Running() ? 1 : 0;
    return count;
  };
  const std::string program = medium_.Identity().Program();
  HWND box = nullptr;
  ASSERT_TRUE(qx::test::WaitFor([&] {
    box = FindWindowA("#32770", program.c_str());
    return box && running() <= 1;
  }, 120000)) << running() << " runs";
  EXPECT_EQ(running(), 1);
  int refused = 0;
  for (const auto& temp : temps) {
    std::string log = qx::test::TempDir::Read(temp + "\\setup.exe.log");
    if (Contains(log, "[CControlWin] The program is alread running!!")) ++refused;
  }
  EXPECT_EQ(refused, kStarts - 1);
  int windows = 0;
  std::string className = program + " Installer Program";
  for (HWND w = FindWindowA(className.c_str(), nullptr); w; w = FindWindowExA(nullptr, w, className.c_str(), nullptr))
    ++windows;
  EXPECT_EQ(windows, 1);

  PostMessageA(box, WM_COMMAND, IDCANCEL, 0);
  for (const auto& run : runs) EXPECT_TRUE(run->Wait(60000));
}

TEST_F(SetupRuns, ClearRunWaitsForTheProcessThenRemovesEverythingRecorded) {
  auto registryBefore = e2e::RegistrySnapshot(ProductKey());
  auto uninstallEntriesBefore = e2e::RegistrySnapshot("Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall");
  ASSERT_EQ(medium_.Run("/S"), 1) << medium_.Log();
  ASSERT_FALSE(e2e::RegistrySnapshot(UninstallKey()).empty());
  ASSERT_FALSE(e2e::RegistrySnapshot(medium_.AddRemoveKey()).empty());
  // The uninstall wizard removes the items first; the hand-over comes after.
  EXPECT_GT(medium_.UninstallItems(), 0);

  qx::test::Process waiter;
  ASSERT_TRUE(waiter.Start(e2e::BuildPath("tests/e2e/waiter.exe"), "60000"));
  char pid[16];
  snprintf(pid, sizeof(pid), "0x%lx", waiter.Id());
  qx::test::Process clear;
  ASSERT_TRUE(medium_.Start(&clear, "/CLEAR /CLS " + medium_.Identity().Program() + " /REG " + UninstallKey() +
                                        " /PID " + pid));
  // It waits while the named process lives.
  EXPECT_FALSE(clear.Wait(1500));
  EXPECT_FALSE(e2e::RegistrySnapshot(UninstallKey()).empty());
  waiter.Kill();
  DWORD code = 0;
  ASSERT_TRUE(clear.Wait(90000, &code));
  EXPECT_EQ(code, 1u);
  EXPECT_TRUE(Contains(medium_.Trace(), "The installer was finised , now uninstall all files and information!!"));

  // Nothing the installer recorded is left.
  EXPECT_EQ(e2e::RegistrySnapshot(ProductKey()), registryBefore);
  EXPECT_EQ(e2e::RegistrySnapshot("Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall"), uninstallEntriesBefore);
  EXPECT_EQ(GetFileAttributesA(medium_.DestDir().c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(SetupRuns, ClearRunPollsTheWindowClassWhenThereIsNoProcessToWaitFor) {
  // A history of one value, and a running installer known only by its window class.
  std::string marker = InstallKey();
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, marker.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  RegSetValueExA(key, "Marker", 0, REG_SZ, reinterpret_cast<const BYTE*>("x"), 2);
  RegCloseKey(key);
  ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, UninstallKey().c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                            nullptr),
            ERROR_SUCCESS);
  DWORD one = 1;
  RegSetValueExA(key, "NumOfValues", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one), sizeof(one));
  std::string entry = "HKEY_LOCAL_MACHINE\\" + marker + "\\Marker";
  RegSetValueExA(key, "Value0", 0, REG_SZ, reinterpret_cast<const BYTE*>(entry.c_str()),
                 static_cast<DWORD>(entry.size() + 1));
  RegCloseKey(key);

  struct Running : fw::FrameWindow {} running;
  ASSERT_TRUE(running.CreateFrame((medium_.Identity().Program() + " Installer Program").c_str(), "running"));
  const std::string forms[] = {"", " /PID 0x7ffffff0"};  // no process id, or one that cannot be opened
  for (const auto& pid : forms) {
    SCOPED_TRACE(pid);
    qx::test::Process clear;
    ASSERT_TRUE(medium_.Start(&clear, "/CLEAR /CLS " + medium_.Identity().Program() + " /REG " + UninstallKey() + pid));
    EXPECT_FALSE(clear.Wait(2500));  // polls while the window class exists
    EXPECT_EQ(ReadString(marker, "Marker"), "x");
    if (pid.empty()) continue;  // the second form ends the wait below
    running.Destroy();
    DWORD code = 0;
    ASSERT_TRUE(clear.Wait(30000, &code));
    EXPECT_EQ(code, 1u);
  }
  EXPECT_EQ(ReadString(marker, "Marker"), "<none>");  // the history was replayed
}

TEST_F(SetupRuns, RemoteRunCopiesTheRemoteKeyAndRecordsTheLocalKind) {
  struct Case {
    DWORD remoteType;
    DWORD recorded;
  } cases[] = {{4, 2}, {0x14, 0x12}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.remoteType);
    std::string remote = medium_.Identity().Root() + "\\Remote";
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, (remote + "\\Remote_Info").c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(key);
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, remote.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                              nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(key, "Install_Type", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&c.remoteType), sizeof(DWORD));
    const char dest[] = "$DEST_DIR$\\remote";
    RegSetValueExA(key, "Remote_Path", 0, REG_SZ, reinterpret_cast<const BYTE*>(dest), sizeof(dest));
    RegCloseKey(key);

    ASSERT_EQ(medium_.Run("/REMOTE"), 1) << medium_.Log();
    std::string log = medium_.Log();
    EXPECT_TRUE(Contains(log, "[CQXInstApp] Start Remote Install")) << log;
    EXPECT_EQ(ReadDword(InstallKey(), "Install_Type"), c.recorded);
    EXPECT_EQ(ReadString(InstallKey(), "Remote_Path"), medium_.DestDir() + "\\remote");  // made a full path
    EXPECT_EQ(e2e::RegistrySnapshot(remote).size(), 0u);  // the Remote key is gone
    EXPECT_EQ(e2e::RegistrySnapshot(InstallKey() + "\\Remote_Info").size(), 0u);
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, medium_.Identity().Root().c_str());
  }
}

}  // namespace
