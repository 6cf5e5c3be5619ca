#pragma once
// Answers every message box of the test with OK and keeps what it showed.
#include <string>
#include <vector>

#include "framework/message_box.h"

namespace pagetest {

struct ShownBox {
  std::string text, caption;
  unsigned type;
};

class MessageBoxes {
 public:
  MessageBoxes() : previous_(fw::SetMessageBoxHook(&Record)) { Shown().clear(); }
  ~MessageBoxes() { fw::SetMessageBoxHook(previous_); }
  MessageBoxes(const MessageBoxes&) = delete;
  MessageBoxes& operator=(const MessageBoxes&) = delete;
  static std::vector<ShownBox>& Shown() {
    static std::vector<ShownBox> shown;
    return shown;
  }

 private:
  static int Record(HWND, const char* text, const char* caption, UINT type) {
    Shown().push_back({text ? text : "", caption ? caption : "", type});
    return IDOK;
  }
  fw::MessageBoxHook previous_;
};

}  // namespace pagetest
