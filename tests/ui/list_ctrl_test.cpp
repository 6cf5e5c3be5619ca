// The item list: row states under clicks in both modes, state images from the
// skin library, tooltips and descriptions, a capacity below the rows offered.
#include "setup/ui/my_list_ctrl.h"

#include <gtest/gtest.h>

#include "framework/controls.h"
#include "framework/frame_window.h"
#include "setup/engine/wizard_page.h"
#include "tests/support/trace_capture.h"
#include "tests/ui/ui_test_support.h"

namespace {

using ui::CMyListCtrl;

TEST(ListRules, ClicksAndSetAll) {
  struct Case {
    std::vector<short> before;
    int row;
    bool checkBox;
    std::vector<short> after;
  } cases[] = {
      {{0, 1, 2, 3}, 0, true, {1, 1, 2, 3}},    // check boxes: unchecked row ticks, others stay
      {{0, 1, 2, 3}, 1, true, {0, 0, 2, 3}},    // checked row unticks
      {{0, 1, 2, 3}, 2, true, {0, 1, 2, 3}},    // disabled never changes
      {{0, 1, 2, 3}, 3, true, {0, 1, 2, 3}},    // fixed never changes
      {{0, 1, 2, 3}, 0, false, {1, 0, 2, 3}},   // radio: the others clear, 2 and 3 stay
      {{0, 1, 2, 3}, 1, false, {0, 1, 2, 3}},   // radio: clicking the chosen row again changes nothing
      {{0, 1, 2, 3}, 3, false, {0, 1, 2, 3}},
      {{0, 1}, 7, true, {0, 1}},                // beyond the records
      {{0, 1}, -1, false, {0, 1}},
  };
  for (const Case& c : cases) {
    std::vector<short> states = c.before;
    ui::ApplyRowClick(states, c.row, c.checkBox);
    EXPECT_EQ(states, c.after) << "row " << c.row << " checkBox " << c.checkBox;
  }
  std::vector<short> states{0, 1, 2, 3, 0};
  ui::ApplyAllStates(states, true);
  EXPECT_EQ(states, (std::vector<short>{1, 1, 2, 3, 1}));
  ui::ApplyAllStates(states, false);
  EXPECT_EQ(states, (std::vector<short>{0, 0, 2, 3, 0}));
  EXPECT_EQ(ui::StateImageIndex(0), 0);
  EXPECT_EQ(ui::StateImageIndex(1), 1);
  EXPECT_EQ(ui::StateImageIndex(2), 2);
  EXPECT_EQ(ui::StateImageIndex(3), 0);
  EXPECT_EQ(ui::CellToolId(4, 1), 4002);
}

// A page stand-in: hands the list its notifications and keeps the descriptions.
class ListHost : public fw::FrameWindow {
 public:
  ListHost() { CreateFrame("QxListHost", "host", true); }
  CMyListCtrl list;
  std::vector<std::string> descriptions;

