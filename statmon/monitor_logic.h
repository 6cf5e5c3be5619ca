#pragma once
// The decisions of the main frame, apart from the windows and timers that
// carry them out: which status windows a job start or a poll shows, which
// timers run with which periods, and when the monitor ends. Everything the
// logic does to the world goes through MonitorShell, which the main frame
// implements with real windows and timers and the tests with a fake clock.
#include <cstdint>
#include <string>

#include "statmon/status.h"

class CParser;
class CStrTableList;

namespace sm {

enum class StatusWindow { kSmall, kLowToner, kBig, kMemOver };

struct WorkArea {
  int left = 0, top = 0, right = 0, bottom = 0;
};
struct Placement {
  int x = 0, y = 0, cx = 0, cy = 0;
};

// Periods of the main frame's timers, in milliseconds.
inline constexpr unsigned kPollingPeriod = 3000;
inline constexpr unsigned kNormalPeriod = 10000;
inline constexpr unsigned kErrorPeriod = 30000;

class MonitorShell {
 public:
  virtual ~MonitorShell() = default;
  virtual bool Exists(StatusWindow window) const = 0;
  virtual void Create(StatusWindow window) = 0;
  virtual bool IsVisible(StatusWindow window) const = 0;
  // Shows without taking the keyboard focus; `place` null keeps the last position.
  virtual void Show(StatusWindow window, const Placement* place) = 0;
  virtual void Hide(StatusWindow window) = 0;
  virtual void Repaint(StatusWindow window) = 0;
  virtual void SetOfferOrderToner(bool offer) = 0;
  // Hides the order toner window, or creates it hidden.
  virtual void PrepareOrderToner() = 0;
  virtual void SetTimer(unsigned id, unsigned ms) = 0;
  virtual void KillTimer(unsigned id) = 0;
  // Port of the device-monitor library; false when it cannot be acquired.
  virtual bool NeedsPort() const = 0;
  virtual bool AcquirePort() = 0;
  virtual void ReadStatus(unsigned char out[8]) = 0;  // all zero when the read fails
  // Jobs queued for the job's printer: -1 without a printer name, 0 when it cannot be opened.
  virtual int JobCount() = 0;
  virtual uint32_t ReadOrderTonerChecked() = 0;
  virtual void WriteOrderTonerChecked(uint32_t value) = 0;
  virtual WorkArea GetWorkArea() = 0;
  // The rest of the orderly end: port, windows, bitmaps, frame, process.
  virtual void EndMonitor() = 0;
};

class MonitorLogic {
 public:
  MonitorLogic(MonitorShell& shell, CStatus& current, const CParser& table, const CStrTableList& strings)
      : shell_(shell), current_(current), table_(table), strings_(strings) {}

  void OnJobStarted();
  void OnTimer(unsigned id);
  void OnWindowClosed();
  void OnOrderTonerClosed();
  // PBT_APMSUSPEND, PBT_APMRESUMESUSPEND; always handled.
  void OnPowerBroadcast(unsigned event);
  void OnMemOverDismissed() { memOverDismissed_ = true; }
  // Shows the windows that fit a status, where they last were.
  void PopupCurrentCreateSM(const CStatus& status);
  void OnSMExit();

  bool Polling() const { return polling_; }
  bool TerminateSet() const { return terminateSet_; }
  bool PopupSet() const { return popupSet_; }
  bool Ended() const { return ended_; }
  int WindowsCreated() const { return windowsCreated_; }
  bool AnyStatusWindowVisible() const;
  const CStatus& Current() const { return current_; }

 private:
  void ReadCurrent();
  void MemoryOverflowCheck(const std::string& statusId, bool atJobStart);
  void PlaceForStatus(uint32_t checked);
  void OnPollingTimer();
  void OnPopupTimer();
  void RestartTimer(unsigned id, unsigned ms);

  MonitorShell& shell_;
  CStatus& current_;
  const CParser& table_;
  const CStrTableList& strings_;
  int windowsCreated_ = 0;
  bool terminateSet_ = false;
  bool polling_ = false;
  bool popupSet_ = false;
  bool memOverDismissed_ = false;
  bool ended_ = false;
};

// The job's display text as the windows show it: the part after the last "\".
std::string DisplayName(const std::string& text);

}  // namespace sm
