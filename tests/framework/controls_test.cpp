#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/controls.h"
#include "framework/dialog.h"

namespace {

enum : WORD { kCheck = 101, kPush, kEdit, kList, kCombo, kListView, kProgress, kLabel };

// One dialog with every wrapped control; it records the clicks it is told of.
class ControlsDialog : public fw::Dialog {
 public:
  std::vector<WORD> clicks;

 protected:
  bool OnCommand(WORD id, WORD code, HWND control) override {
    if (code == BN_CLICKED && id != IDOK && id != IDCANCEL) clicks.push_back(id);
    return fw::Dialog::OnCommand(id, code, control);
  }
};

class Controls : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(fw::InitCommonControlsOnce());
    fw::DialogTemplate t("Controls", WS_POPUP | WS_CAPTION, 0, 0, 300, 220);
    t.Add(0x80, "Check", kCheck, WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX, 5, 5, 60, 10)
        .Add(0x80, "Push", kPush, WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 70, 5, 50, 14)
        .Add(0x81, "start", kEdit, WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, 5, 25, 100, 12)
        .Add(0x83, "", kList, WS_CHILD | WS_VISIBLE | LBS_NOTIFY, 5, 40, 100, 40)
        .Add(0x85, "", kCombo, WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST, 110, 40, 100, 60)
        .Add(WC_LISTVIEWA, "", kListView, WS_CHILD | WS_VISIBLE | LVS_SHOWSELALWAYS, 5, 90, 200, 80)
        .Add(PROGRESS_CLASSA, "", kProgress, WS_CHILD | WS_VISIBLE, 5, 180, 200, 10)
        .Add(0x82, "Label", kLabel, WS_CHILD | WS_VISIBLE, 5, 195, 200, 10);
    ASSERT_TRUE(dialog_.CreateModeless(t, nullptr));
  }
  void TearDown() override { dialog_.End(0); }

  ControlsDialog dialog_;
};

TEST_F(Controls, ButtonCheckAndClick) {
  fw::Button check(dialog_, kCheck);
  EXPECT_FALSE(check.IsChecked());
  check.SetChecked(true);
  EXPECT_EQ(check.GetCheck(), BST_CHECKED);
  check.Click();  // an auto check box toggles and tells its parent
  EXPECT_FALSE(check.IsChecked());
  fw::Button(dialog_, kPush).Click();
  EXPECT_EQ(dialog_.clicks, (std::vector<WORD>{kCheck, kPush}));
  EXPECT_EQ(check.Id(), kCheck);
  check.Enable(false);
  EXPECT_FALSE(check.IsEnabled());
}

TEST_F(Controls, EditTextLimitAndReadOnly) {
  fw::Edit edit(dialog_, kEdit);
  EXPECT_EQ(edit.Text(), "start");
  edit.SetLimit(5);
  EXPECT_EQ(edit.Limit(), 5);
  edit.SetText("");
  edit.ReplaceSelection("abcdefgh");  // typed input is cut at the limit
  EXPECT_EQ(edit.Text(), "abcde");
  EXPECT_FALSE(edit.IsReadOnly());
  edit.SetReadOnly(true);
  EXPECT_TRUE(edit.IsReadOnly());
  std::string longText(5000, 'x');  // longer than any fixed buffer would hold
  EXPECT_TRUE(fw::SetText(edit, longText));
  EXPECT_EQ(fw::GetText(edit), longText);
  EXPECT_EQ(fw::GetText(nullptr), "");
}

TEST_F(Controls, ListBoxItems) {
  fw::ListBox list(dialog_, kList);
  EXPECT_EQ(list.Add("alpha"), 0);
  EXPECT_EQ(list.Add("beta"), 1);
  EXPECT_EQ(list.Insert(0, "first"), 0);
  EXPECT_EQ(list.Count(), 3);
  EXPECT_EQ(list.ItemText(1), "alpha");
  EXPECT_EQ(list.ItemText(7), "");
  EXPECT_EQ(list.FindExact("beta"), 2);
  EXPECT_TRUE(list.SetItemData(2, 1234));
  EXPECT_EQ(list.ItemData(2), 1234);
  EXPECT_EQ(list.Selected(), LB_ERR);
  EXPECT_TRUE(list.Select(2));
  EXPECT_EQ(list.Selected(), 2);
  EXPECT_FALSE(list.Select(9));
  EXPECT_TRUE(list.Delete(0));
  EXPECT_EQ(list.Count(), 2);
  list.Reset();
  EXPECT_EQ(list.Count(), 0);
}

