#include "setup/pages/set_port_dlg.h"

#include <commctrl.h>

#include "framework/controls.h"
#include "setup/core/core_context.h"
#include "setup/core/predefined_variable.h"
#include "setup/pages/port_record.h"
#include "setup/pages/printer_rules.h"
#include "setup/ui/script_values.h"

namespace pages {

void CSetPortDlg::CreateFixedControls() {
  fw::InitCommonControlsOnce();
  combo_ = ui::CreateFixedControl(hwnd_, "COMBOBOX", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 0, kComboId);
  portTypeLabel_ = ui::CreateFixedControl(hwnd_, "STATIC", SS_LEFT, 0, kPortTypeLabelId);
  portType_ = ui::CreateFixedControl(hwnd_, "EDIT", ES_AUTOHSCROLL | ES_READONLY | WS_BORDER, 0, kPortTypeId);
  ipLabel_ = ui::CreateFixedControl(hwnd_, "STATIC", SS_LEFT, 0, kIpLabelId);
  ip_ = ui::CreateFixedControl(hwnd_, WC_IPADDRESSA, WS_TABSTOP, 0, kIpId);
  portNameLabel_ = ui::CreateFixedControl(hwnd_, "STATIC", SS_LEFT, 0, kPortNameLabelId);
  portNameEdit_ = ui::CreateFixedControl(hwnd_, "EDIT", ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 0, kPortNameId);
  fw::Edit(portNameEdit_).SetLimit(kPortNameChars);
  next_button_ = ui::CreateFixedControl(hwnd_, "BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 0, kNextId);
}

bool CSetPortDlg::InitPage() {
  next_ = CommandRecord();
  invalidMessage_ = "The \"%s\" Port name is not available!!";
  std::string fixed = FixedSection("[CPrinterDriversDlg]");
  HWND all[] = {combo_, portTypeLabel_, portType_, ipLabel_, ip_, portNameLabel_, portNameEdit_, next_button_};
  if (fixed.empty()) {
    for (HWND c : all) ShowWindow(c, SW_HIDE);
    return true;
  }
  PlaceControl(combo_, fixed, "COMBO_PRINTERS");
  struct Labelled {
    HWND label, field;
    const char* prefix;
    const char* fieldPrefix;
  } rows[] = {{portTypeLabel_, portType_, "STATIC_PORTTYPE", "EDIT_PORTTYPE"},
              {ipLabel_, ip_, "STATIC_IP", "EDIT_IP"},
              {portNameLabel_, portNameEdit_, "STATIC_PORTNAME", "EDIT_PORTNAME"}};
  for (const Labelled& r : rows) {
    PlaceControl(r.label, fixed, r.prefix);
    SetControlText(r.label, fixed, r.prefix);
    PlaceControl(r.field, fixed, r.fieldPrefix);
  }
  PlaceControl(next_button_, fixed, "BUTTON_NEXT");
  SetControlText(next_button_, fixed, "BUTTON_NEXT");
  next_ = ReadCommand(fixed, "BUTTON_NEXT");
  ui::ScriptFiles files = ui::ScriptFiles::FromEnvironment();
  std::string message = ui::MessageText(files, config_.DialogValue(fixed, "MSG_INVALID_PORT_NAME"));
  if (!message.empty()) invalidMessage_ = message;
  FillCombo();
  return true;
}

void CSetPortDlg::FillCombo() {
  fw::ComboBox combo(combo_);
  combo.Reset();
  positions_.clear();
  preselected_ = 0;
  CPredefinedVariable* env = core::CurrentEnvironment();
  PRINTER_ENTRY* table = env ? env->GetPrinterTable() : nullptr;
  for (int i = 0; table && i < kPrinterEntries; ++i) {
    const PRINTER_ENTRY& e = table[i];
    if (e.network != 1 || e.name[0] == 0) continue;
    int position = combo.Add(e.name);
    if (position < 0) continue;
    positions_.push_back(i);
    if (e.listed == 1) preselected_ = position;
  }
  combo.Select(positions_.empty() ? -1 : preselected_);
  ApplySelection();
}

void CSetPortDlg::ApplySelection() {
  portName_.clear();
  updating_ = true;
  int position = fw::ComboBox(combo_).Selected();
  CPredefinedVariable* env = core::CurrentEnvironment();
  PRINTER_ENTRY* table = env ? env->GetPrinterTable() : nullptr;
  if (position >= 0 && static_cast<size_t>(position) < positions_.size() && table) {
    const PRINTER_ENTRY& e = table[positions_[static_cast<size_t>(position)]];
    if (e.hasAddress) {
      if (auto parts = SplitAddress(e.address)) {
        portName_ = std::string("IP_") + e.address;
        SendMessageA(ip_, IPM_SETADDRESS, 0,
                     MAKEIPADDRESS((*parts)[0] & 0xFF, (*parts)[1] & 0xFF, (*parts)[2] & 0xFF, (*parts)[3] & 0xFF));
      }
    }
  }
  SetWindowTextA(portType_, portTypeText_.c_str());
  SetWindowTextA(portNameEdit_, portName_.substr(0, kPortNameChars).c_str());
  updating_ = false;
}

void CSetPortDlg::PortNameChanged() {
  if (updating_) return;
  std::string text = fw::GetText(portNameEdit_);
  bool removed = false;
  std::string cleaned = RemoveChars(text, ",", &removed);
  if (removed) {
    MessageBeep(static_cast<UINT>(-1));
    ++beeps_;
    updating_ = true;
    SetWindowTextA(portNameEdit_, cleaned.c_str());
    int end = static_cast<int>(cleaned.size());
    fw::Edit(portNameEdit_).SetSelection(end, end);
    updating_ = false;
  }
  portName_ = cleaned;
}

bool CSetPortDlg::Next() {
  portName_ = fw::GetText(portNameEdit_);
  CPredefinedVariable* env = core::CurrentEnvironment();
  if (portName_.empty()) {
    CUtl::ShowMessageBox(hwnd_, FormatWithText(invalidMessage_, portName_).c_str(),
                         env ? env->GetProgramName().c_str() : "", MB_ICONHAND);
    return false;
  }
  DWORD address = 0;
  SendMessageA(ip_, IPM_GETADDRESS, 0, reinterpret_cast<LPARAM>(&address));
  char ip[32];
  wsprintfA(ip, "%d.%d.%d.%d", FIRST_IPADDRESS(address), SECOND_IPADDRESS(address), THIRD_IPADDRESS(address),
            FOURTH_IPADDRESS(address));
  RecordPort(ip, "", portName_);
  if (env) CUtl::SetRegString(env->GetInstallKey().c_str(), "Printer_Port", portName_.c_str());
  PostCommand(next_);
  return true;
}

bool CSetPortDlg::OnCommand(WORD id, WORD code, HWND control) {
  if (id == kNextId && code == BN_CLICKED) {
    Next();
    return true;
  }
  if (id == kComboId && code == CBN_SELCHANGE) {
    ApplySelection();
    return true;
  }
  if (id == kPortNameId && code == EN_CHANGE) {
    PortNameChanged();
    return true;
  }
  return CNormalDlg::OnCommand(id, code, control);
}

}  // namespace pages
