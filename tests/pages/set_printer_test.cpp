// The printer settings page over item records the test writes: which
// printers are listed, the default and share markers, the row click, the
// character rules and what Apply writes back.
#include "setup/pages/set_printer_dlg.h"

#include <gtest/gtest.h>
#include <commctrl.h>

#include "framework/controls.h"
#include "setup/core/utl.h"
#include "tests/pages/message_boxes.h"
#include "tests/ui/ui_test_support.h"

namespace {

using pages::CSetPrinterDlg;

uitest::MediumFiles Files(const std::string& fixedKey = "FIXED_ITEM=SETTINGS.FIXED\r\n") {
  uitest::MediumFiles f;
  f.config = "[SET_PRINTERS.MAIN]\r\nDLG_SIZE=420,320\r\n" + fixedKey +
             "[SETTINGS.FIXED]\r\nSTATIC_PRINTERS_NAME=HEAD\r\nSTATIC_PRINTERS_RECT=10,5,300,20\r\n"
             "LIST_PRINTER_RECT=10,30,380,100\r\nSTATIC_PRINTER_NAME_NAME=PN\r\nSTATIC_PRINTER_NAME_RECT=10,140,90,20\r\n"
             "EDIT_PRINTER_NAME_RECT=110,140,200,22\r\nSTATIC_SHARED_NAME_NAME=SN\r\nSTATIC_SHARED_NAME_RECT=10,170,90,20\r\n"
             "EDIT_SHARED_NAME_RECT=110,170,200,22\r\nBUTTON_SHARE_PRINTER_NAME=SH\r\nBUTTON_SHARE_PRINTER_RECT=10,200,150,20\r\n"
             "BUTTON_SET_DEFAULT_NAME=DF\r\nBUTTON_SET_DEFAULT_RECT=170,200,150,20\r\nBUTTON_APPLY_NAME=AP\r\n"
             "BUTTON_APPLY_RECT=320,260,80,26\r\nDEFAULT_STRING=DEFLABEL\r\nBUTTON_NEXT_NAME=NX\r\n"
             "BUTTON_NEXT_RECT=320,290,80,26\r\nBUTTON_NEXT_COMMAND=CMD.NEXT\r\n"
             "[CMD.NEXT]\r\nCMD_TYPE=CT_OPEN_FINISH\r\nCMD_STR=FINISH.DONE\r\n";
  f.messagesEn = "HEAD=Printers on %s\r\nPN=Name\r\nSN=Share name\r\nSH=Share\r\nDF=Default\r\nAP=Apply\r\n"
                 "DEFLABEL=Standard\r\n";
  return f;
}

struct ItemRecord {
  const char* key;
  DWORD install;
  const char* printer;
  const char* shareName;
  DWORD share;
};

struct SettingsPage {
  explicit SettingsPage(const uitest::MediumFiles& files = Files()) : medium(files) {
    page.SetControlWindow(sink.Handle());
  }
  ~SettingsPage() {
    if (page.Window()) page.End(0);
  }
  void Items(std::initializer_list<ItemRecord> items) {
    for (const ItemRecord& i : items) {
      std::string key = ItemKey(i.key);
      CUtl::SetRegDword(key.c_str(), "Install", i.install);
      CUtl::SetRegString(key.c_str(), "Printer_Name", i.printer);
      CUtl::SetRegString(key.c_str(), "Share_Name", i.shareName);
      CUtl::SetRegDword(key.c_str(), "Share", i.share);
    }
  }
  std::string ItemKey(const char* item) const { return medium.InstallKey() + "\\Items\\" + item; }
  bool Open() { return page.Load("SET_PRINTERS.MAIN") && page.CreatePage(nullptr); }
  HWND Item(int id) const { return GetDlgItem(page.Window(), id); }
  fw::ListView List() const { return fw::ListView(Item(CSetPrinterDlg::kListId)); }
  bool ClickRow(int row) {
    RECT r{};
    r.left = LVIR_BOUNDS;
    SendMessageA(List().Handle(), LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&r));
    return page.ClickAt(POINT{r.left + 5, (r.top + r.bottom) / 2});
  }
  std::string Root() const { return medium.InstallKey(); }

  uitest::PageMedium medium;
  uitest::CommandSink sink;
  CSetPrinterDlg page;
};

