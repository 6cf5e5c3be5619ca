#pragma once
// Pictures of windows as a person sees them on the screen, saved as
// 24-bit BMP files (the demo script turns them into PNGs).
#include <windows.h>

#include <string>

namespace demo {

// Waits until two captures of the window's screen rectangle in a row are
// equal (it has painted), then writes the last one. False when the window
// has no size, is gone by then, or the screen gives no picture (a headless
// display driver).
bool SaveWindowPicture(HWND window, const std::string& path);

}  // namespace demo
