#include "framework/window.h"

#include <exception>

#include "framework/module.h"
#include "framework/trace.h"

namespace fw {
namespace {

// The binding lives in a window property rather than GWLP_USERDATA, so that a
// Window and a Dialog can never be mistaken for each other and the user data
// stays free for the derived classes.
constexpr const char* kBindingProperty = "fw.Window";

LRESULT FailureResult(UINT message) {
  if (message == WM_NCCREATE) return FALSE;  // creation fails
  if (message == WM_CREATE) return -1;
  return 0;
}

}  // namespace

Window::~Window() {
  // Destroyed before its window: unbind first, so that no message reaches the
  // half-destroyed object, then take the window down.
  if (hwnd_ && IsWindow(hwnd_)) {
    HWND hwnd = hwnd_;
    RemovePropA(hwnd, kBindingProperty);
    hwnd_ = nullptr;
    DestroyWindow(hwnd);
  }
}

bool Window::Create(const char* className, const char* title, DWORD style, DWORD exStyle, int x, int y, int width,
                    int height, HWND parent, HMENU menu, UINT classStyle) {
  if (hwnd_) {
    qx::Trace("[fw::Window] Create: object already has a window (class %s)", className ? className : "");
    return false;
  }
  if (!className || !*className) return false;
  HINSTANCE instance = CodeModule();
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof(wc);
  wc.style = classStyle;
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = className;
  if (!RegisterClassExA(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
    qx::Trace("[fw::Window] RegisterClassEx failed for class %s (error %lu)", className, GetLastError());
    return false;
  }
  HWND hwnd = CreateWindowExA(exStyle, className, title ? title : "", style, x, y, width, height, parent, menu,
                              instance, this);
  if (!hwnd) {
    // No member is touched here: the object may have deleted itself in OnFinalMessage.
    qx::Trace("[fw::Window] CreateWindowEx failed for class %s (error %lu)", className, GetLastError());
    return false;
  }
  if (FromHandle(hwnd) != this) {
    // The class name belongs to a class registered elsewhere with another procedure.
    qx::Trace("[fw::Window] class %s is not bound to the framework", className);
    DestroyWindow(hwnd);
    return false;
  }
  return true;
}

void Window::Destroy() {
  if (hwnd_) DestroyWindow(hwnd_);
}

Window* Window::FromHandle(HWND hwnd) {
  if (!hwnd) return nullptr;
  // A window of another process (found with FindWindowA, say) may carry the
  // same property, but its value is an address in that process.
  DWORD process = 0;
  GetWindowThreadProcessId(hwnd, &process);
  if (process != GetCurrentProcessId()) return nullptr;
  return static_cast<Window*>(GetPropA(hwnd, kBindingProperty));
}

bool Window::OnMessage(UINT, WPARAM, LPARAM, LRESULT*) { return false; }

LRESULT Window::DefaultProc(UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(hwnd_, message, wParam, lParam);
}

LRESULT Window::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (OnMessage(message, wParam, lParam, &result)) return result;
  switch (message) {
    case WM_CREATE:
      return OnCreate(reinterpret_cast<CREATESTRUCTA*>(lParam)) ? 0 : -1;
    case WM_COMMAND:
      if (OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam))) return 0;
      break;
    case WM_NOTIFY:
      if (OnNotify(reinterpret_cast<NMHDR*>(lParam), &result)) return result;
      break;
    case WM_TIMER:
      // A timer with its own callback is run by the default procedure.
      if (lParam == 0) {
        OnTimer(wParam);
        return 0;
      }
      break;
    case WM_CLOSE:
      if (OnClose()) return 0;
      break;
    case WM_DESTROY:
      OnDestroy();
      break;
  }
  return DefaultProc(message, wParam, lParam);
}

LRESULT CALLBACK Window::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  Window* self = nullptr;
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
    self = create ? static_cast<Window*>(create->lpCreateParams) : nullptr;
    if (self) {
      self->hwnd_ = hwnd;
      SetPropA(hwnd, kBindingProperty, self);
    }
  } else {
    self = FromHandle(hwnd);
  }
  if (!self) return DefWindowProcA(hwnd, message, wParam, lParam);

  LRESULT result;
  try {
    result = self->Dispatch(message, wParam, lParam);
  } catch (const std::exception& e) {
    qx::Trace("[fw::Window] exception in handler of message 0x%04X: %s", message, e.what());
    result = FailureResult(message);
  } catch (...) {
    qx::Trace("[fw::Window] exception in handler of message 0x%04X", message);
    result = FailureResult(message);
  }
  if (message == WM_NCDESTROY) {
    RemovePropA(hwnd, kBindingProperty);
    self->hwnd_ = nullptr;
    // Last use of the object here: it may delete itself.
    try {
      self->OnFinalMessage();
    } catch (...) {
      qx::Trace("[fw::Window] exception in OnFinalMessage");
    }
  }
  return result;
}

}  // namespace fw
