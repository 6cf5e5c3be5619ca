#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "framework/controls.h"
#include "framework/dialog.h"
#include "framework/window.h"
#include "tests/framework/test_helpers.h"
#include "tests/support/trace_capture.h"

namespace {

constexpr UINT kEndWith = WM_APP + 10;
constexpr UINT kRunInner = WM_APP + 11;

fw::DialogTemplate SmallTemplate(const char* title = "Test") {
  fw::DialogTemplate t(title, WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, 10, 10, 200, 100);
  t.Add(0x80, "OK", IDOK, WS_CHILD | WS_VISIBLE | BS_DEFPUSHBUTTON | WS_TABSTOP, 140, 80, 50, 14);
  return t;
}

// Ends itself with the code of a message posted from its initialisation, so
// that the modal loop runs before the end.
class PostedEndDialog : public fw::Dialog {
 public:
  explicit PostedEndDialog(INT_PTR code) : code_(code) {}
  bool sawModal = false;

 protected:
  bool OnInitDialog() override {
    sawModal = IsModal();
    Post(kEndWith, static_cast<WPARAM>(code_));
    return true;
  }
  bool OnMessage(UINT message, WPARAM wParam, LPARAM, LRESULT*) override {
    if (message == kEndWith) End(static_cast<INT_PTR>(wParam));
    return message == kEndWith;
  }

 private:
  INT_PTR code_;
};

TEST(Dialog, ModalReturnsCodeGivenToEnd) {
  for (INT_PTR code : {INT_PTR{0}, INT_PTR{1}, INT_PTR{1234}, INT_PTR{-7}}) {
    PostedEndDialog dialog(code);
    EXPECT_EQ(dialog.DoModal(SmallTemplate(), nullptr), code);
    EXPECT_TRUE(dialog.sawModal);
    EXPECT_EQ(dialog.Handle(), nullptr);
  }
}

TEST(Dialog, OkButtonEndsWithIdOkByDefault) {
  struct Clicking : fw::Dialog {
    bool OnInitDialog() override {
      PostMessageA(Item(IDOK), BM_CLICK, 0, 0);
      return true;
    }
  } dialog;
  EXPECT_EQ(dialog.DoModal(SmallTemplate(), nullptr), IDOK);
}

// The outer dialog runs the inner one from a posted message; the inner one
// checks that its owner is disabled meanwhile and ends with 42.
class InnerDialog : public PostedEndDialog {
 public:
  InnerDialog() : PostedEndDialog(42) {}
  bool ownerDisabled = false;

 protected:
  bool OnInitDialog() override {
    ownerDisabled = !IsWindowEnabled(GetWindow(Handle(), GW_OWNER));
    return PostedEndDialog::OnInitDialog();
  }
};

class OuterDialog : public fw::Dialog {
 public:
  InnerDialog inner;
  INT_PTR innerResult = 0;

