#pragma once
// CSelectLanguageDlg: the language page. Lists the languages of the
// configuration's SUPPORTED_LANG section under their names from the string
// file and, on a change, switches the installer's language, mirrors the page
// for right-to-left languages and redraws it from its description.
#include <windows.h>

#include <vector>

#include "setup/ui/normal_dlg.h"

namespace pages {

class CSelectLanguageDlg : public ui::CNormalDlg {
 public:
  static constexpr int kLabelId = 1001;
  static constexpr int kComboId = 1002;
  static constexpr int kButtonId = 1003;

  const std::vector<LANGID>& Languages() const { return languages_; }
  int CurrentPosition() const { return current_; }
  // Switches to the language at a position of the list (the combo's change).
  void SelectPosition(int position);

 protected:
  void CreateFixedControls() override;
  bool InitPage() override;
  bool OnCommand(WORD id, WORD code, HWND control) override;

 private:
  void FillCombo();
  void ToggleCombo();

  std::vector<LANGID> languages_;
  int current_ = 0;
  HWND label_ = nullptr, combo_ = nullptr, button_ = nullptr;
};

}  // namespace pages
