#include "framework/app.h"

#include <algorithm>
#include <exception>
#include <mutex>
#include <vector>

#include "framework/trace.h"

namespace fw {
namespace {

App* g_current = nullptr;

// Modeless dialogs of the process. The lock is never held while a message is
// handled, since handlers add and remove dialogs.
std::mutex g_modelessLock;
std::vector<HWND>& Modeless() {
  static std::vector<HWND> dialogs;
  return dialogs;
}

// The registered dialog that the message is for (the dialog or one of its
// children), or null.
HWND ModelessTarget(HWND target) {
  if (!target) return nullptr;
  std::lock_guard<std::mutex> lock(g_modelessLock);
  for (HWND dialog : Modeless()) {
    if (dialog == target || IsChild(dialog, target)) return dialog;
  }
  return nullptr;
}

}  // namespace

App::App() : instance_(GetModuleHandleA(nullptr)) {
  if (g_current) {
    qx::Trace("[fw::App] a second application object was made; the first stays current");
  } else {
    g_current = this;
  }
}

App::~App() {
  if (g_current == this) g_current = nullptr;
}

App* App::Current() { return g_current; }

int App::Run() {
  try {
    if (InitInstance()) exitCode_ = MessageLoop();
  } catch (const std::exception& e) {
    qx::Trace("[fw::App] exception escaped the application: %s", e.what());
    exitCode_ = -1;
  } catch (...) {
    qx::Trace("[fw::App] exception escaped the application");
    exitCode_ = -1;
  }
  return ExitInstance();
}

int App::MessageLoop() {
  MSG msg{};
  for (;;) {
    BOOL got = GetMessageA(&msg, nullptr, 0, 0);
    if (got == 0) break;
    if (got == -1) {
      qx::Trace("[fw::App] GetMessage failed (error %lu)", GetLastError());
      return -1;
    }
    HWND dialog = ModelessTarget(msg.hwnd);
    if (dialog && IsDialogMessageA(dialog, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return static_cast<int>(msg.wParam);
}

void App::AddModeless(HWND dialog) {
  if (!dialog) return;
  std::lock_guard<std::mutex> lock(g_modelessLock);
  auto& dialogs = Modeless();
  if (std::find(dialogs.begin(), dialogs.end(), dialog) == dialogs.end()) dialogs.push_back(dialog);
}

void App::RemoveModeless(HWND dialog) {
  std::lock_guard<std::mutex> lock(g_modelessLock);
  auto& dialogs = Modeless();
  dialogs.erase(std::remove(dialogs.begin(), dialogs.end(), dialog), dialogs.end());
}

}  // namespace fw
