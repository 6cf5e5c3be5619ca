// MyInstall and MyUnInstall on item records under a test's own install key:
// real commands run (the item helper), real waits, copies and shortcuts, and
// every state reported to a real window, in order, ending with one finish.
#include <gtest/gtest.h>

#include <thread>

#include "tests/companions/dll_support.h"
#include "tests/support/test_identity.h"
#include "tests/support/trace_capture.h"

namespace {

using namespace qx::test;
using Install = BOOL(__stdcall*)(HWND, const char*, int);

class InstallTest : public ::testing::Test {
 protected:
  void Item(const std::string& name, DWORD install, const std::string& command, const std::string& param) {
    std::string key = ItemKey(name);
    SetDword(HKEY_LOCAL_MACHINE, key, "Install", install);
    SetString(HKEY_LOCAL_MACHINE, key, "DisplayName", name);
    if (!command.empty()) SetString(HKEY_LOCAL_MACHINE, key, "Command", command);
    if (!param.empty()) SetString(HKEY_LOCAL_MACHINE, key, "Param", param);
    SetDword(HKEY_LOCAL_MACHINE, key, "Success_Return", 1);
    SetDword(HKEY_LOCAL_MACHINE, key, "Printer", 0);
  }
  std::string ItemKey(const std::string& name) const { return id_.InstallKey() + "\\Items\\" + name; }
  BOOL Run(const char* function, const char* key) {
    auto fn = exec_.Fn<Install>(function);
    return RunOnWorker([&] { return fn(window_.Handle(), key, 1); });
  }

