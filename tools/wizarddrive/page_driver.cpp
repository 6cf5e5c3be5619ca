#include "tools/wizarddrive/page_driver.h"

#include <commctrl.h>
#include <tlhelp32.h>

namespace drive {
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

bool WaitUntil(const std::function<bool()>& done, DWORD ms) {
  DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start > ms) return false;
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    // Gives the other process the processor between two looks.
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
  }
  return true;
}

HWND WaitForWindow(DWORD processId, const std::function<bool(HWND)>& predicate, DWORD ms) {
  HWND found = nullptr;
  WaitUntil(
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

HWND WaitForPage(DWORD processId, const char* className, const std::string& text, DWORD ms) {
  return WaitForWindow(processId, [&](HWND window) {
    return ClassName(window) == "#32770" && FindChild(window, className, text.c_str());
  }, ms);
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

bool TickAllAndPress(HWND page, int checkAllId, int buttonId, DWORD ms, std::string* why) {
  auto fail = [&](const char* reason) {
    if (why) *why = reason;
    return false;
  };
  HWND checkAll = GetDlgItem(page, checkAllId), button = GetDlgItem(page, buttonId);
  HWND list = FindChild(page, "SysListView32");
  if (!checkAll || !button || !list) return fail("the page has no check-all box, button or list");
  auto rows = [&] { return static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0)); };
  if (!WaitUntil([&] { return rows() > 0; }, ms)) return fail("the list stayed empty");
  // The box is ticked by the page's own handling of the click, which ticks
  // every row with it (the rows' states are the page's, not the list's).
  auto ticked = [&] { return SendMessageA(checkAll, BM_GETCHECK, 0, 0) == BST_CHECKED; };
  for (int attempt = 0; attempt < 3 && !ticked(); ++attempt) {
    ClickButton(checkAll);
    WaitUntil(ticked, 10000);
  }
  if (!ticked()) return fail("the check-all box could not be ticked");
  auto gone = [&] { return !IsWindow(page) || !IsWindowVisible(page); };
  for (int attempt = 0; attempt < 2 && !gone(); ++attempt) {
    // A page under a message box is not usable; the box is answered first.
    if (IsWindowEnabled(page)) ClickButton(button);
    WaitUntil(gone, attempt == 0 ? 30000 : ms);
  }
  return gone() || fail("the page stayed after its button was pressed");
}

std::string DescribeWindows(DWORD processId) {
  std::string text;
  for (HWND window : VisibleWindows(processId)) {
    text += ClassName(window) + " \"" + WindowText(window) + "\"" + (IsWindowEnabled(window) ? "" : " (disabled)") + "\n";
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
      if (IsWindowVisible(child)) text += "  " + ClassName(child) + " \"" + WindowText(child) + "\"\n";
    }
  }
  return text;
}

void ChooseComboRow(HWND combo, int row) {
  SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(row), 0);
  PostMessageA(GetParent(combo), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(combo));
}

bool ClickListRow(HWND list, int row, int fromLeft) {
  DWORD pid = 0;
  GetWindowThreadProcessId(list, &pid);
  HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
  if (!process) return false;
  RECT r{LVIR_BOUNDS, 0, 0, 0};
  void* remote = VirtualAllocEx(process, nullptr, sizeof(r), MEM_COMMIT, PAGE_READWRITE);
  bool ok = remote && WriteProcessMemory(process, remote, &r, sizeof(r), nullptr) &&
            SendMessageA(list, LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(remote)) &&
            ReadProcessMemory(process, remote, &r, sizeof(r), nullptr);
  if (remote) VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  CloseHandle(process);
  if (!ok) return false;
  LPARAM at = MAKELPARAM(fromLeft >= 0 ? r.left + fromLeft : r.right - 20, (r.top + r.bottom) / 2);
  PostMessageA(list, WM_LBUTTONUP, 0, at);
  SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
  return true;
}

bool ProcessRunning(const char* exeName) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return false;
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof(entry);
  bool found = false;
  for (BOOL more = Process32First(snapshot, &entry); more && !found; more = Process32Next(snapshot, &entry)) {
    found = _stricmp(entry.szExeFile, exeName) == 0;
  }
  CloseHandle(snapshot);
  return found;
}

}  // namespace drive
