#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <thread>
#include <vector>

#include "framework/frame_window.h"
#include "framework/window.h"
#include "tests/framework/test_helpers.h"
#include "tests/support/trace_capture.h"

namespace {

using fw::test::PumpUntil;
using fw::test::UniqueClassName;

constexpr UINT kAskDouble = WM_APP + 1;
constexpr UINT kThrow = WM_APP + 2;

// Records what reaches each handler.
class RecordingWindow : public fw::Window {
 public:
  bool failCreate = false;
  bool keepOnClose = false;
  bool throwOnCommand = false;
  std::vector<WORD> commands;
  std::vector<UINT_PTR> timers;
  std::vector<UINT> notifyCodes;
  int creates = 0, destroys = 0, finals = 0;
  DWORD handlerThread = 0;

  bool Create(HWND parent = nullptr) {
    return fw::Window::Create(UniqueClassName(), "recording", parent ? WS_CHILD : WS_OVERLAPPED, 0, 0, 0, 100, 100,
                              parent);
  }

 protected:
  bool OnCreate(CREATESTRUCTA*) override {
    ++creates;
    return !failCreate;
  }
  bool OnCommand(WORD id, WORD, HWND) override {
    if (throwOnCommand) throw std::runtime_error("command failed");
    commands.push_back(id);
    return true;
  }
  bool OnNotify(NMHDR* header, LRESULT* result) override {
    notifyCodes.push_back(header->code);
    *result = 77;
    return true;
  }
  void OnTimer(UINT_PTR id) override { timers.push_back(id); }
  void OnDestroy() override { ++destroys; }
  bool OnClose() override { return keepOnClose; }
  bool OnMessage(UINT message, WPARAM wParam, LPARAM, LRESULT* result) override {
    if (message == kAskDouble) {
      handlerThread = GetCurrentThreadId();
      *result = static_cast<LRESULT>(wParam * 2);
      return true;
    }
    if (message == kThrow) throw 42;  // not even a std::exception
    return false;
  }
  void OnFinalMessage() override { ++finals; }
};

TEST(Window, CreateBindsObjectToHandle) {
  RecordingWindow window;
  ASSERT_TRUE(window.Create());
  ASSERT_NE(window.Handle(), nullptr);
  EXPECT_EQ(fw::Window::FromHandle(window.Handle()), &window);
  EXPECT_EQ(window.creates, 1);
  EXPECT_EQ(fw::Window::FromHandle(nullptr), nullptr);
  EXPECT_EQ(fw::Window::FromHandle(GetDesktopWindow()), nullptr);
}

TEST(Window, DestroyClearsHandleThenCallsFinalMessage) {
  RecordingWindow window;
  ASSERT_TRUE(window.Create());
  HWND hwnd = window.Handle();
  window.Destroy();
  EXPECT_FALSE(IsWindow(hwnd));
  EXPECT_EQ(window.Handle(), nullptr);
  EXPECT_EQ(window.destroys, 1);
  EXPECT_EQ(window.finals, 1);
  EXPECT_EQ(fw::Window::FromHandle(hwnd), nullptr);
}

TEST(Window, ObjectGoingFirstTakesItsWindowAlong) {
  HWND hwnd = nullptr;
  {
    RecordingWindow window;
    ASSERT_TRUE(window.Create());
    hwnd = window.Handle();
  }
  EXPECT_FALSE(IsWindow(hwnd));
}

TEST(Window, SelfDeletingWindowInFinalMessage) {
  static int deleted = 0;
  struct Owned : RecordingWindow {
    ~Owned() override { ++deleted; }
    void OnFinalMessage() override { delete this; }
  };
  deleted = 0;
  auto* window = new Owned;
  ASSERT_TRUE(window->Create());
  DestroyWindow(window->Handle());
  EXPECT_EQ(deleted, 1);
}

TEST(Window, OnCreateFalseFailsCreation) {
  RecordingWindow window;
  window.failCreate = true;
  EXPECT_FALSE(window.Create());
  EXPECT_EQ(window.Handle(), nullptr);
  EXPECT_EQ(window.creates, 1);
}

TEST(Window, SecondCreateOnSameObjectIsRefused) {
  RecordingWindow window;
  ASSERT_TRUE(window.Create());
  HWND first = window.Handle();
  EXPECT_FALSE(window.Create());
  EXPECT_EQ(window.Handle(), first);
}

TEST(Window, MessagesReachTheirHandlers) {
  RecordingWindow window;
  ASSERT_TRUE(window.Create());
  EXPECT_EQ(window.Send(WM_COMMAND, MAKEWPARAM(1001, BN_CLICKED), 0), 0);
  NMHDR header{window.Handle(), 5, static_cast<UINT>(LVN_ITEMCHANGED)};
  EXPECT_EQ(window.Send(WM_NOTIFY, 5, reinterpret_cast<LPARAM>(&header)), 77);
  window.Send(WM_TIMER, 9, 0);
  EXPECT_EQ(window.Send(kAskDouble, 21), 42);
  ASSERT_EQ(window.commands.size(), 1u);
  EXPECT_EQ(window.commands[0], 1001);
  ASSERT_EQ(window.notifyCodes.size(), 1u);
  EXPECT_EQ(window.notifyCodes[0], static_cast<UINT>(LVN_ITEMCHANGED));
  ASSERT_EQ(window.timers.size(), 1u);
  EXPECT_EQ(window.timers[0], 9u);
}

TEST(Window, CloseKeepsWindowOnlyWhenHandled) {
  RecordingWindow window;
  ASSERT_TRUE(window.Create());
  window.keepOnClose = true;
  window.Send(WM_CLOSE);
  EXPECT_TRUE(IsWindow(window.Handle()));
  window.keepOnClose = false;
  HWND hwnd = window.Handle();
  window.Send(WM_CLOSE);  // default: destroyed
  EXPECT_FALSE(IsWindow(hwnd));
  EXPECT_EQ(window.destroys, 1);
}

TEST(Window, ExceptionsInHandlersDoNotEscape) {
  qx::test::TraceCapture trace;
  RecordingWindow window;
  ASSERT_TRUE(window.Create());
  window.throwOnCommand = true;
  EXPECT_EQ(window.Send(WM_COMMAND, 1002), 0);
  EXPECT_EQ(window.Send(kThrow), 0);
  EXPECT_TRUE(trace.Contains("command failed")) << trace.Text();
  EXPECT_TRUE(trace.Contains("[fw::Window] exception in handler of message 0x8002")) << trace.Text();
  // The window goes on working.
  EXPECT_EQ(window.Send(kAskDouble, 4), 8);
}

TEST(Window, ThrowingOnCreateFailsCreation) {
  struct Throwing : RecordingWindow {
    bool OnCreate(CREATESTRUCTA*) override { throw std::runtime_error("no"); }
  } window;
  EXPECT_FALSE(window.Create());
  EXPECT_EQ(window.Handle(), nullptr);
}

TEST(Window, TimerFires) {
  RecordingWindow window;
  ASSERT_TRUE(window.Create());
  ASSERT_NE(SetTimer(window.Handle(), 7, 10, nullptr), 0u);
  EXPECT_TRUE(PumpUntil([&] { return window.timers.size() >= 3; }));
  KillTimer(window.Handle(), 7);
  for (UINT_PTR id : window.timers) EXPECT_EQ(id, 7u);
}

TEST(Window, SendFromWorkerThreadRunsOnWindowThread) {
  RecordingWindow window;
  ASSERT_TRUE(window.Create());
  std::atomic<bool> done{false};
  std::atomic<LRESULT> answer{0};
  HWND hwnd = window.Handle();
  std::thread worker([&] {
    answer = SendMessageA(hwnd, kAskDouble, 50, 0);
    done = true;
  });
  bool finished = PumpUntil([&] { return done.load(); });
  worker.join();
  ASSERT_TRUE(finished);
  EXPECT_EQ(answer.load(), 100);
  EXPECT_EQ(window.handlerThread, GetCurrentThreadId());
}

TEST(Window, ChildWindowBindsToo) {
  RecordingWindow parent, child;
  ASSERT_TRUE(parent.Create());
  ASSERT_TRUE(child.Create(parent.Handle()));
  EXPECT_EQ(GetParent(child.Handle()), parent.Handle());
  EXPECT_EQ(fw::Window::FromHandle(child.Handle()), &child);
  parent.Destroy();  // destroys the child first
  EXPECT_EQ(child.Handle(), nullptr);
  EXPECT_EQ(child.finals, 1);
}

TEST(FrameWindow, HiddenFrameIsFoundByClassName) {
  fw::FrameWindow frame;
  std::string cls = UniqueClassName();
  ASSERT_TRUE(frame.CreateFrame(cls.c_str(), "hidden frame"));
  EXPECT_FALSE(IsWindowVisible(frame.Handle()));
  EXPECT_EQ(FindWindowA(cls.c_str(), nullptr), frame.Handle());
  // The class is registered once; a second frame of it still binds.
  fw::FrameWindow second;
  ASSERT_TRUE(second.CreateFrame(cls.c_str(), "second", true));
  EXPECT_TRUE(IsWindowVisible(second.Handle()));
  EXPECT_EQ(fw::Window::FromHandle(second.Handle()), &second);
}

TEST(FrameWindow, ClassOfAnotherProcedureIsRefused) {
  // The name is taken by a class with a procedure of its own: the window could
  // never be bound, so creation reports failure and leaves no window behind.
  std::string cls = UniqueClassName();
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = DefWindowProcA;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = cls.c_str();
  ASSERT_NE(RegisterClassExA(&wc), 0);
  fw::FrameWindow frame;
  EXPECT_FALSE(frame.CreateFrame(cls.c_str(), "not ours"));
  EXPECT_EQ(frame.Handle(), nullptr);
  EXPECT_EQ(FindWindowA(cls.c_str(), nullptr), nullptr);
}

}  // namespace
