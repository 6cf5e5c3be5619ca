#include <gtest/gtest.h>

#include <vector>

#include "framework/app.h"
#include "framework/dialog.h"
#include "framework/window.h"
#include "tests/framework/test_helpers.h"

namespace {

constexpr UINT kRecord = WM_APP + 20;
constexpr UINT_PTR kDeadlineTimer = 1;
constexpr int kDeadlinePassed = 99;

// Ends the loop with kDeadlinePassed when a test's expected quit never comes,
// so that a fault fails the test instead of hanging it.
class DeadlineWindow : public fw::Window {
 public:
  bool Start() {
    return Create(fw::test::UniqueClassName(), "deadline", WS_OVERLAPPED, 0, 0, 0, 10, 10) &&
           SetTimer(Handle(), kDeadlineTimer, 10000, nullptr) != 0;
  }

 protected:
  void OnTimer(UINT_PTR) override { PostQuitMessage(kDeadlinePassed); }
};

// A modeless dialog that records what it receives and ends the loop with its
// exit code when it is destroyed.
class ModelessDialog : public fw::Dialog {
 public:
  std::vector<WPARAM> recorded;
  int cancelled = 0;

 protected:
  bool OnCommand(WORD id, WORD code, HWND control) override {
    if (id == IDCANCEL) ++cancelled;
    return fw::Dialog::OnCommand(id, code, control);
  }
  bool OnMessage(UINT message, WPARAM wParam, LPARAM, LRESULT*) override {
    if (message == kRecord) recorded.push_back(wParam);
    return message == kRecord;
  }
  void OnDestroy() override { PostQuitMessage(7); }
};

fw::DialogTemplate ModelessTemplate() {
  fw::DialogTemplate t("Modeless", WS_POPUP | WS_CAPTION | WS_VISIBLE, 0, 0, 150, 60);
  t.Add(0x80, "Close", IDCANCEL, WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON | WS_TABSTOP, 90, 40, 50, 14);
  t.Add(0x80, "Other", 300, WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON | WS_TABSTOP, 30, 40, 50, 14);
  return t;
}

TEST(App, CurrentIsTheOneApplicationObject) {
  EXPECT_EQ(fw::App::Current(), nullptr);
  {
    fw::App app;
    EXPECT_EQ(fw::App::Current(), &app);
    EXPECT_EQ(app.Instance(), GetModuleHandleA(nullptr));
    fw::App second;  // refused as current: the first stays
    EXPECT_EQ(fw::App::Current(), &app);
  }
  EXPECT_EQ(fw::App::Current(), nullptr);
}

TEST(App, LoopRoutesKeyboardToModelessDialogAndEnds) {
  fw::App app;
  DeadlineWindow deadline;
  ASSERT_TRUE(deadline.Start());
  ModelessDialog dialog;
  ASSERT_TRUE(dialog.CreateModeless(ModelessTemplate(), nullptr));
  HWND hwnd = dialog.Handle();
  dialog.Post(kRecord, 1);
  dialog.Post(kRecord, 2);
  // Escape pressed on a button of the dialog: only the dialog manager turns it
  // into IDCANCEL, so this ends the dialog only if the loop routes it.
  PostMessageA(dialog.Item(300), WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_EQ(app.MessageLoop(), 7);
  EXPECT_EQ(dialog.recorded, (std::vector<WPARAM>{1, 2}));
  EXPECT_EQ(dialog.cancelled, 1);
  EXPECT_FALSE(IsWindow(hwnd));
  EXPECT_EQ(dialog.Handle(), nullptr);
}

TEST(App, RunCallsStartLoopAndExitRoutines) {
  struct Program : fw::App {
    int starts = 0;
    bool InitInstance() override {
      ++starts;
      PostQuitMessage(5);
      return true;
    }
    int ExitInstance() override { return exitCode_ * 10; }
  } program;
  EXPECT_EQ(program.Run(), 50);
  EXPECT_EQ(program.starts, 1);
}

TEST(App, FailedStartSkipsTheLoop) {
  struct Program : fw::App {
    bool InitInstance() override {
      exitCode_ = 3;
      PostQuitMessage(8);  // would be the result if the loop ran
      return false;
    }
  } program;
  EXPECT_EQ(program.Run(), 3);
  // Take the pending quit away from later tests.
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
  }
}

TEST(App, ExceptionFromStartIsCaught) {
  struct Program : fw::App {
    bool InitInstance() override { throw 1; }
  } program;
  EXPECT_EQ(program.Run(), -1);
}

}  // namespace
