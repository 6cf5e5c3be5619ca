#pragma once
// CEnterClientPCDlg: the remote client page (ENTER_CLIENT_PC.). The user
// enters a network administrator's account, has it verified, and builds the
// list of client computers, each verified through the remote-installation
// library. Next writes "<install root>\Remote_Info" (User_Name, Password,
// Domain, NumOfPCs, PC_<n>) for the remote installation command.
//
// While the page is active the install root is "Software\<MFG>\<program>\Remote",
// a copy of the installation settings; Back (and any CT_OPEN_DLG handed in by
// the page's objects) switches it back before the command runs.
#include <windows.h>

#include <string>
#include <vector>

#include "setup/engine/command_record.h"
#include "setup/ui/normal_dlg.h"

namespace pages {

// The name a computer is checked and stored under: an IP address as typed,
// "\\name" without the backslashes.
std::string ClientComputerName(const std::string& typed);
// Whether the list already holds the name, ignoring case.
bool HasComputer(const std::vector<std::string>& list, const std::string& name);

class CEnterClientPCDlg : public ui::CNormalDlg {
 public:
  static constexpr int kAdminHeadingId = 1601, kUserLabelId = 1602, kUserId = 1603, kPasswordLabelId = 1604,
                       kPasswordId = 1605, kOkId = 1606, kClientLabelId = 1607, kClientId = 1608, kListId = 1609,
                       kBrowseId = 1610, kAddId = 1611, kDeleteId = 1612, kNextId = 1613;
  static constexpr size_t kComputerChars = 255;

  bool CheckAccount();
  bool AddComputer();
  void DeleteSelected();
  bool Next();
  bool Browse();
  std::vector<std::string> Computers() const;
  const std::string& NormalRoot() const { return normalRoot_; }
  const std::string& RemoteRoot() const { return remoteRoot_; }

 protected:
  void CreateFixedControls() override;
  bool InitPage() override;
  bool OnCommand(WORD id, WORD code, HWND control) override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
  const char* LogTag() const override { return "[CEnterClientPCDlg]"; }

 private:
  void EnableClientControls(bool enable);
  void UpdateNext();
  void ShowInvalid(const std::string& name);

  HWND adminHeading_ = nullptr, userLabel_ = nullptr, user_ = nullptr, passwordLabel_ = nullptr, password_ = nullptr,
       ok_ = nullptr, clientLabel_ = nullptr, client_ = nullptr, list_ = nullptr, browse_ = nullptr, add_ = nullptr,
       delete_ = nullptr, next_button_ = nullptr;
  std::string normalRoot_, remoteRoot_, domain_, invalidMessage_;
  CommandRecord next_;
};

}  // namespace pages
