#include "framework/controls.h"

#include <algorithm>
#include <vector>

namespace fw {
namespace {

// Reads a text whose length a message reports first (list and combo items).
std::string TextOfItem(HWND hwnd, UINT lengthMessage, UINT textMessage, int index, LRESULT error) {
  LRESULT length = SendMessageA(hwnd, lengthMessage, static_cast<WPARAM>(index), 0);
  if (length == error || length < 0) return {};
  std::vector<char> buffer(static_cast<size_t>(length) + 1, '\0');
  LRESULT copied =
      SendMessageA(hwnd, textMessage, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buffer.data()));
  if (copied == error || copied < 0) return {};
  return std::string(buffer.data(), static_cast<size_t>(std::min<LRESULT>(copied, length)));
}

}  // namespace

bool InitCommonControlsOnce() {
  // A function-local static initialises once even with several threads.
  static const bool done = [] {
    INITCOMMONCONTROLSEX init{};
    init.dwSize = sizeof(init);
    init.dwICC = ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS | ICC_LISTVIEW_CLASSES;
    return InitCommonControlsEx(&init) != FALSE;
  }();
  return done;
}

std::string GetText(HWND hwnd) {
  if (!hwnd) return {};
  int length = GetWindowTextLengthA(hwnd);
  if (length <= 0) return {};
  std::vector<char> buffer(static_cast<size_t>(length) + 1, '\0');
  int copied = GetWindowTextA(hwnd, buffer.data(), length + 1);
  return std::string(buffer.data(), static_cast<size_t>(copied > 0 ? copied : 0));
}

bool SetText(HWND hwnd, const char* text) { return hwnd && SetWindowTextA(hwnd, text ? text : "") != FALSE; }

HBITMAP Static::SetBitmap(HBITMAP bitmap) const {
  return reinterpret_cast<HBITMAP>(Send(STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap)));
}

HICON Static::SetIcon(HICON icon) const {
  return reinterpret_cast<HICON>(Send(STM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon)));
}

bool ListBox::Select(int index) const {
  LRESULT r = Send(LB_SETCURSEL, static_cast<WPARAM>(index));
  return index == -1 || r != LB_ERR;
}

std::string ListBox::ItemText(int index) const { return TextOfItem(hwnd_, LB_GETTEXTLEN, LB_GETTEXT, index, LB_ERR); }

bool ComboBox::Select(int index) const {
  LRESULT r = Send(CB_SETCURSEL, static_cast<WPARAM>(index));
  return index == -1 || r != CB_ERR;
}

std::string ComboBox::ItemText(int index) const {
  return TextOfItem(hwnd_, CB_GETLBTEXTLEN, CB_GETLBTEXT, index, CB_ERR);
}

std::string ComboBox::SelectedText() const {
  int selected = Selected();
  // An editable combo box may hold a typed text that is no list item.
  return selected == CB_ERR ? Text() : ItemText(selected);
}

}  // namespace fw
