#pragma once
// CSetPrinterDlg: the printer settings page (SET_PRINTERS.), shown after the
// installation. Lists the printers the installed items created (from the item
// records), lets the user rename and share each and choose the default, and
// on Apply writes the choices back into the item records (Printer_Name,
// Share_Name, Share) and the install root (Default_Printer), from where the
// installation library applies them. Its Next button, when the page has one,
// applies as well before it posts its command.
#include <windows.h>

#include <string>
#include <vector>

#include "companions/contracts/printer_entry.h"
#include "setup/engine/command_record.h"
#include "setup/ui/normal_dlg.h"

namespace pages {

class CSetPrinterDlg : public ui::CNormalDlg {
 public:
  static constexpr int kHeadingId = 1501, kListId = 1502, kSetupLabelId = 1503, kNameLabelId = 1504, kNameId = 1505,
                       kShareLabelId = 1506, kShareNameId = 1507, kShareId = 1508, kDefaultId = 1509, kApplyId = 1510,
                       kNextId = 1511;

  CSetPrinterDlg();
  // Rebuilds the table from the item records and the list from the table.
  void LoadPrinters();
  // A click on the list at a point of its client area; false when no row is there.
  bool ClickAt(POINT point);
  void Apply();
  // Next: applies, then posts the Next command (BUTTON_NEXT_COMMAND).
  void Next();

  int Count() const { return count_; }
  const PRINTER_ENTRY& Entry(int index) const { return table_[static_cast<size_t>(index)]; }
  int Selected() const { return selected_; }

 protected:
  void CreateFixedControls() override;
  bool InitPage() override;
  bool OnCommand(WORD id, WORD code, HWND control) override;
  bool OnNotify(NMHDR* header, LRESULT* result) override;
  const char* LogTag() const override { return "[CSetPrinterDlg]"; }

 private:
  void ApplyToSpooler(const std::string& root);
  void WriteRow(int index, bool insert);
  void CleanField(HWND edit, const char* forbidden, const std::string& message);
  void EnableShareName(bool enable);
  PRINTER_ENTRY& At(int index) { return table_[static_cast<size_t>(index)]; }

  HWND heading_ = nullptr, list_ = nullptr, setupLabel_ = nullptr, nameLabel_ = nullptr, name_ = nullptr,
       shareLabel_ = nullptr, shareName_ = nullptr, share_ = nullptr, default_ = nullptr, apply_ = nullptr,
       next_button_ = nullptr;
  CommandRecord next_;
  std::vector<PRINTER_ENTRY> table_;
  int count_ = 0, selected_ = -1;
  bool loaded_ = false, cleaning_ = false;
  std::string defaultLabel_, shareLabelText_, nameError_, shareError_;
};

}  // namespace pages
