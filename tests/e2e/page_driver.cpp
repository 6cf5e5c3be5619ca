#include "tests/e2e/page_driver.h"

#include "tests/support/process.h"

namespace e2e {
namespace {

struct Search {
  const char* className;
  const char* text;
  HWND found;
};

BOOL CALLBACK MatchChild(HWND child, LPARAM param) {
  auto* search = reinterpret_cast<Search*>(param);
  if (_stricmp(ClassName(child).c_str(), search->className) == 0 &&
      (!search->text || WindowText(child) == search->text)) {
    search->found = child;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

struct Collect {
  DWORD pid;
  std::vector<HWND> windows;
};

BOOL CALLBACK CollectVisible(HWND window, LPARAM param) {
  auto* collect = reinterpret_cast<Collect*>(param);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == collect->pid && IsWindowVisible(window)) collect->windows.push_back(window);
  return TRUE;
}

std::vector<HWND> VisibleWindows(DWORD processId) {
  Collect collect{processId, {}};
  EnumWindows(CollectVisible, reinterpret_cast<LPARAM>(&collect));
  return collect.windows;
}

HWND WaitForWindow(DWORD processId, const std::function<bool(HWND)>& predicate, DWORD ms) {
  HWND found = nullptr;
  qx::test::WaitFor(
      [&] {
        for (HWND window : VisibleWindows(processId)) {
          if (predicate(window)) {
            found = window;
            return true;
          }
        }
        return false;
      },
      ms);
  return found;
}

HWND FindChild(HWND parent, const char* className, const char* text) {
  Search search{className, text, nullptr};
  EnumChildWindows(parent, MatchChild, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::string WindowText(HWND window) {
  char text[4096] = "";
  // WM_GETTEXT works across processes, also for controls of another thread.
  SendMessageTimeoutA(window, WM_GETTEXT, sizeof(text), reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000,
                      nullptr);
  return text;
}

std::string ClassName(HWND window) {
  char name[256] = "";
  GetClassNameA(window, name, sizeof(name));
  return name;
}

bool IsMirrored(HWND window) { return (GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_LAYOUTRTL) != 0; }

void ClickObject(HWND control) {
  SendMessageA(control, WM_MOUSEHOVER, 0, MAKELPARAM(2, 2));
  SendMessageA(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
  SendMessageA(control, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
}

void ClickButton(HWND button) { PostMessageA(button, BM_CLICK, 0, 0); }

void ChooseComboRow(HWND combo, int row) {
  SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(row), 0);
  PostMessageA(GetParent(combo), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(combo));
}

}  // namespace e2e
