#pragma once
// CControlWin: the installer's hidden top-level window. Its class name
// ("<program> Installer Program") marks a running installer for a second
// start and for the clear run; it owns the command interpreter, starts the
// wizard with the run's start command, runs command records that pages and
// workers send it (message 2035) on the main thread, and performs the
// unattended remote and factory installs through the installer library.
#include <windows.h>

#include <string>

#include "framework/frame_window.h"
#include "framework/handles.h"
#include "setup/core/utl.h"
#include "setup/engine/cmd_operator.h"
#include "setup/pages/wizard_pages.h"

class CPredefinedVariable;

class CControlWin : public fw::FrameWindow {
 public:
  static constexpr UINT kUserCommandMessage = engine::kCommandMessage;
  static constexpr UINT kCancelMessage = engine::kPageClosedMessage;
  static constexpr const char* kDefaultClassName = "Tarquen Printer Installer Program";

  // MyInstall of the installer library.
  using InstallFunction = BOOL(__stdcall*)(HWND window, const char* installKey, int flag);

  explicit CControlWin(CPredefinedVariable& environment);

  bool CreateControlWindow();
  bool StartInstall();
  bool StartUninstall();
  bool RunStartCommand(const char* section);
  bool RemoteInstall();
  bool FactoryInstall();
  bool ReMakeFullPath(const char* key);
  bool WriteItemUninstall(const char* itemKey);
  void WriteItemDisplayNames();

  CCmdOperator& Operator() { return operator_; }
  pages::WizardPages& Pages() { return pages_; }
  const std::string& ClassName() const { return className_; }

 protected:
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

 private:
  bool RegisterControlClass();
  InstallFunction FindInstallFunction();
  void WriteUninstallEntry();

  CPredefinedVariable& environment_;
  CUtl log_;
  std::string dataFile_, configFile_, stringFile_;
  std::string programName_;
  std::string className_ = kDefaultClassName;
  bool mainWindowFlag_ = false;
  bool activating_ = false;  // bringing the page forward from WM_ACTIVATE
  fw::UniqueHandle runMutex_;  // held for the whole run; the system releases it at exit
  CCmdOperator operator_;
  // One object per page kind for the whole run, handed to the interpreter
  // when the window is made; declared last so the pages go first.
  pages::WizardPages pages_;
};
