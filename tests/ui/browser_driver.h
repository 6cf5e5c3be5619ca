#pragma once
// Drives the folder browser from a second thread as a person would: waits for
// the browser of the user-interface thread, types a path in the field above
// the tree and presses OK; presses Cancel when the browser is still open.
#include <windows.h>

#include <atomic>
#include <string>
#include <thread>

namespace uitest {

inline constexpr int kBrowserEditId = 0x3744;

inline BOOL CALLBACK IsBrowser(HWND window, LPARAM data) {
  if (GetDlgItem(window, kBrowserEditId) && IsWindowVisible(window)) {
    *reinterpret_cast<HWND*>(data) = window;
    return FALSE;
  }
  return TRUE;
}

inline HWND FindBrowser(DWORD thread) {
  HWND found = nullptr;
  EnumThreadWindows(thread, IsBrowser, reinterpret_cast<LPARAM>(&found));
  return found;
}

// Types the path (when given) and presses OK; presses Cancel when the browser
// is still open afterwards. Records whether it stayed open after OK.
struct BrowserDriver {
  BrowserDriver(DWORD uiThread, std::string typed, bool pressOk) {
    worker = std::thread([this, uiThread, typed, pressOk] {
      DWORD deadline = GetTickCount() + 20000;
      HWND browser = nullptr;
      while (!(browser = FindBrowser(uiThread)) && GetTickCount() < deadline) SwitchToThread();
      if (!browser) return;
      found = true;
      char start[MAX_PATH] = "";
      GetDlgItemTextA(browser, kBrowserEditId, start, sizeof(start));
      startText = start;
      if (pressOk) {
        SendDlgItemMessageA(browser, kBrowserEditId, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(typed.c_str()));
        okEnabled = IsWindowEnabled(GetDlgItem(browser, IDOK)) != FALSE;
        SendMessageA(browser, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(browser, IDOK)));
        stayed = IsWindow(browser) && IsWindowVisible(browser);
      }
      if (IsWindow(browser)) PostMessageA(browser, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    });
  }
  ~BrowserDriver() {
    if (worker.joinable()) worker.join();
  }
  std::thread worker;
  std::atomic<bool> found{false}, stayed{false}, okEnabled{false};
  std::string startText;
};

}  // namespace uitest
