#include "framework/dialog.h"

#include <exception>

#include "framework/app.h"
#include "framework/module.h"
#include "framework/trace.h"

namespace fw {
namespace {

// Separate from the Window binding, so a handle never yields the wrong type.
constexpr const char* kBindingProperty = "fw.Dialog";

// Messages whose result a dialog procedure returns directly instead of
// through DWLP_MSGRESULT.
bool ReturnsResultDirectly(UINT message) {
  switch (message) {
    case WM_INITDIALOG:
    case WM_CHARTOITEM:
    case WM_COMPAREITEM:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORMSGBOX:
    case WM_QUERYDRAGICON:
    case WM_VKEYTOITEM:
      return true;
    default:
      return false;
  }
}

INT_PTR Handled(HWND hwnd, UINT message, LRESULT result) {
  if (ReturnsResultDirectly(message)) return static_cast<INT_PTR>(result);
  SetWindowLongPtrA(hwnd, DWLP_MSGRESULT, result);
  return TRUE;
}

}  // namespace

Dialog::~Dialog() {
  // Unbind before the window goes, so no message reaches the half-destroyed object.
  if (hwnd_ && IsWindow(hwnd_)) {
    HWND hwnd = hwnd_;
    RemovePropA(hwnd, kBindingProperty);
    if (!modal_) App::RemoveModeless(hwnd);
    hwnd_ = nullptr;
    if (modal_) {
      EndDialog(hwnd, -1);
    } else {
      DestroyWindow(hwnd);
    }
  }
}

INT_PTR Dialog::DoModal(const DialogTemplate& dialogTemplate, HWND parent) {
  if (hwnd_) {
    qx::Trace("[fw::Dialog] DoModal: the dialog is already open");
    return -1;
  }
  modal_ = true;
  INT_PTR result = DialogBoxIndirectParamA(CodeModule(), dialogTemplate.Get(), parent, DialogProc,
                                           reinterpret_cast<LPARAM>(this));
  if (result == -1) qx::Trace("[fw::Dialog] DialogBoxIndirectParam failed (error %lu)", GetLastError());
  return result;
}

bool Dialog::CreateModeless(const DialogTemplate& dialogTemplate, HWND parent) {
  if (hwnd_) {
    qx::Trace("[fw::Dialog] CreateModeless: the dialog is already open");
    return false;
  }
  modal_ = false;
  HWND hwnd = CreateDialogIndirectParamA(CodeModule(), dialogTemplate.Get(), parent, DialogProc,
                                         reinterpret_cast<LPARAM>(this));
  if (!hwnd || !IsWindow(hwnd)) {
    // Also when the dialog ended itself while initialising.
    qx::Trace("[fw::Dialog] CreateDialogIndirectParam failed (error %lu)", GetLastError());
    return false;
  }
  return true;
}

void Dialog::End(INT_PTR code) {
  if (!hwnd_) return;
  if (modal_) {
    EndDialog(hwnd_, code);
  } else {
    DestroyWindow(hwnd_);
  }
}

Dialog* Dialog::FromHandle(HWND hwnd) {
  if (!hwnd) return nullptr;
  // A window of another process (found with FindWindowA, say) may carry the
  // same property, but its value is an address in that process.
  DWORD process = 0;
  GetWindowThreadProcessId(hwnd, &process);
  if (process != GetCurrentProcessId()) return nullptr;
  return static_cast<Dialog*>(GetPropA(hwnd, kBindingProperty));
}

bool Dialog::OnCommand(WORD id, WORD, HWND) {
  if (id == IDOK || id == IDCANCEL) {
    End(id);
    return true;
  }
  return false;
}

bool Dialog::OnMessage(UINT, WPARAM, LPARAM, LRESULT*) { return false; }

namespace {
// Process-wide, set once at start-up on the user-interface thread.
HBRUSH g_dialogBrush = nullptr;
COLORREF g_dialogText = 0;
}  // namespace

void SetDialogColors(COLORREF background, COLORREF text) {
  ResetDialogColors();
  g_dialogBrush = CreateSolidBrush(background);
  g_dialogText = text;
}

void ResetDialogColors() {
  if (g_dialogBrush) DeleteObject(g_dialogBrush);
  g_dialogBrush = nullptr;
}

INT_PTR Dialog::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (OnMessage(message, wParam, lParam, &result)) return Handled(hwnd_, message, result);
  switch (message) {
    case WM_INITDIALOG:
      return OnInitDialog() ? TRUE : FALSE;
    case WM_COMMAND:
      return OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam)) ? TRUE : FALSE;
    case WM_NOTIFY:
      if (OnNotify(reinterpret_cast<NMHDR*>(lParam), &result)) return Handled(hwnd_, message, result);
      return FALSE;
    case WM_TIMER:
      if (lParam != 0) return FALSE;  // a timer with its own callback
      OnTimer(wParam);
      return TRUE;
    case WM_DESTROY:
      OnDestroy();
      return FALSE;
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      if (!g_dialogBrush) return FALSE;
      if (message != WM_CTLCOLORDLG) {
        SetTextColor(reinterpret_cast<HDC>(wParam), g_dialogText);
        SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
      }
      return reinterpret_cast<INT_PTR>(g_dialogBrush);
    default:
      return FALSE;
  }
}

INT_PTR CALLBACK Dialog::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  Dialog* self = nullptr;
  if (message == WM_INITDIALOG) {
    self = reinterpret_cast<Dialog*>(lParam);
    if (self) {
      self->hwnd_ = hwnd;
      SetPropA(hwnd, kBindingProperty, self);
      // Registered here rather than after creation, so that a dialog that ends
      // while initialising is also unregistered (at WM_NCDESTROY).
      if (!self->modal_) App::AddModeless(hwnd);
    }
  } else {
    self = FromHandle(hwnd);
  }
  if (!self) return FALSE;  // messages before WM_INITDIALOG go to the default

  INT_PTR result;
  try {
    result = self->Dispatch(message, wParam, lParam);
  } catch (const std::exception& e) {
    qx::Trace("[fw::Dialog] exception in handler of message 0x%04X: %s", message, e.what());
    result = FALSE;
  } catch (...) {
    qx::Trace("[fw::Dialog] exception in handler of message 0x%04X", message);
    result = FALSE;
  }
  if (message == WM_NCDESTROY) {
    RemovePropA(hwnd, kBindingProperty);
    if (!self->modal_) App::RemoveModeless(hwnd);
    self->hwnd_ = nullptr;
    // Last use of the object here: it may delete itself.
    try {
      self->OnFinalMessage();
    } catch (...) {
      qx::Trace("[fw::Dialog] exception in OnFinalMessage");
    }
  }
  return result;
}

}  // namespace fw
