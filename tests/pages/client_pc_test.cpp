// The remote client page on a medium and a world the tests write: the remote
// copy of the install root and Back, the account check, the computer checks,
// duplicates and "\\" names, Delete, and the Remote_Info that Next writes,
// with the password in no log line and no trace.
#include "setup/pages/enter_client_pc_dlg.h"

#include <gtest/gtest.h>

#include "framework/controls.h"
#include "setup/core/utl.h"
#include "tests/companions/dll_support.h"
#include "tests/pages/message_boxes.h"
#include "tests/ui/ui_test_support.h"

namespace {

using pages::CEnterClientPCDlg;

constexpr const char* kPassword = "pw-Secret1";

uitest::MediumFiles Files(const std::string& fixedKey = "FIXED_ITEM=CLIENT.FIXED\r\n") {
  uitest::MediumFiles f;
  f.programInfo = "REMOTE_INSTALL_DLL=" + qx::test::ExeDir() + "\\qxremote.dll\r\n";
  f.config = "[ENTER_CLIENT_PC.MAIN]\r\nDLG_SIZE=420,320\r\n" + fixedKey +
             "[CLIENT.FIXED]\r\nEDIT_USER_NAME_RECT=100,10,150,22\r\nEDIT_PASSWORD_RECT=100,40,150,22\r\n"
             "BUTTON_OK_NAME=OK\r\nBUTTON_OK_RECT=260,40,60,24\r\nEDIT_CLIENT_PC_RECT=100,80,150,22\r\n"
             "LIST_CLIENT_PC_RECT=100,110,150,100\r\nBUTTON_ADD_NAME=ADD\r\nBUTTON_ADD_RECT=260,80,60,24\r\n"
             "BUTTON_DELETE_NAME=DEL\r\nBUTTON_DELETE_RECT=260,110,60,24\r\nBUTTON_BROWSE_RECT=330,80,60,24\r\n"
             "BUTTON_NEXT_NAME=NEXT\r\nBUTTON_NEXT_RECT=320,280,80,26\r\nBUTTON_NEXT_COMMAND=CMD.NEXT\r\n"
             "[CMD.NEXT]\r\nCMD_TYPE=CT_RUN_REMOTE_INSTALL\r\nCMD_STR=INSTALL.REMOTE\r\n";
  f.messagesEn = "OK=OK\r\nADD=Add\r\nDEL=Delete\r\nNEXT=Next >\r\n";
  return f;
}

std::string World() {
  return std::string("[Account:admin]\r\nUser=admin\r\nPassword=") + kPassword +
         "\r\n[Account:user]\r\nUser=someone\r\nPassword=userpw\r\n"
         "[Computer:1]\r\nName=CLIENT-01\r\nAdmins=admin\r\n"
         "[Computer:2]\r\nName=CLIENT-02\r\nIp=10.0.0.7\r\nAdmins=admin\r\n"
         "[Computer:3]\r\nName=OFFLINE\r\nOnline=0\r\nAdmins=admin\r\n"
         "[Computer:4]\r\nName=NOADMIN\r\nAdmins=other\r\n";
}

struct ClientPage {
  explicit ClientPage(const uitest::MediumFiles& files = Files()) : medium(files), world(World()) {
    page.SetControlWindow(sink.Handle());
    SetEnvironmentVariableA("QX_TRACE_FILE", traces.File("trace.txt").c_str());
  }
  ~ClientPage() {
    if (page.Window()) page.End(0);
    SetEnvironmentVariableA("QX_TRACE_FILE", nullptr);
    CUtl::DeleteRegKey(page.RemoteRoot().c_str(), true, false);
  }
  bool Open() { return page.Load("ENTER_CLIENT_PC.MAIN") && page.CreatePage(nullptr); }
  HWND Item(int id) const { return GetDlgItem(page.Window(), id); }
  bool Account(const char* user, const char* password) {
    SetWindowTextA(Item(CEnterClientPCDlg::kUserId), user);
    SetWindowTextA(Item(CEnterClientPCDlg::kPasswordId), password);
    return page.CheckAccount();
  }
  bool Add(const std::string& computer) {
    SetWindowTextA(Item(CEnterClientPCDlg::kClientId), computer.c_str());
    return page.AddComputer();
  }
  std::string Traces() const { return qx::test::TempDir::Read(traces.File("trace.txt")); }

