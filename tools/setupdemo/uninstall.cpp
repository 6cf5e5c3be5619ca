#include "tools/setupdemo/uninstall.h"

#include <tlhelp32.h>

#include <cstdio>
#include <memory>
#include <vector>

#include "framework/frame_window.h"
#include "framework/handles.h"
#include "setup/core/core_context.h"
#include "setup/core/predefined_variable.h"
#include "setup/engine/cmd_operator.h"
#include "setup/engine/history_manager.h"

namespace demo {
namespace {

constexpr UINT kInstallState = 2037;
constexpr DWORD kClearRunLimitMs = 10 * 60 * 1000;

// Receives the uninstall library's progress reports, as the uninstall page does.
class ReportWindow : public fw::FrameWindow {
 public:
  int reports = 0;
  int removed = 0;

 protected:
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override {
    if (message != kInstallState) return false;
    static const char* names[] = {"failed", "removed", "start", "copy start", "copy failed", "copied", "finished"};
    const char* item = lParam ? reinterpret_cast<const char*>(lParam) : "";
    std::printf("  %-10s %s\n", wParam < 7 ? names[wParam] : "?", item);
    ++reports;
    if (wParam == 1) ++removed;
    *result = 0;
    return true;
  }
};

std::vector<std::string> ItemKeys(const std::string& installKey) {
  std::vector<std::string> keys;
  fw::UniqueRegKey items;
  std::string path = installKey + "\\Items";
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, items.Put()) != ERROR_SUCCESS) return keys;
  char name[512];
  for (DWORD i = 0;; ++i) {
    DWORD length = sizeof(name);
    if (RegEnumKeyExA(items.Get(), i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    keys.push_back(path + "\\" + name);
  }
  return keys;
}

// The clear run the delete-all command started: a setup.exe that runs now
// (the command interpreter that holds its copy for deletion stands between
// us; the installer we uninstall has ended).
HANDLE FindClearRun(const std::string& exeName) {
  fw::UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot || snapshot.Get() == INVALID_HANDLE_VALUE) return nullptr;
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof(entry);
  for (BOOL more = Process32First(snapshot.Get(), &entry); more; more = Process32Next(snapshot.Get(), &entry)) {
    if (_stricmp(entry.szExeFile, exeName.c_str()) == 0) {
      return OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, entry.th32ProcessID);
    }
  }
  return nullptr;
}

}  // namespace

UninstallResult Uninstall(const std::string& setup, DWORD installerPid) {
  UninstallResult result;
  // The environment and the interpreter are about 100 KB: on the heap.
  auto environment = std::make_unique<CPredefinedVariable>();
  auto history = std::make_unique<CHistoryManager>();
  core::SetCurrentEnvironment(environment.get());
  core::SetHistoryRecorder(history.get());
  result.environmentReady = environment->InitEnvironment(setup.c_str());
  if (result.environmentReady) {
    environment->SetInstallMode(false);
    ReportWindow window;
    window.CreateFrame("QxDemoUninstallReports", "uninstall reports");
    auto interpreter = std::make_unique<CCmdOperator>();
    interpreter->Initialise(window.Handle(), false);

    // The uninstall page marks every installed item; the uninstall command
    // calls the uninstall library with the page's window and the install key.
    const std::string& installKey = environment->GetInstallKey();
    for (const auto& key : ItemKeys(installKey)) {
      DWORD installed = CUtl::GetRegDword(key.c_str(), "Install_OK", HKEY_LOCAL_MACHINE, 0);
      CUtl::SetRegDword(key.c_str(), "Uninstall", installed ? 1 : 0);
    }
    using UninstallFunction = BOOL(__stdcall*)(HWND, const char*, int);
    HMODULE library = interpreter->GetLibrary(CCmdOperator::kUninstaller);
    auto myUninstall = library ? reinterpret_cast<UninstallFunction>(
                                     reinterpret_cast<void*>(GetProcAddress(library, "MyUnInstall")))
                               : nullptr;
    std::printf("\n== uninstall of the items: MyUnInstall(%s)\n", installKey.c_str());
    if (myUninstall) myUninstall(window.Handle(), installKey.c_str(), 1);
    result.reports = window.reports;
    result.itemsRemoved = window.removed;

    // The hand-over, exactly as the delete-all command makes it; the clear
    // run waits for the installer process named on its command line.
    interpreter->SetProgramForClear(setup);
    interpreter->SetProcessIdForClear(installerPid);
    CommandRecord deleteAll("CT_DELETE_ALL", "");
    result.handedOver = interpreter->Execute(deleteAll);
    std::printf("\n== uninstall hand-over (CT_DELETE_ALL): %s\n", result.handedOver ? "started" : "REFUSED");
  }
  core::SetHistoryRecorder(nullptr);
  core::SetCurrentEnvironment(nullptr);

  if (result.handedOver) {
    std::string exeName = setup.substr(setup.rfind('\\') + 1);
    fw::UniqueHandle clear;
    for (int i = 0; i < 100 && !clear; ++i) {
      clear.Reset(FindClearRun(exeName));
      if (!clear) Sleep(50);
    }
    if (clear && WaitForSingleObject(clear.Get(), kClearRunLimitMs) == WAIT_OBJECT_0) {
      GetExitCodeProcess(clear.Get(), &result.clearExitCode);
      std::printf("clear run ended with exit code %lu\n", result.clearExitCode);
    } else {
      std::printf("the clear run was not found or did not end\n");
      result.handedOver = false;
    }
  }
  return result;
}

}  // namespace demo