TEST_F(Controls, ComboBoxItems) {
  fw::ComboBox combo(dialog_, kCombo);
  for (const char* country : {"Austria", "Belgium", "Canada"}) combo.Add(country);
  EXPECT_EQ(combo.Count(), 3);
  EXPECT_EQ(combo.SelectedText(), "");
  EXPECT_TRUE(combo.Select(1));
  EXPECT_EQ(combo.Selected(), 1);
  EXPECT_EQ(combo.SelectedText(), "Belgium");
  EXPECT_EQ(combo.ItemText(2), "Canada");
  EXPECT_EQ(combo.ItemText(-5), "");
  EXPECT_EQ(combo.FindExact("Canada"), 2);
  EXPECT_TRUE(combo.SetItemData(0, 77));
  EXPECT_EQ(combo.ItemData(0), 77);
  EXPECT_TRUE(combo.Select(-1));
  EXPECT_EQ(combo.Selected(), CB_ERR);
}

TEST_F(Controls, ListViewReportRowsChecksAndSelection) {
  fw::ListView list(dialog_, kListView);
  list.SetReportMode();
  EXPECT_EQ(GetWindowLongA(list, GWL_STYLE) & LVS_TYPEMASK, LVS_REPORT);
  list.EnableCheckBoxes(true);
  EXPECT_TRUE(list.ExtendedStyle() & LVS_EX_CHECKBOXES);
  EXPECT_EQ(list.InsertColumn(0, "Item", 120), 0);
  EXPECT_EQ(list.InsertColumn(1, "Size", 60, LVCFMT_RIGHT), 1);
  EXPECT_EQ(list.ColumnCount(), 2);
  EXPECT_EQ(list.ColumnWidth(1), 60);

  EXPECT_EQ(list.AddItem("Printer driver", 11), 0);
  EXPECT_EQ(list.AddItem("Status monitor", 22), 1);
  EXPECT_EQ(list.InsertItem(0, "Manual", 33), 0);
  ASSERT_EQ(list.Count(), 3);
  EXPECT_TRUE(list.SetItemText(1, 1, "12 MB"));
  EXPECT_EQ(list.ItemText(1), "Printer driver");
  EXPECT_EQ(list.ItemText(1, 1), "12 MB");
  std::string longText(600, 'n');  // beyond the first read buffer
  EXPECT_TRUE(list.SetItemText(2, 1, longText.c_str()));
  EXPECT_EQ(list.ItemText(2, 1), longText);
  EXPECT_EQ(list.ItemData(0), 33);
  EXPECT_EQ(list.ItemData(2), 22);

  EXPECT_FALSE(list.IsChecked(1));
  EXPECT_TRUE(list.SetChecked(1, true));
  EXPECT_TRUE(list.IsChecked(1));
  EXPECT_FALSE(list.IsChecked(0));
  EXPECT_TRUE(list.SetStateImage(0, 3));  // a third state image, as for greyed rows
  EXPECT_EQ(list.StateImage(0), 3);

  EXPECT_EQ(list.FirstSelected(), -1);
  EXPECT_TRUE(list.Select(2));
  EXPECT_EQ(list.FirstSelected(), 2);
  EXPECT_EQ(list.SelectedCount(), 1);
  EXPECT_TRUE(list.Select(-1, false));
  EXPECT_EQ(list.SelectedCount(), 0);

  EXPECT_TRUE(list.DeleteItem(0));
  EXPECT_EQ(list.ItemData(0), 11);
  EXPECT_TRUE(list.DeleteAll());
  EXPECT_EQ(list.Count(), 0);
}

TEST_F(Controls, ListViewImages) {
  fw::ListView list(dialog_, kListView);
  list.SetReportMode();
  list.InsertColumn(0, "Item", 100);
  HIMAGELIST images = ImageList_Create(16, 16, ILC_COLOR24 | ILC_MASK, 3, 0);
  ASSERT_NE(images, nullptr);
  list.SetImageList(images);
  EXPECT_EQ(list.AddItem("row", 0, 2), 0);
  EXPECT_EQ(list.ItemImage(0), 2);
  EXPECT_TRUE(list.SetItemImage(0, 1));
  EXPECT_EQ(list.ItemImage(0), 1);
  EXPECT_EQ(list.ItemImage(5), -1);
  // Without LVS_SHAREIMAGELISTS the list destroys the image list with itself.
}

TEST_F(Controls, ProgressBarRangeAndPosition) {
  fw::ProgressBar bar(dialog_, kProgress);
  bar.SetRange(10, 500);
  EXPECT_EQ(bar.Low(), 10);
  EXPECT_EQ(bar.High(), 500);
  bar.SetPosition(250);
  EXPECT_EQ(bar.Position(), 250);
  bar.SetPosition(9999);  // clamped to the range
  EXPECT_EQ(bar.Position(), 500);
  bar.SetPosition(100);
  bar.SetStep(7);
  bar.Step();
  EXPECT_EQ(bar.Position(), 107);
}

}  // namespace
