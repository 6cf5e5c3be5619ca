#pragma once
// CPrinterDriversDlg: the driver list page (SELECT_DRIVER.). Lists the
// printer drivers that the medium's printer items name (DRIVER_NAME of the
// items of ITEM_INFO) and, on Next, records the chosen one under the install
// key before it runs the Next command:
//   Selected_Driver   the driver name (REG_SZ)
//   Selected_Printer  the item's PRINTER_NAME (REG_SZ)
//   Selected_Item     the item's section name (REG_SZ)
// The installation library, the items and later pages read them there.
#include <windows.h>

#include <string>
#include <vector>

#include "setup/engine/command_record.h"
#include "setup/ui/normal_dlg.h"

namespace pages {

struct DriverEntry {
  std::string item, driver, printer;
};

class CPrinterDriversDlg : public ui::CNormalDlg {
 public:
  static constexpr int kListId = 1201;
  static constexpr int kNextId = 1202;

  const std::vector<DriverEntry>& Drivers() const { return drivers_; }
  // Records the selected driver and posts the Next command; false when
  // nothing is selected.
  bool Next();

 protected:
  void CreateFixedControls() override;
  bool InitPage() override;
  bool OnCommand(WORD id, WORD code, HWND control) override;
  const char* LogTag() const override { return "[CPrinterDriversDlg]"; }

 private:
  void FillList();
  std::vector<DriverEntry> drivers_;
  CommandRecord next_;
  HWND list_ = nullptr, nextButton_ = nullptr;
};

}  // namespace pages
