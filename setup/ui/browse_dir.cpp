#include "setup/ui/browse_dir.h"

#include <shlobj.h>

#include <vector>

#include "setup/core/core_context.h"
#include "setup/core/predefined_variable.h"

namespace ui {
namespace {

constexpr UINT kBrowserFlags = BIF_RETURNONLYFSDIRS | BIF_STATUSTEXT | BIF_BROWSEFORCOMPUTER;  // 0x1005
constexpr int kStatusTextId = 0x3743;  // the browser's status line
constexpr int kEditId = 0x3744;        // our path field
constexpr int kEditHeight = 23;
constexpr int kEditGap = 4;
constexpr const char* kObjectProperty = "QxBrowseDir";

HWND FindTree(HWND browser) { return FindWindowExA(browser, nullptr, "SysTreeView32", nullptr); }

std::string WindowText(HWND window) {
  char text[CBrowseDir::kPathChars] = "";
  GetWindowTextA(window, text, sizeof(text));
  return text;
}

std::string Format(const std::string& pattern, const std::string& path) {
  // The question is the script's text with one %s: put the path in its place
  // without handing the script's text to printf.
  size_t at = pattern.find("%s");
  return at == std::string::npos ? pattern : pattern.substr(0, at) + path + pattern.substr(at + 2);
}

}  // namespace

bool IsDrivePath(const char* path) { return path && path[0] != '\0' && path[1] == ':'; }

CBrowseDir::CBrowseDir() = default;

std::string CBrowseDir::ReadMessage(const char* section, const char* key, const char* missingKeyLine,
                                    const char* missingTextLine) {
  CPredefinedVariable* env = core::CurrentEnvironment();
  if (!env) return "";
  std::string messageKey = CUtl::GetScriptString(section, key, env->GetConfigFile().c_str(),
                                                 env->GetDataFile().c_str(), nullptr);
  if (messageKey.empty()) {
    log_.WriteLog(0, missingKeyLine, section);
    return "";
  }
  std::string text = CUtl::GetScriptString("MESSAGES", messageKey.c_str(), env->GetStringFile().c_str(),
                                           env->GetDataFile().c_str(), nullptr);
  if (text.empty()) log_.WriteLog(0, missingTextLine, section, messageKey.c_str());
  return text.substr(0, kPathChars - 1);
}

bool CBrowseDir::SetUp(const char* section) {
  log_.BorrowApplicationLog();
  CPredefinedVariable* env = core::CurrentEnvironment();
  if (env) SetPath(env->GetDestDir());
  title_ = ReadMessage(section, "DLG_TITLE", "[CBrowseDir] Get Title Name fail...[%s]",
                       "[CBrowseDir] Get Title Name fail...[%s,%s]");
  notFound_ = ReadMessage(section, "PATH_NOT_FOUND_MSG", "[CBrowseDir] Get folder-not-found message fail...[%s]",
                          "[CBrowseDir] Get folder-not-found message fail...[%s,%s]");
  return true;
}

int CBrowseDir::Run(HWND owner) {
  confirmed_ = false;
  edit_ = nullptr;
  BROWSEINFOA info{};
  info.hwndOwner = owner;
  info.lpszTitle = title_.c_str();
  info.ulFlags = kBrowserFlags;
  info.lpfn = BrowseCallback;
  info.lParam = reinterpret_cast<LPARAM>(this);
  std::vector<char> display(MAX_PATH);
  info.pszDisplayName = display.data();

  if (!path_.empty()) SetCurrentDirectoryA(path_.c_str());
  LPITEMIDLIST chosen = SHBrowseForFolderA(&info);
  if (chosen) CoTaskMemFree(chosen);
  CPredefinedVariable* env = core::CurrentEnvironment();
  if (env && !env->GetSrcDir().empty()) SetCurrentDirectoryA(env->GetSrcDir().c_str());
  return confirmed_ ? 1 : -1;
}

int CALLBACK CBrowseDir::BrowseCallback(HWND window, UINT message, LPARAM lParam, LPARAM data) {
  auto* self = reinterpret_cast<CBrowseDir*>(data);
  if (message == BFFM_INITIALIZED) self->OnInitialised(window);
  if (message == BFFM_SELCHANGED) self->OnSelectionChanged(window, lParam);
  return 0;
}

void CBrowseDir::OnInitialised(HWND browser) {
  SetPropA(browser, kObjectProperty, this);
  browserProc_ = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(browser, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(BrowserProc)));
  if (HWND status = GetDlgItem(browser, kStatusTextId)) ShowWindow(status, SW_HIDE);

