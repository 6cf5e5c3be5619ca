#pragma once
// Thin wrappers over control windows: they do not own the handle (the dialog
// or parent destroys its controls), hold nothing but it, and send one message
// per method. Texts are ANSI in the system code page.
#include <windows.h>
#include <commctrl.h>

#include <string>

namespace fw {

// Registers the common control classes (list view, progress bar, ...) once per
// process; every wrapper of a common control may call it.
bool InitCommonControlsOnce();

// The window text of any window or control ("" for none).
std::string GetText(HWND hwnd);
bool SetText(HWND hwnd, const char* text);
inline bool SetText(HWND hwnd, const std::string& text) { return SetText(hwnd, text.c_str()); }

class Control {
 public:
  explicit Control(HWND hwnd = nullptr) : hwnd_(hwnd) {}
  Control(HWND dialog, int id) : hwnd_(GetDlgItem(dialog, id)) {}

  HWND Handle() const { return hwnd_; }
  operator HWND() const { return hwnd_; }
  void Attach(HWND hwnd) { hwnd_ = hwnd; }

  LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
    return SendMessageA(hwnd_, message, wParam, lParam);
  }
  std::string Text() const { return GetText(hwnd_); }
  bool SetText(const char* text) const { return fw::SetText(hwnd_, text); }
  bool SetText(const std::string& text) const { return fw::SetText(hwnd_, text.c_str()); }
  int Id() const { return GetDlgCtrlID(hwnd_); }
  void Enable(bool enable) const { EnableWindow(hwnd_, enable); }
  bool IsEnabled() const { return IsWindowEnabled(hwnd_) != FALSE; }
  void Show(bool show) const { ShowWindow(hwnd_, show ? SW_SHOW : SW_HIDE); }
  bool IsVisible() const { return IsWindowVisible(hwnd_) != FALSE; }

 protected:
  HWND hwnd_;
};

class Static : public Control {
 public:
  using Control::Control;
  // Returns the previous image (the caller owns both).
  HBITMAP SetBitmap(HBITMAP bitmap) const;
  HICON SetIcon(HICON icon) const;
};

class Button : public Control {
 public:
  using Control::Control;
  int GetCheck() const { return static_cast<int>(Send(BM_GETCHECK)); }  // BST_UNCHECKED, BST_CHECKED, BST_INDETERMINATE
  void SetCheck(int state) const { Send(BM_SETCHECK, static_cast<WPARAM>(state)); }
  bool IsChecked() const { return GetCheck() == BST_CHECKED; }
  void SetChecked(bool checked) const { SetCheck(checked ? BST_CHECKED : BST_UNCHECKED); }
  // Clicks as a user would: the parent receives BN_CLICKED.
  void Click() const { Send(BM_CLICK); }
};

class Edit : public Control {
 public:
  using Control::Control;
  void SetLimit(int characters) const { Send(EM_LIMITTEXT, static_cast<WPARAM>(characters)); }
  int Limit() const { return static_cast<int>(Send(EM_GETLIMITTEXT)); }
  void SetReadOnly(bool readOnly) const { Send(EM_SETREADONLY, readOnly ? TRUE : FALSE); }
  bool IsReadOnly() const { return (GetWindowLongA(hwnd_, GWL_STYLE) & ES_READONLY) != 0; }
  void SetSelection(int start, int end) const { Send(EM_SETSEL, static_cast<WPARAM>(start), end); }
  void ReplaceSelection(const char* text) const { Send(EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text)); }
  int LineCount() const { return static_cast<int>(Send(EM_GETLINECOUNT)); }
  bool IsModified() const { return Send(EM_GETMODIFY) != 0; }
};

class ListBox : public Control {
 public:
  using Control::Control;
  int Add(const char* text) const { return static_cast<int>(Send(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text))); }
  int Insert(int index, const char* text) const {
    return static_cast<int>(Send(LB_INSERTSTRING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text)));
  }
  bool Delete(int index) const { return Send(LB_DELETESTRING, static_cast<WPARAM>(index)) != LB_ERR; }
  void Reset() const { Send(LB_RESETCONTENT); }
  int Count() const { return static_cast<int>(Send(LB_GETCOUNT)); }
  int Selected() const { return static_cast<int>(Send(LB_GETCURSEL)); }  // LB_ERR: none
  bool Select(int index) const;  // -1 clears the selection
  std::string ItemText(int index) const;
  int FindExact(const char* text, int after = -1) const {
    return static_cast<int>(Send(LB_FINDSTRINGEXACT, static_cast<WPARAM>(after), reinterpret_cast<LPARAM>(text)));
  }
  bool SetItemData(int index, LPARAM data) const {
    return Send(LB_SETITEMDATA, static_cast<WPARAM>(index), data) != LB_ERR;
  }
  LPARAM ItemData(int index) const { return Send(LB_GETITEMDATA, static_cast<WPARAM>(index)); }
};

