// The uninstall items page: the installed records listed, the check-all box,
// the Uninstall values Next writes, the warning when nothing is ticked.
#include "setup/pages/uninst_items_dlg.h"

#include <gtest/gtest.h>

#include "framework/controls.h"
#include "framework/message_box.h"
#include "setup/core/utl.h"
#include "tests/ui/ui_test_support.h"

namespace {

using pages::CUninstItemsDlg;

std::vector<std::string> g_warnings;
int Warn(HWND, const char* text, const char*, UINT style) {
  g_warnings.push_back(std::string(text) + ((style & MB_ICONMASK) == MB_ICONEXCLAMATION ? "!" : "?"));
  return IDOK;
}

uitest::MediumFiles Files(const std::string& fixedKey = "FIXED_ITEM=UNINST.FIXED\r\n") {
  uitest::MediumFiles f;
  f.config = "[UNINST.ITEMS]\r\nDLG_SIZE=520,380\r\n" + fixedKey +
             "[UNINST.FIXED]\r\nLIST_UNINSTITEM_RECT=24,100,472,180\r\nBUTTON_CHECK_ALL_NAME=ALL\r\n"
             "BUTTON_CHECK_ALL_RECT=24,290,250,20\r\nBUTTON_NEXT_NAME=REMOVE\r\nBUTTON_NEXT_RECT=320,340,80,26\r\n"
             "BUTTON_NEXT_COMMAND=CMD.NEXT\r\nWARNING_MSG=NOTHING\r\n"
             "[CMD.NEXT]\r\nCMD_TYPE=CT_OPEN_DLG\r\nCMD_STR=INSTALL.UNINSTALLING\r\n";
  f.messagesEn = "ALL=Select all\r\nREMOVE=Remove\r\nNOTHING=Tick the items to remove.\r\n";
  return f;
}

struct Page {
  explicit Page(const uitest::MediumFiles& files, const std::vector<std::pair<std::string, int>>& records)
      : medium(files) {
    for (const auto& [name, installed] : records) {
      std::string key = Key(name);
      CUtl::SetRegString(key.c_str(), "DisplayName", ("Name " + name).c_str());
      CUtl::SetRegDword(key.c_str(), "Install_OK", static_cast<DWORD>(installed));
    }
    page.SetControlWindow(sink.Handle());
    created = page.Load("UNINST.ITEMS") && page.CreatePage(nullptr);
  }
  ~Page() {
    if (page.Window()) page.End(0);
  }
  std::string Key(const std::string& name) { return medium.InstallKey() + "\\Items\\" + name; }
  DWORD Uninstall(const std::string& name) { return CUtl::GetRegDword(Key(name).c_str(), "Uninstall", HKEY_LOCAL_MACHINE, 9); }
  HWND CheckAll() { return GetDlgItem(page.Window(), CUninstItemsDlg::kCheckAllId); }
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
  uitest::PageMedium medium;
  uitest::CommandSink sink;
  CUninstItemsDlg page;
  bool created = false;
};

TEST(UninstItems, ListsInstalledRecordsAndWritesTheChoice) {
  Page p(Files(), {{"A", 1}, {"B", 0}, {"C", 1}});
  ASSERT_TRUE(p.created) << p.medium.Log();
  ASSERT_EQ(p.page.List().RowCount(), 2);
  EXPECT_EQ(p.page.List().Row(0)->text, "Name A");
  EXPECT_EQ(p.page.List().Row(1)->text, "Name C");
  EXPECT_TRUE(CUninstItemsDlg::AnyItemInstalled());

  g_warnings.clear();
  fw::MessageBoxHook previous = fw::SetMessageBoxHook(Warn);
  EXPECT_FALSE(p.page.Next());  // nothing ticked: the warning, no command
  EXPECT_EQ(g_warnings, (std::vector<std::string>{"Tick the items to remove.!"}));
  EXPECT_EQ(p.Uninstall("A"), 0u);
  EXPECT_EQ(p.Uninstall("B"), 9u);  // not listed: untouched

  SendMessageA(p.CheckAll(), BM_CLICK, 0, 0);
  EXPECT_EQ(p.page.List().State(0), 1);
  EXPECT_EQ(p.page.List().State(1), 1);
  p.ClickRow(1);  // unticking one row clears the box
  EXPECT_EQ(p.page.List().State(1), 0);
  EXPECT_EQ(SendMessageA(p.CheckAll(), BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_TRUE(p.page.Next());
  fw::SetMessageBoxHook(previous);
  EXPECT_EQ(g_warnings.size(), 1u);
  ASSERT_TRUE(uitest::PumpUntil([&] { return !p.sink.commands.empty(); }));
  EXPECT_EQ(p.sink.commands[0].cstrCmdStr, "INSTALL.UNINSTALLING");
  EXPECT_EQ(p.Uninstall("A"), 1u);
  EXPECT_EQ(p.Uninstall("C"), 0u);
  EXPECT_EQ(p.medium.CountInLog("[CUninstItemsDlg] " + p.Key("A") + " Set Uninstall\n"), 1);
}

TEST(UninstItems, NoRecordsAndNoFixedItems) {
  {
    Page p(Files(), {});
    ASSERT_TRUE(p.created);
    EXPECT_EQ(p.page.List().RowCount(), 0);
    EXPECT_EQ(p.medium.CountInLog("[CUninstItemDlg] Init uninstall item list fail! ("), 1);
    EXPECT_FALSE(CUninstItemsDlg::AnyItemInstalled());
  }
  {
    Page p(Files(), {{"A", 0}});
    EXPECT_FALSE(CUninstItemsDlg::AnyItemInstalled());
    EXPECT_EQ(p.page.List().RowCount(), 0);
  }
  Page p(Files(""), {{"A", 1}});
  ASSERT_TRUE(p.created);
  EXPECT_EQ(p.medium.CountInLog("[CUninstItemsDlg] Get Fixed item setting section name fail (UNINST.ITEMS)\n"), 1);
  EXPECT_FALSE(IsWindowVisible(GetDlgItem(p.page.Window(), CUninstItemsDlg::kNextId)));
}

}  // namespace