  // The path field sits just above the folder tree.
  RECT tree{0, 40, 300, 300};
  if (HWND treeWindow = FindTree(browser)) {
    GetWindowRect(treeWindow, &tree);
    MapWindowPoints(nullptr, browser, reinterpret_cast<POINT*>(&tree), 2);
  }
  const int top = tree.top - kEditGap - kEditHeight;
  edit_ = CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "", WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL,
                          tree.left, top < 0 ? 0 : top, tree.right - tree.left, kEditHeight, browser,
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(kEditId)), GetModuleHandleA(nullptr),
                          nullptr);
  if (edit_) SendMessageA(edit_, WM_SETFONT, SendMessageA(browser, WM_GETFONT, 0, 0), TRUE);

  char current[MAX_PATH] = "";
  const char* start = path_.c_str();
  if (path_.empty() && GetCurrentDirectoryA(sizeof(current), current)) start = current;
  SendMessageA(browser, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(start));
  if (edit_) SetWindowTextA(edit_, start);
}

void CBrowseDir::OnSelectionChanged(HWND browser, LPARAM itemList) {
  char path[MAX_PATH] = "";
  bool usable = itemList && SHGetPathFromIDListA(reinterpret_cast<LPCITEMIDLIST>(itemList), path) &&
                IsDrivePath(path);
  if (!usable) path[0] = '\0';
  SendMessageA(browser, BFFM_ENABLEOK, 0, usable ? TRUE : FALSE);
  SendMessageA(browser, BFFM_SETSTATUSTEXTA, 0, reinterpret_cast<LPARAM>(path));
  if (edit_) SetWindowTextA(edit_, path);
}

bool CBrowseDir::Confirm(HWND browser) {
  // The typed path becomes the chosen one only when it is accepted: a refused
  // or failed path leaves the starting path for a later Cancel.
  const std::string typed = edit_ ? WindowText(edit_) : path_;
  if (typed.empty()) return false;
  DWORD attributes = GetFileAttributesA(typed.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    path_ = typed;
    confirmed_ = true;
    return true;
  }
  const std::string question = Format(notFound_, typed);
  if (CUtl::ShowMessageBox(browser, question.c_str(), title_.c_str(), MB_YESNO | MB_ICONQUESTION) != IDYES) {
    if (edit_) SetFocus(edit_);
    return false;
  }
  // A file of that name is no folder, even though the chain "exists".
  attributes = GetFileAttributesA(typed.c_str());
  bool isFile = attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
  if (!isFile && CUtl::CreateDirectoryTree(typed.c_str(), true) && typed.size() > 1) {
    attributes = GetFileAttributesA(typed.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
      path_ = typed;
      confirmed_ = true;
      return true;
    }
  }
  log_.WriteLog(GetLastError(), "[CBrowseDir] Create folder fail [%s]\n", typed.c_str());
  CUtl::ShowMessageBox(browser, question.c_str(), title_.c_str(), MB_YESNO | MB_ICONEXCLAMATION);
  if (edit_) SetFocus(edit_);
  return false;
}

LRESULT CALLBACK CBrowseDir::BrowserProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = static_cast<CBrowseDir*>(GetPropA(window, kObjectProperty));
  if (!self) return DefWindowProcA(window, message, wParam, lParam);
  WNDPROC previous = self->browserProc_;
  try {
    if (message == WM_COMMAND && LOWORD(wParam) == kEditId && HIWORD(wParam) == EN_CHANGE) {
      SendMessageA(window, BFFM_ENABLEOK, 0, GetWindowTextLengthA(self->edit_) > 0 ? TRUE : FALSE);
      return 0;
    }
    if (message == WM_COMMAND && LOWORD(wParam) == IDOK) {
      if (!self->Confirm(window)) return 0;
      // Closed through the path field: the browser's own OK would return its
      // tree selection; Cancel ends it the same way, and Run reports the flag.
      return CallWindowProcA(previous, window, WM_COMMAND, IDCANCEL, 0);
    }
    if (message == WM_NCDESTROY) {
      RemovePropA(window, kObjectProperty);
      SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
    }
  } catch (...) {
    return 0;
  }
  return CallWindowProcA(previous, window, message, wParam, lParam);
}

}  // namespace ui
