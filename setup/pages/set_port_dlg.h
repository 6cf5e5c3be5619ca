#pragma once
// CSetPortDlg: the port setup page (SET_PORT.). Offers the network printers of
// the printer table (found by the printer search, listed or not) in a combo
// box, shows the chosen one's address in an IP-address control, proposes the
// port name "IP_<address>", and on Next records the port (port record,
// Printer_Port, $IP$) before it posts its Next command.
#include <windows.h>

#include <string>
#include <vector>

#include "setup/engine/command_record.h"
#include "setup/ui/normal_dlg.h"

namespace pages {

class CSetPortDlg : public ui::CNormalDlg {
 public:
  static constexpr int kComboId = 1401, kPortTypeLabelId = 1402, kPortTypeId = 1403, kIpLabelId = 1404, kIpId = 1405,
                       kPortNameLabelId = 1406, kPortNameId = 1407, kNextId = 1408;
  static constexpr int kPortNameChars = 259;

  // Records the port and posts the Next command; false (with the message)
  // when the port name is empty.
  bool Next();
  const std::string& PortName() const { return portName_; }
  int Beeps() const { return beeps_; }
  // The printer-table index of each combo-box position.
  const std::vector<int>& Positions() const { return positions_; }

 protected:
  void CreateFixedControls() override;
  bool InitPage() override;
  bool OnCommand(WORD id, WORD code, HWND control) override;
  const char* LogTag() const override { return "[CSetPortDlg]"; }

 private:
  void FillCombo();
  void ApplySelection();
  void PortNameChanged();

  HWND combo_ = nullptr, portTypeLabel_ = nullptr, portType_ = nullptr, ipLabel_ = nullptr, ip_ = nullptr,
       portNameLabel_ = nullptr, portNameEdit_ = nullptr, next_button_ = nullptr;
  std::string portTypeText_ = "TCP/IP", portName_, invalidMessage_;
  std::vector<int> positions_;
  int preselected_ = 0, beeps_ = 0;
  bool updating_ = false;
  CommandRecord next_;
};

}  // namespace pages