  uitest::PageMedium medium;
  qx::test::WorldFile world;
  qx::test::TempDir traces;
  uitest::CommandSink sink;
  CEnterClientPCDlg page;
};

TEST(ClientPcPage, TheInstallRootIsARemoteCopyUntilBack) {
  ClientPage p;
  std::string normal = p.medium.InstallKey();
  CUtl::SetRegString(normal.c_str(), "Marker", "kept");
  ASSERT_TRUE(p.Open());
  EXPECT_EQ(p.page.NormalRoot(), normal);
  EXPECT_EQ(p.medium.Env().GetInstallKey(), p.page.RemoteRoot());
  EXPECT_EQ(CUtl::GetRegString(p.page.RemoteRoot().c_str(), "Marker"), "kept");
  CommandRecord back;
  back.cstrCmdType = "ct_dlg_back";
  SendMessageA(p.page.Window(), 2035, 0, reinterpret_cast<LPARAM>(&back));
  EXPECT_EQ(p.medium.Env().GetInstallKey(), normal);
  ASSERT_TRUE(uitest::PumpUntil([&] { return !p.sink.commands.empty(); }));
  EXPECT_EQ(p.sink.commands[0].cstrCmdType, "ct_dlg_back");
  // Other commands leave the remote root in place.
  p.page.Refresh();
  CommandRecord other;
  other.cstrCmdType = "CT_RUN_PROGRAM";
  other.cstrCmdStr = "x";
  SendMessageA(p.page.Window(), 2035, 0, reinterpret_cast<LPARAM>(&other));
  EXPECT_EQ(p.medium.Env().GetInstallKey(), p.page.RemoteRoot());
}

TEST(ClientPcPage, OnlyAValidAccountOpensTheComputerList) {
  ClientPage p;
  ASSERT_TRUE(p.Open());
  EXPECT_FALSE(IsWindowEnabled(p.Item(CEnterClientPCDlg::kAddId)));
  struct Case {
    const char* user;
    const char* password;
    bool valid;
  } cases[] = {{"", kPassword, false}, {"admin", "wrong", false}, {"nobody", kPassword, false},
               {"ADMIN", kPassword, true}, {"admin", "", false}, {"someone", "userpw", true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.user) + "/" + c.password);
    EXPECT_EQ(p.Account(c.user, c.password), c.valid);
    EXPECT_EQ(IsWindowEnabled(p.Item(CEnterClientPCDlg::kAddId)) != FALSE, c.valid);
    EXPECT_EQ(IsWindowEnabled(p.Item(CEnterClientPCDlg::kClientId)) != FALSE, c.valid);
  }
}

TEST(ClientPcPage, ComputersAreCheckedKeptOnceAndNextWritesTheRemoteInformation) {
  ClientPage p;
  ASSERT_TRUE(p.Open());
  ASSERT_TRUE(p.Account("admin", kPassword));
  EXPECT_FALSE(IsWindowEnabled(p.Item(CEnterClientPCDlg::kNextId)));
  pagetest::MessageBoxes boxes;
  struct Case {
    std::string typed;
    bool accepted;
    const char* message;  // the invalid-computer message's name, null for none
  } cases[] = {
      {"client-01", true, nullptr},
      {"\\\\CLIENT-01", true, nullptr},  // the same computer: kept once
      {"10.0.0.7", true, nullptr},
      {"OFFLINE", false, "OFFLINE"},
      {"\\\\NOADMIN", false, "NOADMIN"},
      {"", false, ""},
      {std::string(300, 'C'), false, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed.substr(0, 20));
    boxes.Shown().clear();
    EXPECT_EQ(p.Add(c.typed), c.accepted);
    if (c.message) {
      ASSERT_EQ(boxes.Shown().size(), 1u);
      EXPECT_EQ(boxes.Shown()[0].text, "The \"" + std::string(c.message) + "\" computer could not be added!!");
      EXPECT_EQ(boxes.Shown()[0].type & MB_ICONMASK, static_cast<unsigned>(MB_ICONHAND));
    }
  }
  EXPECT_EQ(p.page.Computers(), (std::vector<std::string>{"client-01", "10.0.0.7"}));
  EXPECT_EQ(p.medium.CountInLog("[CEnterClientPCDlg] Check admin fail"), 2);
  EXPECT_TRUE(IsWindowEnabled(p.Item(CEnterClientPCDlg::kNextId)));

  SendMessageA(p.Item(CEnterClientPCDlg::kNextId), BM_CLICK, 0, 0);
  ASSERT_TRUE(uitest::PumpUntil([&] { return !p.sink.commands.empty(); }));
  EXPECT_EQ(p.sink.commands[0].cstrCmdType, "CT_RUN_REMOTE_INSTALL");
  EXPECT_EQ(p.medium.Env().GetInstallKey(), p.page.RemoteRoot());
  std::string info = p.page.RemoteRoot() + "\\Remote_Info";
  EXPECT_EQ(CUtl::GetRegString(info.c_str(), "User_Name"), "admin");
  EXPECT_EQ(CUtl::GetRegString(info.c_str(), "Password"), kPassword);
  EXPECT_EQ(CUtl::GetRegString(info.c_str(), "Domain", HKEY_LOCAL_MACHINE, "absent"), "");
  EXPECT_EQ(CUtl::GetRegDword(info.c_str(), "NumOfPCs"), 2u);
  EXPECT_EQ(CUtl::GetRegString(info.c_str(), "PC_0"), "client-01");
  EXPECT_EQ(CUtl::GetRegString(info.c_str(), "PC_1"), "10.0.0.7");
  EXPECT_EQ(p.medium.Log().find(kPassword), std::string::npos);
  std::string traces = p.Traces();
  EXPECT_NE(traces.find("[qxremote] CheckRemoteAdmin"), std::string::npos);
  EXPECT_EQ(traces.find(kPassword), std::string::npos);
}

