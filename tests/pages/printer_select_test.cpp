// The printer selection page on a medium and a world the tests write: the
// search through the network and utility libraries, the list, the refused
// entry, install-as-server, and what Next records.
#include "setup/pages/printer_select_dlg.h"

#include <gtest/gtest.h>

#include "framework/controls.h"
#include "setup/core/utl.h"
#include "tests/companions/dll_support.h"
#include "tests/ui/ui_test_support.h"

namespace {

using pages::CPrinterSelectDlg;

std::string Fixed(const std::string& options) {
  return "[PRINTERS.FIXED]\r\nLIST_PRINTER_RECT=10,10,380,150\r\nBUTTON_NEXT_RECT=300,260,80,26\r\n"
         "BUTTON_NEXT_NAME=NEXT\r\nBUTTON_NEXT_COMMAND=CMD.NEXT\r\nBUTTON_UPDATE_RECT=200,260,80,26\r\n"
         "BUTTON_UPDATE_NAME=UPDATE\r\nBUTTON_INSTALL_AS_SERVER_RECT=10,200,200,20\r\n"
         "BUTTON_INSTALL_AS_SERVER_NAME=SERVER\r\nCOLUMN_PRINTER_NAME=COL_NAME\r\n" + options +
         "[CMD.NEXT]\r\nCMD_TYPE=CT_OPEN_DLG\r\nCMD_STR=SET_PRINTERS.AFTER\r\n";
}

uitest::MediumFiles Files(const std::string& options, const std::string& fixedKey = "FIXED_ITEM=PRINTERS.FIXED\r\n") {
  uitest::MediumFiles f;
  std::string dir = qx::test::ExeDir();
  f.programInfo = "FINDING_STR1=vexa\r\nFINDING_STR2=laser\r\nNETWORKMAN_DLL=" + dir + "\\qxnetman.dll\r\nUTILITY_DLL=" +
                  dir + "\\qxutil.dll\r\nSNMPFILE=vexa.snmp\r\nNETWORK_MONITOR_NAME=Vexa Port\r\n"
                  "NETWORK_MONITOR_FILE_NT=vexamon.dll\r\nNETWORK_MONITOR_FILE_9X=vexamon9x.dll\r\n";
  f.config = "[SELECT_PRINTER.SEARCH]\r\nDLG_SIZE=400,300\r\n" + fixedKey + Fixed(options);
  f.messagesEn = "NEXT=Next >\r\nUPDATE=Update\r\nSERVER=Install as server\r\nCOL_NAME=Printer\r\n"
                 "SEARCH_PRINTER_MSG=Searching for printers...\r\nSEARCH_PRINTER_DLG=Search\r\n";
  return f;
}

// The world: one matching printer, one that does not match, one matching
// without an address, one offline, two matching local devices.
std::string World(const std::string& mfg) {
  return "[NetworkPrinter:office]\r\nName=Vexa Office\r\nIp=192.168.1.20\r\nMac=00:11:22:33:44:55\r\n"
         "Description=Vexa Laser MFP 9000\r\n"
         "[NetworkPrinter:other]\r\nName=Other Inkjet\r\nIp=192.168.1.30\r\nDescription=Other Inkjet 5\r\n"
         "[NetworkPrinter:noaddr]\r\nName=Vexa Hidden\r\nDescription=VEXA LASER 7\r\n"
         "[NetworkPrinter:off]\r\nName=Vexa Offline\r\nIp=192.168.1.40\r\nDescription=Vexa Laser\r\nOnline=0\r\n"
         "[UsbPrinter:1]\r\nMfg=" + mfg + "\r\nModel=Laser 9000\r\nPort=USB002\r\n"
         "[UsbPrinter:2]\r\nMfg=" + mfg + "\r\nModel=Laser 9000\r\nPort=USB003\r\n";
}

struct SelectPage {
  explicit SelectPage(const std::string& options, const std::string& fixedKey = "FIXED_ITEM=PRINTERS.FIXED\r\n")
      : medium(Files(options, fixedKey)), world(World(medium.Env().GetMfg())) {
    page.SetControlWindow(sink.Handle());
  }
  ~SelectPage() {
    if (page.Window()) page.End(0);
  }
  bool Open() {
    return page.Load("SELECT_PRINTER.SEARCH") && page.CreatePage(nullptr) &&
           uitest::PumpUntil([&] { return page.Searches() >= 1; });
  }
  fw::ListView List() const { return fw::ListView(GetDlgItem(page.Window(), CPrinterSelectDlg::kListId)); }
  HWND Item(int id) const { return GetDlgItem(page.Window(), id); }
  int Row(const std::string& name) const {
    for (int i = 0; i < List().Count(); ++i) {
      if (List().ItemText(i) == name) return i;
    }
    return -1;
  }
  std::string Key() const { return medium.InstallKey(); }

