#include "framework/frame_window.h"

namespace fw {

bool FrameWindow::CreateFrame(const char* className, const char* title, bool visible, DWORD exStyle) {
  DWORD style = WS_OVERLAPPEDWINDOW | (visible ? WS_VISIBLE : 0);
  return Create(className, title, style, exStyle, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT);
}

}  // namespace fw
