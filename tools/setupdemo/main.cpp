// The project's main job on a sample medium: a factory install with setup.exe,
// a report of what it did, the uninstall hand-over (the clear run, as the
// delete-all command starts it), and a check that nothing the installer
// recorded is left. Exit code 0 only when all of that holds.
//
//   setupdemo.exe <medium folder>
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "framework/handles.h"
#include "tools/wizarddrive/history_check.h"
#include "tools/setupdemo/uninstall.h"

namespace {

constexpr DWORD kRunLimitMs = 10 * 60 * 1000;
const char* const kAddRemoveKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

std::string Profile(const std::string& file, const char* section, const char* key) {
  char value[1024] = "";
  GetPrivateProfileStringA(section, key, "", value, sizeof(value), file.c_str());
  return value;
}

std::string RegString(const std::string& key, const char* name) {
  char data[4096];
  DWORD size = sizeof(data);
  if (RegGetValueA(HKEY_LOCAL_MACHINE, key.c_str(), name, RRF_RT_REG_SZ, nullptr, data, &size) != ERROR_SUCCESS) {
    return std::string();
  }
  return data;
}

DWORD RegDword(const std::string& key, const char* name, DWORD fallback = 0) {
  DWORD data = 0, size = sizeof(data);
  if (RegGetValueA(HKEY_LOCAL_MACHINE, key.c_str(), name, RRF_RT_REG_DWORD, nullptr, &data, &size) != ERROR_SUCCESS) {
    return fallback;
  }
  return data;
}

std::vector<std::string> Subkeys(const std::string& key) {
  std::vector<std::string> names;
  fw::UniqueRegKey handle;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, handle.Put()) != ERROR_SUCCESS) return names;
  char name[512];
  for (DWORD i = 0;; ++i) {
    DWORD length = sizeof(name);
    if (RegEnumKeyExA(handle.Get(), i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    names.push_back(name);
  }
  return names;
}

// Whether a file is listed for deletion at the next restart.
bool PendingDelete(const std::string& path) {
  std::vector<char> data(65536);
  DWORD size = static_cast<DWORD>(data.size() - 2);
  if (RegGetValueA(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Control\\Session Manager",
                   "PendingFileRenameOperations", RRF_RT_REG_MULTI_SZ, nullptr, data.data(), &size) != ERROR_SUCCESS) {
    return false;
  }
  for (const char* p = data.data(); *p; p += strlen(p) + 1) {
    std::string entry = p;
    if (entry.size() >= path.size() && _stricmp(entry.c_str() + entry.size() - path.size(), path.c_str()) == 0) {
      return true;
    }
  }
  return false;
}

// Starts a program and returns its process handle (null on failure).
HANDLE Start(const std::string& program, const std::string& arguments) {
  std::string line = "\"" + program + "\" " + arguments;
  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info{};
  if (!CreateProcessA(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
    std::printf("cannot start %s (error %lu)\n", program.c_str(), GetLastError());
    return nullptr;
  }
  CloseHandle(info.hThread);
  return info.hProcess;
}

DWORD WaitExit(HANDLE process) {
  if (WaitForSingleObject(process, kRunLimitMs) != WAIT_OBJECT_0) {
    TerminateProcess(process, 99);
    std::printf("the run did not end within %lu minutes and was stopped\n", kRunLimitMs / 60000);
    return 99;
  }
  DWORD code = 0;
  GetExitCodeProcess(process, &code);
  return code;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::printf("usage: setupdemo <medium folder>\n");
    return 2;
  }
  const std::string medium = argv[1];
  const std::string setup = medium + "\\setup.exe";
  const std::string dataFile = medium + "\\setup.dat";
  const std::string mfg = Profile(dataFile, "PROGRAM_INFO", "MFG");
  const std::string program = Profile(dataFile, "PROGRAM_INFO", "PROGRAM_NAME");
  if (mfg.empty() || program.empty()) {
    std::printf("no product identity in %s\n", dataFile.c_str());
    return 2;
  }
  const std::string root = "Software\\" + mfg + "\\" + program;
  const std::string installKey = root + "\\Install";
  const std::string uninstallKey = root + "\\Uninstall";
  char tempPath[MAX_PATH];
  GetTempPathA(sizeof(tempPath), tempPath);
  const std::string temp = tempPath;

  // Message boxes of the run answer themselves: nobody sits at this screen.
  SetEnvironmentVariableA("QX_MESSAGE_BOX_ANSWER", "1");
  std::vector<std::string> entriesBefore = Subkeys(kAddRemoveKey);
  std::set<std::string> addRemoveBefore(entriesBefore.begin(), entriesBefore.end());

  std::printf("== factory install: %s /S\n", setup.c_str());
  HANDLE factory = Start(setup, "/S");
  if (!factory) return 1;
  DWORD factoryCode = WaitExit(factory);
  std::printf("exit code %lu (a finished run always ends with 1)\n", factoryCode);
  std::printf("log: %ssetup.exe.log\n", temp.c_str());

  std::printf("\n== items under HKLM\\%s\\Items\n", installKey.c_str());
  int installed = 0;
  std::vector<std::string> items = Subkeys(installKey + "\\Items");
  for (const auto& item : items) {
    std::string key = installKey + "\\Items\\" + item;
    bool ticked = RegDword(key, "Install") == 1;
    bool ok = RegDword(key, "Install_OK") == 1;
    installed += ok ? 1 : 0;
    std::printf("  %-20s %-34s %s\n", item.c_str(), RegString(key, "DisplayName").c_str(),
                ok ? "installed" : ticked ? "ticked, NOT installed" : "not ticked");
  }
  std::printf("%zu item records, %d installed; %zu shortcut records, %zu copy records\n", items.size(), installed,
              Subkeys(installKey + "\\Shortcut").size(), Subkeys(installKey + "\\CopyFiles").size());
  std::printf("run values: Dest_Dir=%s Lang_Abbr=%s OS_Ver=%lu\n", RegString(installKey, "Dest_Dir").c_str(),
              RegString(installKey, "Lang_Abbr").c_str(), RegDword(installKey, "OS_Ver"));
  for (const auto& entry : Subkeys(kAddRemoveKey)) {
    if (addRemoveBefore.count(entry)) continue;
    std::string key = std::string(kAddRemoveKey) + "\\" + entry;
    std::printf("Add/Remove Programs entry: %s (\"%s\", uninstall: %s)\n", entry.c_str(),
                RegString(key, "DisplayName").c_str(), RegString(key, "UninstallString").c_str());
  }

  std::vector<unsigned long> counts = demo::HistoryCounts(uninstallKey);
  std::vector<demo::RecordedEntry> recorded = demo::ReadHistory(uninstallKey);
  std::printf("\n== install history under HKLM\\%s\n", uninstallKey.c_str());
  for (int kind = 0; kind < 6; ++kind) std::printf("  %-12s %lu\n", demo::KindName(kind), counts[kind]);

  std::vector<std::string> shortcuts;
  for (const auto& name : Subkeys(installKey + "\\Shortcut")) {
    std::string path = RegString(installKey + "\\Shortcut\\" + name, "Shortcut_Path");
    if (!path.empty()) shortcuts.push_back(path);
  }
  const std::string destination = RegString(installKey, "Dest_Dir");
  std::printf("%zu shortcuts created, destination %s\n", shortcuts.size(), destination.c_str());

  demo::UninstallResult uninstall = demo::Uninstall(setup, GetProcessId(factory));
  CloseHandle(factory);
  std::printf("%d item(s) removed by the uninstall library\n", uninstall.itemsRemoved);

  // What must be gone now: everything the history recorded, the shortcuts,
  // the destination folder with what the items put there, the history itself.
  int left = 0;
  for (const auto& entry : recorded) {
    if (!demo::StillExists(entry)) continue;
    ++left;
    std::printf("  LEFT BEHIND (%s): %s\n", demo::KindName(entry.kind), entry.text.c_str());
  }
  for (const auto& path : shortcuts) {
    if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) continue;
    ++left;
    std::printf("  LEFT BEHIND (shortcut): %s\n", path.c_str());
  }
  if (!destination.empty() && GetFileAttributesA(destination.c_str()) != INVALID_FILE_ATTRIBUTES) {
    ++left;
    std::printf("  LEFT BEHIND (destination folder): %s\n", destination.c_str());
  }
  fw::UniqueRegKey product;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, root.c_str(), 0, KEY_READ, product.Put()) == ERROR_SUCCESS) {
    ++left;
    std::printf("  LEFT BEHIND (product key): HKEY_LOCAL_MACHINE\\%s\n", root.c_str());
  }
  // The copy that ran the clear run cannot delete itself while it runs: the
  // history replay leaves it to the next restart, as the system allows.
  std::string copy = temp + setup.substr(setup.rfind('\\') + 1);
  if (GetFileAttributesA(copy.c_str()) != INVALID_FILE_ATTRIBUTES) {
    std::printf("the installer copy %s is deleted at the next restart%s\n", copy.c_str(),
                PendingDelete(copy) ? " (scheduled)" : " (NOT scheduled)");
    if (!PendingDelete(copy)) ++left;
  }
  bool historyGone = Subkeys(uninstallKey).empty() && RegDword(uninstallKey, "NumOfKeys", 12345) == 12345;
  std::printf("%zu recorded entries, %zu shortcuts and the destination checked: %d left behind; history %s\n",
              recorded.size(), shortcuts.size(), left, historyGone ? "removed" : "STILL PRESENT");

  bool ok = factoryCode == 1 && installed > 0 && !recorded.empty() && uninstall.handedOver &&
            uninstall.clearExitCode == 1 && left == 0 && historyGone;
  std::printf("\n%s\n", ok ? "demo: OK" : "demo: FAILED");
  return ok ? 0 : 1;
}
