// The item selection page: which items are listed and how, what Next marks and
// records, the network-scan redirect, the destination browse and its limits.
#include "setup/pages/select_items_dlg.h"

#include <gtest/gtest.h>

#include "framework/controls.h"
#include "framework/message_box.h"
#include "setup/core/utl.h"
#include "tests/ui/browser_driver.h"
#include "tests/ui/ui_test_support.h"

namespace {

using pages::CSelectItems;

std::string Item(const std::string& name, const std::string& check, const std::string& extra = "") {
  return "[" + name + "]\r\nDISPLAY_NAME=N_" + name + "\r\nCHK_LC_TYPICAL=" + check + "\r\n" + extra;
}

uitest::MediumFiles Files(const std::string& fixedKey = "FIXED_ITEM=ITEMS.FIXED\r\n") {
  uitest::MediumFiles f;
  f.data = "[ITEM_INFO]\r\nCOUNTS=8\r\nITEM_0=TICKED\r\nITEM_1=OPTIONAL\r\nITEM_2=ALWAYS\r\nITEM_3=SILENT\r\n"
           "ITEM_4=HIDDEN\r\nITEM_5=NET_SCAN_TOOL\r\nITEM_6=ODD\r\nITEM_7=DONE\r\n" +
           Item("TICKED", "2", "DESCRIPTION=D_TICKED\r\nTOOLTIP=T_TICKED\r\n") + Item("OPTIONAL", "3") +
           Item("ALWAYS", "4") + Item("SILENT", "1") + Item("HIDDEN", "0") + Item("NET_SCAN_TOOL", "3") +
           Item("ODD", "9") + Item("DONE", "5");
  f.config = "[SELECT_ITEM.CUSTOM]\r\nDLG_SIZE=520,380\r\n" + fixedKey +
             "[ITEMS.FIXED]\r\nLIST_ITEMS_RECT=24,72,300,196\r\nSTATIC_DESCRIPTION_NAME=H_DESC\r\n"
             "STATIC_DESCRIPTION_RECT=336,72,160,18\r\nSTATIC_DESCRIPTOR_RECT=336,94,160,174\r\n"
             "STATIC_DESTINATION_NAME=H_DEST\r\nSTATIC_DESTINATION_RECT=24,276,300,18\r\nICON_FOLDER_RECT=24,298,16,16\r\n"
             "STATIC_PATH_DESC_NAME=H_PATH\r\nSTATIC_PATH_DESC_RECT=44,298,60,18\r\nSTATIC_PATH_RECT=106,298,290,18\r\n"
             "BUTTON_BROWSE_NAME=B_BROWSE\r\nBUTTON_BROWSE_RECT=410,294,86,24\r\nBUTTON_NEXT_NAME=B_NEXT\r\n"
             "BUTTON_NEXT_RECT=320,340,80,26\r\nBUTTON_NEXT_COMMAND=CMD.NEXT\r\n"
             "[CMD.NEXT]\r\nCMD_TYPE=CT_OPEN_DLG\r\nCMD_STR=INSTALL.PROGRESS\r\nCMD_PARAM=NORMAL.NET_SCAN_INFO\r\n"
             "[FIXED_DIALOG]\r\nBROWSE_DIRECTORY=BROWSE.DEST\r\n"
             "[BROWSE.DEST]\r\nDLG_TITLE=BT\r\nPATH_NOT_FOUND_MSG=NF\r\n";
  f.messagesEn = "N_TICKED=Ticked item\r\nN_OPTIONAL=Optional item\r\nN_ALWAYS=Always item\r\nN_NET_SCAN_TOOL=Scan\r\n"
                 "N_DONE=Done item\r\nD_TICKED=About the ticked item\r\nT_TICKED=Tip of the ticked item\r\n"
                 "H_DESC=Description\r\nH_DEST=Destination\r\nH_PATH=Folder:\r\nB_BROWSE=Browse...\r\nB_NEXT=Install\r\n"
                 "BT=Choose\r\nNF=Create %s?\r\n";
  return f;
}

struct Page {
  explicit Page(const uitest::MediumFiles& files, DWORD installType = 0) : medium(files) {
    CUtl::SetRegDword(medium.InstallKey().c_str(), "Install_Type", installType);
    page.SetControlWindow(sink.Handle());
    loaded = page.Load("SELECT_ITEM.CUSTOM");
    created = loaded && page.CreatePage(nullptr);
  }
  ~Page() {
    if (page.Window()) page.End(0);
  }
  std::vector<std::string> Rows() {
    std::vector<std::string> rows;
    for (int i = 0; i < page.List().RowCount(); ++i) {
      rows.push_back(page.List().Row(i)->text + "=" + std::to_string(page.List().State(i)));
    }
    return rows;
  }
  CMyItem* Find(const std::string& name) {
    for (int i = 0; i < page.Items()->Count(); ++i)
      if (page.Items()->Item(i)->name == name) return page.Items()->Item(i);
    return nullptr;
  }
  void ClickRow(int row) {
    RECT r{};
    r.left = LVIR_BOUNDS;
    HWND list = page.List().Handle();
    SendMessageA(list, LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&r));
    LPARAM at = MAKELPARAM(r.right - 10, (r.top + r.bottom) / 2);
    PostMessageA(list, WM_LBUTTONUP, 0, at);
    SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
    uitest::PumpPending();
  }
  std::string Text(int id) { return fw::GetText(GetDlgItem(page.Window(), id)); }
  uitest::PageMedium medium;
  uitest::CommandSink sink;
  CSelectItems page;
  bool loaded = false, created = false;
};

