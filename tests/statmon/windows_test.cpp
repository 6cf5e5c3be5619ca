// The status and order toner windows: the order URL and the country items as
// pure functions, and the windows of a real frame in this process rendered
// into memory bitmaps through WM_PRINTCLIENT (this test program carries the
// monitor's resources, so the shipped pictures are drawn).
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "statmon/app.h"
#include "statmon/country_combo.h"
#include "statmon/main_frame.h"
#include "statmon/messages.h"
#include "statmon/order_url.h"
#include "statmon/paint.h"
#include "tests/statmon/sm_test_support.h"
#include "tests/support/temp_dir.h"
#include "tests/support/trace_capture.h"

namespace {

using qx::test::TempDir;
using sm::StatusWindow;

TEST(OrderUrl, FieldsAndFallbacks) {
  struct {
    const char* name;
    sm::TonerState fresh, current;
    const char* url;
  } cases[] = {
      {"fresh read", {3, 15}, {9, 99}, "PLC=00000409&ST=ABC&MD=M&KTS=300&KCMY=00&KTL=15"},
      {"fresh zero: current", {0, 0}, {3, 15}, "PLC=00000409&ST=ABC&MD=M&KTS=300&KCMY=00&KTL=15"},
      {"each field on its own", {0, 40}, {2, 15}, "PLC=00000409&ST=ABC&MD=M&KTS=200&KCMY=00&KTL=40"},
      {"size 0 in both: no KTS", {0, 15}, {0, 15}, "PLC=00000409&ST=ABC&MD=M&KCMY=00&KTL=15"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(sm::BuildOrderUrl("P", 1033, "ABC", "M", sm::ChooseTonerState(c.fresh, c.current)), c.url) << c.name;
  EXPECT_EQ(sm::BuildOrderUrl("http://s/o?", 0x040D, "", "L2020", {10, 50}),
            "http://s/o?LC=0000040D&ST=&MD=L2020&KTS=1000&KCMY=00&KTL=50");
  EXPECT_EQ(sm::BrowserCommandLine("\"C:\\b.exe\" -nohome", "PLC=1"), "\"C:\\b.exe\" -nohome PLC=1/");
  EXPECT_EQ(sm::BrowserCommandLine("", "PLC=1"), "");
  EXPECT_EQ(sm::BrowserCommandLine("b.exe", ""), "");
}

TEST(CountryItems, TextAndReadingBack) {
  std::vector<CountryEntry> countries{{0x409, "United States", "1-800-555-0142"}, {0x401, "Saudi Arabia", ""},
                                      {0, "Nowhere", "1"}};
  EXPECT_EQ(sm::CountryItemText(countries[0], "Contact"), "1-800-555-0142 - United States");
  EXPECT_EQ(sm::CountryItemText(countries[1], "Contact"), "Contact - Saudi Arabia");
  struct {
    const char* text;
    bool found;
    uint32_t lcid;
  } cases[] = {
      {"1-800-555-0142 - United States", true, 0x409},
      {"Contact - Saudi Arabia", true, 0x401},
      {"1 - Nowhere", false, 0},      // LCID 0 changes nothing
      {"- United States", false, 0},  // a dash only at the start
      {"United States", false, 0},
      {"1 - Atlantis", false, 0},
  };
  for (const auto& c : cases) {
    uint32_t lcid = 0;
    EXPECT_EQ(sm::CountryFromItemText(c.text, countries, &lcid), c.found) << c.text;
    EXPECT_EQ(lcid, c.lcid) << c.text;
  }
}

TEST(Gauge, BitmapByLevelAndStatus) {
  struct {
    unsigned char byte1, byte2, level;
    int bitmap;
  } cases[] = {{1, 0, 5, 153},  {5, 1, 6, 153},  {1, 0, 6, 135},   {1, 0, 20, 135},  {1, 0, 21, 136},
               {1, 0, 50, 136}, {1, 0, 51, 137}, {1, 0, 70, 137}, {1, 0, 90, 138},  {1, 0, 91, 139},
               {0, 0, 50, 152}, {0, 0, 5, 152},  {5, 2, 6, 135},  {5, 1, 21, 136}};
  for (const auto& c : cases) {
    unsigned char bytes[8] = {1, c.byte1, c.byte2, 0, 0, c.level, 0, 0};
    CStatus status;
    status.Initialize(bytes, 8);
    EXPECT_EQ(sm::GaugeBitmapFor(status), c.bitmap) << int(c.byte1) << " " << int(c.byte2) << " " << int(c.level);
  }
  EXPECT_EQ(sm::DisplayTextTop(277), 50);
  EXPECT_EQ(sm::DisplayTextTop(278), 75);
  EXPECT_FALSE(sm::DisplayTextNeedsEllipsis(297));
  EXPECT_TRUE(sm::DisplayTextNeedsEllipsis(298));
}

// A 32-bit top-down memory bitmap to render into.
class Canvas {
 public:
  Canvas(int width, int height) : width_(width), height_(height), dc_(CreateCompatibleDC(nullptr)) {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB};
    bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0);
    old_ = SelectObject(dc_, bitmap_);
  }
  ~Canvas() {
    SelectObject(dc_, old_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  HDC Dc() const { return dc_; }
  COLORREF At(int x, int y) const {
    GdiFlush();
    uint32_t v = bits_[y * width_ + x];
    return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
  }
  // Pixels that are neither white nor the band in the rectangle.
  int Ink(int left, int top, int right, int bottom, COLORREF colour = CLR_INVALID) const {
    int n = 0;
    for (int y = top; y < bottom && y < height_; ++y)
      for (int x = left; x < right && x < width_; ++x) {
        COLORREF c = At(x, y);
        if (colour != CLR_INVALID ? c == colour : (c != RGB(255, 255, 255) && c != sm::kBandColour)) ++n;
      }
    return n;
  }
  // The first row from `top` down with ink between left and right, or -1.
  int FirstInkRow(int left, int top, int right, int bottom) const {
    for (int y = top; y < bottom; ++y)
      if (Ink(left, y, right, y + 1)) return y;
    return -1;
  }

 private:
  int width_, height_;
  HDC dc_;
  HBITMAP bitmap_;
  HGDIOBJ old_;
  uint32_t* bits_ = nullptr;
};

// A text as wide as `width` pixels or a little less (`slack`) in the windows'
// thin 15-pixel font: under Wine the font's widths come in steps of 4 pixels.
std::string TextOfWidth(int width, int slack = 0) {
  Canvas canvas(4, 4);
  HFONT font = CreateFontA(15, 0, 0, 0, 100, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_TT_PRECIS, CLIP_DEFAULT_PRECIS,
                           ANTIALIASED_QUALITY, DEFAULT_PITCH | FF_DONTCARE, "ARIAL");
  HGDIOBJ old = SelectObject(canvas.Dc(), font);
  auto measure = [&](const std::string& s) {
    SIZE size{};
    GetTextExtentPoint32A(canvas.Dc(), s.c_str(), static_cast<int>(s.size()), &size);
    return static_cast<int>(size.cx);
  };
  // Words up to below the width, then one filler character of each kind.
  std::string found;
  for (int words = 1; words < 12 && found.empty(); ++words) {
    std::string base;
    for (int w = 0; w < words; ++w) base += (w ? " " : "") + std::string("status");
    for (int n = 0; n < 6 && found.empty(); ++n)
      for (char c = '!'; c <= '~' && found.empty(); ++c)
        for (char d = '!'; d <= '~' && found.empty(); ++d) {
          std::string s = base + std::string(n, 'a') + c + d;
          if (measure(s) <= width && measure(s) >= width - slack) found = s;
        }
  }
  SelectObject(canvas.Dc(), old);
  DeleteObject(font);
  return found;
}

// A monitor with its frame and windows in this process, on the shipped texts.
class WindowsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    cls_ = "QX Windows Test " + std::to_string(GetCurrentProcessId()) + "." + std::to_string(GetTickCount());
    dir_.Write("QXTEST.dat", "[Model]\nClass=" + cls_ + "\nCaption=QX Laser L2020\nLinkModel=L2020\n"
                             "[WebLink]\nToner=http://shop/?\n[Support]\nisSupportDevMon=0\n[Phone]\n0409=1-800\n0401=\n");
    dir_.Write("smcode.dat", smtest::ReadMedia("smcode.dat"));
    dir_.Write("MulLang\\SMen.trs", smtest::ReadMedia("MulLang\\SMen.trs"));
    app_.programName = "QXTEST";
    app_.SetDirectoryForTesting(dir_.Path());
    app_.SetCommandLineForTesting("\"statmon.exe\" /JOB");
    ASSERT_TRUE(app_.InitInstance());
    frame_ = app_.MainFrame();
    frame_->SetEndProcessForTesting([] {});
    for (StatusWindow w : {StatusWindow::kSmall, StatusWindow::kLowToner, StatusWindow::kBig, StatusWindow::kMemOver})
      frame_->Create(w);
  }
  void SetStatus(std::vector<unsigned char> bytes) { app_.currentStatus.Initialize(bytes.data(), bytes.size()); }
  // Renders a window's client area.
  void Render(HWND window, Canvas& canvas) {
    SendMessageA(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.Dc()), PRF_CLIENT);
  }
  HWND Small() { return frame_->Window(StatusWindow::kSmall)->Handle(); }

