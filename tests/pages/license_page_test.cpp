// The licence viewer with good and bad files.
#include "setup/pages/license_dlg.h"

#include <gtest/gtest.h>

#include "framework/controls.h"
#include "tests/support/watchdog.h"
#include "tests/ui/ui_test_support.h"

namespace {

using pages::CLicenseDlg;

TEST(LicensePage, ShownTextKeepsEverything) {
  EXPECT_EQ(CLicenseDlg::ShownText(std::string("a\r\nb\nc", 6)), "a\r\nb\nc");
  EXPECT_EQ(CLicenseDlg::ShownText(std::string("MZ\0\0x", 5)), "MZ  x");
}

TEST(LicensePage, GoodAndBadFiles) {
  // Wine's edit control takes most of a minute over the 50 MB file.
  qx::test::SetWatchdogLimit(170);
  std::string big(50u * 1024 * 1024, 'L');
  for (size_t i = 80; i < big.size(); i += 81) big[i] = '\n';
  std::string binary;
  for (int i = 0; i < 4096; ++i) binary += static_cast<char>(i % 256);
  struct Case {
    const char* name;
    const std::string* bytes;  // null: no file
    size_t shown;
    const char* log;
  };
  std::string text = "Terms\r\nline two\nline three";
  std::string empty;
  Case cases[] = {{"good", &text, text.size(), nullptr},
                  {"missing", nullptr, 0, nullptr},
                  {"empty", &empty, 0, nullptr},
                  {"binary", &binary, binary.size(), nullptr},
                  {"big", &big, big.size(), nullptr},
                  {"", nullptr, 0, "[LicenseDlg] Get Licesne file fail!!"}};
  for (const Case& c : cases) {
    uitest::MediumFiles f;
    std::string key = *c.name ? std::string("LICENSE_FILE=$SRC_DIR$\\lic\\") + c.name + ".txt\r\n" : "";
    f.config = "[LICENSE.VIEW]\r\nBACK_BMP=IDB_BACKGROUND\r\n" + key +
               "EDIT_LICENSE_RECT=20,20,480,300\r\nBUTTON_OK_RECT=420,340,80,26\r\nBUTTON_OK_NAME=OK\r\n";
    f.messagesEn = "OK=I agree\r\n";
    uitest::PageMedium medium(f);
    if (c.bytes) medium.Dir().Write(std::string("medium\\lic\\") + c.name + ".txt", *c.bytes);
    CLicenseDlg page;
    ASSERT_TRUE(page.Load("LICENSE.VIEW"));
    ASSERT_TRUE(page.CreatePage(nullptr)) << c.name;
    HWND edit = GetDlgItem(page.Window(), CLicenseDlg::kEditId);
    HWND ok = GetDlgItem(page.Window(), CLicenseDlg::kOkId);
    EXPECT_EQ(static_cast<size_t>(GetWindowTextLengthA(edit)), c.shown) << c.name;
    EXPECT_EQ(fw::GetText(ok), "I agree");
    RECT r = uitest::ChildRect(edit);
    EXPECT_EQ(r.left, 20);
    EXPECT_EQ(r.right - r.left, 480);
    EXPECT_TRUE(GetWindowLongA(edit, GWL_STYLE) & ES_READONLY);
    if (c.log) EXPECT_EQ(medium.CountInLog(c.log), 1);
    if (c.bytes == &text) EXPECT_EQ(fw::GetText(edit), text);  // line ends as they are
    // OK closes it.
    SendMessageA(page.Window(), WM_COMMAND, IDOK, reinterpret_cast<LPARAM>(ok));
    EXPECT_EQ(page.Window(), nullptr) << c.name;
  }
}

}  // namespace
