#include "setup/pages/set_printer_dlg.h"

#include <commctrl.h>

#include <cstdio>
#include <cstring>

#include "framework/controls.h"
#include "framework/handles.h"
#include "setup/core/core_context.h"
#include "setup/core/predefined_variable.h"
#include "setup/pages/printer_rules.h"
#include "setup/ui/script_values.h"

namespace pages {

namespace {

constexpr const char* kNameForbidden = "!,\\";
constexpr const char* kShareForbidden = ",/\\";

void CopyText(char (&field)[260], const std::string& text) { std::snprintf(field, sizeof(field), "%s", text.c_str()); }

std::string InstallRoot() {
  CPredefinedVariable* env = core::CurrentEnvironment();
  return env ? env->GetInstallKey() : std::string();
}

}  // namespace

CSetPrinterDlg::CSetPrinterDlg() : table_(kPrinterEntries) {}

void CSetPrinterDlg::CreateFixedControls() {
  fw::InitCommonControlsOnce();
  heading_ = ui::CreateFixedControl(hwnd_, "STATIC", SS_LEFT, 0, kHeadingId);
  list_ = ui::CreateFixedControl(hwnd_, WC_LISTVIEWA,
                                 LVS_REPORT | LVS_NOCOLUMNHEADER | LVS_SINGLESEL | LVS_SHOWSELALWAYS | WS_BORDER, 0,
                                 kListId);
  fw::ListView list(list_);
  list.SetExtendedStyle(LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
  for (int c = 0; c < 3; ++c) list.InsertColumn(c, "", 60);
  setupLabel_ = ui::CreateFixedControl(hwnd_, "STATIC", SS_LEFT, 0, kSetupLabelId);
  nameLabel_ = ui::CreateFixedControl(hwnd_, "STATIC", SS_LEFT, 0, kNameLabelId);
  name_ = ui::CreateFixedControl(hwnd_, "EDIT", ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 0, kNameId);
  shareLabel_ = ui::CreateFixedControl(hwnd_, "STATIC", SS_LEFT, 0, kShareLabelId);
  shareName_ = ui::CreateFixedControl(hwnd_, "EDIT", ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 0, kShareNameId);
  share_ = ui::CreateFixedControl(hwnd_, "BUTTON", BS_AUTOCHECKBOX | WS_TABSTOP, 0, kShareId);
  default_ = ui::CreateFixedControl(hwnd_, "BUTTON", BS_AUTOCHECKBOX | WS_TABSTOP, 0, kDefaultId);
  apply_ = ui::CreateFixedControl(hwnd_, "BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 0, kApplyId);
  next_button_ = ui::CreateFixedControl(hwnd_, "BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 0, kNextId);
  fw::Edit(name_).SetLimit(259);
  fw::Edit(shareName_).SetLimit(259);
  loaded_ = false;
}

bool CSetPrinterDlg::InitPage() {
  ui::ScriptFiles files = ui::ScriptFiles::FromEnvironment();
  std::string fixed = FixedSection("[CPrinterSelectDlg]");
  next_ = CommandRecord();
  HWND all[] = {heading_, list_,       setupLabel_, nameLabel_, name_,       shareLabel_,
                shareName_, share_, default_,    apply_,     next_button_};
  if (fixed.empty()) {
    for (HWND c : all) ShowWindow(c, SW_HIDE);
  } else {
    struct Placed {
      HWND control;
      const char* prefix;
      bool text;
    } placed[] = {{heading_, "STATIC_PRINTERS", false},      {list_, "LIST_PRINTER", false},
                  {setupLabel_, "STATIC_SETUP_PRINTER", true}, {nameLabel_, "STATIC_PRINTER_NAME", true},
                  {name_, "EDIT_PRINTER_NAME", false},        {shareLabel_, "STATIC_SHARED_NAME", true},
                  {shareName_, "EDIT_SHARED_NAME", false},    {share_, "BUTTON_SHARE_PRINTER", true},
                  {default_, "BUTTON_SET_DEFAULT", true},     {apply_, "BUTTON_APPLY", true},
                  {next_button_, "BUTTON_NEXT", true}};
    for (const Placed& p : placed) {
      PlaceControl(p.control, fixed, p.prefix);
      if (p.text) SetControlText(p.control, fixed, p.prefix);
    }
    next_ = ReadCommand(fixed, "BUTTON_NEXT");
    std::string heading = ui::MessageText(files, config_.DialogValue(fixed, "STATIC_PRINTERS_NAME"));
    std::string port = CUtl::GetRegString(InstallRoot().c_str(), "Printer_Port");
    SetWindowTextA(heading_, FormatWithText(heading, port).c_str());
  }
  auto message = [&](const char* key, const char* fallback) {
    std::string text = fixed.empty() ? std::string() : ui::MessageText(files, config_.DialogValue(fixed, key));
    return text.empty() ? std::string(fallback) : text;
  };
  defaultLabel_ = message("DEFAULT_STRING", "Default");
  shareLabelText_ = message("SHARE_STRING", "Share");
  nameError_ = message("MSG_PRINTER_NAME_ERROR", "A printer name cannot contain the characters '!''\\',or ','.");
  shareError_ = message("MSG_SHARE_NAME_ERROR", "A share name cannot contain the charaters '/''\\',or ','.");

  LoadPrinters();
  selected_ = -1;
  cleaning_ = true;
  SetWindowTextA(name_, "");
  SetWindowTextA(shareName_, "");
  cleaning_ = false;
  fw::Button(share_).SetChecked(false);
  fw::Button(default_).SetChecked(false);
  EnableShareName(false);
  loaded_ = true;
  return true;
}

void CSetPrinterDlg::LoadPrinters() {
  std::memset(table_.data(), 0, sizeof(PRINTER_ENTRY) * table_.size());
  count_ = 0;
  std::string root = InstallRoot();
  std::string defaultPrinter = CUtl::GetRegString(root.c_str(), "Default_Printer");
  std::string items = root + "\\Items";
  fw::UniqueRegKey key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, items.c_str(), 0, KEY_READ, key.Put()) != ERROR_SUCCESS) {
    log_.WriteLog(0, "[CSetPrinterDlg] Open %s key error!!\n", items.c_str());
  } else {
    DWORD subkeys = 0;
    if (RegQueryInfoKeyA(key.Get(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, nullptr, nullptr, nullptr,
                         nullptr, nullptr) != ERROR_SUCCESS) {
      log_.WriteLog(0, "[CSetPrinterDlg] Get the number of items from registry fail! (%s)\n", items.c_str());
    } else {
      for (DWORD i = 0; i < subkeys && count_ < kPrinterEntries; ++i) {
        char name[261] = {};
        DWORD length = 261;
        if (RegEnumKeyExA(key.Get(), i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) continue;
        std::string itemKey = items + "\\" + name;
        if (CUtl::GetRegDword(itemKey.c_str(), "Install") == 0) continue;
        std::string printer = CUtl::GetRegString(itemKey.c_str(), "Printer_Name");
        if (printer.empty()) continue;
        PRINTER_ENTRY& e = At(count_++);
        CopyText(e.name, printer);
        CopyText(e.text4, itemKey);
        e.isDefault = _stricmp(printer.c_str(), defaultPrinter.c_str()) == 0;
        CopyText(e.text3, CUtl::GetRegString(itemKey.c_str(), "Share_Name"));
        e.shared = CUtl::GetRegDword(itemKey.c_str(), "Share") == 1;
      }
    }
  }
  if (CUtl::GetRegDword(root.c_str(), "InstallAsServer") != 0) {
    for (int i = 0; i < count_; ++i) At(i).shared = 1;
  }
  fw::ListView(list_).DeleteAll();
  for (int i = 0; i < count_; ++i) WriteRow(i, true);
}

void CSetPrinterDlg::WriteRow(int index, bool insert) {
  fw::ListView list(list_);
  const PRINTER_ENTRY& e = At(index);
  if (insert) {
    list.InsertItem(index, e.name, index);
  } else {
    list.SetItemText(index, 0, e.name);
  }
  std::string mark = e.isDefault ? "[" + defaultLabel_ + "]" : std::string();
  std::string shared = e.shared ? "[" + shareLabelText_ + ":" + e.text3 + "]" : std::string();
  list.SetItemText(index, 1, mark.c_str());
  list.SetItemText(index, 2, shared.c_str());
  for (int c = 0; c < 3; ++c) SendMessageA(list_, LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(c), LVSCW_AUTOSIZE);
}

bool CSetPrinterDlg::ClickAt(POINT point) {
  fw::ListView list(list_);
  int top = static_cast<int>(SendMessageA(list_, LVM_GETTOPINDEX, 0, 0));
  int last = top + static_cast<int>(SendMessageA(list_, LVM_GETCOUNTPERPAGE, 0, 0));
  if (last > list.Count() - 1) last = list.Count() - 1;
  int hit = -1;
  for (int row = top; row <= last; ++row) {
    RECT r{};
    r.left = LVIR_BOUNDS;
    if (SendMessageA(list_, LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&r)) && PtInRect(&r, point)) {
      hit = row;
      break;
    }
  }
  if (hit < 0 || hit >= count_) return false;
  list.SetItemState(hit, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  selected_ = hit;
  const PRINTER_ENTRY& e = At(hit);
  cleaning_ = true;
  SetWindowTextA(name_, e.name);
  SetWindowTextA(shareName_, e.text3);
  cleaning_ = false;
  fw::Button(default_).SetChecked(e.isDefault != 0);
  fw::Button(share_).SetChecked(e.shared != 0);
  EnableShareName(e.shared != 0);
  return true;
}

void CSetPrinterDlg::EnableShareName(bool enable) {
  EnableWindow(shareLabel_, enable);
  EnableWindow(shareName_, enable);
}

void CSetPrinterDlg::CleanField(HWND edit, const char* forbidden, const std::string& message) {
  if (cleaning_) return;
  bool removed = false;
  std::string cleaned = RemoveChars(fw::GetText(edit), forbidden, &removed);
  if (!removed) return;
  CPredefinedVariable* env = core::CurrentEnvironment();
  CUtl::ShowMessageBox(hwnd_, message.c_str(), env ? env->GetProgramName().c_str() : "", MB_ICONEXCLAMATION);
  cleaning_ = true;
  SetWindowTextA(edit, cleaned.c_str());
  int end = static_cast<int>(cleaned.size());
  fw::Edit(edit).SetSelection(end, end);
  cleaning_ = false;
}

void CSetPrinterDlg::Apply() {
  if (selected_ >= 0 && selected_ < count_) {
    PRINTER_ENTRY& e = At(selected_);
    CopyText(e.name, fw::GetText(name_));
    CopyText(e.text3, fw::GetText(shareName_));
    e.isDefault = fw::Button(default_).IsChecked();
    e.shared = fw::Button(share_).IsChecked();
    if (e.isDefault) {
      for (int i = 0; i < count_; ++i) {
        if (i != selected_) At(i).isDefault = 0;
      }
    }
  }
  for (int i = 0; i < count_; ++i) WriteRow(i, false);
  std::string root = InstallRoot();
  bool anyDefault = false;
  for (int i = 0; i < count_; ++i) {
    const PRINTER_ENTRY& e = At(i);
    CUtl::SetRegString(e.text4, "Printer_Name", e.name);
    CUtl::SetRegString(e.text4, "Share_Name", e.text3);
    CUtl::SetRegDword(e.text4, "Share", e.shared ? 1 : 0);
    if (e.isDefault) {
      CUtl::SetRegString(root.c_str(), "Default_Printer", e.name);
      anyDefault = true;
    }
  }
  // A default the user cleared must not come back from the old value.
  if (!anyDefault && count_ > 0) CUtl::DeleteRegValue(root.c_str(), "Default_Printer");
  if (count_ > 0) ApplyToSpooler(root);
}

// The installation library brings the spooler in line with the records.
void CSetPrinterDlg::ApplyToSpooler(const std::string& root) {
  using ApplyFunction = BOOL(__stdcall*)(HWND, const char*, int);
  CPredefinedVariable* env = core::CurrentEnvironment();
  HMODULE library = env ? env->GetLibrary(CPredefinedVariable::kInstallerDll) : nullptr;
  auto apply = library ? reinterpret_cast<ApplyFunction>(
                             reinterpret_cast<void*>(GetProcAddress(library, "MyApplyPrinterSettings")))
                       : nullptr;
  if (!apply) {
    log_.WriteLog(0, "[CSetPrinterDlg] Get function Error (MyApplyPrinterSettings)\n");
    return;
  }
  if (!apply(hwnd_, root.c_str(), 1)) log_.WriteLog(0, "[CSetPrinterDlg] The spooler did not take every printer setting\n");
}

void CSetPrinterDlg::Next() {
  Apply();
  PostCommand(next_);
}

bool CSetPrinterDlg::OnCommand(WORD id, WORD code, HWND control) {
  if (code == BN_CLICKED && id == kNextId) {
    Next();
    return true;
  }
  if (code == EN_CHANGE && id == kNameId) {
    CleanField(name_, kNameForbidden, nameError_);
    return true;
  }
  if (code == EN_CHANGE && id == kShareNameId) {
    CleanField(shareName_, kShareForbidden, shareError_);
    return true;
  }
  if (code == BN_CLICKED && id == kShareId) {
    bool on = fw::Button(share_).IsChecked();
    if (selected_ >= 0) At(selected_).shared = on;
    EnableShareName(on);
    return true;
  }
  if (code == BN_CLICKED && id == kDefaultId) {
    bool on = fw::Button(default_).IsChecked();
    if (selected_ >= 0) {
      At(selected_).isDefault = on;
      if (on) {
        for (int i = 0; i < count_; ++i) {
          if (i != selected_) At(i).isDefault = 0;
        }
      }
    }
    return true;
  }
  if (code == BN_CLICKED && id == kApplyId) {
    Apply();
    return true;
  }
  return CNormalDlg::OnCommand(id, code, control);
}

bool CSetPrinterDlg::OnNotify(NMHDR* header, LRESULT* result) {
  if (header->idFrom == kListId && header->code == NM_CLICK) {
    ClickAt(reinterpret_cast<NMITEMACTIVATE*>(header)->ptAction);
    *result = 0;
    return true;
  }
  return CNormalDlg::OnNotify(header, result);
}

}  // namespace pages
