#include "framework/message_box.h"

#include <atomic>

#include "framework/trace.h"

namespace fw {
namespace {
std::atomic<MessageBoxHook> g_hook{nullptr};
}

MessageBoxHook SetMessageBoxHook(MessageBoxHook hook) { return g_hook.exchange(hook); }

int ShowMessageBox(HWND owner, const char* text, const char* caption, UINT type) {
  qx::Trace("[MessageBox] %s: %s", caption ? caption : "", text ? text : "");
  if (MessageBoxHook hook = g_hook.load()) return hook(owner, text, caption, type);
  return MessageBoxA(owner, text, caption, type);
}

}  // namespace fw
