#pragma once
// CMainFrame: the monitor's hidden top-level window (class and title
// Model/Class). It takes job announcements (named pipe, WM_COPYDATA), owns the
// device link and the five windows, runs the timers, and carries out what the
// main frame's logic (monitor_logic.h) decides.
#include <functional>
#include <memory>

#include "framework/window.h"
#include "statmon/device_link.h"
#include "statmon/monitor_logic.h"
#include "statmon/order_toner_dlg.h"
#include "statmon/status_dialogs.h"

class CMFPSMApp;

class CMainFrame : public fw::Window, public sm::MonitorShell, public sm::DialogHost {
 public:
  enum class OpenResult { kOk, kDeviceMonitorFailed, kWindowFailed };

  explicit CMainFrame(CMFPSMApp& app);
  ~CMainFrame() override;

  // Loads the device-monitor library when configured, then creates the window.
  OpenResult Open();
  CDeviceLink& Device() override { return device_; }
  bool PipeTimerRunning() const { return pipeTimer_; }
  sm::MonitorLogic& Logic() { return logic_; }

  // Toner mode: the order toner window, created and shown at start-up.
  void ShowOrderTonerAtStart();
  // The windows, for tests and screenshots (null until created).
  CSmDialog* Window(sm::StatusWindow window);
  COrderTonerDlg* OrderToner() { return orderToner_.get(); }

  // Orderly end of the process (exit code 0).
  void OnSMExit() { logic_.OnSMExit(); }
  // Tests end nothing: they get a call instead of the end of the process.
  void SetEndProcessForTesting(std::function<void()> end) { endProcess_ = std::move(end); }
  // Tests answer the job count instead of the spooler.
  void SetJobCountForTesting(std::function<int()> count) { jobCount_ = std::move(count); }

  // MonitorShell.
  bool Exists(sm::StatusWindow window) const override;
  void Create(sm::StatusWindow window) override;
  bool IsVisible(sm::StatusWindow window) const override;
  void Show(sm::StatusWindow window, const sm::Placement* place) override;
  void Hide(sm::StatusWindow window) override;
  void Repaint(sm::StatusWindow window) override;
  void SetOfferOrderToner(bool offer) override;
  void PrepareOrderToner() override;
  void SetTimer(unsigned id, unsigned ms) override;
  void KillTimer(unsigned id) override;
  bool NeedsPort() const override;
  bool AcquirePort() override;
  void ReadStatus(unsigned char out[8]) override;
  int JobCount() override;
  uint32_t ReadOrderTonerChecked() override;
  void WriteOrderTonerChecked(uint32_t value) override;
  sm::WorkArea GetWorkArea() override;
  void EndMonitor() override;

  // DialogHost.
  void ShowOrderTonerWindow() override;
  void OnLowTonerNotAgain() override;
  void OnMemOverAnswered(int command) override;
  void OnOrderTonerClosed() override;

 protected:
  bool OnCreate(CREATESTRUCTA*) override;
  void OnTimer(UINT_PTR id) override;
  void OnDestroy() override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

 private:
  void OnCopyData(HWND sender, const COPYDATASTRUCT* data);
  void OnPipeTimer();
  void StartPipeTimer();
  void StopPipeTimer();
  void OnJobStarted();
  void OnShowOderTonerWhenSMLaunched();
  bool CreateOrderToner();
  const CSmDialog* WindowOf(sm::StatusWindow window) const;

  CMFPSMApp& app_;
  CDeviceLink device_;
  sm::MonitorLogic logic_;
  std::unique_ptr<CMFPSMDlg> small_;
  std::unique_ptr<CLowTonerDlg> lowToner_;
  std::unique_ptr<CSMBigDlg> big_;
  std::unique_ptr<CMemOverDlg> memOver_;
  std::unique_ptr<COrderTonerDlg> orderToner_;
  bool pipeTimer_ = false;
  bool ended_ = false;
  std::function<void()> endProcess_;
  std::function<int()> jobCount_;
};
