// The whole install and uninstall wizard of setup.exe on a private copy of the
// sample medium, driven through its windows: welcome, main menu, the install
// link, the item page (one component unticked, the destination changed by a
// path typed in the folder browser), installing, finish; then "/UNINSTALL":
// Remove with nothing ticked (the warning), select all, remove, the hand-over
// to the clear run. Afterwards the product's registry and the destination
// are as they were before.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/e2e/e2e_support.h"
#include "tools/wizarddrive/page_driver.h"
#include "tests/support/temp_dir.h"
#include "tests/support/watchdog.h"

namespace {

constexpr int kBrowserEdit = 0x3744;

std::string Message(const std::string& stringFile, const char* key) {
  char text[1024] = "";
  GetPrivateProfileStringA("MESSAGES", key, "", text, sizeof(text), stringFile.c_str());
  return text;
}

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

class InstallWizard : public ::testing::Test {
 protected:
  void SetUp() override { qx::test::SetWatchdogLimit(400); }

  std::string English(const char* key) const { return Message(medium_.Dir() + "\\Lang\\setupEN.str", key); }
  std::string Hebrew(const char* key) const { return Message(medium_.Dir() + "\\Lang\\setupHB.str", key); }
  // A text of the run's language.
  std::string T(const char* key) const { return hebrew_ ? Hebrew(key) : English(key); }
  // A child showing the text in either language (the uninstall run speaks the recorded one).
  static HWND EitherChild(HWND window, const char* className, const std::string& a, const std::string& b) {
    HWND child = drive::FindChild(window, className, a.c_str());
    return child ? child : drive::FindChild(window, className, b.c_str());
  }
  void RunWizard();

  HWND PageWith(const qx::test::Process& process, const char* className, const std::string& text) {
    return drive::WaitForPage(process.Id(), className, text);
  }

  e2e::SetupMedium medium_;
  bool hebrew_ = false;
};

void InstallWizard::RunWizard() {
  const std::string productKey = "Software\\" + medium_.Identity().Mfg();
  const std::string addRemoveRoot = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
  const auto registryBefore = e2e::RegistrySnapshot(productKey);
  const auto addRemoveBefore = e2e::RegistrySnapshot(addRemoveRoot);
  const std::string chosen = medium_.DestDir() + "-chosen\\Product";
  const std::string chosenRoot = medium_.DestDir() + "-chosen";

  // ------------------------------------------------------------------ install
  qx::test::Process install;
  ASSERT_TRUE(medium_.Start(&install, "", {{"QX_MESSAGE_BOX_ANSWER", "6"}}));
  HWND welcome = PageWith(install, "Button", English("BTN_NEXT"));
  ASSERT_NE(welcome, nullptr) << medium_.Log();
  if (hebrew_) {
    // Hebrew, the second language of the list: the pages mirror and speak it.
    drive::ChooseComboRow(drive::FindChild(welcome, "ComboBox"), 1);
    ASSERT_TRUE(qx::test::WaitFor([&] { return drive::IsMirrored(welcome); }, 10000)) << medium_.Log();
    welcome = PageWith(install, "Button", T("BTN_NEXT"));
    ASSERT_NE(welcome, nullptr) << medium_.Log();
  }
  drive::ClickObject(drive::FindChild(welcome, "Button", T("BTN_NEXT").c_str()));
  HWND menu = PageWith(install, "Static", T("LINK_INSTALL_LOCAL"));
  ASSERT_NE(menu, nullptr) << medium_.Log();
  drive::ClickObject(drive::FindChild(menu, "Static", T("LINK_INSTALL_LOCAL").c_str()));

  HWND items = PageWith(install, "Button", T("BTN_BROWSE"));
  ASSERT_NE(items, nullptr) << medium_.Log();
  HWND list = drive::FindChild(items, "SysListView32");
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(drive::IsMirrored(items), hebrew_);
  EXPECT_EQ(drive::IsMirrored(list), hebrew_);
  ASSERT_TRUE(qx::test::WaitFor([&] { return SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) >= 4; }, 20000));
  ASSERT_TRUE(drive::ClickListRow(list, 4));  // the user manual: unticked

