#pragma once
// Driving the wizard of another process as a person would, through messages:
// finding its visible pages and their controls, clicking our own objects
// (which act on button-up after the mouse came to rest on them) and the
// platform's buttons and combo boxes.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace e2e {

// Visible top-level windows of the process.
std::vector<HWND> VisibleWindows(DWORD processId);
// Waits (pumping messages) until a visible top-level window of the process
// satisfies the predicate; null after the deadline.
HWND WaitForWindow(DWORD processId, const std::function<bool(HWND)>& predicate, DWORD ms = 20000);
// The first child (at any depth) of the class whose text equals `text`
// (any text when `text` is null).
HWND FindChild(HWND parent, const char* className, const char* text = nullptr);
std::string WindowText(HWND window);
std::string ClassName(HWND window);
bool IsMirrored(HWND window);

// One of our objects: the mouse comes to rest on it, then a left click.
void ClickObject(HWND control);
// A platform push button.
void ClickButton(HWND button);
// Selects the combo box row and tells its page, as a user's choice would.
void ChooseComboRow(HWND combo, int row);

}  // namespace e2e
