#include "setup/pages/printer_drivers_dlg.h"

#include "framework/controls.h"
#include "setup/core/core_context.h"
#include "setup/core/predefined_variable.h"
#include "setup/engine/my_items.h"

namespace pages {

void CPrinterDriversDlg::CreateFixedControls() {
  list_ = ui::CreateFixedControl(hwnd_, "LISTBOX", LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_BORDER | WS_TABSTOP,
                                 0, kListId);
  nextButton_ = ui::CreateFixedControl(hwnd_, "BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 0, kNextId);
}

bool CPrinterDriversDlg::InitPage() {
  next_ = CommandRecord();
  std::string fixed = FixedSection(nullptr);
  FillList();
  if (fixed.empty()) {
    ShowWindow(list_, SW_HIDE);
    ShowWindow(nextButton_, SW_HIDE);
    return true;
  }
  PlaceControl(list_, fixed, "LIST_DRIVER");
  PlaceControl(nextButton_, fixed, "BUTTON_NEXT");
  SetControlText(nextButton_, fixed, "BUTTON_NEXT");
  SetControlTooltip(nextButton_, fixed, "BUTTON_NEXT");
  next_ = ReadCommand(fixed, "BUTTON_NEXT");
  EnableWindow(nextButton_, fw::ListBox(list_).Selected() != LB_ERR);
  return true;
}

void CPrinterDriversDlg::FillList() {
  fw::ListBox list(list_);
  list.Reset();
  drivers_.clear();
  CMyItems items;
  if (!items.Load("ITEM_INFO", false)) return;
  for (int i = 0; i < items.Count(); ++i) {
    const CMyItem* item = items.Item(i);
    if (!item || item->driverName.empty()) continue;
    drivers_.push_back({item->name, item->driverName, item->printerName});
    list.Add(item->driverName.c_str());
  }
  if (!drivers_.empty()) list.Select(0);
}

bool CPrinterDriversDlg::Next() {
  int selected = fw::ListBox(list_).Selected();
  if (selected == LB_ERR || static_cast<size_t>(selected) >= drivers_.size()) return false;
  const DriverEntry& entry = drivers_[static_cast<size_t>(selected)];
  CPredefinedVariable* env = core::CurrentEnvironment();
  if (env) {
    const char* key = env->GetInstallKey().c_str();
    CUtl::SetRegString(key, "Selected_Driver", entry.driver.c_str());
    CUtl::SetRegString(key, "Selected_Printer", entry.printer.c_str());
    CUtl::SetRegString(key, "Selected_Item", entry.item.c_str());
  }
  log_.WriteLog(0, "[CPrinterDriversDlg] Selected driver [%s] (%s)\n", entry.driver.c_str(), entry.item.c_str());
  PostCommand(next_);
  return true;
}

bool CPrinterDriversDlg::OnCommand(WORD id, WORD code, HWND control) {
  if (id == kNextId && code == BN_CLICKED) {
    Next();
    return true;
  }
  if (id == kListId && code == LBN_SELCHANGE) {
    EnableWindow(nextButton_, fw::ListBox(list_).Selected() != LB_ERR);
    return true;
  }
  if (id == kListId && code == LBN_DBLCLK) {
    Next();
    return true;
  }
  return CNormalDlg::OnCommand(id, code, control);
}

}  // namespace pages
