// CCmdOperator: programs, documents, web addresses and folders through the shell.
#include <windows.h>
#include <shellapi.h>

#include "setup/core/core_context.h"
#include "setup/core/environment_rules.h"
#include "setup/core/predefined_variable.h"
#include "setup/engine/cmd_operator.h"

namespace {

bool Exists(const std::string& path) { return !path.empty() && GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// ShellExecuteA reports errors as a number of 32 or less.
bool ShellFailed(HINSTANCE result) { return reinterpret_cast<INT_PTR>(result) <= 32; }

}  // namespace

std::string CCmdOperator::ExpandScript(const std::string& text) const {
  CPredefinedVariable* env = core::CurrentEnvironment();
  std::string expanded = env ? env->ExpandVariables(text) : text;
  return stringFile_.empty() ? expanded : CUtl::ConvertMessage(expanded, stringFile_.c_str());
}

std::string CCmdOperator::ScriptValue(const std::string& file, const std::string& section, const char* key) const {
  return CUtl::GetScriptString(section.c_str(), key, file.c_str(), stringFile_.c_str(), stringFile_.c_str());
}

std::string CCmdOperator::ResolveFile(const std::string& text) const {
  CPredefinedVariable* env = core::CurrentEnvironment();
  std::string expanded = env ? env->ExpandVariables(text) : text;
  if (expanded.empty()) return std::string();
  std::string path = core::ResolveAgainstSource(env ? env->GetSrcDir() : std::string(), expanded);
  return Exists(path) ? path : std::string();
}

HANDLE CCmdOperator::StartProgram(CommandRecord& record) {
  log_.WriteLog(0, "[CCmdOperator] Run Exe file cmd = %s , param = %s\n", record.cstrCmdStr.c_str(),
                record.cstrParam.c_str());
  std::string file = ResolveFile(record.cstrCmdStr);
  if (file.empty()) {
    log_.WriteLog(0, "[CCmdOperator] The program does not exist [%s]\n", record.cstrCmdStr.c_str());
    return nullptr;
  }
  CPredefinedVariable* env = core::CurrentEnvironment();
  std::string parameters = env ? env->ExpandVariables(record.cstrParam) : record.cstrParam;
  log_.WriteLog(0, "[CCmdOperator] Run Exe file no wait [%s] [%s] \n", file.c_str(), parameters.c_str());
  SHELLEXECUTEINFOA info{};
  info.cbSize = sizeof(info);
  info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
  info.hwnd = CurrentPageWindow();
  info.lpVerb = "open";
  info.lpFile = file.c_str();
  info.lpParameters = parameters.c_str();
  info.nShow = SW_SHOWNORMAL;
  if (!ShellExecuteExA(&info)) {
    CUtl::ShowSystemError(GetLastError(), file.c_str());
    return nullptr;
  }
  // A document opened through an already running program gives no process.
  return info.hProcess ? info.hProcess : INVALID_HANDLE_VALUE;
}

namespace {
// The started program runs on its own; the interpreter never waits for it.
bool Started(HANDLE process) {
  if (!process) return false;
  if (process != INVALID_HANDLE_VALUE) CloseHandle(process);
  return true;
}
}  // namespace

bool CCmdOperator::StartAndTerminate(CommandRecord& record) {
  if (Started(StartProgram(record)) && controlWindow_) PostMessageA(controlWindow_, WM_DESTROY, 0, 0);
  return true;
}

// A failure is shown with the system's text, captioned with the target.
bool CCmdOperator::ShellOpen(const std::string& target) {
  HWND owner = CurrentPageWindow();
  HINSTANCE result = shellOpen_ ? shellOpen_(owner, target.c_str())
                                : ShellExecuteA(owner, "open", target.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
  if (!ShellFailed(result)) return true;
  CUtl::ShowSystemError(static_cast<DWORD>(reinterpret_cast<INT_PTR>(result)), target.c_str());
  return false;
}

bool CCmdOperator::OpenFile(CommandRecord& record) {
  std::string file = ResolveFile(record.cstrCmdStr);
  if (file.empty()) {
    log_.WriteLog(0, "[CCmdOperator] The file does not exist [%s]\n", record.cstrCmdStr.c_str());
    return false;
  }
  ShellOpen(file);
  return true;
}

// Unchanged, also when empty: the shell's answer is reported either way.
bool CCmdOperator::OpenUrl(CommandRecord& record) {
  ShellOpen(record.cstrCmdStr);
  return true;
}

bool CCmdOperator::OpenBrowse(CommandRecord& record) {
  std::string folder = ResolveFile(record.cstrCmdStr);
  if (folder.empty()) {
    CPredefinedVariable* env = core::CurrentEnvironment();
    folder = env ? env->GetSrcDir().substr(0, 3) : std::string();
  }
  ShellOpen(folder);
  return true;
}

bool CCmdOperator::ItemExe(CommandRecord& record) {
  std::optional<engine::ItemProgram> split = engine::SplitItemProgram(record.cstrCmdStr);
  if (!split) {
    log_.WriteLog(0, "[CCmdOperator] Item command without a colon [%s]\n", record.cstrCmdStr.c_str());
    return false;
  }
  if (split->item.empty()) {
    record.cstrCmdStr = split->program;
    Started(StartProgram(record));
    return true;
  }
  CPredefinedVariable* env = core::CurrentEnvironment();
  std::string key = (env ? env->GetInstallKey() : std::string()) + "\\Items\\" + split->item;
  if (env && CUtl::IsItemInstalled(key.c_str(), true, false, true)) {
    record.cstrCmdStr = split->program;
    Started(StartProgram(record));
  } else {
    log_.WriteLog(0, "[CCmdOperator] %s Item was not installed so [%s] command was ignored\n", split->item.c_str(),
                  record.cstrCmdStr.c_str());
  }
  return true;
}