 protected:
  bool OnMessage(UINT message, WPARAM, LPARAM lParam, LRESULT* result) override {
    if (message == engine::kDescriptionMessage) {
      descriptions.push_back(reinterpret_cast<const char*>(lParam));
      *result = 1;
      return true;
    }
    if (message == WM_NOTIFY) return list.HandleNotify(reinterpret_cast<NMHDR*>(lParam), result);
    return false;
  }
};

struct Fixture {
  explicit Fixture(bool checkBox, int capacity = 8, uitest::Library library = uitest::Library::kSkins)
      : medium(Files(library)) {
    list().Create(host.Handle(), 1020, RECT{0, 0, 300, 200});
    fw::ListView(list().Handle()).InsertColumn(0, "", 260);
    initialised = list().Initialise(host.Handle(), capacity, checkBox, true, true);
  }
  static uitest::MediumFiles Files(uitest::Library library) {
    uitest::MediumFiles f;
    f.library = library;
    return f;
  }
  CMyListCtrl& list() { return host.list; }
  // A click well right of the state image: anywhere on the row counts.
  void ClickRow(int row) {
    RECT r{};
    r.left = LVIR_BOUNDS;
    SendMessageA(list().Handle(), LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&r));
    LPARAM at = MAKELPARAM(r.right - 20, (r.top + r.bottom) / 2);
    // The list view follows the button until it is released: the release waits in the queue.
    PostMessageA(list().Handle(), WM_LBUTTONUP, 0, at);
    SendMessageA(list().Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    uitest::PumpPending();
  }
  std::vector<int> States() {
    std::vector<int> s;
    for (int i = 0; i < list().RowCount(); ++i) s.push_back(list().State(i));
    return s;
  }
  uitest::PageMedium medium;
  ListHost host;
  bool initialised = false;
};

TEST(ListCtrl, ClicksOnRowsInBothModes) {
  for (bool checkBox : {true, false}) {
    Fixture f(checkBox);
    ASSERT_TRUE(f.initialised);
    EXPECT_TRUE(f.list().ImagesLoaded());
    EXPECT_EQ(ImageList_GetImageCount(f.list().Images()), 3);
    int data[4] = {};
    const char* names[4] = {"Zero", "One", "Disabled", "Fixed"};
    for (int i = 0; i < 4; ++i) ASSERT_TRUE(f.list().AddRow(&data[i], names[i], "c1", "c2", i));
    f.list().SetDescription(0, "about zero");
    EXPECT_EQ(f.list().Row(0)->data, &data[0]);
    EXPECT_EQ(f.list().Row(0)->secondText, "c2");  // the later column wins
    EXPECT_EQ(fw::ListView(f.list().Handle()).ItemImage(1), 1);
    f.ClickRow(0);
    EXPECT_EQ(f.States(), checkBox ? (std::vector<int>{1, 1, 2, 3}) : (std::vector<int>{1, 0, 2, 3}));
    EXPECT_EQ(fw::ListView(f.list().Handle()).FirstSelected(), 0);
    ASSERT_EQ(f.host.descriptions.size(), 1u);
    EXPECT_EQ(f.host.descriptions[0], "about zero");
    f.ClickRow(2);
    f.ClickRow(3);
    f.ClickRow(0);
    EXPECT_EQ(f.States(), checkBox ? (std::vector<int>{0, 1, 2, 3}) : (std::vector<int>{1, 0, 2, 3}));
    EXPECT_EQ(f.host.descriptions.size(), 2u);  // rows without a description send none
    f.list().SetAllStates(true);
    EXPECT_EQ(f.States(), (std::vector<int>{1, 1, 2, 3}));
    EXPECT_EQ(fw::ListView(f.list().Handle()).ItemImage(0), 1);
  }
}

TEST(ListCtrl, TooltipsAreCutAndSendTheDescription) {
  Fixture f(true);
  ASSERT_TRUE(f.list().AddRow(nullptr, "Row", nullptr, nullptr, 0));
  ASSERT_TRUE(f.list().SetTooltip(0, std::string(100, 'x')));
  ASSERT_TRUE(f.list().SetDescription(0, "row description"));
  EXPECT_FALSE(f.list().SetTooltip(1, "no such row"));
  EXPECT_FALSE(f.list().SetDescription(-1, "no such row"));

  char buffer[260] = "";
  NMLVGETINFOTIPA tip{};
  tip.hdr.hwndFrom = f.list().Handle();
  tip.hdr.idFrom = 1020;
  tip.hdr.code = LVN_GETINFOTIPA;
  tip.pszText = buffer;
  tip.cchTextMax = sizeof(buffer);
  tip.iItem = 0;
  SendMessageA(f.host.Handle(), WM_NOTIFY, 1020, reinterpret_cast<LPARAM>(&tip));
  EXPECT_EQ(std::string(buffer), std::string(79, 'x'));
  ASSERT_EQ(f.host.descriptions.size(), 1u);
  EXPECT_EQ(f.host.descriptions[0], "row description");

  RECT r{};
  r.left = LVIR_BOUNDS;
  SendMessageA(f.list().Handle(), LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&r));
  int id = 0;
  EXPECT_EQ(f.list().TipAt(POINT{r.left + 30, r.top + 2}, &id), std::string(79, 'x'));
  EXPECT_EQ(id, 1);
  EXPECT_EQ(f.list().TipAt(POINT{r.left + 30, r.bottom + 40}), "");
}

TEST(ListCtrl, CapacityBelowTheRowsAndMissingBitmaps) {
  qx::test::TraceCapture trace;
  Fixture f(false, 2, uitest::Library::kMissing);
  ASSERT_TRUE(f.initialised);
  EXPECT_FALSE(f.list().ImagesLoaded());
  EXPECT_TRUE(trace.Contains("[CMyListCtrl] Load check box bitmap error (RADIO_BMP)\n"));
  for (int i = 0; i < 4; ++i) ASSERT_TRUE(f.list().AddRow(nullptr, "row", nullptr, nullptr, 0));
  EXPECT_FALSE(f.list().AddRow(nullptr, nullptr, nullptr, nullptr, 0));
  EXPECT_EQ(f.list().RowCount(), 4);
  EXPECT_EQ(f.list().Row(3), nullptr);
  EXPECT_EQ(f.list().State(3), -1);
  EXPECT_FALSE(f.list().SetTooltip(3, "beyond"));
  f.ClickRow(3);  // no record: ignored
  f.ClickRow(1);
  EXPECT_EQ(f.States(), (std::vector<int>{0, 1, -1, -1}));
  uitest::Picture picture(f.host.Handle());  // draws every row, those beyond the records by default
  f.list().ResetRows();
  EXPECT_EQ(f.list().RowCount(), 0);
  EXPECT_EQ(f.list().Capacity(), 2);
  f.list().DeleteAll();
  EXPECT_EQ(f.list().Capacity(), 0);
}

TEST(ListCtrl, DrawsTheStateImages) {
  Fixture f(true);
  ASSERT_TRUE(f.list().AddRow(nullptr, "Unchecked", nullptr, nullptr, 0));
  ASSERT_TRUE(f.list().AddRow(nullptr, "Checked", nullptr, nullptr, 1));
  ASSERT_TRUE(f.list().AddRow(nullptr, "Fixed", nullptr, nullptr, 3));
  uitest::Picture picture(f.host.Handle());
  RECT icon[3];
  for (int i = 0; i < 3; ++i) {
    icon[i] = RECT{};
    icon[i].left = LVIR_ICON;
    SendMessageA(f.list().Handle(), LVM_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&icon[i]));
    MapWindowPoints(f.list().Handle(), f.host.Handle(), reinterpret_cast<POINT*>(&icon[i]), 2);
  }
  auto signature = [&](const RECT& r) {
    std::vector<COLORREF> pixels;
    for (int y = r.top; y < r.top + 16; ++y)
      for (int x = r.left; x < r.left + 16; ++x) pixels.push_back(picture.At(x, y));
    return pixels;
  };
  EXPECT_NE(signature(icon[0]), signature(icon[1]));  // checked and unchecked differ
  EXPECT_EQ(signature(icon[0]), signature(icon[2]));  // a fixed row shows the unchecked image
}

}  // namespace
