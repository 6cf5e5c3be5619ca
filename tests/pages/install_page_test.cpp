// The install progress page and the finish page: the work started by install
// type, the state reports and the finish sequence of each kind of run, the
// wait thread, the blink timer, the progress shown; the finish page's
// registration, its buttons and its frame close.
#include "setup/pages/finish_dlg.h"
#include "setup/pages/install_dlg.h"

#include <gtest/gtest.h>

#include <thread>

#include "framework/controls.h"
#include "setup/core/utl.h"
#include "tests/ui/ui_test_support.h"

namespace {

using pages::CFinishDlg;
using pages::CInstallDlg;

uitest::MediumFiles Files(const std::string& fixedKey = "FIXED_ITEM=PROGRESS.FIXED\r\n") {
  uitest::MediumFiles f;
  f.config = "[INSTALL.PROGRESS]\r\nDLG_SIZE=520,380\r\n" + fixedKey +
             "[PROGRESS.FIXED]\r\nSTATIC_DESC_NAME=WORKING\r\nSTATIC_DESC_RECT=24,150,472,40\r\n"
             "STATIC_DESC_FONT=FONT.P\r\nPROGRESS_RECT=24,200,472,18\r\nPROGRESS_ITEM_RECT=24,224,472,18\r\n"
             "BUTTON_NEXT_COMMAND=CMD.NEXT\r\n"
             "[FONT.P]\r\nLF_HEIGHT=-14\r\nLF_BOLD=1\r\nLF_COLOR=200,0,0\r\n"
             "[CMD.NEXT]\r\nCMD_TYPE=CT_OPEN_FINISH\r\nCMD_STR=FINISH.DONE\r\n"
             "[FINISH.DONE]\r\nDLG_SIZE=520,380\r\nFINISH_COMMAND=FINISH_CMD\r\n" + fixedKey +
             "[FINISH.FIXED]\r\nBUTTON_FINISH_NAME=F\r\nBUTTON_FINISH_RECT=414,340,80,26\r\n"
             "BUTTON_TESTPAGE_NAME=TP\r\nBUTTON_TESTPAGE_RECT=24,340,150,26\r\n";
  f.messagesEn = "WORKING=Installing, please wait\r\nF=Finish\r\nTP=Print a test page\r\n";
  return f;
}

std::vector<std::string> Types(const uitest::CommandSink& sink) {
  std::vector<std::string> types;
  for (const CommandRecord& r : sink.commands) types.push_back(r.cstrCmdType + (r.cstrCmdStr.empty() ? "" : ":" + r.cstrCmdStr));
  return types;
}

struct InstallPage {
  InstallPage(DWORD installType, const std::vector<std::pair<std::string, int>>& records = {},
              const std::string& fixedKey = "FIXED_ITEM=PROGRESS.FIXED\r\n")
      : medium(Files(fixedKey)) {
    CUtl::SetRegDword(medium.InstallKey().c_str(), "Install_Type", installType);
    for (const auto& [name, installed] : records) {
      std::string key = medium.InstallKey() + "\\Items\\" + name;
      CUtl::SetRegString(key.c_str(), "DisplayName", ("Shown " + name).c_str());
      CUtl::SetRegDword(key.c_str(), "Install", 1);
      CUtl::SetRegDword(key.c_str(), "Uninstall", 1);
      CUtl::SetRegDword(key.c_str(), "Install_OK", static_cast<DWORD>(installed));
    }
    page.SetControlWindow(sink.Handle());
    loaded = page.Load("INSTALL.PROGRESS");
    created = loaded && page.CreatePage(nullptr);
  }
  ~InstallPage() {
    if (page.Window()) page.End(0);
  }
  void State(unsigned state, const char* item) {
    SendMessageA(page.Window(), CInstallDlg::kStateMessage, state, reinterpret_cast<LPARAM>(item));
  }
  std::string Text(int id) { return fw::GetText(GetDlgItem(page.Window(), id)); }
  uitest::PageMedium medium;
  uitest::CommandSink sink;
  CInstallDlg page;
  bool loaded = false, created = false;
};

TEST(InstallPage, StartsTheWorkByInstallType) {
  struct Case {
    DWORD type;
    const char* command;
    bool installMode, local, remote;
    const char* logLine;
  } cases[] = {
      {0, "CT_RUN_INSTALL", true, true, false, "[CInstallDlg] Start Installing\n"},
      {1, "CT_RUN_INSTALL", true, true, false, "[CInstallDlg] Start Installing\n"},
      {2, "CT_RUN_INSTALL", true, false, false, "[CInstallDlg] Start Installing\n"},
      {18, "CT_RUN_INSTALL", true, false, false, "[CInstallDlg] Start Installing\n"},
      {4, "CT_RUN_REMOTE_INSTALL", true, false, true, nullptr},
      {20, "CT_RUN_REMOTE_INSTALL", true, false, true, nullptr},
      {36, "CT_RUN_REMOTE_INSTALL", true, false, true, nullptr},  // 32 plus the remote bit is remote
      {32, "CT_RUN_UNINSTALL", false, false, false, "[CInstallDlg] Start Uninstalling\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.type);
    InstallPage p(c.type);
    ASSERT_TRUE(p.created) << p.medium.Log();
    ASSERT_FALSE(p.sink.commands.empty());  // sent, not posted: there at once
    EXPECT_EQ(p.sink.commands[0].cstrCmdType, c.command);
    EXPECT_EQ(p.page.InstallMode(), c.installMode);
    EXPECT_EQ(p.page.LocalInstall(), c.local);
    EXPECT_EQ(p.page.Remote(), c.remote);
    EXPECT_EQ(p.page.BlinkTimerRunning(), c.remote);
    if (c.logLine) EXPECT_EQ(p.medium.CountInLog(c.logLine), 1);
    EXPECT_EQ(p.Text(CInstallDlg::kDescriptionId), "Installing, please wait");
  }
}

TEST(InstallPage, NetworkRunFinishesAtOnce) {
  InstallPage p(2, {{"A", 1}, {"B", 1}});
  ASSERT_TRUE(p.created);
  EXPECT_EQ(p.page.ItemsTotal(), 2);
  p.State(pages::kStateInstallStart, "A");
  EXPECT_EQ(p.Text(CInstallDlg::kItemLineId), "Shown A");
  p.State(pages::kStateInstallSuccess, "A");
  p.State(pages::kStateInstallFail, "B");
  p.State(99, "B");
  EXPECT_EQ(fw::ProgressBar(GetDlgItem(p.page.Window(), CInstallDlg::kProgressId)).Position(), 2);
  p.State(pages::kStateFinish, nullptr);
  EXPECT_TRUE(p.page.InstallationFinished());
  ASSERT_TRUE(uitest::PumpUntil([&] { return p.sink.commands.size() >= 3; }));
  EXPECT_EQ(Types(p.sink),
            (std::vector<std::string>{"CT_RUN_INSTALL", "CT_END_PREVENT_PNP", "CT_OPEN_FINISH:FINISH.DONE"}));
  EXPECT_EQ(p.medium.CountInLog("[CInstallDlg] STATE_INSTALL_START [A]!!!!\n"), 1);
  EXPECT_EQ(p.medium.CountInLog("[CInstallDlg] STATE_INSTALL_FAIL [B]!!!!\n"), 1);
  EXPECT_EQ(p.medium.CountInLog("[CInstallDlg] STATE_FINISH []!!!!\n"), 1);  // no name: logged empty
  EXPECT_EQ(p.medium.CountInLog("[CInstallDlg] Unknown state 99 [B]\n"), 1);
  EXPECT_EQ(p.medium.CountInLog("[CInstallDlg] PnP Wait....\n"), 1);
}

TEST(InstallPage, LocalRunWaitsOnItsThread) {
  InstallPage p(0);
  ASSERT_TRUE(p.created);
  // States from another thread, as the installation library sends them.
  std::thread worker([&] {
    SendMessageA(p.page.Window(), CInstallDlg::kStateMessage, pages::kStateInstallStart, reinterpret_cast<LPARAM>("X"));
    SendMessageA(p.page.Window(), CInstallDlg::kStateMessage, pages::kStateFinish, reinterpret_cast<LPARAM>("X"));
  });
  ASSERT_TRUE(uitest::PumpUntil([&] { return p.sink.commands.size() >= 5; }, 20000)) << p.medium.Log();
  worker.join();
  EXPECT_EQ(Types(p.sink), (std::vector<std::string>{"CT_RUN_INSTALL", "CT_END_PREVENT_PNP", "CT_REFRESH_SYSTEM",
                                                     "CT_DIAGNOSIS", "CT_OPEN_FINISH:FINISH.DONE"}));
  EXPECT_FALSE(p.page.InstallationFinished());  // not on the wait-thread path
  EXPECT_FALSE(IsWindowVisible(p.page.Window()));
  for (const char* line : {"[CInstallDlg] Wait Thread....\n", "[CInstallDlg] Wait Thread - Refresh system....\n",
                           "[CInstallDlg] Wait Thread - Diagnosis....\n", "[CInstallDlg] User End Wait\n",
                           "[CInstallDlg] Send Next\n"}) {
    EXPECT_EQ(p.medium.CountInLog(line), 1) << line;
  }
}

TEST(InstallPage, UninstallHandsOverOnlyWhenNothingIsLeft) {
  for (bool itemLeft : {false, true}) {
    SCOPED_TRACE(itemLeft);
    InstallPage p(32, {{"A", itemLeft ? 1 : 0}});
    ASSERT_TRUE(p.created);
    p.State(pages::kStateFinish, "");
    ASSERT_TRUE(uitest::PumpUntil([&] { return p.sink.commands.size() >= (itemLeft ? 2u : 3u); }));
    std::vector<std::string> expected{"CT_RUN_UNINSTALL"};
    if (!itemLeft) expected.push_back("CT_DELETE_ALL");
    expected.push_back("CT_OPEN_FINISH:FINISH.DONE");
    EXPECT_EQ(Types(p.sink), expected);
    EXPECT_TRUE(p.page.InstallationFinished());
    EXPECT_EQ(p.medium.CountInLog("[CInstallDlg] Delete All....\n"), itemLeft ? 0 : 1);
  }
}

TEST(InstallPage, NoCloseWhileWorkingBlinkAndMissingFixedItems) {
  InstallPage p(4);
  ASSERT_TRUE(p.created);
  SendMessageA(p.page.Window(), WM_SYSCOMMAND, SC_CLOSE, 0);
  uitest::PumpPending();
  EXPECT_EQ(p.sink.closes, 0);
  EXPECT_TRUE(IsWindowVisible(p.page.Window()));
  SendMessageA(p.page.Window(), WM_TIMER, CInstallDlg::kBlinkTimer, 0);
  EXPECT_EQ(p.Text(CInstallDlg::kDescriptionId), "Installing, please wait");
  EXPECT_FALSE(p.page.BlinkOn());
  SendMessageA(p.page.Window(), WM_TIMER, CInstallDlg::kBlinkTimer, 0);
  EXPECT_EQ(p.Text(CInstallDlg::kDescriptionId), "");
  HDC dc = GetDC(p.page.Window());
  SendMessageA(p.page.Window(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
               reinterpret_cast<LPARAM>(GetDlgItem(p.page.Window(), CInstallDlg::kDescriptionId)));
  EXPECT_EQ(GetTextColor(dc), RGB(200, 0, 0));  // remote: the font's colour
  ReleaseDC(p.page.Window(), dc);

  InstallPage missing(0, {}, "");
  EXPECT_FALSE(missing.loaded);
  EXPECT_EQ(missing.medium.CountInLog("[CInstallDlg] Get Fixed item setting section name fail (INSTALL.PROGRESS)\n"), 1);
}

TEST(FinishPage, RegistersTheUninstallEntryAndEnds) {
  struct Case {
    DWORD type;
    bool registers, testPage;
  } cases[] = {{0, true, true}, {2, true, true}, {32, false, true}, {4, false, false}, {20, false, false}};
  for (const Case& c : cases) {
    for (bool byFrame : {false, true}) {
      SCOPED_TRACE(std::to_string(c.type) + (byFrame ? " frame" : " button"));
      uitest::PageMedium medium(Files("FIXED_ITEM=FINISH.FIXED\r\n"));
      CUtl::SetRegDword(medium.InstallKey().c_str(), "Install_Type", c.type);
      uitest::CommandSink sink;
      CFinishDlg page;
      page.SetControlWindow(sink.Handle());
      ASSERT_TRUE(page.Load("FINISH.DONE"));
      ASSERT_TRUE(page.CreatePage(nullptr));
      HWND testPage = GetDlgItem(page.Window(), CFinishDlg::kTestPageId);
      EXPECT_EQ(IsWindowVisible(testPage) != FALSE, c.testPage);
      if (byFrame) {
        SendMessageA(page.Window(), WM_SYSCOMMAND, SC_CLOSE, 0);
      } else {
        SendMessageA(GetDlgItem(page.Window(), CFinishDlg::kFinishId), BM_CLICK, 0, 0);
      }
      std::vector<std::string> expected;
      if (c.registers) expected.push_back("CT_ADDREG:ADD_REG.UNINSTKEY");
      if (!byFrame) expected.push_back("CT_COMMAND:FINISH_CMD");
      expected.push_back("CT_APP_TERMINATE");
      EXPECT_EQ(Types(sink), expected);
      EXPECT_EQ(sink.closes, 0);
      if (!byFrame) EXPECT_FALSE(IsWindowVisible(page.Window()));
      page.End(0);
    }
  }
}

TEST(FinishPage, TestPageButtonAndRules) {
  uitest::PageMedium medium(Files("FIXED_ITEM=FINISH.FIXED\r\n"));
  uitest::CommandSink sink;
  CFinishDlg page;
  page.SetControlWindow(sink.Handle());
  ASSERT_TRUE(page.Load("FINISH.DONE"));
  ASSERT_TRUE(page.CreatePage(nullptr));
  EXPECT_EQ(fw::GetText(GetDlgItem(page.Window(), CFinishDlg::kTestPageId)), "Print a test page");
  SendMessageA(GetDlgItem(page.Window(), CFinishDlg::kTestPageId), BM_CLICK, 0, 0);
  EXPECT_EQ(Types(sink), (std::vector<std::string>{"CT_PRINT_TEST_PAGE"}));
  page.End(0);
  EXPECT_TRUE(pages::ShowsTestPageButton(32, 11));
  EXPECT_FALSE(pages::ShowsTestPageButton(0, 11));
  EXPECT_FALSE(pages::ShowsTestPageButton(0, 12));
  EXPECT_TRUE(pages::ShowsTestPageButton(0, 13));
  EXPECT_FALSE(pages::ShowsTestPageButton(0x14, 13));
}

}  // namespace
