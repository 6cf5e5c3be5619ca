// qxexec.dll: the installation and uninstallation library. The exports only
// guard the boundary; the work is in install_run.cpp.
#include <windows.h>

#include "companions/exec/install_run.h"
#include "companions/exec/spooler.h"
#include "companions/world/companion_log.h"
#include "companions/world/text.h"

extern "C" {

__declspec(dllexport) BOOL __stdcall MyInstall(HWND window, const char* installKey, int flag) {
  try {
    return qx::exec::RunInstall(window, installKey, flag);
  } catch (...) {
    qx::world::Log("qxexec", "MyInstall: stopped by an unexpected error");
    return FALSE;
  }
}

__declspec(dllexport) BOOL __stdcall MyUnInstall(HWND window, const char* installKey, int flag) {
  try {
    return qx::exec::RunUninstall(window, installKey, flag);
  } catch (...) {
    qx::world::Log("qxexec", "MyUnInstall: stopped by an unexpected error");
    return FALSE;
  }
}

// Applies the printer records the printer settings page wrote (names,
// sharing, the default printer) to the spooler. Same arguments as MyInstall.
__declspec(dllexport) BOOL __stdcall MyApplyPrinterSettings(HWND, const char* installKey, int) {
  try {
    if (!installKey || !*installKey) return FALSE;
    std::string key = qx::world::Bounded(installKey, MAX_PATH);
    while (!key.empty() && key.back() == '\\') key.pop_back();
    qx::world::Log("qxexec", "MyApplyPrinterSettings (%s)", key.c_str());
    return qx::exec::ApplyPrinterSettings(key) ? TRUE : FALSE;
  } catch (...) {
    qx::world::Log("qxexec", "MyApplyPrinterSettings: stopped by an unexpected error");
    return FALSE;
  }
}

}  // extern "C"