  TempDir dir_;
  std::string cls_;
  CMFPSMApp app_;
  CMainFrame* frame_ = nullptr;
};

TEST_F(WindowsTest, StatusTextWrapsAbove277Pixels) {
  std::string exact = TextOfWidth(277, 3), over = TextOfWidth(281, 3);
  ASSERT_FALSE(exact.empty());
  ASSERT_FALSE(over.empty());
  SetStatus({1, 1, 0, 0, 0, 50, 10, 0});
  struct {
    const std::string& text;
    int documentTop;
  } cases[] = {{exact, 50}, {over, 75}};
  for (const auto& c : cases) {
    // The status text stands in for the ready text; the document is drawn below it.
    app_.jobInfo.displayText = "report.doc";
    sm::PaintInputs in = frame_->Window(StatusWindow::kSmall)->Inputs();
    in.statusText = c.text;
    Canvas canvas(480, 260);
    sm::DrawSmallWindow(canvas.Dc(), RECT{0, 0, 474, 231}, in);
    int first = canvas.FirstInkRow(85, 30, 340, 120);
    EXPECT_GE(first, 30) << c.documentTop;
    EXPECT_LT(first, 40) << c.documentTop;  // the status text at the top
    // The document line starts at its Y: nothing between the status text and it.
    int documentInk = canvas.FirstInkRow(85, c.documentTop == 50 ? 47 : 72, 340, 120);
    EXPECT_GE(documentInk, c.documentTop) << c.documentTop;
    EXPECT_LT(documentInk, c.documentTop + 6) << c.documentTop;
    if (c.documentTop == 75) EXPECT_GT(canvas.Ink(85, 50, 346, 72), 0) << c.text << " " << first << " " << documentInk << " " << canvas.FirstInkRow(85, 45, 346, 120);  // the second line of the status
  }
}

