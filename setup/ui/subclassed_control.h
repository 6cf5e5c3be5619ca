#pragma once
// A platform control (static, button) made by the page and subclassed so that
// our object handles its messages first; and the tooltip of a control.
// The object owns its window: the window is destroyed with the object.
#include <windows.h>

#include <string>

namespace ui {

class SubclassedControl {
 public:
  SubclassedControl() = default;
  virtual ~SubclassedControl();
  SubclassedControl(const SubclassedControl&) = delete;
  SubclassedControl& operator=(const SubclassedControl&) = delete;

  HWND Handle() const { return hwnd_; }
  void Destroy();
  static SubclassedControl* FromHandle(HWND hwnd);

 protected:
  bool CreateControl(const char* className, const char* text, DWORD style, DWORD exStyle, const RECT& rect,
                     HWND parent, int id);
  // Set *result and return true to handle; otherwise the platform's procedure runs.
  virtual bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
  LRESULT Default(UINT message, WPARAM wParam, LPARAM lParam);

  HWND hwnd_ = nullptr;

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  WNDPROC original_ = nullptr;
};

// The tooltip window of one control: made on first use (always shown, no
// prefix processing), destroyed with this object.
class ControlTooltip {
 public:
  ControlTooltip() = default;
  ~ControlTooltip() { Destroy(); }
  ControlTooltip(const ControlTooltip&) = delete;
  ControlTooltip& operator=(const ControlTooltip&) = delete;

  // relay: the control passes its mouse messages on (Relay), and the tooltip
  // window is made with the first of them; otherwise the tooltip subclasses
  // the control itself (fixed platform controls) and is made at once.
  bool Set(HWND control, const std::string& text, bool relay = true);
  void Relay(HWND control, UINT message, WPARAM wParam, LPARAM lParam);
  // Null until made.
  HWND Handle() const { return tip_; }
  const std::string& Text() const { return text_; }
  void Destroy();

 private:
  bool CreateWindowNow();

  HWND tip_ = nullptr;
  HWND control_ = nullptr;
  bool relay_ = true;
  bool refused_ = false;  // the system refused the window; not asked again on relay
  std::string text_;
};

}  // namespace ui
