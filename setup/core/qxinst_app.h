#pragma once
// CQXInstApp: the installer's application object. Its start-up routine
// carries out one whole run synchronously (the wizard's pages open modally
// inside it) and always reports failure to the framework, so the process ends
// as soon as it returns; the exit code is always 1, which callers rely on.
#include <windows.h>

#include <memory>
#include <string>

#include "framework/app.h"
#include "setup/core/command_line.h"
#include "setup/core/control_win.h"
#include "setup/core/predefined_variable.h"
#include "setup/core/utl.h"
#include "setup/engine/history_manager.h"

class CQXInstApp : public fw::App {
 public:
  CQXInstApp();
  ~CQXInstApp() override;

  bool InitInstance() override;
  int ExitInstance() override;

  CPredefinedVariable& Environment() { return environment_; }
  CControlWin& ControlWindow() { return controlWin_; }
  CUtl* Log() { return log_.get(); }
  HMODULE ResourceLibrary() const { return resourceLibrary_; }
  const app::CommandLineOptions& Options() const { return options_; }
  // The background colour of all dialogs, or 0x010101 when the script gives none.
  COLORREF DialogBackColor() const { return dialogBackColor_; }

 private:
  void ParseArguments();
  void ShowInvalidParameters();
  bool Prepare();
  void WriteRunValues(bool fullList);
  void RunInstall();
  void RunUninstall();
  void RunRemote();
  void RunFactory();
  void RunClear();
  void WaitForClass(const std::string& className);
  void RemoveRunMarker();
  std::string ProductKey() const;  // "Software\<MFG>\<MDL>"

  std::unique_ptr<CUtl> log_;
  CPredefinedVariable environment_;
  CHistoryManager history_;
  CControlWin controlWin_;
  app::CommandLineOptions options_;
  LANGID factoryLanguage_ = 9;
  HMODULE resourceLibrary_ = nullptr;
  COLORREF dialogBackColor_ = 0x010101;
};
