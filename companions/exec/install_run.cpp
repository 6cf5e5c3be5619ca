#include "companions/exec/install_run.h"

#include <objbase.h>

#include <string>
#include <vector>

#include "companions/contracts/install_states.h"
#include "companions/exec/item_record.h"
#include "companions/exec/links_copies.h"
#include "companions/exec/process_wait.h"
#include "companions/exec/spooler.h"
#include "companions/world/companion_log.h"
#include "companions/world/text.h"
#include "framework/handles.h"

namespace qx::exec {
namespace {

using namespace qx::contracts;
constexpr const char* kTag = "qxexec";

const char* StateName(InstallState s) {
  static const char* const kNames[] = {"STATE_INSTALL_FAIL",     "STATE_INSTALL_SUCCESS", "STATE_INSTALL_START",
                                       "STATE_COPY_FILE_START",  "STATE_COPY_FILE_FAIL",  "STATE_COPY_FILE_SUCCESS",
                                       "STATE_FINISH"};
  return s <= kStateFinish ? kNames[s] : "?";
}

// Sends the state reports; its destructor sends the one STATE_FINISH on every
// path, including an exception on its way to the export's catch.
class Reporter {
 public:
  explicit Reporter(HWND window) : window_(window && IsWindow(window) ? window : nullptr) {
    if (window && !window_) world::Log(kTag, "The window to report to is not a window; states are only logged");
  }
  ~Reporter() {
    Send(kStateFinish, nullptr);
  }
  Reporter(const Reporter&) = delete;
  Reporter& operator=(const Reporter&) = delete;

  void Send(InstallState state, const std::string* name) {
    if (finished_) return;
    if (state == kStateFinish) finished_ = true;
    world::Log(kTag, "%s [%s]", StateName(state), name ? name->c_str() : "");
    if (window_) SendMessageA(window_, kInstallStateMessage, state, name ? reinterpret_cast<LPARAM>(name->c_str()) : 0);
  }

 private:
  HWND window_;
  bool finished_ = false;
};

// COM for the shell links, for as long as the run lasts.
class ComScope {
 public:
  ComScope() : ok_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
  ~ComScope() {
    if (ok_) CoUninitialize();
  }
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;

 private:
  bool ok_;
};


void SetItemDword(const std::string& installKey, const std::string& item, const char* value, DWORD data) {
  std::string path = installKey + "\\Items\\" + item;
  fw::UniqueRegKey key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_SET_VALUE, key.Put()) == ERROR_SUCCESS)
    RegSetValueExA(key.Get(), value, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof(data));
}

DWORD ItemDword(const std::string& installKey, const std::string& item, const char* value) {
  DWORD data = 0, size = sizeof(data), type = 0;
  fw::UniqueRegKey key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, (installKey + "\\Items\\" + item).c_str(), 0, KEY_QUERY_VALUE, key.Put()) !=
          ERROR_SUCCESS ||
      RegQueryValueExA(key.Get(), value, nullptr, &type, reinterpret_cast<BYTE*>(&data), &size) != ERROR_SUCCESS ||
      type != REG_DWORD) {
    return 0;
  }
  return data;
}

bool HasUninstallInfo(const std::string& installKey, const ItemRecord& item) {
  std::string path = UninstallInfoKeyFor(installKey);
  fw::UniqueRegKey key;
  return !item.uninstallValueName.empty() && !path.empty() &&
         RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_QUERY_VALUE, key.Put()) == ERROR_SUCCESS &&
         RegQueryValueExA(key.Get(), item.uninstallValueName.c_str(), nullptr, nullptr, nullptr, nullptr) ==
             ERROR_SUCCESS;
}

// The UninstallInfo value is what marks an item with an uninstall value name installed.
void SetUninstallInfo(const std::string& installKey, const ItemRecord& item, bool installed) {
  if (item.uninstallValueName.empty()) return;
  std::string path = UninstallInfoKeyFor(installKey);
  if (path.empty()) return;
  fw::UniqueRegKey key;
  if (installed) {
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.Put(), nullptr) !=
        ERROR_SUCCESS)
      return;
    std::string text = UninstallInfoText(item);
    RegSetValueExA(key.Get(), item.uninstallValueName.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>(text.size() + 1));
  } else if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_SET_VALUE | KEY_QUERY_VALUE, key.Put()) ==
             ERROR_SUCCESS) {
    RegDeleteValueA(key.Get(), item.uninstallValueName.c_str());
    // This library made the key for its values: with the last one gone, the key
    // goes too, so an uninstall leaves no empty key of the product behind.
    DWORD subkeys = 1, values = 1;
    RegQueryInfoKeyA(key.Get(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values, nullptr, nullptr,
                     nullptr, nullptr);
    key.Reset();
    if (subkeys == 0 && values == 0) RegDeleteKeyA(HKEY_LOCAL_MACHINE, path.c_str());
  }
}

// Runs a command line and compares its exit code; no command is success.
bool RunCommand(const ItemRecord& item, const std::string& command, const std::string& param, DWORD success) {
  std::string line = BuildCommandLine(command, param);
  if (line.empty()) return true;
  std::string shown = world::MaskCommandLine(line);
  DWORD exitCode = 0;
  RunResult r = RunAndWait(command, param, &exitCode);
  if (r == RunResult::kNotStarted) {
    world::Log(kTag, "Item [%s]: cannot run %s", item.name.c_str(), shown.c_str());
    return false;
  }
  if (r == RunResult::kTimedOut) {
    world::Log(kTag, "Item [%s]: %s did not end in time", item.name.c_str(), shown.c_str());
    return false;
  }
  world::Log(kTag, "Item [%s]: %s exited with %lu (success is %lu)", item.name.c_str(), shown.c_str(), exitCode,
             success);
  return exitCode == success;
}

