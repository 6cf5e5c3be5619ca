#pragma once
// Driving the wizard of another process as a person would, through messages:
// finding its visible pages and their controls, clicking our own objects
// (which act on button-up after the mouse came to rest on them), the
// platform's buttons, combo boxes and list rows. Used by the end-to-end tests
// and by the main job.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace drive {

// Pumps this thread's messages until `done()` holds or `ms` passed.
bool WaitUntil(const std::function<bool()>& done, DWORD ms = 20000);

// Visible top-level windows of the process.
std::vector<HWND> VisibleWindows(DWORD processId);
// Waits (pumping messages) until a visible top-level window of the process
// satisfies the predicate; null after the deadline.
HWND WaitForWindow(DWORD processId, const std::function<bool(HWND)>& predicate, DWORD ms = 20000);
// A visible page (dialog) of the process with a child of the class showing `text`.
HWND WaitForPage(DWORD processId, const char* className, const std::string& text, DWORD ms = 60000);
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
// Clicks a row of a list view of another process, well right of its state
// image; the row's rectangle is asked for in that process's memory.
// `fromLeft` >= 0 clicks that many pixels right of the row's left edge instead.
bool ClickListRow(HWND list, int row, int fromLeft = -1);

// A page with a check-all box over a list of rows: waits for its rows, ticks
// the box (which ticks them all), then presses the button and waits for the
// page to go. A click the page did not act on (the box still clear, or the
// page still up and usable after a while) is made again. False, with
// the reason in `why`, when the page could not be got past.
bool TickAllAndPress(HWND page, int checkAllId, int buttonId, DWORD ms = 60000, std::string* why = nullptr);
// One line per visible top-level window of the process: class and text.
std::string DescribeWindows(DWORD processId);

// True while a process of that file name (any folder) runs.
bool ProcessRunning(const char* exeName);

}  // namespace drive
