// The driver list page: the drivers the medium's items name, and the choice
// recorded for the scripts before the Next command runs.
#include "setup/pages/printer_drivers_dlg.h"

#include <gtest/gtest.h>

#include "framework/controls.h"
#include "setup/core/utl.h"
#include "tests/ui/ui_test_support.h"

namespace {

using pages::CPrinterDriversDlg;

uitest::MediumFiles Files(const std::string& fixed) {
  uitest::MediumFiles f;
  f.data = "[ITEM_INFO]\r\nCOUNTS=3\r\nITEM_0=A_PRINTER\r\nITEM_1=TOOL\r\nITEM_2=B_PRINTER\r\n"
           "[A_PRINTER]\r\nDISPLAY_NAME=A\r\nDRIVER_NAME=QX Alpha PCL6\r\nPRINTER_NAME=QX Alpha\r\n"
           "[TOOL]\r\nDISPLAY_NAME=T\r\n"
           "[B_PRINTER]\r\nDISPLAY_NAME=B\r\nDRIVER_NAME=QX Beta PS\r\nPRINTER_NAME=QX Beta\r\n";
  f.config = "[SELECT_DRIVER.LIST]\r\nDLG_SIZE=400,300\r\n" + fixed +
             "[DRIVERS.FIXED]\r\nLIST_DRIVER_RECT=10,10,200,150\r\nBUTTON_NEXT_RECT=300,260,80,26\r\n"
             "BUTTON_NEXT_NAME=NEXT\r\nBUTTON_NEXT_COMMAND=CMD.NEXT\r\n"
             "[CMD.NEXT]\r\nCMD_TYPE=CT_OPEN_DLG\r\nCMD_STR=NORMAL.AFTER\r\n";
  f.messagesEn = "NEXT=Next >\r\n";
  return f;
}

TEST(DriversPage, ListsTheItemsDriversAndRecordsTheChoice) {
  uitest::PageMedium medium(Files("FIXED_ITEM=DRIVERS.FIXED\r\n"));
  uitest::CommandSink sink;
  CPrinterDriversDlg page;
  page.SetControlWindow(sink.Handle());
  ASSERT_TRUE(page.Load("SELECT_DRIVER.LIST"));
  ASSERT_TRUE(page.CreatePage(nullptr));
  fw::ListBox list(GetDlgItem(page.Window(), CPrinterDriversDlg::kListId));
  ASSERT_EQ(list.Count(), 2);
  EXPECT_EQ(list.ItemText(1), "QX Beta PS");
  HWND next = GetDlgItem(page.Window(), CPrinterDriversDlg::kNextId);
  EXPECT_EQ(fw::GetText(next), "Next >");
  EXPECT_TRUE(IsWindowEnabled(next));
  list.Select(1);
  SendMessageA(next, BM_CLICK, 0, 0);
  ASSERT_TRUE(uitest::PumpUntil([&] { return !sink.commands.empty(); }));
  EXPECT_EQ(sink.commands[0].cstrCmdStr, "NORMAL.AFTER");
  EXPECT_EQ(CUtl::GetRegString(medium.InstallKey().c_str(), "Selected_Driver"), "QX Beta PS");
  EXPECT_EQ(CUtl::GetRegString(medium.InstallKey().c_str(), "Selected_Printer"), "QX Beta");
  EXPECT_EQ(CUtl::GetRegString(medium.InstallKey().c_str(), "Selected_Item"), "B_PRINTER");
  page.End(0);
}

TEST(DriversPage, WithoutFixedItemsTheControlsHide) {
  uitest::PageMedium medium(Files(""));
  CPrinterDriversDlg page;
  ASSERT_TRUE(page.Load("SELECT_DRIVER.LIST"));
  ASSERT_TRUE(page.CreatePage(nullptr));
  EXPECT_FALSE(IsWindowVisible(GetDlgItem(page.Window(), CPrinterDriversDlg::kListId)));
  EXPECT_FALSE(IsWindowVisible(GetDlgItem(page.Window(), CPrinterDriversDlg::kNextId)));
  EXPECT_EQ(medium.CountInLog("[CPrinterDriversDlg] Get Fixed item setting section name fail (SELECT_DRIVER.LIST)\n"), 1);
  EXPECT_EQ(page.Drivers().size(), 2u);
  page.End(0);
}

}  // namespace
