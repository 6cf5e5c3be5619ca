// The language page: its list, the switch to another language and back
// (texts, string file, reading direction, mirroring), the fixed items, and
// no leak over a hundred switches.
#include "setup/pages/select_language_dlg.h"

#include <gtest/gtest.h>

#include "framework/controls.h"
#include "tests/ui/ui_test_support.h"

namespace {

using pages::CSelectLanguageDlg;
using uitest::MediumFiles;

MediumFiles Files(const std::string& fixedItem = "FIXED_ITEM=WELCOME.FIXED\r\n") {
  MediumFiles f;
  f.config = "[SELECT_LANGUAGE.WELCOME]\r\nCAPTION=Setup $LANG_ABBR$\r\nDLG_SIZE=400,300\r\n" + fixedItem +
             "NUM_OF_OBJ=2\r\nOBJ_0=W.STATIC_T\r\nPOS_0=10,10\r\nOBJ_1=W.LINK_L\r\nPOS_1=10,50\r\n"
             "[W.STATIC_T]\r\nNAME=TITLE\r\n[W.LINK_L]\r\nNAME=TITLE\r\nUSE_BITMAP_ICON=1\r\nTOOLTIP=TITLE\r\n"
             "[WELCOME.FIXED]\r\nSTATIC_SELECT_LANGUAGE_NAME=PICK\r\nSTATIC_SELECT_LANGUAGE_RECT=10,250,150,20\r\n"
             "STATIC_SELECT_LANGUAGE_SHOW=1\r\nCOMBO_LANGUAGE_RECT=170,246,120,100\r\nCOMBO_LANGUAGE_SHOW=0\r\n"
             "BUTTON_LANGUAGE_NAME=BTN\r\nBUTTON_LANGUAGE_RECT=300,245,80,24\r\n";
  f.messagesEn = "TITLE=Welcome\r\nPICK=Language:\r\nBTN=Change\r\n";
  f.messagesHb = "TITLE=Shalom\r\nPICK=Safa:\r\nBTN=Shane\r\n";
  f.messagesGr = "TITLE=Willkommen\r\nPICK=Sprache:\r\nBTN=Wechseln\r\n";
  return f;
}

struct LanguagePage {
  explicit LanguagePage(const MediumFiles& files) : medium(files) {
    page.SetControlWindow(sink.Handle());
    created = page.Load("SELECT_LANGUAGE.WELCOME") && page.CreatePage(nullptr);
  }
  ~LanguagePage() {
    if (page.Window()) page.End(0);
  }
  std::string Text(HWND hwnd) { return fw::GetText(hwnd); }
  HWND Item(int id) { return GetDlgItem(page.Window(), id); }
  bool Mirrored() { return (GetWindowLongA(page.Window(), GWL_EXSTYLE) & WS_EX_LAYOUTRTL) != 0; }
  std::string Title() { return page.Description().Statics().Control(0)->Text(); }