TEST_F(WindowsTest, LongDocumentsEndInAnEllipsisAt378) {
  SetStatus({1, 1, 0, 0, 0, 50, 10, 0});
  struct {
    std::string document;
    bool ellipsis;
  } cases[] = {{"report.doc", false}, {std::string(60, 'W') + ".doc", true}};
  for (const auto& c : cases) {
    app_.jobInfo.displayText = c.document;
    Canvas canvas(480, 260);
    Render(Small(), canvas);
    EXPECT_EQ(canvas.Ink(378, 50, 391, 66) > 0, c.ellipsis) << c.document;
    if (c.ellipsis) EXPECT_EQ(canvas.Ink(377, 50, 378, 66), 0);  // cut at 377, the dots after it
  }
}

TEST_F(WindowsTest, GaugeShowsTheLevelsBitmapInsideTheWindow) {
  struct {
    std::vector<unsigned char> bytes;
    int bitmap;
  } cases[] = {{{1, 1, 0, 0, 0, 5, 10, 0}, 153},  {{1, 5, 1, 0, 0, 6, 10, 0}, 153}, {{1, 1, 0, 0, 0, 6, 10, 0}, 135},
               {{1, 1, 0, 0, 0, 21, 10, 0}, 136}, {{1, 1, 0, 0, 0, 60, 10, 0}, 137}, {{1, 1, 0, 0, 0, 90, 10, 0}, 138},
               {{1, 1, 0, 0, 0, 91, 10, 0}, 139}, {{1, 0, 0, 0, 0, 50, 10, 0}, 152}};
  RECT client{};
  GetClientRect(Small(), &client);
  for (const auto& c : cases) {
    SetStatus(c.bytes);
    Canvas canvas(480, 260), expected(480, 260);
    Render(Small(), canvas);
    HBITMAP picture = app_.GaugeBitmap(c.bitmap);
    ASSERT_NE(picture, nullptr);
    BITMAP info{};
    GetObjectA(picture, sizeof(info), &info);
    EXPECT_LE(sm::kGaugeX + info.bmWidth, client.right - 8) << "the gauge must fit the window";
    sm::DrawBitmap(expected.Dc(), picture, sm::kGaugeX, sm::kGaugeY);
    int differing = 0;
    for (int y = sm::kGaugeY; y < sm::kGaugeY + info.bmHeight; ++y)
      for (int x = sm::kGaugeX; x < sm::kGaugeX + info.bmWidth; ++x) differing += canvas.At(x, y) != expected.At(x, y);
    EXPECT_EQ(differing, 0) << c.bitmap;
  }
}