  uitest::PageMedium medium;
  qx::test::WorldFile world;
  uitest::CommandSink sink;
  CPrinterSelectDlg page;
};

TEST(PrinterSelectPage, ListsTheMatchingNetworkPrintersAndTheLocalDevices) {
  SelectPage p("");
  ASSERT_TRUE(p.Open());
  fw::ListView list = p.List();
  std::vector<std::string> names, ports;
  for (int i = 0; i < list.Count(); ++i) {
    names.push_back(list.ItemText(i, 0));
    ports.push_back(list.ItemText(i, 1));
  }
  std::string mdl = p.medium.Env().GetMfg() + " Laser 9000";
  EXPECT_EQ(names, (std::vector<std::string>{"Vexa Office", "Vexa Hidden", mdl + " (0)", mdl + " (1)"}));
  EXPECT_EQ(ports, (std::vector<std::string>{"192.168.1.20", "", "USB002", "USB002"}));
  // The non-matching printer is in the table all the same, for the port page.
  PRINTER_ENTRY* table = p.medium.Env().GetPrinterTable();
  EXPECT_STREQ(table[1].name, "Other Inkjet");
  EXPECT_EQ(table[1].listed, 0);
  EXPECT_EQ(table[1].network, 1);
  EXPECT_FALSE(IsWindowEnabled(p.Item(CPrinterSelectDlg::kNextId)));
  EXPECT_TRUE(IsWindowEnabled(p.Item(CPrinterSelectDlg::kUpdateId)));
  EXPECT_FALSE(IsWindowVisible(p.page.SearchWindow()));
  LVCOLUMNA column{};
  char text[64] = {};
  column.mask = LVCF_TEXT;
  column.pszText = text;
  column.cchTextMax = sizeof(text);
  ASSERT_TRUE(SendMessageA(list.Handle(), LVM_GETCOLUMNA, 1, reinterpret_cast<LPARAM>(&column)));
  EXPECT_STREQ(text, "IP Address/Port Name");
  ASSERT_TRUE(SendMessageA(list.Handle(), LVM_GETCOLUMNA, 0, reinterpret_cast<LPARAM>(&column)));
  EXPECT_STREQ(text, "Printer");

  // Update searches again and finds what the world says now.
  p.world.Rewrite("[NetworkPrinter:x]\r\nName=Vexa New\r\nIp=10.0.0.9\r\nDescription=vexa laser\r\n");
  SendMessageA(p.Item(CPrinterSelectDlg::kUpdateId), BM_CLICK, 0, 0);
  ASSERT_TRUE(uitest::PumpUntil([&] { return p.page.Searches() >= 2; }));
  ASSERT_EQ(list.Count(), 1);
  EXPECT_EQ(list.ItemText(0), "Vexa New");
}

TEST(PrinterSelectPage, ANetworkPrinterWithoutAddressIsRefusedAndTheChosenOneIsRecorded) {
  SelectPage p("");
  ASSERT_TRUE(p.Open());
  fw::ListView list = p.List();
  int hidden = p.Row("Vexa Hidden"), office = p.Row("Vexa Office");
  ASSERT_GE(hidden, 0);
  list.Select(hidden);
  uitest::PumpPending();
  EXPECT_EQ(list.SelectedCount(), 0);
  EXPECT_FALSE(IsWindowEnabled(p.Item(CPrinterSelectDlg::kNextId)));
  list.Select(office);
  uitest::PumpPending();
  ASSERT_TRUE(IsWindowEnabled(p.Item(CPrinterSelectDlg::kNextId)));
  SendMessageA(p.Item(CPrinterSelectDlg::kNextId), BM_CLICK, 0, 0);
  ASSERT_TRUE(uitest::PumpUntil([&] { return !p.sink.commands.empty(); }));
  EXPECT_EQ(p.sink.commands[0].cstrCmdStr, "SET_PRINTERS.AFTER");
  std::string port = p.Key() + "\\Port";
  EXPECT_EQ(CUtl::GetRegString(port.c_str(), "IP"), "192.168.1.20");
  EXPECT_EQ(CUtl::GetRegString(port.c_str(), "MAC"), "00:11:22:33:44:55");
  EXPECT_EQ(CUtl::GetRegString(port.c_str(), "Name", HKEY_LOCAL_MACHINE, "absent"), "");
  EXPECT_EQ(CUtl::GetRegString(port.c_str(), "SnmpFile"), "vexa.snmp");
  EXPECT_EQ(CUtl::GetRegString(port.c_str(), "Monitor"), "Vexa Port");
  EXPECT_EQ(CUtl::GetRegString(port.c_str(), "MonitorFile"), "vexamon.dll");
  EXPECT_EQ(CUtl::GetRegString(p.Key().c_str(), "Printer_Port"), "192.168.1.20");
  EXPECT_EQ(p.medium.Env().ExpandVariables("$IP$"), "192.168.1.20");
}

TEST(PrinterSelectPage, ALocalDeviceWithoutPortRecordingGivesTheScanAddress) {
  SelectPage p("SET_PRINTER_PORT=0\r\n");
  ASSERT_TRUE(p.Open());
  std::string name = p.medium.Env().GetMfg() + " Laser 9000 (1)";
  p.List().Select(p.Row(name));
  uitest::PumpPending();
  ASSERT_TRUE(p.page.Next());
  EXPECT_EQ(p.medium.Env().ExpandVariables("$SCANIP$"), "USB002");
  EXPECT_EQ(CUtl::GetRegString(p.Key().c_str(), "NetScanIP"), "USB002");
  EXPECT_EQ(CUtl::GetRegString(p.Key().c_str(), "Printer_Port", HKEY_LOCAL_MACHINE, "absent"), "absent");
  EXPECT_EQ(CUtl::GetRegString((p.Key() + "\\Port").c_str(), "IP", HKEY_LOCAL_MACHINE, "absent"), "absent");
}

TEST(PrinterSelectPage, SearchOptionsAndTheInstallTypeDecideWhatIsSearched) {
  struct Case {
    const char* options;
    DWORD installType;
    int rows;
  } cases[] = {
      {"SEARCH_NETWORK=0\r\nSEARCH_LOCAL=0\r\n", 0, 0},
      {"SEARCH_NETWORK=0\r\n", 0, 2},
      {"SEARCH_LOCAL=0\r\n", 0, 2},
      {"SEARCH_NETWORK=no\r\n", 0x04, 2},  // any other value keeps it on; bit 0x04 skips the local search
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.options);
    SelectPage p(c.options);
    CUtl::SetRegDword(p.Key().c_str(), "Install_Type", c.installType);
    ASSERT_TRUE(p.Open());
    EXPECT_EQ(p.List().Count(), c.rows);
  }
}

