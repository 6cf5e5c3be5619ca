#include "setup/ui/subclassed_control.h"

#include <commctrl.h>

#include <exception>

#include "framework/controls.h"
#include "framework/module.h"
#include "framework/trace.h"

namespace ui {
namespace {
constexpr const char* kProperty = "qx.ui.Control";
}

SubclassedControl::~SubclassedControl() { Destroy(); }

void SubclassedControl::Destroy() {
  if (!hwnd_) return;
  HWND hwnd = hwnd_;
  hwnd_ = nullptr;
  if (IsWindow(hwnd)) {
    RemovePropA(hwnd, kProperty);
    if (original_) SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original_));
    DestroyWindow(hwnd);
  }
  original_ = nullptr;
}

SubclassedControl* SubclassedControl::FromHandle(HWND hwnd) {
  return hwnd ? static_cast<SubclassedControl*>(GetPropA(hwnd, kProperty)) : nullptr;
}

bool SubclassedControl::CreateControl(const char* className, const char* text, DWORD style, DWORD exStyle,
                                      const RECT& rect, HWND parent, int id) {
  Destroy();
  HWND hwnd = CreateWindowExA(exStyle, className, text ? text : "", style, rect.left, rect.top,
                              rect.right - rect.left, rect.bottom - rect.top, parent,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), fw::CodeModule(), nullptr);
  if (!hwnd) {
    qx::Trace("[ui] CreateWindowEx %s failed (error %lu)", className, GetLastError());
    return false;
  }
  hwnd_ = hwnd;
  SetPropA(hwnd, kProperty, this);
  original_ = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Proc)));
  return true;
}

bool SubclassedControl::OnMessage(UINT, WPARAM, LPARAM, LRESULT*) { return false; }

LRESULT SubclassedControl::Default(UINT message, WPARAM wParam, LPARAM lParam) {
  return original_ ? CallWindowProcA(original_, hwnd_, message, wParam, lParam)
                   : DefWindowProcA(hwnd_, message, wParam, lParam);
}

LRESULT CALLBACK SubclassedControl::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  SubclassedControl* self = FromHandle(hwnd);
  if (!self || self->hwnd_ != hwnd) return DefWindowProcA(hwnd, message, wParam, lParam);
  try {
    LRESULT result = 0;
    if (self->OnMessage(message, wParam, lParam, &result)) return result;
  } catch (const std::exception& e) {
    qx::Trace("[ui] exception in handler of message 0x%04X: %s", message, e.what());
  } catch (...) {
    qx::Trace("[ui] exception in handler of message 0x%04X", message);
  }
  WNDPROC original = self->original_;
  if (message == WM_NCDESTROY) {
    RemovePropA(hwnd, kProperty);
    SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
    self->hwnd_ = nullptr;
    self->original_ = nullptr;
  }
  return CallWindowProcA(original, hwnd, message, wParam, lParam);
}

namespace {
TOOLINFOA ToolOf(HWND control, const std::string& text, bool relay) {
  TOOLINFOA info{};
  info.cbSize = TTTOOLINFOA_V2_SIZE;
  info.uFlags = TTF_IDISHWND | (relay ? 0 : TTF_SUBCLASS);
  info.hwnd = GetParent(control) ? GetParent(control) : control;
  info.uId = reinterpret_cast<UINT_PTR>(control);
  info.lpszText = const_cast<char*>(text.c_str());
  return info;
}
}  // namespace

bool ControlTooltip::Set(HWND control, const std::string& text, bool relay) {
  if (!control) return false;
  if (control_ == control && relay_ == relay) {
    text_ = text;
    if (tip_) {
      TOOLINFOA info = ToolOf(control, text_, relay);
      SendMessageA(tip_, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&info));
      return true;
    }
    // A fixed control whose tooltip window was refused before asks again.
    return relay || CreateWindowNow();
  }
  Destroy();
  control_ = control;
  relay_ = relay;
  text_ = text;
  // A control that relays its mouse messages gets its tooltip window with
  // the first of them: a page of many objects is shown sooner, and most
  // tooltips are never asked for.
  return relay || CreateWindowNow();
}

bool ControlTooltip::CreateWindowNow() {
  fw::InitCommonControlsOnce();
  TOOLINFOA info = ToolOf(control_, text_, relay_);
  tip_ = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                         CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, info.hwnd, nullptr,
                         fw::CodeModule(), nullptr);
  if (!tip_) {
    refused_ = true;
    return false;
  }
  SendMessageA(tip_, TTM_ACTIVATE, TRUE, 0);
  SendMessageA(tip_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&info));
  return true;
}

void ControlTooltip::Relay(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
  // Once refused, the window is not asked for again on every mouse message.
  if (!tip_ && (refused_ || control != control_ || !IsWindow(control) || !CreateWindowNow())) return;
  MSG msg{control, message, wParam, lParam, static_cast<DWORD>(GetMessageTime()), {}};
  DWORD pos = GetMessagePos();
  msg.pt.x = static_cast<short>(LOWORD(pos));
  msg.pt.y = static_cast<short>(HIWORD(pos));
  SendMessageA(tip_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&msg));
}

void ControlTooltip::Destroy() {
  if (tip_ && IsWindow(tip_)) DestroyWindow(tip_);
  tip_ = nullptr;
  control_ = nullptr;
  relay_ = true;
  refused_ = false;
  text_.clear();
}

}  // namespace ui
