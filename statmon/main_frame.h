#pragma once
// CMainFrame: the monitor's hidden top-level window (class and title
// Model/Class). It takes job announcements (named pipe, WM_COPYDATA), holds the
// device link, and ends the program. What a job start does beyond announcing
// itself (status windows, polling) is not part of this build yet: the posted
// WM_SM_JOB_STARTED is traced.
#include <functional>

#include "framework/window.h"
#include "statmon/device_link.h"

class CMFPSMApp;

class CMainFrame : public fw::Window {
 public:
  enum class OpenResult { kOk, kDeviceMonitorFailed, kWindowFailed };

  explicit CMainFrame(CMFPSMApp& app);
  ~CMainFrame() override;

  // Loads the device-monitor library when configured, then creates the window.
  OpenResult Open();
  CDeviceLink& Device() { return device_; }
  bool PipeTimerRunning() const { return pipeTimer_; }

  // Orderly end of the process (exit code 0).
  void OnSMExit();
  // Tests end nothing: they get a call instead of the end of the process.
  void SetEndProcessForTesting(std::function<void()> end) { endProcess_ = std::move(end); }

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

  CMFPSMApp& app_;
  CDeviceLink device_;
  bool pipeTimer_ = false;
  bool exiting_ = false;
  std::function<void()> endProcess_;
};