  // The destination: typed in the browser; the new folder is created on Yes.
  drive::ClickButton(drive::FindChild(items, "Button", T("BTN_BROWSE").c_str()));
  HWND browser = drive::WaitForWindow(install.Id(), [](HWND w) { return GetDlgItem(w, kBrowserEdit) != nullptr; });
  ASSERT_NE(browser, nullptr) << medium_.Log();
  SendDlgItemMessageA(browser, kBrowserEdit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(chosen.c_str()));
  PostMessageA(browser, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  ASSERT_TRUE(qx::test::WaitFor([&] { return !IsWindow(browser); }, 20000));
  HWND path = GetDlgItem(items, 1021);
  ASSERT_TRUE(qx::test::WaitFor([&] { return drive::WindowText(path) == chosen; }, 20000)) << drive::WindowText(path);

  drive::ClickButton(drive::FindChild(items, "Button", T("BTN_INSTALL").c_str()));
  HWND finish = PageWith(install, "Button", T("BTN_FINISH"));
  ASSERT_NE(finish, nullptr) << medium_.Log();
  const std::string installKey = medium_.Identity().InstallKey();
  EXPECT_EQ(e2e::ReadString(installKey, "Installed_Dir"), chosen);
  EXPECT_EQ(e2e::ReadDword(installKey + "\\Items\\USER_MANUAL", "Install"), 0u) << medium_.Log();
  EXPECT_EQ(e2e::ReadDword(installKey + "\\Items\\STATUS_MONITOR", "Install"), 1u);
  EXPECT_EQ(e2e::ReadDword(installKey + "\\Items\\L2020_PRINTER", "Install"), 1u);  // always installed
  // The test page goes to the printer the install made the default.
  const std::string printer = e2e::ReadString(installKey, "Default_Printer");
  drive::ClickButton(drive::FindChild(finish, "Button", T("BTN_TESTPAGE").c_str()));
  ASSERT_TRUE(qx::test::WaitFor([&] { return Contains(medium_.Log(), "Printing test page has been started"); }, 30000))
      << medium_.Log();
  EXPECT_TRUE(Contains(medium_.Log(), "/n\"" + printer + "\"")) << printer;
  drive::ClickButton(drive::FindChild(finish, "Button", T("BTN_FINISH").c_str()));
  DWORD code = 0;
  ASSERT_TRUE(install.Wait(90000, &code)) << medium_.Log();
  EXPECT_EQ(code, 1u);
  std::string log = medium_.Log();
  EXPECT_TRUE(Contains(log, "[CInstallDlg] Start Installing\n")) << log;
  EXPECT_TRUE(Contains(log, "[CInstallDlg] STATE_FINISH [")) << log;
  EXPECT_TRUE(Contains(log, "[CInstallDlg] Send Next\n")) << log;
  EXPECT_EQ(e2e::ReadString(medium_.AddRemoveKey(), "UninstallString"),
            "\"" + chosen + "\\Install\\setup.exe\" /UNINSTALL");
  EXPECT_NE(GetFileAttributesA(chosen.c_str()), INVALID_FILE_ATTRIBUTES);

  // ---------------------------------------------------------------- uninstall
  qx::test::Process uninstall;
  ASSERT_TRUE(medium_.Start(&uninstall, "/UNINSTALL", {{"QX_MESSAGE_BOX_ANSWER", "1"}}));
  HWND removal = drive::WaitForWindow(uninstall.Id(), [](HWND w) { return GetDlgItem(w, 1052) != nullptr; }, 60000);
  ASSERT_NE(removal, nullptr) << medium_.Log();
  HWND remove = GetDlgItem(removal, 1004);
  drive::ClickButton(remove);  // nothing ticked: the warning, and the page stays
  const std::string warning = English("MSG_UNINST_NOTHING_SELECTED"), warningHb = Hebrew("MSG_UNINST_NOTHING_SELECTED");
  ASSERT_TRUE(qx::test::WaitFor([&] { return Contains(medium_.Trace(), warning) || Contains(medium_.Trace(), warningHb); },
                                20000))
      << medium_.Trace();
  EXPECT_TRUE(IsWindowVisible(removal));
  std::string why;
  ASSERT_TRUE(drive::TickAllAndPress(removal, 1052, 1004, 60000, &why))
      << why << "\n" << drive::DescribeWindows(uninstall.Id()) << medium_.Log();
  HWND done = drive::WaitForWindow(uninstall.Id(), [&](HWND w) {
    return drive::ClassName(w) == "#32770" && EitherChild(w, "Button", English("BTN_CLOSE"), Hebrew("BTN_CLOSE"));
  }, 60000);
  ASSERT_NE(done, nullptr) << medium_.Log();
  // The clear run that follows writes a log of its own under the same name:
  // read the uninstall run's while it still runs.
  const std::string uninstallLog = medium_.Log();
  drive::ClickObject(EitherChild(done, "Button", English("BTN_CLOSE"), Hebrew("BTN_CLOSE")));
  ASSERT_TRUE(uninstall.Wait(90000, &code)) << medium_.Log();
  EXPECT_EQ(code, 1u);
  EXPECT_TRUE(Contains(uninstallLog, "[CInstallDlg] Start Uninstalling\n")) << uninstallLog;
  EXPECT_TRUE(Contains(uninstallLog, "[CInstallDlg] Delete All....\n")) << uninstallLog;

  // The clear run waits for the uninstaller to end, then replays the history.
  EXPECT_TRUE(qx::test::WaitFor([&] { return e2e::RegistrySnapshot(productKey) == registryBefore; }, 120000))
      << medium_.Trace();
  EXPECT_TRUE(qx::test::WaitFor([&] { return GetFileAttributesA(chosen.c_str()) == INVALID_FILE_ATTRIBUTES; }, 60000))
      << [&] {
           std::string left;
           for (const std::string& f : e2e::FileSnapshot(chosenRoot)) left += f + "\n";
           return left + medium_.Log();
         }();
  EXPECT_EQ(e2e::RegistrySnapshot(addRemoveRoot), addRemoveBefore);
  EXPECT_EQ(GetFileAttributesA(medium_.DestDir().c_str()), INVALID_FILE_ATTRIBUTES);
  // The folder the browser created above the destination was recorded too.
  EXPECT_EQ(GetFileAttributesA(chosenRoot.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(InstallWizard, InstallWithChosenItemsAndDestinationThenUninstallEverything) { RunWizard(); }

TEST_F(InstallWizard, CancelAfterTheItemRecordsWereWrittenLeavesNothing) {
  const std::string productKey = "Software\\" + medium_.Identity().Mfg();
  const auto registryBefore = e2e::RegistrySnapshot(productKey);
  qx::test::Process run;
  ASSERT_TRUE(medium_.Start(&run, "", {{"QX_MESSAGE_BOX_ANSWER", "1"}}));
  HWND welcome = PageWith(run, "Button", English("BTN_NEXT"));
  ASSERT_NE(welcome, nullptr) << medium_.Log();
  drive::ClickObject(drive::FindChild(welcome, "Button", English("BTN_NEXT").c_str()));
  HWND menu = PageWith(run, "Static", English("LINK_INSTALL_LOCAL"));
  ASSERT_NE(menu, nullptr) << medium_.Log();
  drive::ClickObject(drive::FindChild(menu, "Static", English("LINK_INSTALL_LOCAL").c_str()));
  HWND items = PageWith(run, "Button", English("BTN_BROWSE"));
  ASSERT_NE(items, nullptr) << medium_.Log();
  HWND list = drive::FindChild(items, "SysListView32");
  ASSERT_TRUE(qx::test::WaitFor([&] { return SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) >= 4; }, 20000));
  ASSERT_TRUE(drive::ClickListRow(list, 2));  // the network scan manager: Next shows its note first
  drive::ClickButton(drive::FindChild(items, "Button", English("BTN_INSTALL").c_str()));
  HWND note = PageWith(run, "Static", English("MSG_NETSCAN_TITLE"));
  ASSERT_NE(note, nullptr) << medium_.Log();
  EXPECT_EQ(e2e::ReadDword(medium_.Identity().InstallKey() + "\\Items\\NET_SCAN_MANAGER", "Install"), 1u);
  // Back to the items, and cancel there: the question is answered with OK.
  drive::ClickObject(drive::FindChild(note, "Button", English("BTN_BACK").c_str()));
  ASSERT_TRUE(qx::test::WaitFor([&] { return IsWindowVisible(items) && !IsWindowVisible(note); }, 10000));
  drive::ClickObject(drive::FindChild(items, "Button", English("BTN_CANCEL").c_str()));
  DWORD code = 0;
  ASSERT_TRUE(run.Wait(60000, &code)) << medium_.Log();
  EXPECT_EQ(code, 1u);
  EXPECT_EQ(e2e::RegistrySnapshot(productKey), registryBefore);
  EXPECT_EQ(GetFileAttributesA(medium_.DestDir().c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(InstallWizard, RightToLeftInstallThenUninstall) {
  hebrew_ = true;
  RunWizard();
}

}  // namespace
