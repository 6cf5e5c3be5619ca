// The generic page: keys that never close it, the close command, commands
// handed on, mirroring, the background it paints and the fixed-item rules.
#include <gtest/gtest.h>

#include "setup/engine/wizard_page.h"
#include "tests/ui/page_fixture.h"

namespace {

using uitest::MediumFiles;
using uitest::OpenPage;
using uitest::Picture;

MediumFiles Files(LANGID language = 0x0409) {
  MediumFiles f;
  f.language = language;
  f.config = "[NORMAL.PAGE]\r\nBACK_BMP=IDB_BACKGROUND\r\nBACK_BMP_RIGHT=IDB_BACKGROUND_RTL\r\nFIXED_ITEM=FIX\r\n"
             "NUM_OF_OBJ=1\r\nOBJ_0=P.LINK_GO\r\nPOS_0=20,100\r\n"
             "[P.LINK_GO]\r\nNAME=GO\r\nSIZE=100,20\r\nCMD_TYPE=CT_OPEN_DLG\r\nCMD_STR=NORMAL.PAGE\r\n"
             "[NORMAL.PLAIN]\r\nBACK_BMP=IDB_BACKGROUND\r\n"
             "[FIX]\r\nA_RECT=10,20,100\r\nB_RECT=10,20,100,30\r\nB_SHOW=0\r\nC_RECT=5,6,70,8\r\nC_SHOW=2\r\n"
             "D_SHOW=1\r\nE_RECT=1,2,3,4\r\nE_NAME=GO\r\nE_TOOLTIP=GO\r\nE_COMMAND=CMD.E\r\n"
             "[CMD.E]\r\nCMD_TYPE=CT_DLG_BACK\r\nCMD_STR=$LANG_ABBR$\r\nCMD_PARAM=p\r\n";
  f.messagesEn = "GO=Go there\r\n";
  f.messagesHb = "GO=Lekh\r\n";
  return f;
}

TEST(NormalDlg, EnterAndEscDoNothingCloseAsksTheControlWindow) {
  OpenPage p(Files());
  ASSERT_TRUE(p.created);
  for (WPARAM id : {IDOK, IDCANCEL}) SendMessageA(p.Window(), WM_COMMAND, id, 0);
  SendMessageA(p.Window(), WM_KEYDOWN, VK_RETURN, 0);
  SendMessageA(p.Window(), WM_KEYDOWN, VK_ESCAPE, 0);
  uitest::PumpPending();
  ASSERT_TRUE(IsWindow(p.Window()));
  EXPECT_TRUE(IsWindowVisible(p.Window()));
  EXPECT_EQ(p.sink.closes, 0);
  SendMessageA(p.Window(), WM_SYSCOMMAND, SC_CLOSE, 0);
  ASSERT_TRUE(uitest::PumpUntil([&] { return p.sink.closes == 1; }));
  EXPECT_TRUE(IsWindow(p.Window()));  // the control window decides what closing means
  ShowWindow(p.Window(), SW_HIDE);
  SendMessageA(p.Window(), WM_SYSCOMMAND, SC_CLOSE, 0);
  uitest::PumpPending();
  EXPECT_EQ(p.sink.closes, 1);  // hidden: the default handling
}

TEST(NormalDlg, CommandsReachTheControlWindowAndOutliveAReset) {
  OpenPage p(Files());
  ASSERT_TRUE(p.created);
  HWND link = p.Config().Links().Records()[0]->control;
  SendMessageA(link, WM_LBUTTONDOWN, 0, 0);
  SendMessageA(link, WM_LBUTTONUP, 0, 0);
  ASSERT_TRUE(uitest::PumpUntil([&] { return !p.sink.received.empty(); }));
  // Running the command resets the page (as opening another section does)
  // while the control window still reads the record: it must still be whole.
  p.page.Reset();
  ASSERT_TRUE(p.page.Load("NORMAL.PLAIN"));
  p.page.Refresh();
  EXPECT_EQ(p.sink.received[0]->cstrCmdType, "CT_OPEN_DLG");
  EXPECT_EQ(p.sink.received[0]->cstrCmdStr, "NORMAL.PAGE");
  EXPECT_EQ(SendMessageA(p.Window(), engine::kDescriptionMessage, 0, reinterpret_cast<LPARAM>("x")), 1);
  // A record with neither type nor string is not handed on.
  CommandRecord empty;
  EXPECT_EQ(SendMessageA(p.Window(), engine::kCommandMessage, 0, reinterpret_cast<LPARAM>(&empty)), 1);
  uitest::PumpPending();
  EXPECT_EQ(p.sink.commands.size(), 1u);
}

TEST(NormalDlg, RightToLeftLanguagesMirrorThePageAndItsBackground) {
  struct Case {
    LANGID language;
    bool mirrored;
    COLORREF logoPixel;
  } cases[] = {{0x0409, false, RGB(255, 170, 0)}, {0x040D, true, RGB(255, 170, 0)}};
  for (const Case& c : cases) {
    OpenPage p(Files(c.language));
    ASSERT_TRUE(p.created);
    EXPECT_EQ((GetWindowLongA(p.Window(), GWL_EXSTYLE) & WS_EX_LAYOUTRTL) != 0, c.mirrored) << c.language;
    EXPECT_EQ(p.Config().PaintedBitmap(), c.mirrored ? "IDB_BACKGROUND_RTL" : "IDB_BACKGROUND");
    // A mirrored page places its objects from the right edge.
    RECT screen{};
    GetWindowRect(p.Config().Links().Records()[0]->control, &screen);
    POINT origin{0, 0};
    ClientToScreen(p.Window(), &origin);
    if (c.mirrored) EXPECT_EQ(origin.x - screen.right, 20) << "mirrored from the right";
    else EXPECT_EQ(screen.left - origin.x, 20);
  }
}

TEST(NormalDlg, FixedItemRectanglesShowKeysTextsAndCommands) {
  OpenPage p(Files());
  ASSERT_TRUE(p.created);
  std::string fixed = p.page.FixedSection(nullptr);
  ASSERT_EQ(fixed, "FIX");
  struct Case {
    const char* prefix;
    bool placed;
    bool visible;
    RECT rect;  // x, y, width, height
  } cases[] = {{"A", true, true, {10, 20, 100, 0}},  {"B", true, false, {10, 20, 100, 30}},
               {"C", true, true, {5, 6, 70, 8}},     {"D", false, false, {0, 0, 10, 10}},
               {"MISSING", false, false, {0, 0, 10, 10}}};
  for (const Case& c : cases) {
    HWND control = ui::CreateFixedControl(p.Window(), "STATIC", WS_VISIBLE, 0, 3000);
    EXPECT_EQ(p.page.PlaceControl(control, fixed, c.prefix), c.placed) << c.prefix;
    EXPECT_EQ(IsWindowVisible(control) != FALSE, c.visible) << c.prefix;
    RECT r = uitest::ChildRect(control);
    EXPECT_EQ(r.left, c.rect.left) << c.prefix;
    EXPECT_EQ(r.top, c.rect.top) << c.prefix;
    EXPECT_EQ(r.right - r.left, c.rect.right) << c.prefix;
    EXPECT_EQ(r.bottom - r.top, c.rect.bottom) << c.prefix;
    DestroyWindow(control);
  }
  HWND button = ui::CreateFixedControl(p.Window(), "BUTTON", WS_VISIBLE, 0, 3001);
  p.page.SetControlText(button, fixed, "E");
  char text[64] = {};
  GetWindowTextA(button, text, sizeof(text));
  EXPECT_STREQ(text, "Go there");
  p.page.SetControlText(button, fixed, "MISSING");
  GetWindowTextA(button, text, sizeof(text));
  EXPECT_STREQ(text, "");
  EXPECT_TRUE(p.page.SetControlTooltip(button, fixed, "E"));
  EXPECT_FALSE(p.page.SetControlTooltip(button, fixed, "A"));
  CommandRecord command = p.page.ReadCommand(fixed, "E");
  EXPECT_EQ(command.cstrCmdType, "CT_DLG_BACK");
  EXPECT_EQ(command.cstrCmdStr, "EN");  // dialog values are expanded
  EXPECT_EQ(command.cstrParam, "p");
  EXPECT_TRUE(p.page.ReadCommand(fixed, "A").cstrCmdType.empty());
}

TEST(NormalDlg, MouseWaitDisablesAndRestores) {
  OpenPage p(Files());
  ASSERT_TRUE(p.created);
  p.page.SetMouseWait(true);
  EXPECT_TRUE(p.page.IsMouseWait());
  EXPECT_FALSE(IsWindowEnabled(p.Window()));
  EXPECT_EQ(GetCapture(), p.Window());
  p.page.SetMouseWait(false);
  EXPECT_TRUE(IsWindowEnabled(p.Window()));
  EXPECT_NE(GetCapture(), p.Window());
}

TEST(NormalDlg, ReloadingAnotherSectionReplacesTheObjects) {
  OpenPage p(Files());
  ASSERT_TRUE(p.created);
  HWND old = p.Config().Links().Records()[0]->control;
  p.page.Reset();
  EXPECT_FALSE(IsWindow(old));
  EXPECT_EQ(p.page.LoadedSection(), "");
  ASSERT_TRUE(p.page.Load("NORMAL.PLAIN"));
  p.page.Refresh();
  EXPECT_EQ(p.page.LoadedSection(), "NORMAL.PLAIN");
  EXPECT_EQ(p.Config().Links().Count(), 0u);
  EXPECT_EQ(GetWindow(p.Window(), GW_CHILD), nullptr);
  if (const char* dir = getenv("QX_UI_PICTURES")) Picture(p.Window()).SaveBmp(std::string(dir) + "\\plain.bmp");
}

}  // namespace