 protected:
  bool OnInitDialog() override {
    Post(kRunInner);
    return true;
  }
  bool OnMessage(UINT message, WPARAM, LPARAM, LRESULT*) override {
    if (message != kRunInner) return false;
    innerResult = inner.DoModal(SmallTemplate("Inner"), Handle());
    End(innerResult + 1);
    return true;
  }
};

TEST(Dialog, NestedModalDialogs) {
  OuterDialog outer;
  EXPECT_EQ(outer.DoModal(SmallTemplate("Outer"), nullptr), 43);
  EXPECT_EQ(outer.innerResult, 42);
  EXPECT_TRUE(outer.inner.ownerDisabled);
}

TEST(Dialog, ExceptionInHandlerDoesNotEscape) {
  struct Throwing : fw::Dialog {
    bool OnInitDialog() override {
      Post(WM_COMMAND, 555);
      return true;
    }
    bool OnCommand(WORD id, WORD code, HWND control) override {
      if (id == 555) {
        Post(kEndWith, 9);
        throw std::runtime_error("dialog handler failed");
      }
      return fw::Dialog::OnCommand(id, code, control);
    }
    bool OnMessage(UINT message, WPARAM wParam, LPARAM, LRESULT*) override {
      if (message == kEndWith) End(static_cast<INT_PTR>(wParam));
      return message == kEndWith;
    }
  } dialog;
  qx::test::TraceCapture trace;
  EXPECT_EQ(dialog.DoModal(SmallTemplate(), nullptr), 9);
  EXPECT_TRUE(trace.Contains("[fw::Dialog] exception in handler of message 0x0111: dialog handler failed"))
      << trace.Text();
}

TEST(Dialog, NotifyResultGoesThroughMessageResult) {
  struct Notified : fw::Dialog {
    bool OnNotify(NMHDR* header, LRESULT* result) override {
      *result = static_cast<LRESULT>(header->code) + 1;
      return true;
    }
  } dialog;
  ASSERT_TRUE(dialog.CreateModeless(SmallTemplate(), nullptr));
  NMHDR header{dialog.Handle(), 1, 100};
  // SendMessage to a dialog returns the procedure's DWLP_MSGRESULT.
  EXPECT_EQ(dialog.Send(WM_NOTIFY, 1, reinterpret_cast<LPARAM>(&header)), 101);
  dialog.End(0);
  EXPECT_EQ(dialog.Handle(), nullptr);
}

TEST(Dialog, FromHandleKnowsDialogsOnly) {
  fw::Dialog dialog;
  ASSERT_TRUE(dialog.CreateModeless(SmallTemplate(), nullptr));
  EXPECT_EQ(fw::Dialog::FromHandle(dialog.Handle()), &dialog);
  EXPECT_EQ(fw::Dialog::FromHandle(dialog.Item(IDOK)), nullptr);
  HWND hwnd = dialog.Handle();
  dialog.End(0);
  EXPECT_FALSE(IsWindow(hwnd));
  EXPECT_EQ(fw::Dialog::FromHandle(hwnd), nullptr);
}

TEST(Dialog, ModelessEndingWhileInitialisingReportsFailure) {
  struct Quitter : fw::Dialog {
    int finals = 0;
    bool OnInitDialog() override {
      End(0);
      return true;
    }
    void OnFinalMessage() override { ++finals; }
  } dialog;
  EXPECT_FALSE(dialog.CreateModeless(SmallTemplate(), nullptr));
  EXPECT_EQ(dialog.Handle(), nullptr);
  EXPECT_EQ(dialog.finals, 1);
}

TEST(Dialog, ObjectGoingFirstTakesModelessWindowAlong) {
  HWND hwnd = nullptr;
  {
    fw::Dialog dialog;
    ASSERT_TRUE(dialog.CreateModeless(SmallTemplate(), nullptr));
    hwnd = dialog.Handle();
  }
  EXPECT_FALSE(IsWindow(hwnd));
}

// Template layout: titles and texts of odd and even lengths exercise the
// DWORD alignment of each item; a wrong layout garbles the items that follow.
struct TemplateCase {
  const char* title;
  std::vector<const char*> texts;
};

void PrintTo(const TemplateCase& c, std::ostream* out) {
  *out << "title \"" << c.title << "\", " << c.texts.size() << " texts";
}

class DialogTemplateLayout : public ::testing::TestWithParam<TemplateCase> {};

TEST_P(DialogTemplateLayout, ItemsComeOutAsDescribed) {
  const TemplateCase& c = GetParam();
  fw::DialogTemplate t(c.title, WS_POPUP | WS_CAPTION, 0, 0, 300, 200);
  WORD id = 100;
  for (const char* text : c.texts) {
    t.Add(0x82, text, id, WS_CHILD | SS_LEFT, 5, id - 95, 100, 10);
    t.Add("EDIT", text, static_cast<WORD>(id + 1), WS_CHILD | ES_AUTOHSCROLL, 110, id - 95, 100, 10, WS_EX_CLIENTEDGE);
    id = static_cast<WORD>(id + 2);
  }
  fw::Dialog dialog;
  ASSERT_TRUE(dialog.CreateModeless(t, nullptr));
  EXPECT_EQ(fw::GetText(dialog.Handle()), c.title);
  id = 100;
  for (const char* text : c.texts) {
    HWND label = dialog.Item(id), edit = dialog.Item(id + 1);
    ASSERT_NE(label, nullptr) << id;
    ASSERT_NE(edit, nullptr) << id + 1;
    char cls[64];
    GetClassNameA(label, cls, sizeof(cls));
    EXPECT_STRCASEEQ(cls, "Static");
    GetClassNameA(edit, cls, sizeof(cls));
    EXPECT_STRCASEEQ(cls, "Edit");
    EXPECT_EQ(fw::GetText(label), text);
    EXPECT_EQ(fw::GetText(edit), text);
    EXPECT_TRUE(GetWindowLongA(edit, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    EXPECT_TRUE(GetWindowLongA(edit, GWL_STYLE) & ES_AUTOHSCROLL);
    id = static_cast<WORD>(id + 2);
  }
  dialog.End(0);
}

INSTANTIATE_TEST_SUITE_P(Lengths, DialogTemplateLayout,
                         ::testing::Values(TemplateCase{"", {"a", "bc", "", "def"}},
                                           TemplateCase{"T", {"", "", "xy"}},
                                           TemplateCase{"Ti", {"odd", "even", "seven77"}},
                                           TemplateCase{"Title", {}}));

TEST(DialogTemplate, AnsiTextsAreWidenedFromSystemCodePage) {
  const char* text = "Caf\xE9 \xC4rger \x80";  // bytes above 0x7F in the system code page
  fw::DialogTemplate t(text, WS_POPUP, 0, 0, 100, 50);
  t.Add(0x82, text, 200, WS_CHILD, 0, 0, 90, 10);
  fw::Dialog dialog;
  ASSERT_TRUE(dialog.CreateModeless(t, nullptr));
  wchar_t expected[64] = {}, shown[64] = {};
  MultiByteToWideChar(CP_ACP, 0, text, -1, expected, 64);
  GetWindowTextW(dialog.Item(200), shown, 64);
  EXPECT_EQ(std::wstring(shown), std::wstring(expected));
  // Byte 0x80 is a letter or the euro sign in the ANSI code pages; a byte-wise
  // widening would leave the control character U+0080.
  EXPECT_NE(shown[11], 0x0080) << "code page " << GetACP();
  GetWindowTextW(dialog.Handle(), shown, 64);
  EXPECT_EQ(std::wstring(shown), std::wstring(expected));
  dialog.End(0);
}

TEST(DialogTemplate, FontOfTheTemplateIsUsed) {
  fw::DialogTemplate t("Font", WS_POPUP, 0, 0, 100, 50, 0, "Tahoma", 12);
  t.Add(0x82, "x", 200, WS_CHILD, 0, 0, 90, 10);
  fw::Dialog dialog;
  ASSERT_TRUE(dialog.CreateModeless(t, nullptr));
  EXPECT_TRUE(GetWindowLongA(dialog.Handle(), GWL_STYLE) & DS_SETFONT);
  auto font = reinterpret_cast<HFONT>(dialog.Send(WM_GETFONT));
  ASSERT_NE(font, nullptr);
  LOGFONTA lf{};
  ASSERT_NE(GetObjectA(font, sizeof(lf), &lf), 0);
  EXPECT_STREQ(lf.lfFaceName, "Tahoma");
  HDC screen = GetDC(nullptr);
  int expectedHeight = -MulDiv(12, GetDeviceCaps(screen, LOGPIXELSY), 72);
  ReleaseDC(nullptr, screen);
  EXPECT_EQ(lf.lfHeight, expectedHeight);
  // The controls got the dialog's font.
  EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(dialog.Item(200), WM_GETFONT, 0, 0)), font);
  dialog.End(0);
}

TEST(DialogTemplate, NoFontLeavesSystemFont) {
  fw::DialogTemplate t("No font", WS_POPUP | DS_SETFONT, 0, 0, 100, 50, 0, nullptr);
  fw::Dialog dialog;
  ASSERT_TRUE(dialog.CreateModeless(t, nullptr));
  EXPECT_FALSE(GetWindowLongA(dialog.Handle(), GWL_STYLE) & DS_SETFONT);
  dialog.End(0);
}

}  // namespace

