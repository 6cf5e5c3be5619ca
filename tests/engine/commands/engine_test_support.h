#pragma once
// Helpers of the command-interpreter tests: an installation medium in a folder
// of its own with a real environment made current, a history manager as the
// utilities' recorder, the log file of the run, a message-box answerer, and
// wizard pages that really run modal dialogs.
#include <windows.h>

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "framework/dialog.h"
#include "framework/frame_window.h"
#include "setup/core/predefined_variable.h"
#include "setup/engine/cmd_operator.h"
#include "setup/engine/history_manager.h"
#include "tests/core/core_test_support.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_identity.h"

namespace enginetest {

// Folder of the test program (the companion DLLs and the helper are copied there).
std::string ExeDir();
// The helper program: appends its command line to the file named by
// QX_ENGINE_HELPER_OUT and exits with code 1.
std::string HelperPath();

// Answers every message box with a fixed button and counts them.
class MessageBoxAnswer {
 public:
  explicit MessageBoxAnswer(int answer);
  ~MessageBoxAnswer();
  static int& Answer();
  static std::vector<std::string>& Texts();
};

// A medium: <temp>\medium\setup.dat (PROGRAM_INFO plus `data`), config.ini
// (`config`) and strEN.ini (`strings`), with the environment initialised on it
// for Windows 2000 (OS string "W2K") and made current, and a history manager
// recording into the product's uninstall key.
class Medium {
 public:
  Medium(const std::string& data, const std::string& config, const std::string& strings = "");
  ~Medium();
  Medium(const Medium&) = delete;
  Medium& operator=(const Medium&) = delete;

  bool ok() const { return ok_; }
  CPredefinedVariable& Env() { return env_; }
  const qx::test::TestIdentity& Id() const { return id_; }
  const qx::test::TempDir& Dir() const { return dir_; }
  std::string SrcDir() const { return dir_.Path() + "\\medium"; }
  std::string InstallKey() const { return id_.InstallKey(); }
  std::string Log();  // everything logged so far
  int CountInLog(const std::string& text);
  void SetInstallType(DWORD type);
  // Environment variable of the helper's output while the medium lives.
  std::string HelperOutput() const;

 private:
  qx::test::TempDir dir_;
  qx::test::TestIdentity id_;
  CUtl log_;
  coretest::ScopedVersion version_{VER_PLATFORM_WIN32_NT, 5, 0};
  coretest::ScopedSystemLanguage language_{0x0409};
  CPredefinedVariable env_;
  CHistoryManager history_;
  CPredefinedVariable* previousEnv_ = nullptr;
  core::IHistoryRecorder* previousRecorder_ = nullptr;
  bool ok_ = false;
  std::string previousVendor_;
};

// A wizard page that is a real modal dialog. Each time its dialog starts, the
// next action of its queue runs inside the modal loop (posted, so the loop is
// already running). It records the 2037 reports it receives and ends itself
// on the finishing one when asked to.
class TestPage : public engine::IWizardPage, public fw::Dialog {
 public:
  explicit TestPage(std::string name) : name_(std::move(name)) {}
  void Reset() override {
    loaded_.clear();
    ++resets;
  }
  bool Load(const char* section) override {
    if (failLoad) return false;
    loaded_ = section ? section : "";
    loads.push_back(loaded_);
    return true;
  }
  std::string LoadedSection() const override { return loaded_; }
  void Refresh() override { ++refreshes; }
  HWND Window() const override { return hwnd_; }
  INT_PTR RunModal(HWND owner) override;
  void End(INT_PTR code) override { fw::Dialog::End(code); }

  std::deque<std::function<void()>> onStart;
  std::vector<std::string> loads;
  std::vector<unsigned> reports;
  int resets = 0, refreshes = 0, runs = 0;
  bool failLoad = false;
  bool endOnFinish = false;
  const std::string& Name() const { return name_; }

 protected:
  bool OnInitDialog() override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

 private:
  std::string name_;
  std::string loaded_;
};

// A hidden frame window standing in for the control window.
class ControlWindow : public fw::FrameWindow {
 public:
  ControlWindow();
  // True when WM_DESTROY was posted to it (and takes the message away).
  bool TakeDestroy();
};

// Pumps this thread's messages until the condition holds (true) or the
// deadline in milliseconds passes (false).
bool PumpUntil(const std::function<bool()>& condition, DWORD deadlineMs);

std::string ReadFile(const std::string& path);
void SetString(HKEY hive, const std::string& key, const char* name, const std::string& value);
void SetDword(HKEY hive, const std::string& key, const char* name, DWORD value);
std::string GetString(HKEY hive, const std::string& key, const char* name);
DWORD GetDword(HKEY hive, const std::string& key, const char* name, DWORD fallback);
bool ValueExists(HKEY hive, const std::string& key, const char* name);

}  // namespace enginetest
