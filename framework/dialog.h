#pragma once
// Dialogs built from in-memory templates (pages are placed by scripts, so no
// dialog resources are needed), modal or modeless, with `this` bound at
// WM_INITDIALOG.
#include <windows.h>

#include <string>
#include <vector>

namespace fw {

// Builds a DLGTEMPLATE with items in memory (ANSI texts are widened).
class DialogTemplate {
 public:
  DialogTemplate(const char* title, DWORD style, int x, int y, int cx, int cy, DWORD exStyle = 0,
                 const char* font = "MS Shell Dlg", WORD pointSize = 8);
  // Adds an item of a predefined class atom (0x80 button, 0x81 edit, 0x82 static,
  // 0x83 list box, 0x84 scroll bar, 0x85 combo box) or a class name.
  DialogTemplate& Add(WORD classAtom, const char* text, WORD id, DWORD style, int x, int y, int cx, int cy,
                      DWORD exStyle = 0);
  DialogTemplate& Add(const char* className, const char* text, WORD id, DWORD style, int x, int y, int cx, int cy,
                      DWORD exStyle = 0);
  const DLGTEMPLATE* Get() const;

 private:
  std::vector<WORD> data_;
  size_t countAt_ = 0;
};

// The background and text colour of every dialog of the process (like the
// application-wide dialog colour of the classic frameworks). Not set: the
// system's colours.
void SetDialogColors(COLORREF background, COLORREF text);
void ResetDialogColors();

class Dialog {
 public:
  Dialog() = default;
  virtual ~Dialog();
  Dialog(const Dialog&) = delete;
  Dialog& operator=(const Dialog&) = delete;

  HWND Handle() const { return hwnd_; }
  operator HWND() const { return hwnd_; }

  // Runs a modal loop; returns the code given to End, or -1 when it fails.
  INT_PTR DoModal(const DialogTemplate& dialogTemplate, HWND parent);
  // Creates a modeless dialog; the application's loop routes its messages.
  bool CreateModeless(const DialogTemplate& dialogTemplate, HWND parent);
  // Ends a modal dialog with the code, or destroys a modeless one.
  void End(INT_PTR code);
  bool IsModal() const { return modal_; }

  LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
    return SendMessageA(hwnd_, message, wParam, lParam);
  }
  BOOL Post(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
    return PostMessageA(hwnd_, message, wParam, lParam);
  }
  HWND Item(int id) const { return GetDlgItem(hwnd_, id); }

  static Dialog* FromHandle(HWND hwnd);

 protected:
  virtual bool OnInitDialog() { return true; }  // the WM_INITDIALOG result
  virtual bool OnCommand(WORD id, WORD code, HWND control);  // default: IDOK/IDCANCEL end the dialog
  virtual bool OnNotify(NMHDR*, LRESULT*) { return false; }
  virtual void OnTimer(UINT_PTR /*id*/) {}
  virtual void OnDestroy() {}
  // Every message passes here first; set *result and return true to handle it.
  virtual bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
  // After WM_NCDESTROY; the handle is already gone (a modeless dialog may delete itself here).
  virtual void OnFinalMessage() {}

  static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

  HWND hwnd_ = nullptr;
  bool modal_ = false;

 private:
  INT_PTR Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
};

}  // namespace fw
