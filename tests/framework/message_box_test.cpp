#include <gtest/gtest.h>

#include <string>

#include "framework/message_box.h"
#include "tests/support/trace_capture.h"

namespace {

struct Seen {
  HWND owner;
  std::string text, caption;
  UINT type;
} g_seen;

int AnswerNo(HWND owner, const char* text, const char* caption, UINT type) {
  g_seen = {owner, text ? text : "", caption ? caption : "", type};
  return IDNO;
}

TEST(MessageBoxHook, HookAnswersInPlaceOfTheBox) {
  qx::test::TraceCapture trace;
  fw::MessageBoxHook previous = fw::SetMessageBoxHook(AnswerNo);
  EXPECT_NE(previous, nullptr);  // the environment's guard
  HWND owner = GetDesktopWindow();
  EXPECT_EQ(fw::ShowMessageBox(owner, "Remove all?", "Setup", MB_YESNO | MB_ICONQUESTION), IDNO);
  EXPECT_EQ(g_seen.owner, owner);
  EXPECT_EQ(g_seen.text, "Remove all?");
  EXPECT_EQ(g_seen.caption, "Setup");
  EXPECT_EQ(g_seen.type, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION));
  EXPECT_TRUE(trace.Contains("[MessageBox] Setup: Remove all?")) << trace.Text();
  EXPECT_EQ(fw::SetMessageBoxHook(previous), &AnswerNo);
}

TEST(MessageBoxHook, NullTextsAreSafe) {
  fw::MessageBoxHook previous = fw::SetMessageBoxHook(AnswerNo);
  EXPECT_EQ(fw::ShowMessageBox(nullptr, nullptr, nullptr, MB_OK), IDNO);
  EXPECT_EQ(g_seen.text, "");
  fw::SetMessageBoxHook(previous);
}

TEST(MessageBoxHook, EnvironmentAnswersForWholePrograms) {
  fw::MessageBoxHook previous = fw::SetMessageBoxHook(AnswerNo);
  SetEnvironmentVariableA(fw::kMessageBoxAnswerVariable, "garbage");
  fw::AnswerMessageBoxesFromEnvironment();  // not a button id: the hook stays
  EXPECT_EQ(fw::ShowMessageBox(nullptr, "t", "c", MB_OKCANCEL), IDNO);
  SetEnvironmentVariableA(fw::kMessageBoxAnswerVariable, "2");
  fw::AnswerMessageBoxesFromEnvironment();
  EXPECT_EQ(fw::ShowMessageBox(nullptr, "t", "c", MB_OKCANCEL), IDCANCEL);
  SetEnvironmentVariableA(fw::kMessageBoxAnswerVariable, nullptr);
  fw::SetMessageBoxHook(previous);
}

}  // namespace