TEST(SelectItems, ListsByCheckNumberAndNextMarksAndRecords) {
  Page p(Files());
  ASSERT_TRUE(p.created) << p.medium.Log();
  EXPECT_EQ(p.Rows(), (std::vector<std::string>{"Ticked item=1", "Optional item=0", "Always item=2", "Scan=0",
                                                "Done item=2"}));
  EXPECT_EQ(p.medium.CountInLog("[CSelectItems] ODD check number 9 out of range, not listed\n"), 1);
  EXPECT_EQ(p.Text(CSelectItems::kNextId), "Install");
  EXPECT_EQ(p.Text(CSelectItems::kDescriptionHeadingId), "Description");
  EXPECT_EQ(p.Text(CSelectItems::kDestinationPathId), p.medium.Env().GetDestDir());
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(p.page.Window(), CSelectItems::kBrowseId)));
  LOGFONTA font{};
  GetObjectA(reinterpret_cast<HFONT>(SendDlgItemMessageA(p.page.Window(), CSelectItems::kNextId, WM_GETFONT, 0, 0)),
             sizeof(font), &font);
  EXPECT_EQ(font.lfWeight, FW_BOLD);

  p.ClickRow(0);  // unticks it and shows its description
  p.ClickRow(2);  // always installed: no change
  p.ClickRow(1);
  EXPECT_EQ(p.Text(CSelectItems::kDescriptorId), "About the ticked item");
  EXPECT_EQ(p.Rows()[0], "Ticked item=0");
  ASSERT_TRUE(p.page.Next());
  ASSERT_TRUE(uitest::PumpUntil([&] { return !p.sink.commands.empty(); }));
  EXPECT_EQ(p.sink.commands[0].cstrCmdStr, "INSTALL.PROGRESS");
  struct Expect {
    const char* name;
    bool install;
  } marks[] = {{"TICKED", false}, {"OPTIONAL", true}, {"ALWAYS", true}, {"SILENT", true},
               {"NET_SCAN_TOOL", false}, {"DONE", false}};
  for (const Expect& e : marks) {
    ASSERT_NE(p.Find(e.name), nullptr) << e.name;
    EXPECT_EQ(p.Find(e.name)->install, e.install) << e.name;
    std::string key = p.medium.InstallKey() + "\\Items\\" + e.name;
    EXPECT_EQ(CUtl::GetRegDword(key.c_str(), "Install", HKEY_LOCAL_MACHINE, 7), e.install ? 1u : 0u) << e.name;
  }
}

TEST(SelectItems, RightToLeftMirrorsTheFixedControls) {
  uitest::MediumFiles files = Files();
  files.language = 0x040D;
  files.messagesHb = files.messagesEn;
  Page p(files);
  ASSERT_TRUE(p.created) << p.medium.Log();
  ASSERT_TRUE(GetWindowLongPtrA(p.page.Window(), GWL_EXSTYLE) & WS_EX_LAYOUTRTL);
  for (int id : {CSelectItems::kListId, CSelectItems::kBrowseId, CSelectItems::kDestinationPathId}) {
    EXPECT_TRUE(GetWindowLongPtrA(GetDlgItem(p.page.Window(), id), GWL_EXSTYLE) & WS_EX_LAYOUTRTL) << id;
  }
  // Placed by their rectangles from the right edge: the list sits on the right.
  RECT list{};
  GetWindowRect(p.page.List().Handle(), &list);
  RECT page{};
  GetWindowRect(p.page.Window(), &page);
  EXPECT_GT(list.left - page.left, 150);
  p.ClickRow(1);  // clicks still reach the mirrored rows
  EXPECT_EQ(p.page.List().State(1), 1);
}

