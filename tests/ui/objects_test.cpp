// Links, statics, buttons and bitmaps on a real page: sizes, colours read
// back from rendered pixels, states under the mouse, and the commands a
// click hands to the control window.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include "framework/handles.h"
#include "setup/ui/my_controls.h"
#include "tests/ui/page_fixture.h"

namespace {

using uitest::MediumFiles;
using uitest::OpenPage;
using uitest::Picture;

MediumFiles Files(const std::string& objects, int count, const std::string& positions) {
  MediumFiles f;
  f.config = "[NORMAL.PAGE]\r\nDLG_SIZE=400,300\r\nNUM_OF_OBJ=" + std::to_string(count) + "\r\n" + positions + objects;
  f.messagesEn = "GO=Go there\r\nTITLE=Title\r\nTIP=A tip\r\nDESC=What it does\r\nVER=$version$\r\nOK=OK\r\n";
  return f;
}

SIZE TextSize(HWND control, HFONT font, const char* text) {
  fw::WindowDC dc(control);
  fw::SelectedObject keep(dc.Get(), font);
  SIZE size{};
  GetTextExtentPoint32A(dc.Get(), text, static_cast<int>(strlen(text)), &size);
  return size;
}

// Pixels of a colour in a control's rectangle of the page's picture.
int ColourIn(HWND page, HWND control, COLORREF colour) {
  Picture picture(page);
  return picture.Count(uitest::ChildRect(control), colour);
}

TEST(Objects, LinkWithDefaultBitmapsSizesAndStates) {
  OpenPage p(Files("[P.LINK_GO]\r\nNAME=GO\r\nUSE_BITMAP_ICON=1\r\nCMD_TYPE=CT_OPEN_URL\r\nCMD_STR=http://x\r\n"
                   "SCRIPT=DESC\r\nTOOLTIP=TIP\r\n",
                   1, "OBJ_0=P.LINK_GO\r\nPOS_0=30,40\r\n"));
  ASSERT_TRUE(p.created);
  ui::CMyLink* link = p.Config().Links().Control(0);
  ASSERT_TRUE(link);
  HWND h = link->Handle();
  SIZE text = TextSize(h, ui::PageFont(p.Window()), "Go there");
  RECT r = uitest::ChildRect(h);
  EXPECT_EQ(r.left, 30);
  EXPECT_EQ(r.top, 40);
  EXPECT_EQ(r.right - r.left, 16 + 10 + text.cx);  // bitmap + 10 + text
  EXPECT_EQ(r.bottom - r.top, std::max<LONG>(16, text.cy));
  EXPECT_EQ(link->Tooltip().Text(), "A tip");

  // The bullet's fill at (3, 8) of the bitmap, which sits at the left edge, centred.
  int bulletTop = r.top + ((r.bottom - r.top) - 16) / 2;
  auto bullet = [&] { return Picture(p.Window()).At(r.left + 3, bulletTop + 8); };
  auto corner = [&] { return Picture(p.Window()).At(r.left, bulletTop); };
  struct Step {
    UINT message;
    const char* bitmap;
    COLORREF fill;
    COLORREF text;
    size_t commands;
  } steps[] = {
      {0, "IDB_OFF_BUTTON", uitest::SkinPixel("IDB_OFF_BUTTON", 3, 8), RGB(0, 0, 255), 0},
      {WM_MOUSEHOVER, "IDB_ON_BUTTON", uitest::SkinPixel("IDB_ON_BUTTON", 3, 8), RGB(255, 0, 0), 0},
      {WM_LBUTTONDOWN, "IDB_CLICKED_BUTTON", uitest::SkinPixel("IDB_CLICKED_BUTTON", 3, 8), RGB(255, 0, 0), 0},
      {WM_LBUTTONUP, "IDB_ON_BUTTON", uitest::SkinPixel("IDB_ON_BUTTON", 3, 8), RGB(255, 0, 0), 1},
      {WM_MOUSELEAVE, "IDB_OFF_BUTTON", uitest::SkinPixel("IDB_OFF_BUTTON", 3, 8), RGB(0, 0, 255), 1},
  };
  // The three states must be told apart by their bullets.
  ASSERT_NE(steps[0].fill, steps[1].fill);
  ASSERT_NE(steps[1].fill, steps[2].fill);
  for (const Step& s : steps) {
    if (s.message) SendMessageA(h, s.message, 0, MAKELPARAM(5, 5));
    uitest::PumpPending();
    EXPECT_EQ(link->StateBitmap(), s.bitmap) << s.message;
    EXPECT_EQ(bullet(), s.fill) << s.message;
    EXPECT_NE(corner(), RGB(198, 195, 198)) << "the transparent colour is left out";
    EXPECT_GT(ColourIn(p.Window(), h, s.text), 0) << s.message;
    EXPECT_EQ(p.sink.commands.size(), s.commands) << s.message;
  }
  ASSERT_EQ(p.sink.commands.size(), 1u);
  EXPECT_EQ(p.sink.commands[0].cstrCmdType, "CT_OPEN_URL");
  EXPECT_EQ(p.sink.commands[0].cstrCmdStr, "http://x");
  // The hand cursor is set for the link.
  EXPECT_TRUE(SendMessageA(h, WM_SETCURSOR, reinterpret_cast<WPARAM>(h), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
}

TEST(Objects, NamedBitmapsFollowTheOnOffOrder) {
  struct Case {
    const char* keys;
    const char* rest;
    const char* hover;
    const char* pressed;
  } cases[] = {
      {"ON_BITMAP=IDB_CLICKED_BUTTON\r\nOFF_BITMAP=IDB_OFF_BUTTON\r\n", "IDB_CLICKED_BUTTON", "IDB_OFF_BUTTON",
       "IDB_CLICKED_BUTTON"},
      {"ON_BITMAP=IDB_ON_BUTTON\r\nOFF_BITMAP=IDB_OFF_BUTTON\r\nCLICKED_BITMAP=OWN_ONLY\r\n", "IDB_ON_BUTTON",
       "IDB_OFF_BUTTON", "OWN_ONLY"},
      {"ON_BITMAP=IDB_ON_BUTTON\r\n", "IDB_OFF_BUTTON", "IDB_ON_BUTTON", "IDB_CLICKED_BUTTON"},
  };
  for (const Case& c : cases) {
    OpenPage p(Files(std::string("[P.LINK_GO]\r\nNAME=GO\r\nUSE_BITMAP_ICON=1\r\n") + c.keys, 1,
                     "OBJ_0=P.LINK_GO\r\nPOS_0=0,0\r\n"));
    ui::CMyLink* link = p.Config().Links().Control(0);
    ASSERT_TRUE(link);
    EXPECT_EQ(link->RestBitmap(), c.rest) << c.keys;
    EXPECT_EQ(link->HoverBitmap(), c.hover) << c.keys;
    EXPECT_EQ(link->PressedBitmap(), c.pressed) << c.keys;
  }
}

TEST(Objects, ColoursFromTheScriptAndTheDefaults) {
  OpenPage p(Files("[P.STATIC_A]\r\nNAME=TITLE\r\n[P.STATIC_B]\r\nNAME=TITLE\r\nOFF_COLOR=0,160,0\r\n"
                   "[P.LINK_C]\r\nNAME=GO\r\nON_COLOR=200,0,200\r\nOFF_COLOR=0,150,150\r\n",
                   3, "OBJ_0=P.STATIC_A\r\nPOS_0=10,10\r\nOBJ_1=P.STATIC_B\r\nPOS_1=10,40\r\n"
                      "OBJ_2=P.LINK_C\r\nPOS_2=10,70\r\n"));
  ASSERT_TRUE(p.created);
  HWND a = p.Config().Statics().Records()[0]->control;
  HWND b = p.Config().Statics().Records()[1]->control;
  HWND c = p.Config().Links().Records()[0]->control;
  EXPECT_GT(ColourIn(p.Window(), a, RGB(0, 0, 0)), 0);  // a static without colour is black
  EXPECT_GT(ColourIn(p.Window(), b, RGB(0, 160, 0)), 0);
  EXPECT_EQ(ColourIn(p.Window(), b, RGB(0, 0, 0)), 0);
  EXPECT_GT(ColourIn(p.Window(), c, RGB(0, 150, 150)), 0);
  SendMessageA(c, WM_MOUSEHOVER, 0, 0);
  EXPECT_GT(ColourIn(p.Window(), c, RGB(200, 0, 200)), 0);
  EXPECT_EQ(ColourIn(p.Window(), c, RGB(0, 150, 150)), 0);
}

TEST(Objects, UnsupportedLinksAndDisabledOnes) {
  OpenPage p(Files("[P.LINK_A]\r\nNAME=GO\r\nUNSUPPORTED_OS=WXP,W2K\r\nDISABLE_COLOR=90,90,90\r\nCMD_TYPE=CT_OPEN_URL\r\n"
                   "CMD_STR=a\r\n[P.LINK_B]\r\nNAME=GO\r\nUNSUPPORTED_OS=WXP,W2003\r\nCMD_TYPE=CT_OPEN_URL\r\nCMD_STR=b\r\n"
                   "[P.LINK_C]\r\nNAME=GO\r\nENABLE=0\r\n",
                   3, "OBJ_0=P.LINK_A\r\nPOS_0=10,10\r\nOBJ_1=P.LINK_B\r\nPOS_1=10,40\r\nOBJ_2=P.LINK_C\r\nPOS_2=10,70\r\n"));
  ASSERT_TRUE(p.created);
  ui::CMyLink* a = p.Config().Links().Control(0);
  ui::CMyLink* b = p.Config().Links().Control(1);
  EXPECT_TRUE(a->IsUnsupported());   // W2K is the current OS string
  EXPECT_FALSE(b->IsUnsupported());  // its list does not hold W2K
  EXPECT_GT(ColourIn(p.Window(), a->Handle(), RGB(90, 90, 90)), 0);
  EXPECT_FALSE(SendMessageA(a->Handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(a->Handle()), MAKELPARAM(HTCLIENT, 0)));
  for (ui::CMyLink* link : {a, b}) {
    SendMessageA(link->Handle(), WM_LBUTTONDOWN, 0, 0);
    SendMessageA(link->Handle(), WM_LBUTTONUP, 0, 0);
  }
  uitest::PumpPending();
  ASSERT_EQ(p.sink.commands.size(), 1u);
  EXPECT_EQ(p.sink.commands[0].cstrCmdStr, "b");
  EXPECT_FALSE(IsWindowEnabled(p.Config().Links().Records()[2]->control));
}

TEST(Objects, ButtonsRaiseTheirCommandOnlyWhenReleasedOverThem) {
  OpenPage p(Files("[P.BUTTON_OK]\r\nNAME=OK\r\nTOOLTIP=TIP\r\nCMD_TYPE=CT_OPEN_DLG\r\nCMD_STR=NORMAL.NEXT\r\n"
                   "[P.BUTTON_EMPTY]\r\nNAME=OK\r\nSIZE=60,20\r\n",
                   2, "OBJ_0=P.BUTTON_OK\r\nPOS_0=100,200\r\nOBJ_1=P.BUTTON_EMPTY\r\nPOS_1=10,10\r\n"));
  ASSERT_TRUE(p.created);
  ui::CMyButton* button = p.Config().Buttons().Control(0);
  HWND h = button->Handle();
  // Auto-sized: the caption's width + 10 by its height.
  SIZE text = TextSize(h, ui::PageFont(p.Window()), "OK");
  RECT r = uitest::ChildRect(h);
  EXPECT_EQ(r.left, 100);
  EXPECT_EQ(r.right - r.left, text.cx + 10);
  EXPECT_EQ(r.bottom - r.top, text.cy);
  EXPECT_EQ(button->Tooltip().Text(), "A tip");
  // The tooltip window comes with the first mouse message, holding the tip.
  EXPECT_EQ(button->Tooltip().Handle(), nullptr);
  SendMessageA(h, WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
  ASSERT_NE(button->Tooltip().Handle(), nullptr);
  char tip[64] = "";
  TOOLINFOA tool{};
  tool.cbSize = TTTOOLINFOA_V2_SIZE;
  tool.hwnd = p.Window();
  tool.uId = reinterpret_cast<UINT_PTR>(h);
  tool.lpszText = tip;
  SendMessageA(button->Tooltip().Handle(), TTM_GETTEXTA, sizeof(tip), reinterpret_cast<LPARAM>(&tool));
  EXPECT_STREQ(tip, "A tip");

  SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
  SendMessageA(h, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));  // not over it: no hover seen
  SendMessageA(h, BM_CLICK, 0, 0);                      // keyboard-like activation
  uitest::PumpPending();
  EXPECT_TRUE(p.sink.commands.empty());
  SendMessageA(h, WM_MOUSEHOVER, 0, MAKELPARAM(2, 2));
  SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
  uitest::PumpPending();
  EXPECT_TRUE(p.sink.commands.empty());  // not on button-down
  SendMessageA(h, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
  ASSERT_TRUE(uitest::PumpUntil([&] { return !p.sink.commands.empty(); }));
  EXPECT_EQ(p.sink.commands[0].cstrCmdStr, "NORMAL.NEXT");
  // A button without a command posts nothing.
  HWND empty = p.Config().Buttons().Control(1)->Handle();
  SendMessageA(empty, WM_MOUSEHOVER, 0, 0);
  SendMessageA(empty, WM_LBUTTONDOWN, MK_LBUTTON, 0);
  SendMessageA(empty, WM_LBUTTONUP, 0, 0);
  uitest::PumpPending();
  EXPECT_EQ(p.sink.commands.size(), 1u);
}

TEST(Objects, VersionTextFontsAndBitmaps) {
  OpenPage p(Files("[P.STATIC_V]\r\nNAME=VER\r\n[P.STATIC_F]\r\nNAME=TITLE\r\nFONT=FONT.BIG\r\n"
                   "[FONT.BIG]\r\nLF_HEIGHT=-30\r\nLF_BOLD=1\r\n"
                   "[P.BITMAP_T]\r\nNAME=IDB_OFF_BUTTON\r\nTRANS_COLOR=198,195,198\r\nSIZE=200,200\r\n"
                   "[P.BITMAP_O]\r\nNAME=IDB_OFF_BUTTON\r\n",
                   4, "OBJ_0=P.STATIC_V\r\nPOS_0=10,10\r\nOBJ_1=P.STATIC_F\r\nPOS_1=10,40\r\n"
                      "OBJ_2=P.BITMAP_T\r\nPOS_2=200,100\r\nOBJ_3=P.BITMAP_O\r\nPOS_3=250,100\r\n"));
  ASSERT_TRUE(p.created);
  EXPECT_EQ(p.Config().Statics().Control(0)->Text(), "4.2.1");  // $version$, any case
  ui::CMyStatic* big = p.Config().Statics().Control(1);
  EXPECT_TRUE(big->HasOwnFont());
  RECT r = uitest::ChildRect(big->Handle());
  EXPECT_GE(r.bottom - r.top, 30);
  HWND t = p.Config().Bitmaps().Records()[0]->control;
  RECT tr = uitest::ChildRect(t);
  EXPECT_EQ(tr.right - tr.left, 16);  // the bitmap's size, not SIZE
  Picture picture(p.Window());
  EXPECT_EQ(picture.At(200, 100), picture.At(399, 299));  // transparent corner: the page shows
  EXPECT_EQ(picture.At(203, 108), RGB(0, 84, 147));
  EXPECT_EQ(picture.At(250, 100), RGB(198, 195, 198));  // copied as is
}

}  // namespace