  TestIdentity id_;
  TempDir dir_;
  std::string helper_ = ExeDir() + "\\item_helper.exe";
  Dll exec_{"qxexec.dll"};
  ReportWindow window_;
};

TEST_F(InstallTest, RunsTickedItemsWaitsCopiesLinksAndReportsInOrder) {
  ASSERT_TRUE(window_.Handle());
  NoWorld none;
  TraceCapture trace;
  Item("A", 1, helper_, dir_.File("a.txt") + " 1 first /password=Sekr3tWord ");
  SetString(HKEY_LOCAL_MACHINE, ItemKey("A"), "Uninstall_Value_Name", "A_Uninst");
  SetString(HKEY_LOCAL_MACHINE, ItemKey("A"), "Uninstall_Cmd", helper_);
  SetString(HKEY_LOCAL_MACHINE, ItemKey("A"), "Uninstall_Param", dir_.File("ua.txt") + " 1 ");
  Item("B", 1, helper_, dir_.File("b.txt") + " 3 ");  // exit code 3, success is 1
  Item("C", 0, helper_, dir_.File("c.txt") + " 1 ");  // not ticked
  Item("D", 1, helper_, dir_.File("d.txt") + " 1 ");
  SetString(HKEY_LOCAL_MACHINE, ItemKey("D"), "WaitFile", dir_.File("late.txt"));
  SetDword(HKEY_LOCAL_MACHINE, ItemKey("D"), "Wait_Timeout", 120000);
  Item("E", 1, "", "");  // no command; waits for a registry value that never comes
  SetString(HKEY_LOCAL_MACHINE, ItemKey("E"), "WaitRegKey", "HKEY_CURRENT_USER\\" + id_.Root() + "\\Flags");
  SetString(HKEY_LOCAL_MACHINE, ItemKey("E"), "WaitRegValue", "Ready");
  SetString(HKEY_LOCAL_MACHINE, ItemKey("E"), "WaitRegData", "1");
  SetDword(HKEY_LOCAL_MACHINE, ItemKey("E"), "Wait_Timeout", 300);
  Item("F", 1, dir_.File("missing.exe"), "");
  Item("G", 1, "", "");  // no command: fails without waiting, though its DWORD is there
  SetDword(HKEY_CURRENT_USER, id_.Root() + "\\Flags", "Count", 5);
  SetString(HKEY_LOCAL_MACHINE, ItemKey("G"), "WaitRegKey", "HKCU\\" + id_.Root() + "\\Flags");
  SetString(HKEY_LOCAL_MACHINE, ItemKey("G"), "WaitRegValue", "Count");
  SetString(HKEY_LOCAL_MACHINE, ItemKey("G"), "WaitRegData", "0x5");

  // The whole command line in Command; and a program whose path holds blanks.
  Item("H", 1, helper_ + " " + dir_.File("h.txt") + " 1", "");
  dir_.Write("with blank\\keep.txt", "");
  std::string blankHelper = dir_.File("with blank\\item helper.exe");
  ASSERT_TRUE(CopyFileA(helper_.c_str(), blankHelper.c_str(), FALSE));
  Item("I", 1, blankHelper, dir_.File("i.txt") + " 1 ");

  dir_.Write("src\\one.txt", "1");
  dir_.Write("src\\sub\\two.txt", "2");
  std::string copies = id_.InstallKey() + "\\CopyFiles\\";
  SetString(HKEY_LOCAL_MACHINE, copies + "CP", "Src", dir_.File("src"));
  SetString(HKEY_LOCAL_MACHINE, copies + "CP", "Dest", dir_.File("dest"));
  SetDword(HKEY_LOCAL_MACHINE, copies + "CP", "CopySubDir", 1);
  SetString(HKEY_LOCAL_MACHINE, copies + "CQ", "Src", dir_.File("nothing.txt"));
  SetString(HKEY_LOCAL_MACHINE, copies + "CQ", "Dest", dir_.File("dest2"));

  std::string linkKey = id_.InstallKey() + "\\Shortcut\\LINK";
  SetString(HKEY_LOCAL_MACHINE, linkKey, "Name", "Helper");
  SetString(HKEY_LOCAL_MACHINE, linkKey, "Target", helper_);
  SetString(HKEY_LOCAL_MACHINE, linkKey, "Folder_Name", id_.Mfg());
  SetDword(HKEY_LOCAL_MACHINE, linkKey, "Group", 0);

  // The wait file appears while MyInstall waits for it.
  std::thread late([&] {
    while (!FileExists(dir_.File("d.txt"))) Sleep(20);
    Sleep(200);
    dir_.Write("late.txt", "x");
  });
  // A failed item takes back the installed mark it set before its command ran,
  // unless it was marked before (an earlier install of it stays offered for removal).
  SetDword(HKEY_LOCAL_MACHINE, ItemKey("B"), "Install_OK", 5);
  SetDword(HKEY_LOCAL_MACHINE, ItemKey("E"), "Install_OK", 1);
  BOOL ok = Run("MyInstall", id_.InstallKey().c_str());
  late.join();

  EXPECT_FALSE(ok);  // B, E, F, G and CQ failed
  // The copies come first: they place what the items' uninstall commands run.
  EXPECT_EQ(window_.Sequence(), "3:CP 5:CP 3:CQ 4:CQ 2:A 1:A 2:B 0:B 2:D 1:D 2:E 0:E 2:F 0:F 2:G 0:G 2:H 1:H 2:I 1:I 6:");
  EXPECT_NE(TempDir::Read(dir_.File("a.txt")).find("first /password=Sekr3tWord"), std::string::npos);
  EXPECT_FALSE(FileExists(dir_.File("c.txt")));
  EXPECT_TRUE(FileExists(dir_.File("h.txt")));
  EXPECT_NE(TempDir::Read(dir_.File("i.txt")).find("\"" + blankHelper + "\""), std::string::npos);
  EXPECT_EQ(TempDir::Read(dir_.File("dest\\sub\\two.txt")), "2");
  EXPECT_EQ(GetDword(HKEY_LOCAL_MACHINE, ItemKey("A"), "Install_OK", 0), 1u);
  EXPECT_EQ(GetDword(HKEY_LOCAL_MACHINE, ItemKey("B"), "Install_OK", 9), 0u);
  EXPECT_EQ(GetDword(HKEY_LOCAL_MACHINE, ItemKey("E"), "Install_OK", 9), 1u);
  EXPECT_EQ(GetString(HKEY_LOCAL_MACHINE, id_.UninstallInfoKey(), "A_Uninst"), helper_ + " " + dir_.File("ua.txt") + " 1");

  std::string link = GetString(HKEY_LOCAL_MACHINE, linkKey, "Shortcut_Path");
  EXPECT_NE(link.find(id_.Mfg() + "\\Helper.lnk"), std::string::npos) << link;
  EXPECT_TRUE(FileExists(link));
  DeleteFileA(link.c_str());
  RemoveDirectoryA(link.substr(0, link.find_last_of('\\')).c_str());

  std::string log = trace.Text();
  EXPECT_NE(log.find("[qxexec] STATE_FINISH"), std::string::npos);
  EXPECT_NE(log.find("/password=********"), std::string::npos) << log;
  EXPECT_EQ(log.find("Sekr3tWord"), std::string::npos) << log;
}

TEST_F(InstallTest, UninstallUndoesOnlyTheMarkedItems) {
  Item("A", 1, helper_, dir_.File("a.txt") + " 1 ");
  SetString(HKEY_LOCAL_MACHINE, ItemKey("A"), "Uninstall_Value_Name", "A_Uninst");
  SetString(HKEY_LOCAL_MACHINE, ItemKey("A"), "Uninstall_Cmd", helper_);
  SetString(HKEY_LOCAL_MACHINE, ItemKey("A"), "Uninstall_Param", dir_.File("ua.txt") + " 1 ");
  Item("B", 1, helper_, dir_.File("b.txt") + " 1 ");
  SetString(HKEY_LOCAL_MACHINE, ItemKey("B"), "Uninstall_Cmd", helper_);
  SetString(HKEY_LOCAL_MACHINE, ItemKey("B"), "Uninstall_Param", dir_.File("ub.txt") + " 1 ");
  ASSERT_TRUE(Run("MyInstall", id_.InstallKey().c_str()));
  ASSERT_FALSE(GetString(HKEY_LOCAL_MACHINE, id_.UninstallInfoKey(), "A_Uninst").empty());

  SetDword(HKEY_LOCAL_MACHINE, ItemKey("A"), "Uninstall", 1);
  SetDword(HKEY_LOCAL_MACHINE, ItemKey("B"), "Uninstall", 0);
  ReportWindow second;
  auto uninstall = exec_.Fn<Install>("MyUnInstall");
  EXPECT_TRUE(RunOnWorker([&] { return uninstall(second.Handle(), id_.InstallKey().c_str(), 1); }));
  EXPECT_EQ(second.Sequence(), "2:A 1:A 6:");
  EXPECT_TRUE(FileExists(dir_.File("ua.txt")));
  EXPECT_FALSE(FileExists(dir_.File("ub.txt")));
  EXPECT_EQ(GetDword(HKEY_LOCAL_MACHINE, ItemKey("A"), "Install_OK", 9), 0u);
  EXPECT_EQ(GetDword(HKEY_LOCAL_MACHINE, ItemKey("A"), "Uninstall", 9), 0u);
  EXPECT_EQ(GetDword(HKEY_LOCAL_MACHINE, ItemKey("B"), "Install_OK", 9), 1u);
  EXPECT_EQ(GetString(HKEY_LOCAL_MACHINE, id_.UninstallInfoKey(), "A_Uninst"), "");
  EXPECT_FALSE(qx::test::KeyExists(HKEY_LOCAL_MACHINE, id_.UninstallInfoKey()));  // its last value went
}

// Damaged records whose command reads as empty: each fails at once, logged,
// instead of succeeding and then waiting ten minutes for what nothing writes.
TEST_F(InstallTest, AnItemWithAnEmptyCommandFailsWithoutWaiting) {
  TraceCapture trace;
  Item("BLANKS", 1, std::string(2000, ' '), "");
  Item("TABS", 1, "\t \t", dir_.File("t.txt") + " 1 ");
  Item("NONE", 1, "", "");
  SetString(HKEY_LOCAL_MACHINE, ItemKey("NONE"), "Commnd", helper_);  // a damaged key name
  Item("HUGE", 1, "", "");
  SetString(HKEY_LOCAL_MACHINE, ItemKey("HUGE"), "Command", std::string(65536, ' '));
  for (const char* name : {"BLANKS", "TABS", "NONE", "HUGE"}) {
    SetString(HKEY_LOCAL_MACHINE, ItemKey(name), "WaitFile", dir_.File("never.txt"));  // default limit: 10 minutes
  }
  Item("OK", 1, helper_, dir_.File("ok.txt") + " 1 ");
  EXPECT_FALSE(Run("MyInstall", id_.InstallKey().c_str()));
  EXPECT_EQ(window_.Sequence(), "2:BLANKS 0:BLANKS 2:HUGE 0:HUGE 2:NONE 0:NONE 2:OK 1:OK 2:TABS 0:TABS 6:");
  for (const char* name : {"BLANKS", "TABS", "NONE", "HUGE"}) {
    EXPECT_TRUE(trace.Contains(std::string("Item [") + name + "]: the command is empty; the item is not installed"))
        << name;
    EXPECT_EQ(GetDword(HKEY_LOCAL_MACHINE, ItemKey(name), "Install_OK", 7), 7u) << name;
  }
  EXPECT_FALSE(trace.Contains("wait file")) << "an item that ran nothing waited";
}

TEST_F(InstallTest, EveryRunEndsWithExactlyOneFinish) {
  std::string tooLong(300, 'K');
  std::string absent = id_.InstallKey() + "\\Nothing";
  struct Case {
    const char* function;
    const char* key;
  } cases[] = {
      {"MyInstall", nullptr},       {"MyInstall", ""},           {"MyInstall", tooLong.c_str()},
      {"MyInstall", absent.c_str()}, {"MyUnInstall", nullptr},   {"MyUnInstall", absent.c_str()},
  };
  for (const Case& c : cases) {
    ReportWindow window;
    auto fn = exec_.Fn<Install>(c.function);
    EXPECT_FALSE(RunOnWorker([&] { return fn(window.Handle(), c.key, 1); })) << c.function;
    EXPECT_EQ(window.Sequence(), "6:") << c.function << " " << (c.key ? c.key : "(null)");
  }
  // Items present but none ticked: nothing to do is success, still one finish.
  Item("A", 0, helper_, dir_.File("a.txt") + " 1 ");
  EXPECT_TRUE(Run("MyInstall", id_.InstallKey().c_str()));
  EXPECT_EQ(window_.Sequence(), "6:");
}

}  // namespace