TEST(ClientPcPage, DeletingTheLastComputerDisablesNext) {
  ClientPage p;
  ASSERT_TRUE(p.Open());
  ASSERT_TRUE(p.Account("admin", kPassword));
  ASSERT_TRUE(p.Add("CLIENT-01"));
  ASSERT_TRUE(p.Add("CLIENT-02"));
  HWND list = p.Item(CEnterClientPCDlg::kListId);
  SendMessageA(list, LB_SETSEL, TRUE, -1);
  p.page.DeleteSelected();
  EXPECT_TRUE(p.page.Computers().empty());
  EXPECT_FALSE(IsWindowEnabled(p.Item(CEnterClientPCDlg::kNextId)));
  EXPECT_FALSE(p.page.Next());
  EXPECT_TRUE(p.sink.commands.empty());
}

TEST(ClientPcPage, AValidAccountThatIsNoAdministratorThereIsRefused) {
  ClientPage p;
  ASSERT_TRUE(p.Open());
  ASSERT_TRUE(p.Account("someone", "userpw"));
  pagetest::MessageBoxes boxes;
  EXPECT_FALSE(p.Add("CLIENT-01"));
  EXPECT_EQ(boxes.Shown().size(), 1u);
  EXPECT_TRUE(p.page.Computers().empty());
}

TEST(ClientPcPage, WithoutFixedItemsTheControlsHide) {
  ClientPage p(Files(""));
  ASSERT_TRUE(p.Open());
  EXPECT_FALSE(IsWindowVisible(p.Item(CEnterClientPCDlg::kUserId)));
  EXPECT_EQ(p.medium.CountInLog("[CEnterClientPCDlg] Get Fixed item setting section name fail (ENTER_CLIENT_PC.MAIN)\n"),
            1);
}

}  // namespace

TEST(ClientPcPage, AThousandComputersAreAllKeptAndWritten) {
  ClientPage p;
  std::string world = World();
  for (int i = 0; i < 1000; ++i) {
    world += "[Computer:m" + std::to_string(i) + "]\r\nName=PC-" + std::to_string(i) + "\r\nAdmins=admin\r\n";
  }
  p.world.Rewrite(world);
  ASSERT_TRUE(p.Open());
  ASSERT_TRUE(p.Account("admin", kPassword));
  for (int i = 0; i < 1000; ++i) ASSERT_TRUE(p.Add("PC-" + std::to_string(i))) << i;
  EXPECT_TRUE(p.Add("pc-500"));  // already listed: kept once
  ASSERT_EQ(p.page.Computers().size(), 1000u);
  EXPECT_EQ(SendMessageA(p.Item(CEnterClientPCDlg::kListId), LB_GETCOUNT, 0, 0), 1000);
  SendMessageA(p.Item(CEnterClientPCDlg::kNextId), BM_CLICK, 0, 0);
  ASSERT_TRUE(uitest::PumpUntil([&] { return !p.sink.commands.empty(); }));
  std::string info = p.page.RemoteRoot() + "\\Remote_Info";
  EXPECT_EQ(CUtl::GetRegDword(info.c_str(), "NumOfPCs"), 1000u);
  EXPECT_EQ(CUtl::GetRegString(info.c_str(), "PC_999"), "PC-999");
}

TEST(ClientPcPage, AFailedRemoteCopyLeavesTheInstallRootAndThePageWorks) {
  ClientPage p;
  const std::string normal = p.medium.InstallKey();
  CUtl::DeleteRegKey(normal.c_str(), true, false);  // nothing to copy: the copy fails
  ASSERT_TRUE(p.Open());
  EXPECT_EQ(p.medium.Env().GetInstallKey(), normal);
  ASSERT_TRUE(p.Account("admin", kPassword));
  ASSERT_TRUE(p.Add("CLIENT-01"));
  SendMessageA(p.Item(CEnterClientPCDlg::kNextId), BM_CLICK, 0, 0);
  ASSERT_TRUE(uitest::PumpUntil([&] { return !p.sink.commands.empty(); }));
  // Remote_Info goes under the root the environment names: the normal one.
  EXPECT_EQ(CUtl::GetRegString((normal + "\\Remote_Info").c_str(), "PC_0"), "CLIENT-01");
  CUtl::DeleteRegKey(normal.c_str(), true, false);
}
