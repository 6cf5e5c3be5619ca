#include "statmon/monitor_logic.h"

#include <cstring>

#include "framework/trace.h"
#include "statmon/messages.h"
#include "statmon/status_code_table.h"
#include "statmon/string_table.h"

namespace sm {
namespace {

constexpr char kMemoryOverflow[] = "SM_MEMORY_OVERFLOW";
constexpr int kWindowWidth = 480;

bool LowTonerLevel(int level) { return level == 5 || level == 10 || level == 20; }

}  // namespace

std::string DisplayName(const std::string& text) {
  size_t slash = text.find_last_of('\\');
  return slash == std::string::npos ? text : text.substr(slash + 1);
}

bool MonitorLogic::AnyStatusWindowVisible() const {
  return shell_.IsVisible(StatusWindow::kSmall) || shell_.IsVisible(StatusWindow::kLowToner) ||
         shell_.IsVisible(StatusWindow::kBig);
}

void MonitorLogic::ReadCurrent() {
  unsigned char bytes[8] = {};
  shell_.ReadStatus(bytes);
  current_.Initialize(bytes, sizeof(bytes));
}

void MonitorLogic::RestartTimer(unsigned id, unsigned ms) {
  shell_.KillTimer(id);
  shell_.SetTimer(id, ms);
}

void MonitorLogic::OnJobStarted() {
  if (ended_) return;
  qx::Trace("Enter OnJobStarted... m_bSMPopupedTimerSetted(%d)", popupSet_ ? 1 : 0);
  memOverDismissed_ = false;
  if (terminateSet_) {
    shell_.KillTimer(TERMINATE_TIMER_ID);
    terminateSet_ = false;
    qx::Trace("new job comes,.. so kill terminate timer.. continue polling...!!");
  }
  if (shell_.NeedsPort() && !shell_.AcquirePort()) {
    qx::Trace("PortAcquire by Device Monitor fail!!");
    OnSMExit();
    return;
  }
  shell_.PrepareOrderToner();
  ReadCurrent();
  uint32_t checked = shell_.ReadOrderTonerChecked();
  if (AnyStatusWindowVisible()) return;

  for (StatusWindow w : {StatusWindow::kSmall, StatusWindow::kLowToner, StatusWindow::kBig, StatusWindow::kMemOver}) {
    if (shell_.Exists(w)) continue;
    shell_.Create(w);
    ++windowsCreated_;
  }
  PlaceForStatus(checked);

  std::string id = current_.GetStatusStringIDFromStatus(table_);
  qx::Trace("szStringID 1 (%s)", id.c_str());
  MemoryOverflowCheck(id, true);

  shell_.SetTimer(POLLING_TIMER_ID, kPollingPeriod);
  polling_ = true;
  qx::Trace("SetTimer POLLING_TIMER_ID....");

  if (popupSet_) shell_.KillTimer(SM_POPUPED_TIMER);
  if (current_.IsError()) {
    shell_.SetTimer(SM_POPUPED_TIMER, kErrorPeriod);
    qx::Trace("SMPopup Timer Setted (Error Type) in JobStarted");
  } else {
    shell_.SetTimer(SM_POPUPED_TIMER, kNormalPeriod);
    qx::Trace("SMPopup Timer Setted (Normal)in JobStarted");
  }
  popupSet_ = true;
}

// Which windows a job start shows, and where: all relative to the work area's
// right and bottom edges.
void MonitorLogic::PlaceForStatus(uint32_t checked) {
  WorkArea area = shell_.GetWorkArea();
  int level = current_.GetTonerLevel();
  bool answered = current_.Byte(1) != 0;
  qx::Trace("###^^^ Current TonerLevel(%d)", level);
  auto place = [&](StatusWindow w, int above, int height) {
    if (shell_.IsVisible(w)) return;
    Placement p{area.right - kWindowWidth, area.bottom - above, kWindowWidth, height};
    shell_.Show(w, &p);
  };
  if (answered && level == 4) {
    shell_.Hide(StatusWindow::kLowToner);
    shell_.Hide(StatusWindow::kSmall);
    place(StatusWindow::kBig, 385, 385);
  } else if (answered && LowTonerLevel(level) && checked == 0) {
    shell_.Hide(StatusWindow::kBig);
    shell_.SetOfferOrderToner(false);
    place(StatusWindow::kSmall, 530, 260);
    place(StatusWindow::kLowToner, 270, 270);
  } else if (answered && LowTonerLevel(level)) {
    shell_.Hide(StatusWindow::kLowToner);
    shell_.Hide(StatusWindow::kBig);
    shell_.SetOfferOrderToner(true);
    place(StatusWindow::kSmall, 260, 260);
  } else {
    shell_.Hide(StatusWindow::kLowToner);
    shell_.Hide(StatusWindow::kBig);
    // A level above 20 means a new cartridge: the do-not-show-again choice ends.
    if (level > 20 && checked != 0) shell_.WriteOrderTonerChecked(0);
    shell_.SetOfferOrderToner(true);
    place(StatusWindow::kSmall, 260, 260);
  }
}

void MonitorLogic::MemoryOverflowCheck(const std::string& id, bool atJobStart) {
  if (id.empty()) return;
  bool visible = shell_.IsVisible(StatusWindow::kMemOver);
  if (!memOverDismissed_ && id == kMemoryOverflow && !visible) {
    qx::Trace(atJobStart ? "## Memory Overflow Error!!" : "##&& Memory Overflow Error!!");
    shell_.Show(StatusWindow::kMemOver, nullptr);
  } else if (visible && id != kMemoryOverflow) {
    shell_.Hide(StatusWindow::kMemOver);
  }
}

void MonitorLogic::OnTimer(unsigned id) {
  if (ended_) return;
  switch (id) {
    case POLLING_TIMER_ID:
      OnPollingTimer();
      break;
    case TERMINATE_TIMER_ID:
      terminateSet_ = false;
      polling_ = false;
      shell_.KillTimer(TERMINATE_TIMER_ID);
      OnSMExit();
      break;
    case SM_POPUPED_TIMER:
      OnPopupTimer();
      break;
    default:
      break;
  }
}

void MonitorLogic::OnPollingTimer() {
  qx::Trace("### Enter Polling Timer routine");
  unsigned char previousBytes[8];
  std::memcpy(previousBytes, current_.Raw(), sizeof(previousBytes));
  ReadCurrent();
  CStatus previous;
  previous.Initialize(previousBytes, sizeof(previousBytes));
  bool changed = std::memcmp(previousBytes, current_.Raw(), sizeof(previousBytes)) != 0;

  bool newError = current_.IsError() && !previous.IsError();
  if (newError) qx::Trace("prev status == normal but cur status == error");
  bool otherError = current_.IsError() && previous.IsError() && changed;
  if (otherError) qx::Trace("prev(error) cur(error) and dif error status");
  if (newError || otherError) {
    if (terminateSet_) {
      RestartTimer(TERMINATE_TIMER_ID, kErrorPeriod);
      qx::Trace("Terminate Timer is resetted (Error Status) while polling");
    }
    if (!AnyStatusWindowVisible()) {
      qx::Trace("sm is hided so repopup...");
      PopupCurrentCreateSM(current_);
    }
    if (popupSet_) {
      RestartTimer(SM_POPUPED_TIMER, kErrorPeriod);
      qx::Trace("SMPopupedTimer is resetted (Error Status) while polling");
    }
  }

  std::string id = current_.GetStatusStringIDFromStatus(table_);
  qx::Trace("memory overflow routine....");
  MemoryOverflowCheck(id, false);

  int jobs = shell_.JobCount();
  if (jobs < 1 && !terminateSet_) {
    if (current_.IsError()) {
      shell_.SetTimer(TERMINATE_TIMER_ID, kErrorPeriod);
      qx::Trace("Terminate Timer Setted - error status");
    } else {
      shell_.SetTimer(TERMINATE_TIMER_ID, kNormalPeriod);
      qx::Trace("Terminate Timer setted - normal status");
    }
    terminateSet_ = true;
  }
  if (!changed || windowsCreated_ == 0) return;
  if (strings_.Text(id).empty()) return;
  if (shell_.IsVisible(StatusWindow::kSmall)) {
    qx::Trace("#### Invalidate SMDlg");
    shell_.Repaint(StatusWindow::kSmall);
  } else if (shell_.IsVisible(StatusWindow::kBig)) {
    shell_.Repaint(StatusWindow::kBig);
  }
}

void MonitorLogic::OnPopupTimer() {
  qx::Trace("Enter SM_POPUPED_TIMER Routine - m_bTerminatePollingSetted(%d)", terminateSet_ ? 1 : 0);
  // The timer keeps running: it hides again at every period until restarted.
  struct {
    StatusWindow window;
    const char* trace;
  } windows[] = {
      {StatusWindow::kSmall, "m_smdlg ShowWindow (hide) <== expire popuptimer"},
      {StatusWindow::kLowToner, "m_lowtonerdlg ShowWindow (hide) <== expire popuptimer"},
      {StatusWindow::kBig, "m_smbigdlg ShowWindow (hide) <== expire popuptimer"},
  };
  for (const auto& w : windows) {
    if (!shell_.IsVisible(w.window)) continue;
    qx::Trace("%s", w.trace);
    shell_.Hide(w.window);
  }
}

void MonitorLogic::PopupCurrentCreateSM(const CStatus& status) {
  uint32_t checked = shell_.ReadOrderTonerChecked();
  int level = status.GetTonerLevel();
  if (status.Byte(1) != 0 && level == 4) {
    shell_.Show(StatusWindow::kBig, nullptr);
    return;
  }
  if (status.Byte(1) != 0 && LowTonerLevel(level) && checked == 0) shell_.Show(StatusWindow::kLowToner, nullptr);
  shell_.Show(StatusWindow::kSmall, nullptr);
}

void MonitorLogic::OnWindowClosed() {
  if (ended_) return;
  int before = windowsCreated_--;
  if (before == 1 || !AnyStatusWindowVisible()) {
    qx::Trace("no active window.. so exit process");
    OnSMExit();
  }
}

void MonitorLogic::OnOrderTonerClosed() {
  if (ended_ || polling_) return;
  qx::Trace("not polling status.. so exit process");
  OnSMExit();
}

void MonitorLogic::OnPowerBroadcast(unsigned event) {
  qx::Trace("### Enter OnPowerBroadcast");
  if (ended_) return;
  constexpr unsigned kSuspend = 4, kResume = 7;  // PBT_APMSUSPEND, PBT_APMRESUMESUSPEND
  if (event == kSuspend && polling_) {
    OnSMExit();
  } else if (event == kResume && polling_) {
    shell_.SetTimer(POLLING_TIMER_ID, kPollingPeriod);
  }
}

void MonitorLogic::OnSMExit() {
  if (ended_) return;
  ended_ = true;
  qx::Trace("Enter OnSMExit()");
  // Every timer, whatever its flag says: the terminate timer clears the
  // polling flag before it gets here.
  shell_.KillTimer(POLLING_TIMER_ID);
  shell_.KillTimer(TERMINATE_TIMER_ID);
  shell_.KillTimer(SM_POPUPED_TIMER);
  polling_ = terminateSet_ = popupSet_ = false;
  shell_.EndMonitor();
}

}  // namespace sm
