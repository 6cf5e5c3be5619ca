#pragma once
// CUninstItemsDlg: the uninstall items page (UNINST.ITEMS). Lists every item
// the records show installed, lets the user tick those to remove (one by one
// or all at once), writes each record's "Uninstall" value and hands the Next
// command to the control window, which runs the uninstallation. Its registry
// walk is also the item page's test whether anything is installed.
#include <windows.h>

#include <string>
#include <vector>

#include "setup/engine/command_record.h"
#include "setup/ui/my_list_ctrl.h"
#include "setup/ui/normal_dlg.h"

namespace pages {

class CUninstItemsDlg : public ui::CNormalDlg {
 public:
  static constexpr int kListId = 1047, kCheckAllId = 1052, kNextId = 1004;

  // True when at least one item record counts as installed.
  static bool AnyItemInstalled();
  // The item keys of the records that count as installed (the list's rows).
  static std::vector<std::string> InstalledItemKeys(CUtl& log, bool stopAtFirst);

  // Next: writes the Uninstall values; warns when nothing is ticked, else
  // posts the Next command. True when the command was posted.
  bool Next();
  void CheckAll(bool checked);

  ui::CMyListCtrl& List() { return list_; }
  const CommandRecord& NextCommand() const { return next_; }

 protected:
  void CreateFixedControls() override;
  bool InitPage() override;
  bool OnCommand(WORD id, WORD code, HWND control) override;
  bool OnNotify(NMHDR* header, LRESULT* result) override;
  const char* LogTag() const override { return "[CUninstItemsDlg]"; }

 private:
  bool ApplyFixedItems();
  void FillList();

  ui::CMyListCtrl list_;
  HWND checkAll_ = nullptr, nextButton_ = nullptr;
  fw::UniqueGdiObject boldFont_;  // Next in bold
  std::vector<std::string> keys_;  // row data: the item keys
  std::string fixed_;
  bool listFilled_ = false;
  CommandRecord next_;
};

}  // namespace pages
