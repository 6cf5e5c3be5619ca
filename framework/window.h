#pragma once
// Window base of the framework: one binding routine per kind of window.
// `this` is stored at WM_NCCREATE (windows) or WM_INITDIALOG (dialogs); the
// procedure dispatches from a small switch to virtual handlers and catches
// everything before returning to the system.
#include <windows.h>

namespace fw {

class Window {
 public:
  Window() = default;
  virtual ~Window();
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  HWND Handle() const { return hwnd_; }
  operator HWND() const { return hwnd_; }

  // Registers the class once per process (name, style, cursor, brush) and
  // creates the window with `this` bound. Returns false when creation fails.
  bool Create(const char* className, const char* title, DWORD style, DWORD exStyle, int x, int y, int width,
              int height, HWND parent = nullptr, HMENU menu = nullptr, UINT classStyle = 0);
  void Destroy();

  LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
    return SendMessageA(hwnd_, message, wParam, lParam);
  }
  BOOL Post(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
    return PostMessageA(hwnd_, message, wParam, lParam);
  }

  // The object bound to a window handle, or null.
  static Window* FromHandle(HWND hwnd);

 protected:
  // Handlers; return true when handled (the result then goes to the system).
  virtual bool OnCreate(CREATESTRUCTA*) { return true; }  // false: creation fails
  virtual bool OnCommand(WORD /*id*/, WORD /*code*/, HWND /*control*/) { return false; }
  virtual bool OnNotify(NMHDR*, LRESULT*) { return false; }
  virtual void OnTimer(UINT_PTR /*id*/) {}
  virtual void OnDestroy() {}
  virtual bool OnClose() { return false; }  // true: handled, the window stays
  // Every message passes here first; set *result and return true to handle it.
  virtual bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
  // After WM_NCDESTROY; the handle is already gone.
  virtual void OnFinalMessage() {}

  LRESULT DefaultProc(UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

  HWND hwnd_ = nullptr;

 private:
  LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
};

}  // namespace fw
