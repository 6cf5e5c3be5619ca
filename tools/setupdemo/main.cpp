// The project's main job on a sample medium: a factory install with setup.exe,
// a report of what it did, the uninstall hand-over (the clear run, as the
// delete-all command starts it), and a check that nothing the installer
// recorded is left. Exit code 0 only when all of that holds.
//
//   setupdemo.exe <medium folder> [picture folder]
//
// Then the same through the wizard, page by page, with a picture of each page
// in the picture folder when the display gives pictures.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "framework/handles.h"
#include "tools/wizarddrive/history_check.h"
#include "tools/setupdemo/report.h"
#include "tools/setupdemo/uninstall.h"
#include "tools/setupdemo/wizard_demo.h"

namespace {

using namespace demo;

constexpr DWORD kRunLimitMs = 10 * 60 * 1000;
const char* const kAddRemoveKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

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
    std::printf("usage: setupdemo <medium folder> [picture folder]\n");
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
  HANDLE factory = StartProgram(setup, "/S");
  if (!factory) return 1;
  DWORD factoryCode = WaitExit(factory);
  std::printf("exit code %lu (a finished run always ends with 1)\n", factoryCode);
  std::printf("log: %ssetup.exe.log\n", temp.c_str());

  std::printf("\n== items under HKLM\\%s\\Items\n", installKey.c_str());
  std::vector<std::string> items = Subkeys(installKey + "\\Items");
  int installed = ReportItems(installKey);
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

  std::vector<std::string> shortcuts = RecordedShortcuts(installKey);
  const std::string destination = RegString(installKey, "Dest_Dir");
  std::printf("%zu shortcuts created, destination %s\n", shortcuts.size(), destination.c_str());

  demo::UninstallResult uninstall = demo::Uninstall(setup, GetProcessId(factory));
  CloseHandle(factory);
  std::printf("%d item(s) removed by the uninstall library\n", uninstall.itemsRemoved);

  // What must be gone now: everything the history recorded, the shortcuts,
  // the destination folder with what the items put there, the history itself.
  int left = CountLeftBehind(recorded, shortcuts, destination, root);
  // The copy that ran the clear run goes away when that run has ended; only
  // where that cannot be done is it left to the next restart.
  std::string copy = temp + setup.substr(setup.rfind('\\') + 1);
  for (int i = 0; i < 100 && GetFileAttributesA(copy.c_str()) != INVALID_FILE_ATTRIBUTES; ++i) Sleep(100);
  if (GetFileAttributesA(copy.c_str()) == INVALID_FILE_ATTRIBUTES) {
    std::printf("the installer copy %s is gone\n", copy.c_str());
  } else {
    std::printf("the installer copy %s is deleted at the next restart%s\n", copy.c_str(),
                PendingDelete(copy) ? " (scheduled)" : " (NOT scheduled)");
    if (!PendingDelete(copy)) ++left;
  }
  bool historyGone = Subkeys(uninstallKey).empty() && RegDword(uninstallKey, "NumOfKeys", 12345) == 12345;
  std::printf("%zu recorded entries, %zu shortcuts and the destination checked: %d left behind; history %s\n",
              recorded.size(), shortcuts.size(), left, historyGone ? "removed" : "STILL PRESENT");

  bool factoryOk = factoryCode == 1 && installed > 0 && !recorded.empty() && uninstall.handedOver &&
                   uninstall.clearExitCode == 1 && left == 0 && historyGone;
  std::printf("factory install and uninstall: %s\n", factoryOk ? "OK" : "FAILED");

  // The same product through its wizard, as a person installs and removes it.
  std::printf("\n== the wizard, page by page\n");
  WizardProduct product{medium, root, installKey, uninstallKey};
  bool wizardOk = RunWizardDemo(product, argc > 2 ? argv[2] : "");
  std::printf("wizard install and uninstall: %s\n", wizardOk ? "OK" : "FAILED");

  bool ok = factoryOk && wizardOk;
  std::printf("\n%s\n", ok ? "demo: OK" : "demo: FAILED");
  return ok ? 0 : 1;
}