TEST(SetPrinterPage, ListsTheInstalledPrintersWithTheirMarkers) {
  SettingsPage p;
  p.Items({{"A_OFFICE", 1, "Vexa Office", "office", 0},
           {"B_NOT_INSTALLED", 0, "Vexa Other", "", 0},
           {"C_NO_PRINTER", 1, "", "", 0},
           {"D_LAB", 1, "Vexa Lab", "lab", 1}});
  CUtl::SetRegString(p.Root().c_str(), "Default_Printer", "VEXA LAB");
  CUtl::SetRegString(p.Root().c_str(), "Printer_Port", "IP_10.0.0.5");
  ASSERT_TRUE(p.Open());
  ASSERT_EQ(p.page.Count(), 2);
  fw::ListView list = p.List();
  ASSERT_EQ(list.Count(), 2);
  EXPECT_EQ(list.ItemText(0, 0), "Vexa Office");
  EXPECT_EQ(list.ItemText(0, 1), "");
  EXPECT_EQ(list.ItemText(0, 2), "");
  EXPECT_EQ(list.ItemText(1, 0), "Vexa Lab");
  EXPECT_EQ(list.ItemText(1, 1), "[Standard]");
  EXPECT_EQ(list.ItemText(1, 2), "[Share:lab]");
  EXPECT_STREQ(p.page.Entry(1).text4, p.ItemKey("D_LAB").c_str());
  EXPECT_EQ(fw::GetText(p.Item(CSetPrinterDlg::kHeadingId)), "Printers on IP_10.0.0.5");

  // InstallAsServer marks every printer shared, whatever its Share value.
  CUtl::SetRegDword(p.Root().c_str(), "InstallAsServer", 1);
  p.page.Refresh();
  EXPECT_EQ(list.ItemText(0, 2), "[Share:office]");
  EXPECT_EQ(p.page.Entry(0).shared, 1);
}

TEST(SetPrinterPage, ARowClickFillsTheFieldsAndAClickBelowTheRowsChangesNothing) {
  SettingsPage p;
  p.Items({{"A", 1, "Vexa Office", "office", 0}, {"B", 1, "Vexa Lab", "lab", 1}});
  ASSERT_TRUE(p.Open());
  ASSERT_TRUE(p.ClickRow(1));
  EXPECT_EQ(p.page.Selected(), 1);
  EXPECT_EQ(fw::GetText(p.Item(CSetPrinterDlg::kNameId)), "Vexa Lab");
  EXPECT_EQ(fw::GetText(p.Item(CSetPrinterDlg::kShareNameId)), "lab");
  EXPECT_TRUE(fw::Button(p.Item(CSetPrinterDlg::kShareId)).IsChecked());
  EXPECT_TRUE(IsWindowEnabled(p.Item(CSetPrinterDlg::kShareNameId)));
  RECT client{};
  GetClientRect(p.List().Handle(), &client);
  EXPECT_FALSE(p.page.ClickAt(POINT{5, client.bottom - 2}));
  EXPECT_EQ(p.page.Selected(), 1);
  EXPECT_EQ(fw::GetText(p.Item(CSetPrinterDlg::kNameId)), "Vexa Lab");
  ASSERT_TRUE(p.ClickRow(0));
  EXPECT_FALSE(IsWindowEnabled(p.Item(CSetPrinterDlg::kShareNameId)));
}

