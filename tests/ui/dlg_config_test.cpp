// Page descriptions applied to real windows: caption, size, objects, shapes.
#include <gtest/gtest.h>

#include "tests/ui/page_fixture.h"

namespace {

using uitest::MediumFiles;
using uitest::OpenPage;
using uitest::Picture;

MediumFiles Files(const std::string& page, const std::string& objects = "", const std::string& common = "") {
  MediumFiles f;
  f.common = common;
  f.config = "[NORMAL.PAGE]\r\n" + page + objects;
  f.messagesEn = "TITLE=Welcome $SRC_DIR$\r\nNEXT=Next\r\nGO=Go there\r\n";
  return f;
}

TEST(DlgConfig, CaptionSizeAndObjectsFromTheSection) {
  OpenPage p(Files("CAPTION=%CAPTION_TOKEN% $LANG_ABBR$\r\nDLG_SIZE=400,300\r\nNUM_OF_OBJ=3\r\n"
                   "OBJ_0=P.STATIC_TITLE\r\nPOS_0=12,34\r\nOBJ_1=P.BUTTON_NEXT\r\nPOS_1=300,260\r\n"
                   "OBJ_2=P.LINK_GO\r\nPOS_2=20,100\r\n",
                   "[P.STATIC_TITLE]\r\nNAME=TITLE\r\nSIZE=200,20\r\n[P.BUTTON_NEXT]\r\nNAME=NEXT\r\nSIZE=80,26\r\n"
                   "[P.LINK_GO]\r\nNAME=GO\r\nSIZE=150,22\r\n"));
  ASSERT_TRUE(p.created) << p.medium.Log();
  char caption[128] = {};
  GetWindowTextA(p.Window(), caption, sizeof(caption));
  EXPECT_STREQ(caption, "Token caption EN");  // percent tokens and $...$ variables expanded
  EXPECT_EQ(p.Client().cx, 400);
  EXPECT_EQ(p.Client().cy, 300);
  EXPECT_TRUE(IsWindowVisible(p.Window()));

  struct Expect {
    HWND control;
    RECT rect;
    const char* text;
  } expects[] = {
      {p.Config().Statics().Records()[0]->control, {12, 34, 212, 54}, "Welcome $SRC_DIR$"},  // NAME is not expanded
      {p.Config().Buttons().Records()[0]->control, {300, 260, 380, 286}, "Next"},
      {p.Config().Links().Records()[0]->control, {20, 100, 170, 122}, "Go there"},
  };
  for (const Expect& e : expects) {
    ASSERT_TRUE(e.control);
    RECT r = uitest::ChildRect(e.control);
    EXPECT_EQ(r.left, e.rect.left) << e.text;
    EXPECT_EQ(r.top, e.rect.top) << e.text;
    EXPECT_EQ(r.right, e.rect.right) << e.text;
    EXPECT_EQ(r.bottom, e.rect.bottom) << e.text;
    EXPECT_TRUE(IsWindowVisible(e.control)) << e.text;
    char text[128] = {};
    GetWindowTextA(e.control, text, sizeof(text));
    EXPECT_STREQ(text, e.text);
  }
}

TEST(DlgConfig, CommonSectionFillsMissingKeys) {
  OpenPage p(Files("NUM_OF_OBJ=1\r\nOBJ_0=P.STATIC_A\r\nPOS_0=5,6\r\n", "[P.STATIC_A]\r\nNAME=TITLE\r\n",
                   "CAPTION=Common caption\r\nDLG_SIZE=320,200\r\nSIZE=90,15\r\n"));
  ASSERT_TRUE(p.created);
  char caption[64] = {};
  GetWindowTextA(p.Window(), caption, sizeof(caption));
  EXPECT_STREQ(caption, "Common caption");
  EXPECT_EQ(p.Client().cx, 320);
  RECT r = uitest::ChildRect(p.Config().Statics().Records()[0]->control);
  EXPECT_EQ(r.right - r.left, 90);  // object keys fall back to DLG_COMMON too
  EXPECT_EQ(r.bottom - r.top, 15);
}

TEST(DlgConfig, KindsByNameOrderMissingObjectsAndOneNumberPositions) {
  OpenPage p(Files("DLG_SIZE=300,200\r\nNUM_OF_OBJ=6\r\nOBJ_0=BITMAP_BUTTON\r\nPOS_0=15\r\n"
                   "OBJ_2=LINK_LINE\r\nPOS_2=40,50\r\nOBJ_3=NO_KIND_WORD\r\nPOS_3=1,1\r\n"
                   "OBJ_4=X.RECTANGLE\r\nPOS_4=1,2\r\nOBJ_5=Y.LINE\r\nPOS_5=3,4\r\n",
                   "[BITMAP_BUTTON]\r\nNAME=OWN_ONLY\r\n[LINK_LINE]\r\nNAME=GO\r\nSIZE=50,20\r\n"
                   "[X.RECTANGLE]\r\nSIZE=10,10\r\n[Y.LINE]\r\nSIZE=5,5\r\n"));
  ASSERT_TRUE(p.created);
  EXPECT_EQ(p.Config().Bitmaps().Count(), 1u);
  EXPECT_EQ(p.Config().Links().Count(), 1u);
  EXPECT_EQ(p.Config().Buttons().Count(), 0u);
  EXPECT_EQ(p.Config().Statics().Count(), 0u);
  ASSERT_EQ(p.Config().Shapes().size(), 2u);
  EXPECT_EQ(p.Config().Shapes()[0].kind, ui::kShapeRectangle);  // list order is the order of n
  EXPECT_EQ(p.Config().Shapes()[1].kind, ui::kShapeLine);
  EXPECT_EQ(p.medium.CountInLog("[CDlgConfig SetObject] Get section name fail OBJ_1\n"), 1);
  EXPECT_EQ(p.medium.CountInLog("[CDlgConfig] Invalid value...[NORMAL.PAGE] 15\n"), 1);
  RECT r = uitest::ChildRect(p.Config().Bitmaps().Records()[0]->control);
  EXPECT_EQ(r.left, 0);  // the one-number position counts as 0,0
  EXPECT_EQ(r.top, 0);
  EXPECT_EQ(r.right, 48);  // the bitmap's own size (the program's OWN_ONLY)
  EXPECT_EQ(r.bottom, 16);
}

TEST(DlgConfig, SizeFallsBackToTheBackgroundBitmap) {
  struct Case {
    const char* size;
    int w, h;
  } cases[] = {{"DLG_SIZE=500,0\r\n", 520, 380}, {"DLG_SIZE=0,300\r\n", 520, 380}, {"", 520, 380},
               {"DLG_SIZE=500,320\r\n", 500, 320}};
  for (const Case& c : cases) {
    OpenPage p(Files(std::string("BACK_BMP=IDB_BACKGROUND\r\n") + c.size));
    ASSERT_TRUE(p.created);
    EXPECT_EQ(p.Client().cx, c.w) << c.size;
    EXPECT_EQ(p.Client().cy, c.h) << c.size;
    // Centred on the screen.
    RECT outer{};
    GetWindowRect(p.Window(), &outer);
    EXPECT_EQ(outer.left, (GetSystemMetrics(SM_CXSCREEN) - (outer.right - outer.left)) / 2) << c.size;
  }
}

TEST(DlgConfig, ShapesInTheirColoursOverTheBackground) {
  OpenPage p(Files("BACK_BMP=IDB_BACKGROUND\r\nNUM_OF_OBJ=3\r\nOBJ_0=A.LINE\r\nPOS_0=10,200\r\n"
                   "OBJ_1=B.LINE\r\nPOS_1=10,250\r\nOBJ_2=C.RECTANGLE\r\nPOS_2=100,100\r\n",
                   "[A.LINE]\r\nSIZE=400,1\r\nOFF_COLOR=200,10,20\r\n[B.LINE]\r\nSIZE=30,2\r\n"
                   "[C.RECTANGLE]\r\nSIZE=50,40\r\nLINE_WIDTH=1\r\nOFF_COLOR=0,128,0\r\n"));
  ASSERT_TRUE(p.created);
  Picture picture(p.Window());
  const COLORREF red = RGB(200, 10, 20);
  EXPECT_EQ(picture.Count({10, 200, 410, 201}, red), 400);  // the whole line, one pixel high
  EXPECT_EQ(picture.At(10, 199), RGB(255, 255, 255));      // the background above and below
  EXPECT_EQ(picture.At(10, 201), RGB(255, 255, 255));
  EXPECT_EQ(picture.At(9, 200), RGB(255, 255, 255));
  EXPECT_EQ(picture.At(410, 200), RGB(255, 255, 255));
  EXPECT_EQ(picture.Count({10, 250, 40, 252}, RGB(1, 1, 1)), 60);  // no colour: the sentinel 0x010101
  EXPECT_EQ(picture.At(100, 100), RGB(0, 128, 0));             // the rectangle's outline
  EXPECT_EQ(picture.At(149, 139), RGB(0, 128, 0));
  EXPECT_EQ(picture.At(0, 0), uitest::SkinPixel("IDB_BACKGROUND", 0, 0));  // the skin's banner, from the library
  EXPECT_NE(picture.At(0, 0), RGB(255, 255, 255));
  if (const char* dir = getenv("QX_UI_PICTURES")) picture.SaveBmp(std::string(dir) + "\\shapes.bmp");
}

}  // namespace
