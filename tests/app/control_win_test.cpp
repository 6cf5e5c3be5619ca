// The control window on a real medium: its messages, the uninstall values it
// writes for items, the path rewriting of unattended installs, and the class
// that marks a running installer.
#include "setup/core/control_win.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "tests/engine/commands/engine_test_support.h"

namespace {

using enginetest::GetDword;
using enginetest::GetString;
using enginetest::Medium;
using enginetest::ValueExists;

const char* kData =
    "[ITEM_INFO]\r\nCOUNTS=4\r\nITEM_0=TWO_PARAMS\r\nITEM_1=NO_PARAMS\r\nITEM_3=NO_TEXT\r\n"
    "[TWO_PARAMS]\r\nDISPLAY_NAME=TWO_NAME\r\nUNINST_CMDSTR=$SRC_DIR$\\u.exe\r\nUNINST_PARAM_0=/a\r\n"
    "UNINST_PARAM_1=$DEST_DIR$\r\nUNINST_PARAM_3=/never\r\n"
    "[NO_PARAMS]\r\nDISPLAY_NAME=NO_SUCH_MESSAGE\r\nUNINST_CMDSTR=plain.exe\r\n"
    "[NO_TEXT]\r\nUNINST_CMDSTR=x.exe\r\n";
const char* kStrings = "TWO_NAME=Two parameters\r\n";

class ControlWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(medium_.ok()) << medium_.Log();
    ASSERT_TRUE(window_->CreateControlWindow()) << medium_.Log();
  }
  std::string Key(const std::string& rest) const { return medium_.InstallKey() + rest; }

  Medium medium_{kData,
                 "[CANCEL_DLG]\r\nCANCEL_MSG=QUIT\r\n"
                 "[NORMAL.PLAIN]\r\nCAPTION=Plain page\r\nDLG_SIZE=300,200\r\n",
                 std::string(kStrings) + "QUIT=Really quit?\r\n"};
  std::unique_ptr<CControlWin> window_ = std::make_unique<CControlWin>(medium_.Env());
};

TEST_F(ControlWindow, CommandMessagesRunOnTheInterpreter) {
  HWND hwnd = window_->Handle();
  EXPECT_EQ(SendMessageA(hwnd, CControlWin::kUserCommandMessage, 0, 0), 0);  // no record: nothing
  CommandRecord unknown("CT_NO_SUCH_WORD", "x");
  EXPECT_EQ(SendMessageA(hwnd, CControlWin::kUserCommandMessage, 0, reinterpret_cast<LPARAM>(&unknown)), 1);
  CommandRecord addReg("CT_COMMAND", "");
  addReg.cstrAddReg = "HKLM," + Key("\\FromMessage\\Flag") + ",REG_DWORD,7";
  EXPECT_EQ(SendMessageA(hwnd, CControlWin::kUserCommandMessage, 0, reinterpret_cast<LPARAM>(&addReg)), 1);
  EXPECT_EQ(GetDword(HKEY_LOCAL_MACHINE, Key("\\FromMessage"), "Flag", 0), 7u);

  enginetest::MessageBoxAnswer cancel(IDCANCEL);  // the user keeps the installer running
  EXPECT_EQ(SendMessageA(hwnd, CControlWin::kCancelMessage, 0, 0), 1);
  ASSERT_EQ(enginetest::MessageBoxAnswer::Texts().size(), 1u);
  EXPECT_EQ(enginetest::MessageBoxAnswer::Texts()[0], "Really quit?");
}

TEST_F(ControlWindow, ItemUninstallValuesStopAtTheFirstEmptyParameter) {
  struct Case {
    const char* item;
    const char* command;
    const char* params;
  } cases[] = {
      {"TWO_PARAMS", "\\u.exe", "/a <dest> "},
      {"NO_PARAMS", "plain.exe", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.item);
    std::string key = Key(std::string("\\Items\\") + c.item);
    CUtl::SetRegString(key.c_str(), "Item_Name", c.item);
    ASSERT_TRUE(window_->WriteItemUninstall(key.c_str()));
    std::string command = c.command[0] == '\\' ? medium_.SrcDir() + c.command : c.command;
    EXPECT_EQ(GetString(HKEY_LOCAL_MACHINE, key, "Uninstall_Cmd"), command);
    std::string params = c.params;
    size_t at = params.find("<dest>");
    if (at != std::string::npos) params.replace(at, 6, medium_.Env().GetDestDir());
    EXPECT_EQ(GetString(HKEY_LOCAL_MACHINE, key, "Uninstall_Param"), params);
  }
  EXPECT_FALSE(window_->WriteItemUninstall(""));
  EXPECT_FALSE(window_->WriteItemUninstall(Key("\\Items\\Unnamed").c_str()));
  std::string log = medium_.Log();
  EXPECT_NE(log.find("[CControlWin] Write uninstall key fail.. Subkey is invlide..\n"), std::string::npos);
  EXPECT_NE(log.find("[CControlWin] Get Item section name fail!! [" + Key("\\Items\\Unnamed") + "]\n"),
            std::string::npos);
}

