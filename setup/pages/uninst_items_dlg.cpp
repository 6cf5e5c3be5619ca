#include "setup/pages/uninst_items_dlg.h"

#include "framework/controls.h"
#include "framework/handles.h"
#include "setup/core/core_context.h"
#include "setup/core/predefined_variable.h"

namespace pages {
namespace {

std::string ItemsKey() {
  CPredefinedVariable* env = core::CurrentEnvironment();
  return env ? env->GetInstallKey() + "\\Items" : std::string();
}

}  // namespace

std::vector<std::string> CUninstItemsDlg::InstalledItemKeys(CUtl& log, bool stopAtFirst) {
  std::vector<std::string> keys;
  const std::string itemsKey = ItemsKey();
  fw::UniqueRegKey key;
  LONG opened = itemsKey.empty() ? ERROR_FILE_NOT_FOUND
                                 : RegOpenKeyExA(HKEY_LOCAL_MACHINE, itemsKey.c_str(), 0, KEY_READ, key.Put());
  if (opened != ERROR_SUCCESS) {
    if (!stopAtFirst) {
      log.WriteLog(static_cast<DWORD>(opened), "[CUninstItemDlg] Init uninstall item list fail! (%s)\n", itemsKey.c_str());
    }
    return keys;
  }
  DWORD subkeys = 0;
  if (RegQueryInfoKeyA(key.Get(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, nullptr, nullptr, nullptr,
                       nullptr, nullptr) != ERROR_SUCCESS || subkeys == 0) {
    if (!stopAtFirst) log.WriteLog(0, "[CUninstItemDlg] Get uninstall items list fail!\n");
    return keys;
  }
  for (DWORD i = 0;; ++i) {
    char name[MAX_PATH] = {};
    DWORD size = sizeof(name);
    LONG result = RegEnumKeyExA(key.Get(), i, name, &size, nullptr, nullptr, nullptr, nullptr);
    if (result == ERROR_NO_MORE_ITEMS) break;
    if (result != ERROR_SUCCESS) {
      log.WriteLog(0, "[CUninstItemsDlg] Enum Key Error (%s)\n", itemsKey.c_str());
      if (i > subkeys + 64) break;  // a key that keeps failing cannot hold the walk forever
      continue;
    }
    std::string itemKey = itemsKey + "\\" + name;
    if (CUtl::IsItemInstalled(itemKey.c_str(), true, false, true)) {
      keys.push_back(itemKey);
      if (stopAtFirst) break;
    }
  }
  return keys;
}

bool CUninstItemsDlg::AnyItemInstalled() {
  CUtl log;
  log.BorrowApplicationLog();
  return !InstalledItemKeys(log, true).empty();
}

void CUninstItemsDlg::CreateFixedControls() {
  list_.Create(hwnd_, kListId, RECT{0, 0, 10, 10});
  ShowWindow(list_.Handle(), SW_HIDE);
  checkAll_ = ui::CreateFixedControl(hwnd_, "BUTTON", BS_AUTOCHECKBOX | WS_TABSTOP, 0, kCheckAllId);
  nextButton_ = ui::CreateFixedControl(hwnd_, "BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 0, kNextId);
  listFilled_ = false;
}

bool CUninstItemsDlg::ApplyFixedItems() {
  next_ = CommandRecord();
  fixed_ = FixedSection("[CUninstItemsDlg]");
  if (fixed_.empty()) return false;
  PlaceControl(list_.Handle(), fixed_, "LIST_UNINSTITEM");
  SetControlText(checkAll_, fixed_, "BUTTON_CHECK_ALL");
  PlaceControl(checkAll_, fixed_, "BUTTON_CHECK_ALL");
  SetControlText(nextButton_, fixed_, "BUTTON_NEXT");
  PlaceControl(nextButton_, fixed_, "BUTTON_NEXT");
  SetControlTooltip(nextButton_, fixed_, "BUTTON_NEXT");
  ui::SetBoldFont(nextButton_, &boldFont_);
  next_ = ReadCommand(fixed_, "BUTTON_NEXT");
  return true;
}

bool CUninstItemsDlg::InitPage() {
  ApplyFixedItems();
  if (!listFilled_) {
    RECT client{};
    GetClientRect(list_.Handle(), &client);
    fw::ListView view(list_.Handle());
    if (view.ColumnCount() == 0) view.InsertColumn(0, "", client.right - 20, LVCFMT_CENTER);
    FillList();
    listFilled_ = true;
  }
  return true;
}

void CUninstItemsDlg::FillList() {
  list_.ResetRows();
  keys_ = InstalledItemKeys(log_, false);
  list_.Initialise(hwnd_, static_cast<int>(keys_.size()), true, true, true);
  for (std::string& key : keys_) {
    std::string name = CUtl::GetRegString(key.c_str(), "DisplayName");
    list_.AddRow(&key, name.c_str(), nullptr, nullptr, ui::kRowUnchecked);
  }
}

void CUninstItemsDlg::CheckAll(bool checked) {
  SendMessageA(checkAll_, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
  list_.SetAllStates(checked);
}

bool CUninstItemsDlg::Next() {
  bool ticked = false;
  for (int row = 0; row < list_.RowCount(); ++row) {
    ui::ListRow* record = list_.Row(row);
    if (!record || !record->data) continue;
    const std::string& key = *static_cast<std::string*>(record->data);
    if (record->state == ui::kRowChecked) {
      CUtl::SetRegDword(key.c_str(), "Uninstall", 1);
      log_.WriteLog(0, "[CUninstItemsDlg] %s Set Uninstall\n", key.c_str());
      ticked = true;
    } else {
      CUtl::SetRegDword(key.c_str(), "Uninstall", 0);
      log_.WriteLog(0, "[CUninstItemsDlg] %s Clear Uninstall\n", key.c_str());
    }
  }
  if (!ticked) {
    std::string messageKey = fixed_.empty() ? std::string() : config_.DialogValue(fixed_, "WARNING_MSG");
    std::string text = messageKey.empty() ? std::string() : config_.StringValue("MESSAGES", messageKey.c_str());
    CPredefinedVariable* env = core::CurrentEnvironment();
    CUtl::ShowMessageBox(hwnd_, text.c_str(), env ? env->GetProgramName().c_str() : "", MB_ICONEXCLAMATION);
    return false;
  }
  if (next_.cstrCmdType.empty() || next_.cstrCmdStr.empty()) return false;
  return PostCommand(next_);
}

bool CUninstItemsDlg::OnCommand(WORD id, WORD code, HWND control) {
  if (id == kNextId && code == BN_CLICKED) {
    Next();
    return true;
  }
  if (id == kCheckAllId && code == BN_CLICKED) {
    CheckAll(SendMessageA(checkAll_, BM_GETCHECK, 0, 0) == BST_CHECKED);
    return true;
  }
  return CNormalDlg::OnCommand(id, code, control);
}

bool CUninstItemsDlg::OnNotify(NMHDR* header, LRESULT* result) {
  if (list_.HandleNotify(header, result)) return true;
  if (header && header->hwndFrom == list_.Handle() && header->code == LVN_ITEMCHANGING) {
    // The change is allowed; a row that is not ticked clears the check-all box.
    int row = reinterpret_cast<NMLISTVIEW*>(header)->iItem;
    if (row >= 0 && list_.State(row) != ui::kRowChecked) SendMessageA(checkAll_, BM_SETCHECK, BST_UNCHECKED, 0);
    *result = FALSE;
    return true;
  }
  if (header && header->hwndFrom == list_.Handle() && header->code == NM_CLICK) {
    // A click that unticked the row already selected changes no selection.
    int row = reinterpret_cast<NMITEMACTIVATE*>(header)->iItem;
    if (row >= 0 && list_.State(row) != ui::kRowChecked) SendMessageA(checkAll_, BM_SETCHECK, BST_UNCHECKED, 0);
    *result = 0;
    return true;
  }
  return CNormalDlg::OnNotify(header, result);
}

}  // namespace pages