bool Waits(const ItemRecord& item) {
  DWORD limit = item.waitTimeoutMs ? item.waitTimeoutMs : kDefaultWaitLimitMs;
  if (!item.waitFile.empty()) {
    bool ok = WaitForFile(item.waitFile, limit);
    world::Log(kTag, "Item [%s]: wait file %s %s", item.name.c_str(), item.waitFile.c_str(), ok ? "found" : "not found");
    if (!ok) return false;
  }
  if (!item.waitRegKey.empty()) {
    bool ok = WaitForRegistry(item.waitRegKey, item.waitRegValue, item.waitRegData, limit);
    world::Log(kTag, "Item [%s]: wait registry %s [%s] = [%s] %s", item.name.c_str(), item.waitRegKey.c_str(),
               item.waitRegValue.c_str(), item.waitRegData.c_str(), ok ? "found" : "not found");
    if (!ok) return false;
  }
  return true;
}

bool InstallItem(const ItemRecord& item, const std::string& installKey) {
  // An item that runs no command waits for nothing. Only a printer item has
  // work without one (the registration); for any other, a command that reads
  // as empty (blanks only, an unreadable value) is a damaged record and fails.
  bool hasCommand = !world::Trim(item.command).empty() && !BuildCommandLine(item.command, item.param).empty();
  if (!hasCommand && !item.printer) {
    world::Log(kTag, "Item [%s]: the command is empty; the item is not installed", item.name.c_str());
    return false;
  }
  // The item is marked installed before its command runs: an install cut
  // short (the installer killed, the machine switched off) then leaves it
  // offered for removal, and its uninstall command takes away whatever part
  // got done. A failure takes the marks back unless they were there before.
  const bool wasMarked = ItemDword(installKey, item.name, "Install_OK") == 1 || HasUninstallInfo(installKey, item);
  SetItemDword(installKey, item.name, "Install_OK", 1);
  SetUninstallInfo(installKey, item, true);
  bool ok = !hasCommand || (RunCommand(item, item.command, item.param, item.successReturn) && Waits(item));
  ok = ok && (!item.printer || RegisterPrinter(item, installKey));
  if (!ok && !wasMarked) {
    SetItemDword(installKey, item.name, "Install_OK", 0);
    SetUninstallInfo(installKey, item, false);
  }
  return ok;
}

bool UninstallItem(const ItemRecord& item, const std::string& installKey) {
  if (!RunCommand(item, item.uninstallCmd, item.uninstallParam, item.uninstallSuccessReturn)) return false;
  if (item.printer && !UnregisterPrinter(item)) return false;
  SetItemDword(installKey, item.name, "Install_OK", 0);
  SetItemDword(installKey, item.name, "Uninstall", 0);
  SetUninstallInfo(installKey, item, false);
  return true;
}

BOOL Run(HWND window, const char* keyArgument, int flag, bool install) {
  const char* what = install ? "MyInstall" : "MyUnInstall";
  Reporter reporter(window);
  std::string key = world::Bounded(keyArgument, MAX_PATH);
  while (!key.empty() && key.back() == '\\') key.pop_back();
  if (key.empty() || key.size() >= MAX_PATH) {
    world::Log(kTag, "%s: no usable install key given", what);
    return FALSE;
  }
  world::Log(kTag, "%s (%s, flag %d)", what, key.c_str(), flag);
  std::vector<std::string> names;
  if (!SubkeyNames(key + "\\Items", &names)) {
    world::Log(kTag, "%s: no item records under %s\\Items", what, key.c_str());
    return FALSE;
  }
  ComScope com;
  bool all = true;
  int done = 0;
  // The copies first: they place the installed copy of the installer and of
  // the item programs the items' uninstall commands run, so that an install
  // interrupted among the items can still be uninstalled.
  if (install) {
    all = RunCopyRecords(key, [&](const std::string& section, CopyEvent e) {
            InstallState s = e == CopyEvent::kStart ? kStateCopyFileStart
                             : e == CopyEvent::kSuccess ? kStateCopyFileSuccess : kStateCopyFileFail;
            reporter.Send(s, &section);
          });
  }
  for (const std::string& name : names) {
    ItemRecord item;
    if (!ReadItemRecord(key, name, &item)) continue;
    if (!(install ? item.install : item.uninstall)) continue;
    reporter.Send(kStateInstallStart, &name);
    bool ok = install ? InstallItem(item, key) : UninstallItem(item, key);
    reporter.Send(ok ? kStateInstallSuccess : kStateInstallFail, &name);
    all = all && ok;
    ++done;
  }
  if (install && !CreateRecordedShortcuts(key)) all = false;
  world::Log(kTag, "%s: %d item(s) handled, %s", what, done, all ? "all succeeded" : "some failed");
  return all ? TRUE : FALSE;
}

}  // namespace

BOOL RunInstall(HWND window, const char* installKey, int flag) { return Run(window, installKey, flag, true); }
BOOL RunUninstall(HWND window, const char* installKey, int flag) { return Run(window, installKey, flag, false); }

}  // namespace qx::exec
