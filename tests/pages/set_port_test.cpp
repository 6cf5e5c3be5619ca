// The port setup page over a printer table the test fills: the offered
// printers and the preselection, the proposed port name, the comma rule, the
// invalid-port-name message and what Next records.
#include "setup/pages/set_port_dlg.h"
#include "setup/pages/printer_rules.h"

#include <gtest/gtest.h>
#include <commctrl.h>

#include <cstdio>

#include "framework/controls.h"
#include "setup/core/utl.h"
#include "tests/pages/message_boxes.h"
#include "tests/ui/ui_test_support.h"

namespace {

using pages::CSetPortDlg;

uitest::MediumFiles Files(const std::string& fixedKey = "FIXED_ITEM=PORT.FIXED\r\n", const std::string& more = "") {
  uitest::MediumFiles f;
  f.programInfo = "SNMPFILE=vexa.snmp\r\nNETWORK_MONITOR_NAME=Vexa Port\r\nNETWORK_MONITOR_FILE_NT=vexamon.dll\r\n"
                  "NETWORK_MONITOR_FILE_9X=vexamon9x.dll\r\n";
  f.config = "[SET_PORT.MAIN]\r\nDLG_SIZE=400,300\r\n" + fixedKey +
             "[PORT.FIXED]\r\nCOMBO_PRINTERS_RECT=10,10,200,120\r\nSTATIC_IP_NAME=IPL\r\nSTATIC_IP_RECT=10,40,80,20\r\n"
             "EDIT_IP_RECT=100,40,150,22\r\nSTATIC_PORTNAME_NAME=PNL\r\nSTATIC_PORTNAME_RECT=10,70,80,20\r\n"
             "EDIT_PORTNAME_RECT=100,70,150,22\r\nEDIT_PORTTYPE_RECT=100,100,150,22\r\nBUTTON_NEXT_NAME=NEXT\r\n"
             "BUTTON_NEXT_RECT=300,260,80,26\r\nBUTTON_NEXT_COMMAND=CMD.NEXT\r\n" + more +
             "[CMD.NEXT]\r\nCMD_TYPE=CT_OPEN_DLG\r\nCMD_STR=INSTALL.RUN\r\n";
  f.messagesEn = "NEXT=Next >\r\nIPL=IP address\r\nPNL=Port name\r\nBADPORT=No port [%s] %d\r\n";
  return f;
}

struct Net {
  const char* name;
  const char* address;
  bool network, listed;
};

void FillTable(PRINTER_ENTRY* table, std::initializer_list<Net> entries) {
  int i = 0;
  for (const Net& n : entries) {
    PRINTER_ENTRY& e = table[i++];
    std::snprintf(e.name, sizeof(e.name), "%s", n.name);
    std::snprintf(e.address, sizeof(e.address), "%s", n.address);
    e.network = n.network;
    e.listed = n.listed;
    e.hasAddress = n.network && pages::IsIpAddress(n.address);
  }
}

struct PortPage {
  explicit PortPage(const uitest::MediumFiles& files) : medium(files) { page.SetControlWindow(sink.Handle()); }
  ~PortPage() {
    if (page.Window()) page.End(0);
  }
  bool Open() { return page.Load("SET_PORT.MAIN") && page.CreatePage(nullptr); }
  HWND Item(int id) const { return GetDlgItem(page.Window(), id); }
  std::string Ip() const {
    DWORD a = 0;
    SendMessageA(Item(CSetPortDlg::kIpId), IPM_GETADDRESS, 0, reinterpret_cast<LPARAM>(&a));
    char text[32];
    std::snprintf(text, sizeof(text), "%d.%d.%d.%d", static_cast<int>(FIRST_IPADDRESS(a)),
                  static_cast<int>(SECOND_IPADDRESS(a)), static_cast<int>(THIRD_IPADDRESS(a)),
                  static_cast<int>(FOURTH_IPADDRESS(a)));
    return text;
  }
  uitest::PageMedium medium;
  uitest::CommandSink sink;
  CSetPortDlg page;
};

TEST(SetPortPage, OffersTheNetworkPrintersAndPreselectsTheLastListedOne) {
  PortPage p(Files());
  FillTable(p.medium.Env().GetPrinterTable(), {{"A", "192.168.1.20", true, true},
                                               {"Local", "USB001", false, true},
                                               {"B", "printer.local", true, false},
                                               {"C", "10.1.2.3", true, true},
                                               {"D", "10.9.9.9", true, false}});
  ASSERT_TRUE(p.Open());
  fw::ComboBox combo(p.Item(CSetPortDlg::kComboId));
  ASSERT_EQ(combo.Count(), 4);
  EXPECT_EQ(p.page.Positions(), (std::vector<int>{0, 2, 3, 4}));
  EXPECT_EQ(combo.SelectedText(), "C");
  EXPECT_EQ(fw::GetText(p.Item(CSetPortDlg::kPortNameId)), "IP_10.1.2.3");
  EXPECT_EQ(p.Ip(), "10.1.2.3");
  EXPECT_EQ(fw::GetText(p.Item(CSetPortDlg::kPortTypeId)), "TCP/IP");

  // An entry without a usable address: no name proposed, the address stays.
  combo.Select(1);
  SendMessageA(p.page.Window(), WM_COMMAND, MAKEWPARAM(CSetPortDlg::kComboId, CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(combo.Handle()));
  EXPECT_EQ(fw::GetText(p.Item(CSetPortDlg::kPortNameId)), "");
  EXPECT_EQ(p.Ip(), "10.1.2.3");

  pagetest::MessageBoxes boxes;
  EXPECT_FALSE(p.page.Next());
  ASSERT_EQ(boxes.Shown().size(), 1u);
  EXPECT_EQ(boxes.Shown()[0].text, "The \"\" Port name is not available!!");
  EXPECT_EQ(boxes.Shown()[0].caption, p.medium.Env().GetProgramName());
  EXPECT_EQ(boxes.Shown()[0].type & MB_ICONMASK, static_cast<unsigned>(MB_ICONHAND));
  EXPECT_EQ(CUtl::GetRegString((p.medium.InstallKey() + "\\Port").c_str(), "IP", HKEY_LOCAL_MACHINE, "absent"),
            "absent");
  EXPECT_TRUE(p.sink.commands.empty());
}

TEST(SetPortPage, CommasAreRemovedWithOneBeepAndTheCaretAtTheEnd) {
  PortPage p(Files());
  ASSERT_TRUE(p.Open());
  HWND edit = p.Item(CSetPortDlg::kPortNameId);
  SetWindowTextA(edit, "IP_A,B");
  EXPECT_EQ(fw::GetText(edit), "IP_AB");
  EXPECT_EQ(p.page.Beeps(), 1);
  DWORD start = 0, end = 0;
  SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, 5u);
  EXPECT_EQ(end, 5u);
  SetWindowTextA(edit, "Plain");
  EXPECT_EQ(p.page.Beeps(), 1);
  SetWindowTextA(edit, std::string(300, 'x').c_str());  // longer than a port name may be
  EXPECT_LE(fw::GetText(edit).size(), 300u);
}

TEST(SetPortPage, NextRecordsTheTypedPortWithTheShownAddress) {
  PortPage p(Files());
  FillTable(p.medium.Env().GetPrinterTable(), {{"A", "192.168.1.20", true, true}});
  ASSERT_TRUE(p.Open());
  SetWindowTextA(p.Item(CSetPortDlg::kPortNameId), "Office_Port");
  SendMessageA(p.Item(CSetPortDlg::kNextId), BM_CLICK, 0, 0);
  ASSERT_TRUE(uitest::PumpUntil([&] { return !p.sink.commands.empty(); }));
  EXPECT_EQ(p.sink.commands[0].cstrCmdStr, "INSTALL.RUN");
  std::string port = p.medium.InstallKey() + "\\Port";
  EXPECT_EQ(CUtl::GetRegString(port.c_str(), "Name"), "Office_Port");
  EXPECT_EQ(CUtl::GetRegString(port.c_str(), "IP"), "192.168.1.20");
  EXPECT_EQ(CUtl::GetRegString(port.c_str(), "MAC", HKEY_LOCAL_MACHINE, "absent"), "");
  EXPECT_EQ(CUtl::GetRegString(port.c_str(), "MonitorFile"), "vexamon.dll");
  EXPECT_EQ(CUtl::GetRegString(p.medium.InstallKey().c_str(), "Printer_Port"), "Office_Port");
  EXPECT_EQ(p.medium.Env().ExpandVariables("$IP$"), "192.168.1.20");
}

TEST(SetPortPage, TheScriptsMessageIsShownWithoutTakingTheTypedTextAsAFormat) {
  PortPage p(Files("FIXED_ITEM=PORT.FIXED\r\n", "MSG_INVALID_PORT_NAME=BADPORT\r\n"));
  ASSERT_TRUE(p.Open());
  EXPECT_EQ(fw::ComboBox(p.Item(CSetPortDlg::kComboId)).Count(), 0);
  EXPECT_EQ(fw::GetText(p.Item(CSetPortDlg::kPortNameId)), "");
  pagetest::MessageBoxes boxes;
  EXPECT_FALSE(p.page.Next());
  ASSERT_EQ(boxes.Shown().size(), 1u);
  EXPECT_EQ(boxes.Shown()[0].text, "No port [] %d");
}

TEST(SetPortPage, WithoutFixedItemsTheControlsHide) {
  PortPage p(Files(""));
  ASSERT_TRUE(p.Open());
  EXPECT_FALSE(IsWindowVisible(p.Item(CSetPortDlg::kComboId)));
  EXPECT_FALSE(IsWindowVisible(p.Item(CSetPortDlg::kNextId)));
  EXPECT_EQ(p.medium.CountInLog("[CPrinterDriversDlg] Get Fixed item setting section name fail (SET_PORT.MAIN)\n"), 1);
}

}  // namespace