TEST(SelectItems, NetScanRedirectsNext) {
  Page p(Files());
  ASSERT_TRUE(p.created);
  p.ClickRow(3);  // the network scan item
  ASSERT_TRUE(p.page.Next());
  ASSERT_TRUE(uitest::PumpUntil([&] { return !p.sink.commands.empty(); }));
  EXPECT_EQ(p.sink.commands[0].cstrCmdStr, "NORMAL.NET_SCAN_INFO");
  EXPECT_EQ(p.page.NextCommand().cstrCmdStr, "INSTALL.PROGRESS");  // the page's own command stays
}

TEST(SelectItems, BrowseIsDisabledForRemoteTypesAndInstalledItems) {
  struct Case {
    DWORD installType;
    bool installedRecord;
    bool enabled;
  } cases[] = {{0, false, true}, {4, false, false}, {0x14, false, false}, {2, false, true}, {0, true, false}};
  for (const Case& c : cases) {
    uitest::PageMedium* medium = nullptr;
    uitest::MediumFiles files = Files();
    Page p(files, c.installType);
    medium = &p.medium;
    if (c.installedRecord) {
      std::string key = medium->InstallKey() + "\\Items\\OLD";
      CUtl::SetRegDword(key.c_str(), "Install_OK", 1);
      p.page.Refresh();
    }
    ASSERT_TRUE(p.created);
    EXPECT_EQ(IsWindowEnabled(GetDlgItem(p.page.Window(), CSelectItems::kBrowseId)) != FALSE, c.enabled)
        << "type " << c.installType << " installed " << c.installedRecord;
  }
}

TEST(SelectItems, BrowseByTypedPathChangesTheDestination) {
  Page p(Files());
  ASSERT_TRUE(p.created);
  fw::MessageBoxHook previous = fw::SetMessageBoxHook([](HWND, const char*, const char*, UINT) { return IDYES; });
  const std::string typed = p.medium.Dir().Path() + "\\chosen\\dest";
  {
    uitest::BrowserDriver driver(GetCurrentThreadId(), typed, true);
    EXPECT_TRUE(p.page.Browse());
  }
  fw::SetMessageBoxHook(previous);
  EXPECT_EQ(p.page.DestinationText(), typed);
  EXPECT_EQ(p.medium.Env().GetDestDir(), typed);
  EXPECT_EQ(CUtl::GetRegString(p.medium.InstallKey().c_str(), "Installed_Dir"), typed);
  EXPECT_EQ(p.Text(CSelectItems::kDestinationPathId), typed);
}

TEST(SelectItems, MissingFixedItemsAndManyLongItems) {
  {
    Page p(Files(""));
    ASSERT_TRUE(p.created);
    EXPECT_EQ(p.medium.CountInLog("[CSelectItems] Get Fixed item setting section name fail (SELECT_ITEM.CUSTOM)\n"), 1);
    for (int id : {CSelectItems::kListId, CSelectItems::kDescriptorId, CSelectItems::kBrowseId,
                   CSelectItems::kDestinationPathId, CSelectItems::kNextId}) {
      EXPECT_FALSE(IsWindowVisible(GetDlgItem(p.page.Window(), id))) << id;
    }
    EXPECT_FALSE(p.page.Next());  // no command to send
  }
  uitest::MediumFiles files = Files();
  files.data = "[ITEM_INFO]\r\nCOUNTS=500\r\n";
  for (int i = 0; i < 500; ++i) files.data += "ITEM_" + std::to_string(i) + "=I" + std::to_string(i) + "\r\n";
  for (int i = 0; i < 500; ++i) {
    files.data += "[I" + std::to_string(i) + "]\r\nDISPLAY_NAME=LONG\r\nCHK_LC_TYPICAL=3\r\n";
  }
  files.messagesEn += "LONG=" + std::string(300, 'n') + "\r\n";
  Page p(files);
  ASSERT_TRUE(p.created);
  EXPECT_EQ(p.page.List().RowCount(), p.page.Items()->Count());
  EXPECT_GT(p.page.List().RowCount(), 0);
  EXPECT_EQ(p.page.List().Row(0)->text, std::string(300, 'n'));
  uitest::Picture picture(p.page.Window());  // draws the long rows with their ellipsis
  EXPECT_TRUE(p.page.Next());
}

}  // namespace
