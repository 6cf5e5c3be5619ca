#pragma once
// A picture of a window as the screen shows it, saved as a 24-bit BMP. Only a
// real display has the pixels (under Wine: the x11 driver, e.g. on Xvfb).
#include <windows.h>

#include <string>

namespace preview {

bool CaptureWindow(HWND window, const std::string& bmpPath);

}  // namespace preview