TEST_F(ControlWindow, FullPathsAreMadeOnEveryStringBelowTheKey) {
  CUtl::SetRegString(Key("").c_str(), "Dest", "$DEST_DIR$\\x");
  CUtl::SetRegDword(Key("").c_str(), "Number", 5);
  CUtl::SetRegString(Key("\\Deep\\Deeper").c_str(), "Src", "$SRC_DIR$");
  CUtl::SetRegString(Key("\\Items\\TWO_PARAMS").c_str(), "Item_Name", "TWO_PARAMS");
  ASSERT_TRUE(window_->ReMakeFullPath(medium_.InstallKey().c_str()));
  EXPECT_EQ(GetString(HKEY_LOCAL_MACHINE, Key(""), "Dest"), medium_.Env().GetDestDir() + "\\x");
  EXPECT_EQ(GetDword(HKEY_LOCAL_MACHINE, Key(""), "Number", 0), 5u);  // not a string: left alone
  EXPECT_EQ(GetString(HKEY_LOCAL_MACHINE, Key("\\Deep\\Deeper"), "Src"), medium_.SrcDir());
  EXPECT_TRUE(ValueExists(HKEY_LOCAL_MACHINE, Key("\\Items\\TWO_PARAMS"), "Uninstall_Cmd"));  // an item key

  EXPECT_FALSE(window_->ReMakeFullPath(Key("\\Missing").c_str()));
  EXPECT_NE(medium_.Log().find("[CControlWin] Open Key Error!! (" + Key("\\Missing") + ")"), std::string::npos);
}

TEST_F(ControlWindow, DisplayNamesComeFromTheMessagesWhenThereIsAText) {
  window_->WriteItemDisplayNames();
  EXPECT_EQ(GetString(HKEY_LOCAL_MACHINE, Key("\\Items\\TWO_PARAMS"), "DisplayName"), "Two parameters");
  EXPECT_FALSE(ValueExists(HKEY_LOCAL_MACHINE, Key("\\Items\\NO_PARAMS"), "DisplayName"));  // no such message
  EXPECT_FALSE(ValueExists(HKEY_LOCAL_MACHINE, Key("\\Items\\NO_TEXT"), "DisplayName"));    // no DISPLAY_NAME
}

TEST_F(ControlWindow, ASecondControlWindowOfTheProgramRefuses) {
  EXPECT_EQ(window_->ClassName(), medium_.Id().Program() + " Installer Program");
  EXPECT_EQ(FindWindowA(window_->ClassName().c_str(), nullptr), window_->Handle());
  EXPECT_FALSE(IsWindowVisible(window_->Handle()));
  CControlWin second(medium_.Env());
  EXPECT_FALSE(second.CreateControlWindow());
  EXPECT_NE(medium_.Log().find("[CControlWin] The program is alread running!!"), std::string::npos);
}

TEST_F(ControlWindow, UnattendedInstallsWithoutTheInstallerLibraryFail) {
  // The test medium ships no companion libraries: there is no MyInstall to call.
  EXPECT_FALSE(window_->FactoryInstall());
  EXPECT_FALSE(window_->RemoteInstall());
  EXPECT_EQ(medium_.CountInLog("[CControlWin] Get Install fuction fail!"), 2);
}

// Activating the hidden control window while a page shows hands the
// activation to the page once: the page ends up active, and the control
// window is not activated again and again.
struct Activation {
  HWND control = nullptr;
  HWND page = nullptr;
  HWND activeAfter = nullptr;
  int bringsBefore = -1, bringsAfter = -1;
  Medium* medium = nullptr;
};
Activation* g_activation = nullptr;

void CALLBACK ActivateControlWindow(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  Activation& a = *g_activation;
  a.page = GetActiveWindow();
  a.bringsBefore = a.medium->CountInLog("[CCmdOperator] SetForgroundWindow()");
  SetActiveWindow(a.control);
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
  a.activeAfter = GetActiveWindow();
  a.bringsAfter = a.medium->CountInLog("[CCmdOperator] SetForgroundWindow()");
  PostMessageA(a.control, WM_DESTROY, 0, 0);  // ends every page
}

TEST_F(ControlWindow, ActivationIsHandedToTheCurrentPageOnce) {
  Activation activation;
  activation.control = window_->Handle();
  activation.medium = &medium_;
  g_activation = &activation;
  SetTimer(nullptr, 0, 200, ActivateControlWindow);
  CommandRecord open("CT_OPEN_DLG", "NORMAL.PLAIN");
  ASSERT_TRUE(window_->Operator().Execute(open)) << medium_.Log();
  g_activation = nullptr;

  ASSERT_NE(activation.page, nullptr);
  ASSERT_NE(activation.page, activation.control);
  EXPECT_EQ(activation.activeAfter, activation.page);
  EXPECT_EQ(activation.bringsAfter - activation.bringsBefore, 1) << medium_.Log();
}

}  // namespace