TEST_F(WindowsTest, LowTonerCaseDrawsRedGuidesAndTheCaptionColour) {
  SetStatus({1, 1, 0, 0, 0, 5, 10, 0});
  app_.jobInfo.displayText = "report.doc";
  auto* small = static_cast<CMFPSMDlg*>(frame_->Window(StatusWindow::kSmall));
  struct {
    bool offer;
    bool guides;
  } cases[] = {{true, false}, {false, true}};
  for (const auto& c : cases) {
    small->SetOffer(c.offer);
    Canvas canvas(480, 260);
    Render(Small(), canvas);
    EXPECT_EQ(canvas.Ink(85, 100, 382, 185, sm::kGuideColour) > 0, c.guides) << c.offer;
  }
  EXPECT_EQ(sm::LowTonerCaptionColour(5), RGB(255, 0, 0));
  EXPECT_EQ(sm::LowTonerCaptionColour(10), RGB(255, 255, 0));
}

TEST_F(WindowsTest, LayoutOfTheWindows) {
  struct {
    StatusWindow window;
    int control, x, y, cx, cy;
  } cases[] = {
      {StatusWindow::kSmall, sm::kIdOrderToner, 278, 193, 192, 27},
      {StatusWindow::kBig, sm::kIdOrderToner, 240, 215, 228, 27},
      {StatusWindow::kLowToner, sm::kIdOrderOnline, 274, 35, 199, 27},
      {StatusWindow::kLowToner, IDCANCEL, 302, 198, 166, 27},
      {StatusWindow::kLowToner, sm::kIdNotAgain, 85, 192, 13, 13},
      {StatusWindow::kMemOver, sm::kIdMemPrint, 185, 160, 120, 27},
      {StatusWindow::kMemOver, sm::kIdMemCancel, 330, 160, 120, 27},
  };
  for (const auto& c : cases) {
    HWND item = GetDlgItem(frame_->Window(c.window)->Handle(), c.control);
    RECT r{};
    GetWindowRect(item, &r);
    MapWindowPoints(nullptr, frame_->Window(c.window)->Handle(), reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ((std::vector<long>{r.left, r.top, r.right - r.left, r.bottom - r.top}),
              (std::vector<long>{c.x, c.y, c.cx, c.cy}))
        << c.control;
  }
  char text[64] = {};
  GetWindowTextA(frame_->Window(StatusWindow::kMemOver)->Handle(), text, sizeof(text));
  EXPECT_STREQ(text, "Memory Overflow");
  GetDlgItemTextA(frame_->Window(StatusWindow::kMemOver)->Handle(), sm::kIdMemPrint, text, sizeof(text));
  EXPECT_STREQ(text, "OK");
}

TEST_F(WindowsTest, AlertsDoNotTakeTheFocusTheOrderWindowDoes) {
  HWND typing = CreateWindowExA(0, "EDIT", "", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100, nullptr, nullptr,
                                nullptr, nullptr);
  ASSERT_NE(typing, nullptr);
  SetForegroundWindow(typing);
  SetFocus(typing);
  ASSERT_EQ(GetActiveWindow(), typing);
  sm::Placement place{500, 400, 480, 260};
  frame_->Show(StatusWindow::kSmall, &place);
  frame_->Show(StatusWindow::kMemOver, nullptr);
  EXPECT_TRUE(IsWindowVisible(Small()));
  EXPECT_TRUE(frame_->IsVisible(StatusWindow::kSmall));
  EXPECT_EQ(GetActiveWindow(), typing);
  EXPECT_EQ(GetFocus(), typing);
  RECT r{};
  GetWindowRect(Small(), &r);
  EXPECT_EQ((std::vector<long>{r.left, r.top, r.right - r.left, r.bottom - r.top}),
            (std::vector<long>{500, 400, 480, 260}));

  frame_->ShowOrderTonerWindow();  // asked for by the user
  ASSERT_NE(frame_->OrderToner(), nullptr);
  EXPECT_TRUE(frame_->OrderToner()->Visible());
  EXPECT_EQ(GetActiveWindow(), frame_->OrderToner()->Handle());
  DestroyWindow(typing);
}

TEST_F(WindowsTest, CountryChoiceIsSharedByTheWindows) {
  frame_->PrepareOrderToner();  // created hidden
  COrderTonerDlg* order = frame_->OrderToner();
  ASSERT_NE(order, nullptr);
  HWND lowCombo = GetDlgItem(frame_->Window(StatusWindow::kLowToner)->Handle(), sm::kIdCountry);
  ASSERT_EQ(SendMessageA(lowCombo, CB_GETCOUNT, 0, 0), 2);
  char item[64] = {};
  SendMessageA(lowCombo, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(item));
  EXPECT_STREQ(item, "Contact your local dealer - Saudi Arabia");  // sorted, no number: the contact text
  // Choosing Saudi Arabia in the low-toner window: the next URL and the order window follow.
  SendMessageA(lowCombo, CB_SETCURSEL, 0, 0);
  SendMessageA(frame_->Window(StatusWindow::kLowToner)->Handle(), WM_COMMAND,
               MAKEWPARAM(sm::kIdCountry, CBN_SELCHANGE), reinterpret_cast<LPARAM>(lowCombo));
  EXPECT_EQ(app_.CountryLcid(), 0x401u);
  SetStatus({1, 1, 0, 0, 0, 15, 3, 0});
  EXPECT_EQ(order->CurrentOrderUrl(), "http://shop/?LC=00000401&ST=&MD=L2020&KTS=300&KCMY=00&KTL=15");
  frame_->ShowOrderTonerWindow();
  HWND orderCombo = GetDlgItem(order->Handle(), sm::kIdCountry);
  LRESULT selected = SendMessageA(orderCombo, CB_GETCURSEL, 0, 0);
  ASSERT_NE(selected, CB_ERR);
  SendMessageA(orderCombo, CB_GETLBTEXT, selected, reinterpret_cast<LPARAM>(item));
  EXPECT_STREQ(item, "Contact your local dealer - Saudi Arabia");
  // The link: measured before any paint, drawn in blue.
  RECT link = order->LinkRect();
  EXPECT_EQ(link.left, 152);
  EXPECT_EQ(link.top, 95);
  EXPECT_GT(link.right, 200);
  Canvas canvas(540, 322);
  Render(order->Handle(), canvas);
  EXPECT_GT(canvas.Ink(link.left, link.top, link.right, link.bottom, sm::kLinkColour), 0);
}

}  // namespace
