// CCmdOperator: page selection, the page history, cancel and termination.
#include <utility>

#include "setup/core/core_context.h"
#include "setup/core/predefined_variable.h"
#include "setup/engine/cmd_operator.h"

using engine::IWizardPage;
using engine::PageKind;

namespace {

constexpr const char* kDefaultCancelText =
    "Setup is not complete. If you quit the setup program now, the components you requested to add/remove will "
    "not be installed/uninstalled.\r\nYou may run the setup program at a later time to complete the "
    "operations.\r\nAre you sure you want to quit the setup?";

bool HasWindow(IWizardPage* page) { return page && page->Window() && IsWindow(page->Window()); }

void ShowPage(IWizardPage* page) {
  ShowWindow(page->Window(), SW_SHOW);
  UpdateWindow(page->Window());
}

}  // namespace

bool CCmdOperator::OpenDialog(CommandRecord& record) {
  std::optional<PageKind> kind = engine::SelectPageKind(record.cstrCmdStr);
  if (!kind) {
    log_.WriteLog(0, "[CCmdOperator] Dialog section is invalid [%s]!\n", record.cstrCmdStr.c_str());
    return false;
  }
  IWizardPage* page = Page(*kind);
  if (!page) {
    log_.WriteLog(0, "[CCmdOperator] No page object for the section [%s] (%s)\n", record.cstrCmdStr.c_str(),
                  engine::PagePrefix(*kind));
    return false;
  }
  page->Reset();
  if (!page->Load(record.cstrCmdStr.c_str())) {
    log_.WriteLog(0, "[CCmdOperator] Load dialog fail [%s]\n", record.cstrCmdStr.c_str());
    return false;
  }
  if (mainWindowFlag_) mainPage_ = page;

  IWizardPage* previous = current_ != page ? current_ : nullptr;
  current_ = page;
  if (controlWindow_) SetForegroundWindow(controlWindow_);

  ++historyIndex_;
  size_t index = static_cast<size_t>(historyIndex_);
  if (index < historyPages_.size()) historyPages_[index] = page;
  else historyPages_.resize(index + 1, page);
  if (index < historySections_.size()) historySections_[index] = record.cstrCmdStr;
  else historySections_.resize(index + 1, record.cstrCmdStr);

  if (HasWindow(page)) {
    page->Refresh();
    ShowPage(page);
    if (HasWindow(previous)) ShowWindow(previous->Window(), SW_HIDE);
    return true;
  }
  if (HasWindow(previous)) {
    // To the top without taking the activation back from the control window:
    // the page is hidden next, and each change of the active window costs a
    // round of messages to both windows and the system's.
    SetWindowPos(previous->Window(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ShowWindow(previous->Window(), SW_HIDE);
  }
  // Returns only when this page's dialog ends; commands from the page run
  // inside. They are the user's, not a section calling itself: the nesting
  // count of command sections starts again for them.
  int depth = std::exchange(commandDepth_, 0);
  page->RunModal(nullptr);
  commandDepth_ = depth;
  return true;
}

bool CCmdOperator::DialogBack() {
  if (historyIndex_ < 1 || static_cast<size_t>(historyIndex_) >= historyPages_.size()) {
    log_.WriteLog(0, "[CCmdOperator] There is no previous page (history index %d)\n", historyIndex_);
    return false;
  }
  historyPages_.erase(historyPages_.begin() + historyIndex_);
  --historyIndex_;
  size_t index = static_cast<size_t>(historyIndex_);
  IWizardPage* page = historyPages_[index];
  const std::string section = index < historySections_.size() ? historySections_[index] : std::string();
  if (HasWindow(page)) {
    if (_stricmp(page->LoadedSection().c_str(), section.c_str()) != 0) {
      page->Reset();
      if (!page->Load(section.c_str())) log_.WriteLog(0, "[CCmdOperator] Load dialog fail [%s]\n", section.c_str());
      page->Refresh();
    }
    // Shown without taking the activation: the control window takes it next.
    ShowWindow(page->Window(), SW_SHOWNA);
    UpdateWindow(page->Window());
    if (controlWindow_) SetForegroundWindow(controlWindow_);
    if (HasWindow(current_) && current_ != page) ShowWindow(current_->Window(), SW_HIDE);
    current_ = page;
  }
  return true;
}

bool CCmdOperator::OpenFinish(CommandRecord& record) {
  CPredefinedVariable* env = core::CurrentEnvironment();
  DWORD installType =
      env ? CUtl::GetRegDword(env->GetInstallKey().c_str(), "Install_Type", HKEY_LOCAL_MACHINE, 0) : 0;
  CommandRecord open("CT_OPEN_DLG", engine::FinishSection(record, installType));
  return Execute(open);
}

bool CCmdOperator::ViewLicense(CommandRecord& record) {
  IWizardPage* viewer = Page(PageKind::kLicense);
  if (!viewer) {
    log_.WriteLog(0, "[CCmdOperator] No licence viewer for the section [%s]\n", record.cstrCmdStr.c_str());
    return false;
  }
  viewer->Reset();
  if (!viewer->Load(record.cstrCmdStr.c_str())) {
    log_.WriteLog(0, "[CCmdOperator] Load dialog fail [%s]\n", record.cstrCmdStr.c_str());
    return true;
  }
  int depth = std::exchange(commandDepth_, 0);
  viewer->RunModal(CurrentPageWindow());
  commandDepth_ = depth;
  viewer->Reset();
  return true;
}

bool CCmdOperator::DialogCancel() {
  CPredefinedVariable* env = core::CurrentEnvironment();
  std::string key = ScriptValue(configFile_, "CANCEL_DLG", "CANCEL_MSG");
  std::string text = key.empty() ? std::string() : ScriptValue(stringFile_, "MESSAGES", key.c_str());
  if (text.empty()) text = kDefaultCancelText;
  if (installationFinished_) return AppTerminate();
  std::string caption = env ? env->GetProgramName() : std::string();
  int answer = CUtl::ShowMessageBox(CurrentPageWindow(), text.c_str(), caption.c_str(), MB_OKCANCEL | MB_ICONEXCLAMATION);
  if (answer != IDOK) return true;
  if (IsHistoryClearing() && !AnyItemInstalled()) ClearHistory();
  RemoveDevice();
  AppTerminate();
  return true;
}

bool CCmdOperator::AppTerminate() {
  CPredefinedVariable* env = core::CurrentEnvironment();
  if (env) {
    std::string remote = "Software\\" + env->GetMfg() + "\\" + env->GetProgramName() + "\\Remote";
    CUtl::DeleteRegKey(remote.c_str(), true, false, HKEY_LOCAL_MACHINE);
    DWORD installType = CUtl::GetRegDword(env->GetInstallKey().c_str(), "Install_Type", HKEY_LOCAL_MACHINE, 0);
    if (installType != 32 && !AnyItemInstalled()) ClearHistory();
  }
  PreventPnp(false);
  if (controlWindow_) PostMessageA(controlWindow_, WM_DESTROY, 0, 0);
  return true;
}