namespace {

// The showcase program beside this test program shows a bound dialog in a
// process of its own.
TEST(Dialog, FromHandleIgnoresWindowsOfOtherProcesses) {
  char path[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, path, sizeof(path));
  ASSERT_GT(n, 0u);
  std::string program(path, n);
  program = program.substr(0, program.find_last_of('\\') + 1) + "framework_showcase.exe";
  std::string commandLine = "\"" + program + "\" 60";
  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  ASSERT_TRUE(CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                             &startup, &process))
      << program;
  HWND other = nullptr;
  bool found = fw::test::PumpUntil([&] {
    // Found once bound over there: the window exists before WM_INITDIALOG.
    other = FindWindowA(nullptr, "Framework showcase");
    return other != nullptr && GetPropA(other, "fw.Dialog") != nullptr;
  });
  if (found) {
    EXPECT_EQ(fw::Dialog::FromHandle(other), nullptr);
    EXPECT_EQ(fw::Window::FromHandle(other), nullptr);
    PostMessageA(other, WM_COMMAND, IDCANCEL, 0);
  } else {
    ADD_FAILURE() << "the bound showcase dialog did not appear";
    TerminateProcess(process.hProcess, 1);
  }
  EXPECT_EQ(WaitForSingleObject(process.hProcess, 30000), WAIT_OBJECT_0);
  DWORD exitCode = 0;
  GetExitCodeProcess(process.hProcess, &exitCode);
  if (found) {
    EXPECT_EQ(exitCode, static_cast<DWORD>(IDCANCEL));
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
}

}  // namespace