TEST(SetPrinterPage, ForbiddenCharactersAreRemovedWithOneMessage) {
  SettingsPage p;
  p.Items({{"A", 1, "Vexa Office", "office", 1}});
  ASSERT_TRUE(p.Open());
  ASSERT_TRUE(p.ClickRow(0));
  struct Case {
    int field;
    const char* typed;
    const char* after;
    const char* message;
  } cases[] = {
      {CSetPrinterDlg::kNameId, "Vexa!", "Vexa", "A printer name cannot contain the characters '!''\\',or ','."},
      {CSetPrinterDlg::kNameId, "a!b\\c,d/e", "abcd/e", "A printer name cannot contain the characters '!''\\',or ','."},
      {CSetPrinterDlg::kShareNameId, "s/h\\a,r!e", "shar!e", "A share name cannot contain the charaters '/''\\',or ','."},
      {CSetPrinterDlg::kNameId, "Plain", "Plain", nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    pagetest::MessageBoxes boxes;
    SetWindowTextA(p.Item(c.field), c.typed);
    EXPECT_EQ(fw::GetText(p.Item(c.field)), c.after);
    ASSERT_EQ(boxes.Shown().size(), c.message ? 1u : 0u);
    if (c.message) {
      EXPECT_EQ(boxes.Shown()[0].text, c.message);
      EXPECT_EQ(boxes.Shown()[0].type & MB_ICONMASK, static_cast<unsigned>(MB_ICONEXCLAMATION));
    }
  }
}

TEST(SetPrinterPage, ApplyWritesRenameShareAndOneDefaultBack) {
  SettingsPage p;
  p.Items({{"A", 1, "Vexa Office", "", 0}, {"B", 1, "Vexa Lab", "lab", 1}});
  CUtl::SetRegString(p.Root().c_str(), "Default_Printer", "Vexa Lab");
  ASSERT_TRUE(p.Open());
  ASSERT_TRUE(p.ClickRow(0));
  SetWindowTextA(p.Item(CSetPrinterDlg::kNameId), "Vexa Front");
  fw::Button(p.Item(CSetPrinterDlg::kShareId)).Click();
  SetWindowTextA(p.Item(CSetPrinterDlg::kShareNameId), "front");
  fw::Button(p.Item(CSetPrinterDlg::kDefaultId)).Click();
  EXPECT_EQ(p.page.Entry(1).isDefault, 0);  // only one default
  fw::Button(p.Item(CSetPrinterDlg::kApplyId)).Click();
  EXPECT_EQ(CUtl::GetRegString(p.ItemKey("A").c_str(), "Printer_Name"), "Vexa Front");
  EXPECT_EQ(CUtl::GetRegString(p.ItemKey("A").c_str(), "Share_Name"), "front");
  EXPECT_EQ(CUtl::GetRegDword(p.ItemKey("A").c_str(), "Share"), 1u);
  EXPECT_EQ(CUtl::GetRegDword(p.ItemKey("B").c_str(), "Share"), 1u);
  EXPECT_EQ(CUtl::GetRegString(p.Root().c_str(), "Default_Printer"), "Vexa Front");
  EXPECT_EQ(p.List().ItemText(0, 0), "Vexa Front");
  EXPECT_EQ(p.List().ItemText(0, 1), "[Standard]");
  EXPECT_EQ(p.List().ItemText(1, 1), "");

  // Clearing the default leaves none, also after loading again.
  fw::Button(p.Item(CSetPrinterDlg::kDefaultId)).Click();
  fw::Button(p.Item(CSetPrinterDlg::kApplyId)).Click();
  EXPECT_EQ(CUtl::GetRegString(p.Root().c_str(), "Default_Printer", HKEY_LOCAL_MACHINE, "absent"), "absent");
  p.page.Refresh();
  EXPECT_EQ(p.page.Entry(0).isDefault + p.page.Entry(1).isDefault, 0);
  EXPECT_EQ(p.page.Selected(), -1);
  EXPECT_EQ(fw::GetText(p.Item(CSetPrinterDlg::kNameId)), "");
}

TEST(SetPrinterPage, NextAppliesTheFieldsBeforeItsCommandRuns) {
  SettingsPage p;
  p.Items({{"A", 1, "Vexa Office", "", 0}});
  ASSERT_TRUE(p.Open());
  ASSERT_TRUE(p.ClickRow(0));
  SetWindowTextA(p.Item(CSetPrinterDlg::kNameId), "Vexa Renamed");
  SendMessageA(p.Item(CSetPrinterDlg::kNextId), BM_CLICK, 0, 0);
  ASSERT_TRUE(uitest::PumpUntil([&] { return !p.sink.commands.empty(); }));
  EXPECT_EQ(p.sink.commands[0].cstrCmdType, "CT_OPEN_FINISH");
  EXPECT_EQ(CUtl::GetRegString(p.ItemKey("A").c_str(), "Printer_Name"), "Vexa Renamed");
}

TEST(SetPrinterPage, WithoutItemsOrFixedItemsTheListStaysEmptyAndTheLogSays) {
  SettingsPage p(Files(""));
  ASSERT_TRUE(p.Open());
  EXPECT_EQ(p.page.Count(), 0);
  EXPECT_FALSE(IsWindowVisible(p.Item(CSetPrinterDlg::kListId)));
  EXPECT_EQ(p.medium.CountInLog("[CPrinterSelectDlg] Get Fixed item setting section name fail (SET_PRINTERS.MAIN)\n"), 1);
  EXPECT_EQ(p.medium.CountInLog("[CSetPrinterDlg] Open " + p.Root() + "\\Items key error!!\n"), 1);
}

}  // namespace
