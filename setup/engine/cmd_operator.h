#pragma once
// CCmdOperator: the single interpreter of the CT_ command words. Pages hand it
// their command records; the control window hands it records it receives by
// message 2035. It selects wizard pages by section-name prefix and keeps their
// history for Back, starts programs and documents, writes registry values,
// copies and deletes files, and runs the installation, device and remote
// commands through the companion libraries.
//
// User-interface thread only; the worker threads it starts touch only their
// parameter block, the companion library and the registry. Pages are not
// owned: the wizard (or a test) installs one page per kind with SetPage.
#include <windows.h>

#include <array>
#include <string>
#include <vector>

#include "framework/handles.h"
#include "setup/core/utl.h"
#include "setup/engine/command_record.h"
#include "setup/engine/command_rules.h"
#include "setup/engine/wizard_page.h"

// The block a worker thread works from. Layout as the companion libraries'
// callers have always passed it.
struct InstallThreadParam {
  HWND hWnd;
  char szKey[260];
  int nFlag;
  HMODULE hLibrary;
  int nInstall;
  char szRegFile[260];
  char szSrcDir[260];
};

class CCmdOperator {
 public:
  // Nested CT_COMMAND sections deeper than this are not run (a section that
  // calls itself, directly or in a cycle, stops here).
  static constexpr int kMaxCommandDepth = 8;
  static constexpr SIZE_T kWorkerStack = 16 * 1024;
  static constexpr int kPrinterOpenTries = 11;

  CCmdOperator();
  virtual ~CCmdOperator();
  CCmdOperator(const CCmdOperator&) = delete;
  CCmdOperator& operator=(const CCmdOperator&) = delete;

  // Stores the control window and the main-window flag, copies the script
  // paths and library handles from the current environment, attaches the log.
  void Initialise(HWND controlWindow, bool mainWindowFlag);

  bool Execute(CommandRecord& record);
  bool RunCommandLine(const std::string& text);
  bool AnyItemInstalled();
  bool RemoveRecordedShortcuts();
  void ClearHistory();
  void BringCurrentPageToFront();
  bool EndAllPages();

  // Pages (not owned); null removes.
  void SetPage(engine::PageKind kind, engine::IWizardPage* page);
  engine::IWizardPage* Page(engine::PageKind kind) const { return pages_[static_cast<size_t>(kind)]; }
  engine::IWizardPage* CurrentPage() const { return current_; }
  int HistoryIndex() const { return historyIndex_; }
  const std::vector<engine::IWizardPage*>& HistoryPages() const { return historyPages_; }
  const std::vector<std::string>& HistorySections() const { return historySections_; }

  // Application-wide flags.
  void SetInstallationFinished(bool finished) { installationFinished_ = finished; }
  bool IsInstallationFinished() const { return installationFinished_; }
  // The history-clearing flag: set here it wins; until then it is the
  // environment's install flag (true while the install wizard runs).
  void SetHistoryClearing(bool clear) {
    historyClearing_ = clear;
    historyClearingSet_ = true;
  }
  bool IsHistoryClearing() const;
  // The page made the application's main window (main-window flag set).
  engine::IWizardPage* MainPage() const { return mainPage_; }
  HWND MainWindow() const { return mainPage_ ? mainPage_->Window() : nullptr; }
  HWND ControlWindow() const { return controlWindow_; }

  // Library handles, asked of the environment at their first use (which
  // loads the library); tests may put their own in place after Initialise.
  enum Library { kInstaller, kUninstaller, kUtility, kRemoteInstall, kDiagnosis, kLibraries };
  void SetLibrary(Library which, HMODULE module) {
    libraries_[which] = module;
    librariesKnown_[which] = true;
  }
  HMODULE GetLibrary(Library which) const;

  // The last worker thread started (null before the first).
  HANDLE LastWorker() const { return worker_.Get(); }
  // Seam for the delete-all hand-over: the process id put on the "/CLEAR"
  // line (0 means the real one).
  void SetProcessIdForClear(DWORD pid) { pidForClear_ = pid; }
  // Seam for the delete-all hand-over: the program copied and started in
  // place of this process's own file (empty means the real one).
  void SetProgramForClear(const std::string& path) { programForClear_ = path; }
  // Seam for the shell opens of documents, web addresses and folders
  // (ShellExecuteA with verb "open"); null means the real call.
  using ShellOpenHook = HINSTANCE (*)(HWND owner, const char* file);
  void SetShellOpenHook(ShellOpenHook hook) { shellOpen_ = hook; }
  // Seam for the test-page command: the pause between printer opening tries.
  void SetPrinterRetryPause(DWORD milliseconds) { printerRetryPause_ = milliseconds; }

 private:
  bool Dispatch(engine::CommandWord word, CommandRecord& record);

  // Pages (cmd_pages.cpp).
  bool OpenDialog(CommandRecord& record);
  bool DialogBack();
  bool OpenFinish(CommandRecord& record);
  bool ViewLicense(CommandRecord& record);
  bool DialogCancel();
  bool AppTerminate();
  HWND CurrentPageWindow() const;

  // Programs, documents, sections (cmd_shell.cpp, cmd_sections.cpp).
  HANDLE StartProgram(CommandRecord& record);
  bool StartAndTerminate(CommandRecord& record);
  bool OpenFile(CommandRecord& record);
  bool OpenUrl(CommandRecord& record);
  bool OpenBrowse(CommandRecord& record);
  bool ItemExe(CommandRecord& record);
  bool ShellOpen(const std::string& target);
  std::string ResolveFile(const std::string& text) const;
  std::string ExpandScript(const std::string& text) const;
  bool RunCommandSection(CommandRecord& record);
  bool AddRegistrySection(CommandRecord& record);
  bool WriteItemInfo();
  bool FileSection(CommandRecord& record, bool copy);
  std::string ScriptValue(const std::string& file, const std::string& section, const char* key) const;

  // Installation, device and remote commands (cmd_install.cpp, cmd_remote.cpp).
  bool PrintTestPage(CommandRecord& record);
  bool RunInstallWorker(bool install);
  bool DeleteAll();
  bool RefreshSystem();
  bool RemoveDevice();
  bool RemoveHardwareWizard();
  bool PreventPnp(bool start);
  bool FindLocalPrinter(CommandRecord& record);
  bool Diagnosis(CommandRecord& record);
  bool RunRemoteInstall();
  bool StartWorker(LPTHREAD_START_ROUTINE routine, void* block);
  FARPROC Function(Library which, const char* name) const;
  std::string ModelText() const;

  CUtl log_;
  HWND controlWindow_ = nullptr;
  bool mainWindowFlag_ = false;
  std::string dataFile_, configFile_, stringFile_;
  mutable std::array<HMODULE, kLibraries> libraries_{};
  mutable std::array<bool, kLibraries> librariesKnown_{};
  std::array<engine::IWizardPage*, engine::kPageKinds> pages_{};
  engine::IWizardPage* current_ = nullptr;
  engine::IWizardPage* mainPage_ = nullptr;
  std::vector<engine::IWizardPage*> historyPages_;
  std::vector<std::string> historySections_;
  int historyIndex_ = -1;
  CommandRecord ownRecord_;
  InstallThreadParam threadParam_{};
  fw::UniqueHandle worker_;
  bool installationFinished_ = false;
  bool historyClearing_ = true;
  bool historyClearingSet_ = false;
  int commandDepth_ = 0;
  DWORD pidForClear_ = 0;
  std::string programForClear_;
  ShellOpenHook shellOpen_ = nullptr;
  DWORD printerRetryPause_ = 500;
};