  uitest::PageMedium medium;
  uitest::CommandSink sink;
  CSelectLanguageDlg page;
  bool created = false;
};

TEST(LanguagePage, ListsTheLanguagesAndPlacesItsControls) {
  LanguagePage p(Files());
  ASSERT_TRUE(p.created) << p.medium.Log();
  fw::ComboBox combo(p.Item(CSelectLanguageDlg::kComboId));
  ASSERT_EQ(combo.Count(), 3);
  EXPECT_EQ(combo.ItemText(1), "Hebrew");
  EXPECT_EQ(combo.Selected(), 0);  // the current language is preselected
  EXPECT_EQ(p.page.Languages()[1], 0x040D);
  EXPECT_FALSE(IsWindowVisible(combo));  // COMBO_LANGUAGE_SHOW=0
  HWND label = p.Item(CSelectLanguageDlg::kLabelId);
  EXPECT_TRUE(IsWindowVisible(label));
  EXPECT_EQ(p.Text(label), "Language:");
  RECT r = uitest::ChildRect(p.Item(CSelectLanguageDlg::kButtonId));
  EXPECT_EQ(r.left, 300);
  EXPECT_EQ(r.right - r.left, 80);
  // The button toggles between the label and the list.
  SendMessageA(p.Item(CSelectLanguageDlg::kButtonId), BM_CLICK, 0, 0);
  EXPECT_TRUE(IsWindowVisible(combo));
  EXPECT_FALSE(IsWindowVisible(label));
  SendMessageA(p.Item(CSelectLanguageDlg::kButtonId), BM_CLICK, 0, 0);
  EXPECT_FALSE(IsWindowVisible(combo));
  EXPECT_TRUE(IsWindowVisible(label));
}

TEST(LanguagePage, SwitchingToHebrewAndBack) {
  LanguagePage p(Files());
  ASSERT_TRUE(p.created);
  struct Step {
    int position;
    LANGID id;
    bool mirrored;
    const char* title;
    const char* caption;
    const char* stringFile;
  } steps[] = {{1, 0x040D, true, "Shalom", "Setup HB", "strHB.ini"},
               {2, 0x0407, false, "Willkommen", "Setup GR", "strGR.ini"},
               {0, 0x0409, false, "Welcome", "Setup EN", "strEN.ini"}};
  for (const Step& s : steps) {
    fw::ComboBox combo(p.Item(CSelectLanguageDlg::kComboId));
    combo.Select(s.position);
    SendMessageA(p.page.Window(), WM_COMMAND, MAKEWPARAM(CSelectLanguageDlg::kComboId, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(combo.Handle()));
    EXPECT_EQ(p.medium.Env().GetLanguageId(), s.id);
    EXPECT_EQ(p.medium.Env().IsRightToLeft(), s.mirrored);
    EXPECT_EQ(p.medium.Env().GetStringFileName(), s.stringFile);
    EXPECT_EQ(p.medium.Env().GetPageLangAbbr(), p.medium.Env().GetLangAbbr());
    EXPECT_EQ(p.Mirrored(), s.mirrored) << s.id;
    EXPECT_EQ(p.Title(), s.title);
    EXPECT_EQ(fw::GetText(p.page.Window()), s.caption);
    EXPECT_EQ(fw::ComboBox(p.Item(CSelectLanguageDlg::kComboId)).Selected(), s.position);
    EXPECT_EQ(p.page.Description().Statics().Count(), 1u);  // rebuilt, not added to
    HWND link = p.page.Description().Links().Records()[0]->control;
    EXPECT_EQ((GetWindowLongA(link, GWL_EXSTYLE) & WS_EX_LAYOUTRTL) != 0, s.mirrored);
  }
  // The current language again: nothing changes, nothing is rebuilt.
  HWND before = p.page.Description().Statics().Records()[0]->control;
  p.page.SelectPosition(0);
  EXPECT_EQ(p.page.Description().Statics().Records()[0]->control, before);
}

TEST(LanguagePage, MissingFixedItemsHideTheControls) {
  for (const char* fixed : {"", "FIXED_ITEM=NO.SUCH.SECTION\r\n"}) {
    LanguagePage p(Files(fixed));
    ASSERT_TRUE(p.created);
    for (int id : {CSelectLanguageDlg::kLabelId, CSelectLanguageDlg::kComboId, CSelectLanguageDlg::kButtonId}) {
      EXPECT_FALSE(IsWindowVisible(p.Item(id))) << fixed << id;
    }
    if (!*fixed) {
      EXPECT_EQ(p.medium.CountInLog("[CNormalDlg] Get Fixed item setting section name fail (SELECT_LANGUAGE.WELCOME)\n"),
                1);
    }
    EXPECT_TRUE(IsWindowVisible(p.page.Window()));
  }
}

TEST(LanguagePage, NoLeakOverAHundredSwitches) {
  LanguagePage p(Files());
  ASSERT_TRUE(p.created);
  auto switchTo = [&](int position) {
    fw::ComboBox(p.Item(CSelectLanguageDlg::kComboId)).Select(position);
    p.page.SelectPosition(position);
    uitest::Picture picture(p.page.Window());
    uitest::PumpPending();
  };
  switchTo(1);
  switchTo(0);
  DWORD gdi = uitest::GdiObjects(), user = uitest::UserObjects();
  ASSERT_GT(gdi, 0u);
  for (int i = 0; i < 50; ++i) {
    switchTo(1);
    switchTo(0);
  }
  EXPECT_EQ(p.medium.Env().GetLanguageId(), 0x0409);
  EXPECT_EQ(uitest::GdiObjects(), gdi);
  EXPECT_EQ(uitest::UserObjects(), user);
}

}  // namespace
