#pragma once
// CInstallDlg: the page shown while items are installed, uninstalled or
// installed on client computers (INSTALL.). When its window is made it starts
// the work through the interpreter by the install type (32 uninstall, the bit
// 4 remote, else install), logs every state report the worker sends (2037),
// and after STATE_FINISH runs the finish sequence: PnP prevention ends, local
// installs wait on a second thread (refresh, plug-and-play, diagnosis, then
// 2040), an uninstall with nothing left hands over to the clear run, and the
// Next command moves the wizard on. The page cannot be closed from its system
// menu meanwhile.
//
// The page lives in the pages library (not the engine) because it is a
// script-driven page built on ui::CNormalDlg.
//
// Fixed items (section named by FIXED_ITEM; without it the load fails):
//   BUTTON_NEXT_COMMAND  section of CMD_TYPE, CMD_STR, CMD_PARAM
//   STATIC_DESC_NAME     message key of the description text
//   STATIC_DESC_RECT, STATIC_DESC_FONT  the description label (LF_COLOR of the
//                        font section colours it in remote mode)
//   PROGRESS_RECT        optional: a progress bar moved by the state reports
//   PROGRESS_ITEM_RECT   optional: a line naming the item being worked on
#include <windows.h>

#include <string>

#include "companions/contracts/install_states.h"
#include "setup/engine/command_record.h"
#include "setup/engine/my_items.h"
#include "setup/ui/normal_dlg.h"

class CCmdOperator;

namespace pages {

// The states the installation libraries report with message 2037.
using qx::contracts::InstallState;
using enum qx::contracts::InstallState;

// The page's decisions by install type.
struct WorkStart {
  const char* command;
  bool installMode, local, remote;
};
WorkStart WorkForInstallType(DWORD installType);
// The log line of a state ("" for an unknown code).
const char* StateLogFormat(unsigned state);

class CInstallDlg : public ui::CNormalDlg {
 public:
  static constexpr UINT kStateMessage = 2037;
  static constexpr UINT kWaitDoneMessage = 2040;
  static constexpr UINT_PTR kBlinkTimer = 102;
  static constexpr UINT kBlinkMs = 500;
  static constexpr int kDescriptionId = 1060, kProgressId = 1061, kItemLineId = 1062;

  CInstallDlg();
  ~CInstallDlg() override;
  void SetItems(CMyItems* items) { items_ = items; }
  void SetInterpreter(CCmdOperator* interpreter) { interpreter_ = interpreter; }

  bool Load(const char* section) override;

  bool InstallMode() const { return installMode_; }
  bool LocalInstall() const { return local_; }
  bool Remote() const { return remote_; }
  bool BlinkOn() const { return blinkOn_; }
  bool BlinkTimerRunning() const { return timerId_ != 0; }
  bool InstallationFinished() const { return finished_; }
  const std::string& DescriptionText() const { return description_; }
  const CommandRecord& NextCommand() const { return next_; }
  int ItemsDone() const { return done_; }
  int ItemsTotal() const { return total_; }

 protected:
  void CreateFixedControls() override;
  bool OnInitDialog() override;
  bool InitPage() override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
  void OnTimer(UINT_PTR id) override;
  const char* LogTag() const override { return "[CInstallDlg]"; }

 private:
  void StartWork();
  void OnState(unsigned state, const char* item);
  void OnWaitDone();
  bool StartWaitThread();
  void SendToControl(const char* type);
  void SetFinished();
  void ShowProgress(const std::string& itemLine);
  int CountItemsToDo() const;

  CMyItems* items_ = nullptr;
  CCmdOperator* interpreter_ = nullptr;
  std::string fixed_;
  CommandRecord next_;
  std::string description_;
  LOGFONTA font_{};
  COLORREF fontColour_;
  HFONT labelFont_ = nullptr;
  HWND label_ = nullptr, progress_ = nullptr, itemLine_ = nullptr;
  bool installMode_ = true, local_ = false, remote_ = false, blinkOn_ = true, finished_ = false;
  UINT_PTR timerId_ = 0;
  HANDLE waitThread_ = nullptr;
  int done_ = 0, total_ = 0;
};

}  // namespace pages