class ComboBox : public Control {
 public:
  using Control::Control;
  int Add(const char* text) const { return static_cast<int>(Send(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text))); }
  int Insert(int index, const char* text) const {
    return static_cast<int>(Send(CB_INSERTSTRING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text)));
  }
  bool Delete(int index) const { return Send(CB_DELETESTRING, static_cast<WPARAM>(index)) != CB_ERR; }
  void Reset() const { Send(CB_RESETCONTENT); }
  int Count() const { return static_cast<int>(Send(CB_GETCOUNT)); }
  int Selected() const { return static_cast<int>(Send(CB_GETCURSEL)); }  // CB_ERR: none
  bool Select(int index) const;  // -1 clears the selection
  std::string ItemText(int index) const;
  std::string SelectedText() const;
  int FindExact(const char* text, int after = -1) const {
    return static_cast<int>(Send(CB_FINDSTRINGEXACT, static_cast<WPARAM>(after), reinterpret_cast<LPARAM>(text)));
  }
  bool SetItemData(int index, LPARAM data) const {
    return Send(CB_SETITEMDATA, static_cast<WPARAM>(index), data) != CB_ERR;
  }
  LPARAM ItemData(int index) const { return Send(CB_GETITEMDATA, static_cast<WPARAM>(index)); }
  void SetLimit(int characters) const { Send(CB_LIMITTEXT, static_cast<WPARAM>(characters)); }
};

class ListView : public Control {
 public:
  using Control::Control;
  // Switches to report (details) view.
  void SetReportMode() const;
  DWORD ExtendedStyle() const { return static_cast<DWORD>(Send(LVM_GETEXTENDEDLISTVIEWSTYLE)); }
  void SetExtendedStyle(DWORD mask, DWORD style) const { Send(LVM_SETEXTENDEDLISTVIEWSTYLE, mask, style); }
  void EnableCheckBoxes(bool enable) const {
    SetExtendedStyle(LVS_EX_CHECKBOXES, enable ? LVS_EX_CHECKBOXES : 0);
  }
  // Returns the previous list. Without LVS_SHAREIMAGELISTS the control
  // destroys its image lists when it goes.
  HIMAGELIST SetImageList(HIMAGELIST list, int kind = LVSIL_SMALL) const {
    return reinterpret_cast<HIMAGELIST>(
        Send(LVM_SETIMAGELIST, static_cast<WPARAM>(kind), reinterpret_cast<LPARAM>(list)));
  }

  int InsertColumn(int index, const char* text, int width, int format = LVCFMT_LEFT) const;
  int ColumnCount() const;
  int ColumnWidth(int column) const {
    return static_cast<int>(Send(LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(column)));
  }

  // Inserts a row; returns its index or -1. An image of -1 means none.
  int InsertItem(int index, const char* text, LPARAM data = 0, int image = -1) const;
  int AddItem(const char* text, LPARAM data = 0, int image = -1) const { return InsertItem(Count(), text, data, image); }
  bool SetItemText(int item, int column, const char* text) const;
  std::string ItemText(int item, int column = 0) const;
  LPARAM ItemData(int item) const;
  bool SetItemImage(int item, int image) const;
  int ItemImage(int item) const;  // -1 when the row does not exist
  bool DeleteItem(int item) const { return Send(LVM_DELETEITEM, static_cast<WPARAM>(item)) != FALSE; }
  bool DeleteAll() const { return Send(LVM_DELETEALLITEMS) != FALSE; }
  int Count() const { return static_cast<int>(Send(LVM_GETITEMCOUNT)); }

  bool SetItemState(int item, UINT state, UINT mask) const;
  UINT ItemState(int item, UINT mask) const {
    return static_cast<UINT>(Send(LVM_GETITEMSTATE, static_cast<WPARAM>(item), mask));
  }
  // State image: 1-based index into the state image list, 0 for none (check
  // boxes use 1 unchecked, 2 checked).
  bool SetStateImage(int item, int image) const {
    return SetItemState(item, INDEXTOSTATEIMAGEMASK(static_cast<UINT>(image)), LVIS_STATEIMAGEMASK);
  }
  int StateImage(int item) const { return static_cast<int>(ItemState(item, LVIS_STATEIMAGEMASK) >> 12); }
  bool IsChecked(int item) const { return StateImage(item) == 2; }
  bool SetChecked(int item, bool checked) const { return SetStateImage(item, checked ? 2 : 1); }

  // Selection: Select(-1, ...) applies to every row.
  bool Select(int item, bool selected = true) const;
  int FirstSelected() const { return NextSelected(-1); }
  int NextSelected(int after) const {
    return static_cast<int>(Send(LVM_GETNEXTITEM, static_cast<WPARAM>(after), LVNI_SELECTED));
  }
  int SelectedCount() const { return static_cast<int>(Send(LVM_GETSELECTEDCOUNT)); }
  bool EnsureVisible(int item) const { return Send(LVM_ENSUREVISIBLE, static_cast<WPARAM>(item), FALSE) != FALSE; }
};

class ProgressBar : public Control {
 public:
  using Control::Control;
  void SetRange(int low, int high) const { Send(PBM_SETRANGE32, static_cast<WPARAM>(low), high); }
  int Low() const { return static_cast<int>(Send(PBM_GETRANGE, TRUE)); }
  int High() const { return static_cast<int>(Send(PBM_GETRANGE, FALSE)); }
  int SetPosition(int position) const { return static_cast<int>(Send(PBM_SETPOS, static_cast<WPARAM>(position))); }
  int Position() const { return static_cast<int>(Send(PBM_GETPOS)); }
  void SetStep(int step) const { Send(PBM_SETSTEP, static_cast<WPARAM>(step)); }
  void Step() const { Send(PBM_STEPIT); }
};

}  // namespace fw