TEST(PrinterSelectPage, InstallAsServerRewritesTheInstallType) {
  SelectPage p("SEARCH_NETWORK=0\r\nSEARCH_LOCAL=0\r\n");
  CUtl::SetRegDword(p.Key().c_str(), "Install_Type", 4);
  ASSERT_TRUE(p.Open());
  fw::Button server(p.Item(CPrinterSelectDlg::kServerId));
  EXPECT_FALSE(server.IsChecked());
  server.Click();
  EXPECT_EQ(CUtl::GetRegDword(p.Key().c_str(), "Install_Type"), 0x14u);
  EXPECT_EQ(CUtl::GetRegDword(p.Key().c_str(), "InstallAsServer", HKEY_LOCAL_MACHINE, 7), 1u);
  server.Click();
  EXPECT_EQ(CUtl::GetRegDword(p.Key().c_str(), "Install_Type"), 4u);
  EXPECT_EQ(CUtl::GetRegDword(p.Key().c_str(), "InstallAsServer", HKEY_LOCAL_MACHINE, 7), 0u);
  // Shown again on a server install type: the box is ticked.
  CUtl::SetRegDword(p.Key().c_str(), "Install_Type", 0x12);
  p.page.Refresh();
  EXPECT_TRUE(server.IsChecked());
}

TEST(PrinterSelectPage, WithoutFixedItemsTheControlsHideAndNothingIsSearched) {
  SelectPage p("", "");
  ASSERT_TRUE(p.page.Load("SELECT_PRINTER.SEARCH"));
  ASSERT_TRUE(p.page.CreatePage(nullptr));
  EXPECT_FALSE(IsWindowVisible(p.Item(CPrinterSelectDlg::kListId)));
  EXPECT_FALSE(IsWindowVisible(p.Item(CPrinterSelectDlg::kNextId)));
  EXPECT_FALSE(p.page.Searching());
  EXPECT_EQ(p.medium.CountInLog("[CPrinterSelectDlg] Get Fixed item setting section name fail (SELECT_PRINTER.SEARCH)\n"),
            1);
}

}  // namespace
