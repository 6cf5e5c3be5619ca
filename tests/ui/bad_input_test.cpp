// Bad descriptions: each gives its fallback and log line, and nothing leaks.
#include <gtest/gtest.h>

#include "framework/handles.h"
#include "tests/ui/page_fixture.h"

namespace {

using uitest::Library;
using uitest::MediumFiles;
using uitest::OpenPage;
using uitest::Picture;

MediumFiles Files(const std::string& page, const std::string& objects = "", Library library = Library::kSkins) {
  MediumFiles f;
  f.library = library;
  f.config = "[NORMAL.PAGE]\r\n" + page + objects;
  f.messagesEn = "T=Text\r\n";
  return f;
}

TEST(BadInput, MissingBitmapsFontsAndSections) {
  OpenPage p(Files("BACK_BMP=NO_SUCH_BMP\r\nNUM_OF_OBJ=4\r\nOBJ_0=P.BITMAP_X\r\nPOS_0=40,50\r\n"
                   "OBJ_1=P.STATIC_F\r\nPOS_1=10,10\r\nOBJ_2=NOT.WRITTEN.STATIC\r\nPOS_2=5,5\r\n"
                   "OBJ_3=P.LINK_B\r\nPOS_3=10,200\r\n",
                   "[P.BITMAP_X]\r\nNAME=NO_SUCH_BMP\r\n[P.STATIC_F]\r\nNAME=T\r\nFONT=NO.SUCH.FONT\r\n"
                   "[P.LINK_B]\r\nNAME=T\r\nUSE_BITMAP_ICON=1\r\nON_BITMAP=NONE_1\r\nOFF_BITMAP=NONE_2\r\n"));
  ASSERT_TRUE(p.created) << p.medium.Log();
  Picture picture(p.Window());  // paints with the bad bitmaps
  EXPECT_EQ(p.medium.CountInLog("[CNormalDlg] Back bitmap not found!! (NO_SUCH_BMP)\n"), 1);
  EXPECT_GE(p.medium.CountInLog("[CNormalDlg] Load Background bitmap Error!! (NO_SUCH_BMP)\n"), 1);
  EXPECT_EQ(p.medium.CountInLog("[CMyBitmap] bitmap not found!! (NO_SUCH_BMP)\n"), 1);
  RECT r = uitest::ChildRect(p.Config().Bitmaps().Records()[0]->control);
  EXPECT_EQ(r.left, 0);
  EXPECT_EQ(r.right, 100);
  EXPECT_EQ(r.bottom, 100);
  EXPECT_TRUE(p.Config().Statics().Control(0)->HasOwnFont());  // a font of defaults, drawn all the same
  EXPECT_EQ(p.Config().Statics().Count(), 2u);                 // a missing section still makes its object
  EXPECT_FALSE(p.Config().Links().Control(0)->UsesBitmaps());  // its bitmaps cannot be loaded: text only
  EXPECT_TRUE(IsWindowVisible(p.Window()));
}

TEST(BadInput, CountsSizesPositionsAndColours) {
  struct Case {
    const char* page;
    const char* log;
  } cases[] = {
      {"NUM_OF_OBJ=10000\r\n", "[CDlgConfig] NUM_OF_OBJ out of range [NORMAL.PAGE] 10000, 1000 objects read\n"},
      {"NUM_OF_OBJ=-5\r\n", "[CDlgConfig] NUM_OF_OBJ out of range [NORMAL.PAGE] -5, 0 objects read\n"},
      {"DLG_SIZE=300\r\n", "[CDlgConfig] Invalid value...[NORMAL.PAGE] 300\n"},
      {"DLG_SIZE=wide,high\r\n", "[CDlgConfig] Invalid value...[NORMAL.PAGE] wide,high\n"},
      {"DLG_SIZE=-300,-200\r\n", "[CDlgConfig] Invalid value...[NORMAL.PAGE] -300,-200\n"},
      {"DLG_SIZE=900000,900000\r\n", "[CDlgConfig] Invalid value...[NORMAL.PAGE] 900000,900000\n"},
      {"NUM_OF_OBJ=1\r\nOBJ_0=A.STATIC\r\nPOS_0=x,y\r\n", "[CDlgConfig] Invalid value...[NORMAL.PAGE] x,y\n"},
      {"NUM_OF_OBJ=1\r\nOBJ_0=A.STATIC\r\nPOS_0=-20,99999\r\n", "[CDlgConfig] Invalid value...[NORMAL.PAGE] -20,99999\n"},
  };
  for (const Case& c : cases) {
    OpenPage p(Files(std::string("BACK_BMP=IDB_BACKGROUND\r\n") + c.page, "[A.STATIC]\r\nNAME=T\r\n"));
    ASSERT_TRUE(p.created) << c.page;
    EXPECT_EQ(p.medium.CountInLog(c.log), 1) << c.page << p.medium.Log();
    EXPECT_EQ(p.Client().cx, 520) << c.page;  // sizes fall back to the bitmap's
    if (p.Config().Statics().Count()) {
      RECT r = uitest::ChildRect(p.Config().Statics().Records()[0]->control);
      EXPECT_EQ(r.left, 0) << c.page;
      EXPECT_EQ(r.top, 0) << c.page;
    }
  }
  // The 10,000 objects name no sections: one line per missing key, no object.
  OpenPage many(Files("NUM_OF_OBJ=10000\r\n"));
  EXPECT_EQ(many.medium.CountInLog("[CDlgConfig SetObject] Get section name fail OBJ_"), 1000);
  // Colour channels out of range keep their low byte; a short colour is none.
  OpenPage colours(Files("NUM_OF_OBJ=2\r\nOBJ_0=A.LINE\r\nPOS_0=0,0\r\nOBJ_1=B.LINE\r\nPOS_1=0,10\r\n",
                         "[A.LINE]\r\nSIZE=10,2\r\nOFF_COLOR=300,-1,20\r\n[B.LINE]\r\nSIZE=10,2\r\nOFF_COLOR=7,8\r\n"));
  ASSERT_EQ(colours.Config().Shapes().size(), 2u);
  EXPECT_EQ(colours.Config().Shapes()[0].colour, RGB(44, 255, 20));
  EXPECT_EQ(colours.Config().Shapes()[1].colour, core::kNoColour);
}

TEST(BadInput, ResourceLibraryMissingOrNotADllFallsBackToOwnBitmaps) {
  for (Library library : {Library::kMissing, Library::kNotADll}) {
    OpenPage p(Files("BACK_BMP=IDB_BACKGROUND\r\nNUM_OF_OBJ=1\r\nOBJ_0=A.LINK\r\nPOS_0=0,0\r\n",
                     "[A.LINK]\r\nNAME=T\r\nUSE_BITMAP_ICON=1\r\n", library));
    ASSERT_TRUE(p.created);
    EXPECT_EQ(p.medium.LibraryModule(), nullptr);
    EXPECT_EQ(p.Client().cx, 48);  // the program's own IDB_BACKGROUND
    EXPECT_EQ(p.Client().cy, 16);
    EXPECT_TRUE(p.Config().Links().Control(0)->UsesBitmaps());  // the program's own link bitmaps
  }
}

TEST(BadInput, ObjectSectionsWithoutAKindWordAreSkippedSilently) {
  OpenPage p(Files("NUM_OF_OBJ=2\r\nOBJ_0=menu.link\r\nPOS_0=1,1\r\nOBJ_1=SOMETHING\r\nPOS_1=1,1\r\n",
                   "[SOMETHING]\r\nNAME=T\r\n"));
  ASSERT_TRUE(p.created);
  EXPECT_EQ(GetWindow(p.Window(), GW_CHILD), nullptr);
  EXPECT_EQ(p.medium.CountInLog("[CDlgConfig"), 0);
}

TEST(BadInput, NoLeakOverAHundredReloads) {
  OpenPage p(Files("BACK_BMP=IDB_BACKGROUND\r\nNUM_OF_OBJ=5\r\nOBJ_0=A.LINK\r\nPOS_0=10,10\r\nOBJ_1=B.STATIC\r\n"
                   "POS_1=10,50\r\nOBJ_2=C.BUTTON\r\nPOS_2=10,90\r\nOBJ_3=D.BITMAP\r\nPOS_3=10,130\r\n"
                   "OBJ_4=E.LINE\r\nPOS_4=0,300\r\n",
                   "[A.LINK]\r\nNAME=T\r\nUSE_BITMAP_ICON=1\r\nTOOLTIP=T\r\nFONT=F.ONE\r\n[B.STATIC]\r\nNAME=T\r\n"
                   "FONT=F.ONE\r\n[C.BUTTON]\r\nNAME=T\r\nTOOLTIP=T\r\nFONT=F.ONE\r\n[D.BITMAP]\r\nNAME=IDB_ON_BUTTON\r\n"
                   "TRANS_COLOR=198,195,198\r\n[E.LINE]\r\nSIZE=500,1\r\nOFF_COLOR=1,2,3\r\n[F.ONE]\r\nLF_HEIGHT=-14\r\n"));
  ASSERT_TRUE(p.created);
  auto cycle = [&] {
    p.page.Reset();
    ASSERT_TRUE(p.page.Load("NORMAL.PAGE"));
    p.page.Refresh();
    HWND link = p.Config().Links().Records()[0]->control;
    SendMessageA(link, WM_MOUSEHOVER, 0, 0);
    SendMessageA(link, WM_LBUTTONDOWN, 0, 0);
    SendMessageA(link, WM_LBUTTONUP, 0, 0);
    Picture picture(p.Window());
    uitest::PumpPending();
  };
  cycle();  // first use makes what lives for the process (cursor, stock objects)
  DWORD gdi = uitest::GdiObjects(), user = uitest::UserObjects();
  ASSERT_GT(gdi, 0u) << "the GDI count can be read";
  ASSERT_GT(user, 0u);
  {  // the counts see a change of a few objects
    fw::UniqueGdiObject a(CreateSolidBrush(1)), b(CreateSolidBrush(2)), c(CreateSolidBrush(3));
    EXPECT_EQ(uitest::GdiObjects(), gdi + 3);
  }
  for (int i = 0; i < 100; ++i) cycle();
  EXPECT_EQ(uitest::GdiObjects(), gdi);
  EXPECT_EQ(uitest::UserObjects(), user);
}

}  // namespace
