#pragma once
// A top-level frame window, usually hidden: it carries a registered class name
// that other processes can find (FindWindowA) and receives private messages.
#include "framework/window.h"

namespace fw {

class FrameWindow : public Window {
 public:
  // Creates an overlapped window of the class (registered on first use).
  bool CreateFrame(const char* className, const char* title, bool visible = false, DWORD exStyle = 0);
};

}  // namespace fw
