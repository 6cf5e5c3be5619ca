// The wizard of setup.exe on a private copy of the sample medium, driven
// through its windows: the first page, a language switch to a right-to-left
// language and back, the main menu, the licence viewer, Back, and a cancel
// answered with OK. The run must end with 1 and leave nothing behind.
#include <gtest/gtest.h>

#include <string>

#include "tests/e2e/e2e_support.h"
#include "tools/wizarddrive/page_driver.h"
#include "tests/support/temp_dir.h"
#include "tests/support/watchdog.h"

namespace {

std::string Message(const std::string& stringFile, const char* key) {
  char text[1024] = "";
  GetPrivateProfileStringA("MESSAGES", key, "", text, sizeof(text), stringFile.c_str());
  return text;
}

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

class SetupWizard : public ::testing::Test {
 protected:
  void SetUp() override { qx::test::SetWatchdogLimit(170); }

  std::string English(const char* key) const { return Message(medium_.Dir() + "\\Lang\\setupEN.str", key); }
  std::string Hebrew(const char* key) const { return Message(medium_.Dir() + "\\Lang\\setupHB.str", key); }

  // The visible page that shows a static text.
  HWND PageShowing(const std::string& text) {
    return drive::WaitForWindow(process_.Id(), [&](HWND window) {
      return drive::ClassName(window) == "#32770" && drive::FindChild(window, "Static", text.c_str());
    });
  }

  e2e::SetupMedium medium_;
  qx::test::Process process_;
};

TEST_F(SetupWizard, FirstPagesLanguageSwitchLicenceBackAndCancel) {
  ASSERT_TRUE(medium_.Start(&process_, "", {{"QX_MESSAGE_BOX_ANSWER", "1"}}));

  HWND welcome = PageShowing(English("MSG_WELCOME_TITLE"));
  ASSERT_NE(welcome, nullptr) << medium_.Log();
  EXPECT_FALSE(drive::IsMirrored(welcome));
  RECT client{};
  GetClientRect(welcome, &client);
  EXPECT_EQ(client.right, 520);
  EXPECT_EQ(client.bottom, 380);

  // Hebrew is the second language of the list: the page mirrors and speaks it.
  HWND combo = drive::FindChild(welcome, "ComboBox");
  ASSERT_NE(combo, nullptr);
  drive::ChooseComboRow(combo, 1);
  ASSERT_TRUE(qx::test::WaitFor([&] { return drive::IsMirrored(welcome); }, 10000)) << medium_.Log();
  ASSERT_NE(PageShowing(Hebrew("MSG_WELCOME_TITLE")), nullptr);
  combo = drive::FindChild(welcome, "ComboBox");
  drive::ChooseComboRow(combo, 0);
  ASSERT_TRUE(qx::test::WaitFor([&] { return !drive::IsMirrored(welcome); }, 10000));
  ASSERT_EQ(PageShowing(English("MSG_WELCOME_TITLE")), welcome);

  // Next: the main menu.
  HWND next = drive::FindChild(welcome, "Button", English("BTN_NEXT").c_str());
  ASSERT_NE(next, nullptr);
  drive::ClickObject(next);
  HWND menu = PageShowing(English("MSG_MENU_TITLE"));
  ASSERT_NE(menu, nullptr) << medium_.Log();
  ASSERT_TRUE(qx::test::WaitFor([&] { return !IsWindowVisible(welcome); }, 10000));

  // The licence link opens the viewer with the whole English licence.
  HWND licenceLink = drive::FindChild(menu, "Static", English("LINK_LICENSE").c_str());
  ASSERT_NE(licenceLink, nullptr);
  drive::ClickObject(licenceLink);
  const std::string licence = qx::test::TempDir::Read(medium_.Dir() + "\\License\\EN.txt");
  HWND viewer = drive::WaitForWindow(process_.Id(), [&](HWND window) {
    HWND edit = drive::FindChild(window, "Edit");
    return edit && drive::WindowText(edit).size() > 20;
  });
  ASSERT_NE(viewer, nullptr) << medium_.Log();
  EXPECT_EQ(drive::WindowText(drive::FindChild(viewer, "Edit")), licence.substr(0, 4095));
  drive::ClickButton(drive::FindChild(viewer, "Button", English("BTN_OK").c_str()));
  ASSERT_TRUE(qx::test::WaitFor([&] { return !IsWindow(viewer) || !IsWindowVisible(viewer); }, 10000));

  // Back to the welcome page.
  drive::ClickObject(drive::FindChild(menu, "Button", English("BTN_BACK").c_str()));
  ASSERT_TRUE(qx::test::WaitFor([&] { return IsWindowVisible(welcome) && !IsWindowVisible(menu); }, 10000));

  // Cancel, and OK to the question: the run ends.
  drive::ClickObject(drive::FindChild(welcome, "Button", English("BTN_CANCEL").c_str()));
  DWORD code = 0;
  ASSERT_TRUE(process_.Wait(30000, &code)) << medium_.Log();
  EXPECT_EQ(code, 1u);

  const std::string log = medium_.Log();
  EXPECT_FALSE(Contains(log, "No page object")) << log;
  EXPECT_FALSE(Contains(log, "Get Dialog information fail")) << log;
  // The medium's own cancel question was asked (its first line).
  const std::string question = English("MSG_CANCEL_SETUP");
  EXPECT_TRUE(Contains(medium_.Trace(), "[MessageBox] ")) << medium_.Trace();
  EXPECT_TRUE(Contains(medium_.Trace(), question.substr(0, question.find('\\')))) << medium_.Trace();
  // Nothing was installed, so nothing stays: no product keys, no destination.
  EXPECT_TRUE(e2e::RegistrySnapshot("Software\\" + medium_.Identity().Mfg()).empty())
      << *e2e::RegistrySnapshot("Software\\" + medium_.Identity().Mfg()).begin();
  EXPECT_EQ(GetFileAttributesA(medium_.DestDir().c_str()), INVALID_FILE_ATTRIBUTES);
}

}  // namespace
