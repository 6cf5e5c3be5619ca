#include "setup/pages/select_items_dlg.h"

#include <shellapi.h>

#include "framework/controls.h"
#include "setup/core/core_context.h"
#include "setup/core/predefined_variable.h"
#include "setup/pages/uninst_items_dlg.h"
#include "setup/ui/browse_dir.h"

namespace pages {
namespace {
constexpr DWORD kRemoteBit = 0x04;

DWORD InstallType() {
  CPredefinedVariable* env = core::CurrentEnvironment();
  return env ? CUtl::GetRegDword(env->GetInstallKey().c_str(), "Install_Type") : 0;
}
}  // namespace

int RowStateOfCheckNumber(unsigned checkNumber, bool defaultTicked) {
  switch (checkNumber) {
    case 2: return ui::kRowChecked;
    case 3: return defaultTicked ? ui::kRowChecked : ui::kRowUnchecked;
    case 4:
    case 5: return ui::kRowDisabled;
    default: return -1;
  }
}

CSelectItems::CSelectItems() = default;

CSelectItems::~CSelectItems() {
  if (folder_) DestroyIcon(folder_);
}

CMyItems* CSelectItems::Items() {
  if (sharedItems_) return sharedItems_;
  if (!ownItems_) ownItems_ = std::make_unique<CMyItems>();
  return ownItems_.get();
}

void CSelectItems::CreateFixedControls() {
  list_.Create(hwnd_, kListId, RECT{0, 0, 10, 10});
  ShowWindow(list_.Handle(), SW_HIDE);
  descriptionHeading_ = ui::CreateFixedControl(hwnd_, "STATIC", SS_LEFT, 0, kDescriptionHeadingId);
  descriptor_ = ui::CreateFixedControl(hwnd_, "STATIC", SS_LEFT, 0, kDescriptorId);
  destinationHeading_ = ui::CreateFixedControl(hwnd_, "STATIC", SS_LEFT, 0, kDestinationHeadingId);
  folderIcon_ = ui::CreateFixedControl(hwnd_, "STATIC", SS_ICON | SS_CENTERIMAGE, 0, kFolderIconId);
  pathCaption_ = ui::CreateFixedControl(hwnd_, "STATIC", SS_LEFT, 0, kPathCaptionId);
  destinationPath_ = ui::CreateFixedControl(hwnd_, "STATIC", SS_LEFT | SS_PATHELLIPSIS | SS_NOPREFIX, 0,
                                            kDestinationPathId);
  browse_ = ui::CreateFixedControl(hwnd_, "BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 0, kBrowseId);
  next_button_ = ui::CreateFixedControl(hwnd_, "BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 0, kNextId);
  // The shell's small closed-folder icon, the size of its 16-pixel place.
  if (!folder_) ExtractIconExA("shell32.dll", 3, nullptr, &folder_, 1);
  if (folder_) {
    SendMessageA(folderIcon_, STM_SETICON, reinterpret_cast<WPARAM>(folder_), 0);
  }
  listFilled_ = false;  // a new window has an empty list
}

bool CSelectItems::ApplyFixedItems() {
  next_ = CommandRecord();
  std::string fixed = FixedSection("[CSelectItems]");
  if (fixed.empty()) {
    for (HWND control : {list_.Handle(), descriptionHeading_, descriptor_, destinationHeading_, folderIcon_,
                         destinationPath_, browse_}) {
      ShowWindow(control, SW_HIDE);
    }
    // Nothing places them either.
    ShowWindow(pathCaption_, SW_HIDE);
    ShowWindow(next_button_, SW_HIDE);
    return false;
  }
  PlaceControl(list_.Handle(), fixed, "LIST_ITEMS");
  SetControlText(descriptionHeading_, fixed, "STATIC_DESCRIPTION");
  PlaceControl(descriptionHeading_, fixed, "STATIC_DESCRIPTION");
  PlaceControl(descriptor_, fixed, "STATIC_DESCRIPTOR");
  SetControlText(destinationHeading_, fixed, "STATIC_DESTINATION");
  PlaceControl(destinationHeading_, fixed, "STATIC_DESTINATION");
  PlaceControl(folderIcon_, fixed, "ICON_FOLDER");
  SetControlText(pathCaption_, fixed, "STATIC_PATH_DESC");
  PlaceControl(pathCaption_, fixed, "STATIC_PATH_DESC");
  PlaceControl(destinationPath_, fixed, "STATIC_PATH");
  SetControlText(browse_, fixed, "BUTTON_BROWSE");
  PlaceControl(browse_, fixed, "BUTTON_BROWSE");
  SetControlTooltip(browse_, fixed, "BUTTON_BROWSE");
  SetControlText(next_button_, fixed, "BUTTON_NEXT");
  PlaceControl(next_button_, fixed, "BUTTON_NEXT");
  SetControlTooltip(next_button_, fixed, "BUTTON_NEXT");
  ui::SetBoldFont(next_button_, &boldFont_);
  next_ = ReadCommand(fixed, "BUTTON_NEXT");
  return true;
}

bool CSelectItems::InitPage() {
  ApplyFixedItems();
  if (!listFilled_) {
    RECT client{};
    GetClientRect(list_.Handle(), &client);
    fw::ListView view(list_.Handle());
    if (view.ColumnCount() == 0) view.InsertColumn(0, "", client.right - 20, LVCFMT_CENTER);
    FillList();
    listFilled_ = true;
  }
  CPredefinedVariable* env = core::CurrentEnvironment();
  destination_ = env ? env->GetDestDir() : std::string();
  UpdateBrowse(true);
  ShowTexts();
  return true;
}

void CSelectItems::UpdateBrowse(bool withInstalledTest) {
  bool disabled = (InstallType() & kRemoteBit) != 0;
  if (!disabled && withInstalledTest) disabled = CUninstItemsDlg::AnyItemInstalled();
  EnableWindow(browse_, disabled ? FALSE : TRUE);
}

void CSelectItems::ShowTexts() {
  SetWindowTextA(descriptor_, description_.c_str());
  SetWindowTextA(destinationPath_, destination_.c_str());
  // The transparent statics show the background again before their new text.
  for (HWND control : {descriptor_, destinationPath_}) {
    RECT r = {};
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&r), 2);
    InvalidateRect(hwnd_, &r, TRUE);
  }
}

void CSelectItems::FillList() {
  CMyItems* items = Items();
  if (!items || !list_.Handle()) return;
  list_.ResetRows();
  list_.Initialise(hwnd_, items->Count(), true, true, true);
  for (int i = 0; i < items->Count(); ++i) {
    CMyItem* item = items->Item(i);
    if (!item) continue;
    unsigned check = items->CheckNumber(*item);
    int state = RowStateOfCheckNumber(check, item->install);
    if (state < 0) {
      if (check > 5) log_.WriteLog(0, "[CSelectItems] %s check number %u out of range, not listed\n", item->name.c_str(), check);
      continue;
    }
    if (!list_.AddRow(item, item->displayName.c_str(), nullptr, nullptr, state)) continue;
    int row = list_.RowCount() - 1;
    if (!item->description.empty()) list_.SetDescription(row, item->description);
    if (!item->tooltip.empty()) list_.SetTooltip(row, item->tooltip);
  }
}

bool CSelectItems::Load(const char* section) {
  if (!CNormalDlg::Load(section)) return false;
  CMyItems* items = Items();
  if (items) {
    items->Clear();
    if (!items->Load("ITEM_INFO", false)) return false;
  }
  if (listFilled_ && hwnd_) {
    FillList();
    UpdateBrowse(false);
    description_.clear();
    ShowTexts();
  }
  return true;
}

bool CSelectItems::Next() {
  bool netScan = false;
  CMyItems* items = Items();
  for (int row = 0; row < list_.RowCount(); ++row) {
    ui::ListRow* record = list_.Row(row);
    if (!record || !record->data) continue;
    CMyItem* item = static_cast<CMyItem*>(record->data);
    unsigned check = items ? items->CheckNumber(*item) : 0;
    item->install = MarkedForInstall(record->state, check);
    if (item->install && item->name.find("NET_SCAN") != std::string::npos) netScan = true;
    log_.WriteLog(0, "[CSelectItems] %s %s\n", item->name.c_str(), item->install ? "Install" : "Not install");
  }
  if (items) {
    items->WriteItemRecords();
    items->WriteShortcutRecords();
    items->WriteCopyRecords();
  }
  sent_ = next_;
  if (netScan && !sent_.cstrParam.empty()) sent_.cstrCmdStr = sent_.cstrParam;
  if (sent_.cstrCmdType.empty() || sent_.cstrCmdStr.empty()) return false;
  return PostCommand(sent_);
}

bool CSelectItems::Browse() {
  std::string section = config_.DialogValue("FIXED_DIALOG", "BROWSE_DIRECTORY");
  if (section.empty()) return false;
  ui::CBrowseDir browser;
  browser.SetUp(section.c_str());
  if (browser.Run(hwnd_) != 1) return false;
  destination_ = browser.Path();
  if (!destination_.empty()) {
    if (CPredefinedVariable* env = core::CurrentEnvironment()) {
      env->SetDestDir(destination_.c_str());
      CUtl::SetRegString(env->GetInstallKey().c_str(), "Installed_Dir", destination_.c_str());
    }
  }
  ShowTexts();
  return true;
}

bool CSelectItems::OnCommand(WORD id, WORD code, HWND control) {
  if (id == kNextId && code == BN_CLICKED) {
    Next();
    return true;
  }
  if (id == kBrowseId && code == BN_CLICKED) {
    Browse();
    return true;
  }
  return CNormalDlg::OnCommand(id, code, control);
}

bool CSelectItems::OnNotify(NMHDR* header, LRESULT* result) {
  if (list_.HandleNotify(header, result)) return true;
  return CNormalDlg::OnNotify(header, result);
}

bool CSelectItems::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  if (message == engine::kDescriptionMessage) {
    description_ = lParam ? reinterpret_cast<const char*>(lParam) : "";
    ShowTexts();
    *result = 1;
    return true;
  }
  return CNormalDlg::OnMessage(message, wParam, lParam, result);
}

}  // namespace pages
