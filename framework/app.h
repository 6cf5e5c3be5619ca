#pragma once
// The application object: start-up and exit routines around a message loop,
// in the manner of the framework classes the programs were designed on.
#include <windows.h>

namespace fw {

class App {
 public:
  App();
  virtual ~App();
  App(const App&) = delete;
  App& operator=(const App&) = delete;

  // Start-up: return false to end at once (Run then skips the loop).
  virtual bool InitInstance() { return true; }
  // Exit routine; its result is the process exit code.
  virtual int ExitInstance() { return exitCode_; }

  // InitInstance, the message loop while it returned true, then ExitInstance.
  int Run();
  // The loop alone, until WM_QUIT; modeless dialogs registered below get
  // their keyboard messages.
  int MessageLoop();

  static App* Current();
  HINSTANCE Instance() const { return instance_; }
  const char* CommandLine() const { return GetCommandLineA(); }

  // The window that stands for the application; null until the program
  // names one.
  HWND MainWindow() const { return mainWindow_; }
  void SetMainWindow(HWND window) { mainWindow_ = window; }

  static void AddModeless(HWND dialog);
  static void RemoveModeless(HWND dialog);

 protected:
  HINSTANCE instance_;
  int exitCode_ = 0;
  HWND mainWindow_ = nullptr;
};

}  // namespace fw
