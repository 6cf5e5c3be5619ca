#include "setup/pages/select_language_dlg.h"

#include <cstdio>
#include <cstring>

#include "framework/controls.h"
#include "setup/core/core_context.h"
#include "setup/core/predefined_variable.h"
#include "setup/scriptlib/profile.h"
#include "setup/ui/ui_rules.h"

namespace pages {

void CSelectLanguageDlg::CreateFixedControls() {
  label_ = ui::CreateFixedControl(hwnd_, "STATIC", SS_LEFT, 0, kLabelId);
  combo_ = ui::CreateFixedControl(hwnd_, "COMBOBOX", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 0, kComboId);
  button_ = ui::CreateFixedControl(hwnd_, "BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 0, kButtonId);
}

bool CSelectLanguageDlg::InitPage() {
  std::string fixed = FixedSection("[CNormalDlg]");
  if (fixed.empty()) {
    for (HWND control : {label_, combo_, button_}) ShowWindow(control, SW_HIDE);
    return true;
  }
  PlaceControl(label_, fixed, "STATIC_SELECT_LANGUAGE");
  SetControlText(label_, fixed, "STATIC_SELECT_LANGUAGE");
  PlaceControl(combo_, fixed, "COMBO_LANGUAGE");
  PlaceControl(button_, fixed, "BUTTON_LANGUAGE", false);
  SetControlText(button_, fixed, "BUTTON_LANGUAGE");
  FillCombo();
  return true;
}

void CSelectLanguageDlg::FillCombo() {
  fw::ComboBox combo(combo_);
  combo.Reset();
  languages_.clear();
  current_ = 0;
  CPredefinedVariable* env = core::CurrentEnvironment();
  if (!env) return;
  std::string section = config_.DataValue("PROGRAM_INFO", "SUPPORTED_LANG");
  if (section.empty()) {
    log_.WriteLog(0, "[CSelectLanguageDlg] Get supported language list fail\n");
    return;
  }
  std::vector<char> buffer(4096 + 2, '\0');
  if (env->GetConfigReader().GetAllKey(section.c_str(), buffer.data(), 4096, false) != ERROR_SUCCESS) return;
  for (const char* entry = buffer.data(); *entry && entry < buffer.data() + 4096; entry += std::strlen(entry) + 1) {
    LANGID id = ui::LanguageIdOfEntry(entry);
    if (id == env->GetLanguageId()) current_ = static_cast<int>(languages_.size());
    languages_.push_back(id);
    char key[16];
    std::snprintf(key, sizeof(key), "STRING_%04X", static_cast<unsigned>(id));
    combo.Add(config_.StringValue("MESSAGES", key).c_str());
  }
  combo.Select(languages_.empty() ? -1 : current_);
}

void CSelectLanguageDlg::ToggleCombo() {
  ShowWindow(label_, IsWindowVisible(label_) ? SW_HIDE : SW_SHOW);
  if (IsWindowVisible(combo_)) {
    ShowWindow(combo_, SW_HIDE);
  } else {
    fw::ComboBox(combo_).Select(current_);
    ShowWindow(combo_, SW_SHOW);
  }
}

void CSelectLanguageDlg::SelectPosition(int position) {
  CPredefinedVariable* env = core::CurrentEnvironment();
  if (!env || position < 0 || static_cast<size_t>(position) >= languages_.size()) return;
  LANGID id = languages_[static_cast<size_t>(position)];
  if (id == env->GetLanguageId()) return;
  if (!env->SwitchLanguage(id)) return;
  ApplyReadingDirection();
  // Read the description again in the new language and rebuild the objects.
  std::string section = LoadedSection();
  Reset();
  if (Load(section.c_str())) Refresh();
  RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

bool CSelectLanguageDlg::OnCommand(WORD id, WORD code, HWND control) {
  if (id == kButtonId && code == BN_CLICKED) {
    ToggleCombo();
    return true;
  }
  if (id == kComboId && code == CBN_SELCHANGE) {
    SelectPosition(fw::ComboBox(combo_).Selected());
    return true;
  }
  return CNormalDlg::OnCommand(id, code, control);
}

}  // namespace pages
