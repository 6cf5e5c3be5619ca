#include "framework/message_box.h"

#include <atomic>
#include <cstdlib>

#include "framework/trace.h"

namespace fw {
namespace {
std::atomic<MessageBoxHook> g_hook{nullptr};
std::atomic<int> g_environmentAnswer{0};

int AnswerFromEnvironment(HWND, const char*, const char*, UINT) { return g_environmentAnswer.load(); }
}  // namespace

void AnswerMessageBoxesFromEnvironment() {
  char value[16];
  DWORD n = GetEnvironmentVariableA(kMessageBoxAnswerVariable, value, sizeof(value));
  if (n == 0 || n >= sizeof(value)) return;
  int answer = std::atoi(value);
  if (answer <= 0) return;
  g_environmentAnswer = answer;
  SetMessageBoxHook(&AnswerFromEnvironment);
}

MessageBoxHook SetMessageBoxHook(MessageBoxHook hook) { return g_hook.exchange(hook); }

int ShowMessageBox(HWND owner, const char* text, const char* caption, UINT type) {
  qx::Trace("[MessageBox] %s: %s", caption ? caption : "", text ? text : "");
  if (MessageBoxHook hook = g_hook.load()) return hook(owner, text, caption, type);
  return MessageBoxA(owner, text, caption, type);
}

}  // namespace fw
