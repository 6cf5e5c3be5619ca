#pragma once
// CFinishDlg: the last page of an installation (FINISH.). Finish registers
// the uninstall entry (unless the install type excludes it), runs the page's
// FINISH_COMMAND section and ends the installer; Print Test Page prints on
// the default printer. Closing the page by its frame registers and ends too.
//
// Fixed items: BUTTON_FINISH_NAME/_RECT, BUTTON_TESTPAGE_NAME/_RECT and
// ADD_UNINST_REG_KEY (the registration section, default ADD_REG.UNINSTKEY);
// page key FINISH_COMMAND.
#include <windows.h>

#include <string>

#include "setup/ui/normal_dlg.h"

namespace pages {

// Whether the test-page button shows: always for the uninstall type 32,
// otherwise not for remote types (bit 0x04) nor on NT 3.x and NT 4 (OS codes 11, 12).
bool ShowsTestPageButton(DWORD installType, int osCode);
// Whether finishing registers the uninstall entry.
inline bool RegistersUninstall(DWORD installType) { return installType != 32 && !(installType & 0x04); }

class CFinishDlg : public ui::CNormalDlg {
 public:
  static constexpr int kFinishId = 1080, kTestPageId = 1081;
  static constexpr const char* kDefaultRegistration = "ADD_REG.UNINSTKEY";

  void Finish();
  void PrintTestPage();
  const std::string& RegistrationSection() const { return registration_; }

 protected:
  void CreateFixedControls() override;
  bool InitPage() override;
  bool OnCommand(WORD id, WORD code, HWND control) override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
  const char* LogTag() const override { return "[CFinishDlg]"; }

 private:
  void RegisterUninstall();
  void Send(const char* type, const std::string& text);

  HWND finish_ = nullptr, testPage_ = nullptr;
  std::string registration_ = kDefaultRegistration;
};

}  // namespace pages
