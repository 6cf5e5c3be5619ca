// qxexec.dll: the installation and uninstallation library. The exports only
// guard the boundary; the work is in install_run.cpp.
#include <windows.h>

#include "companions/exec/install_run.h"
#include "companions/world/companion_log.h"

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

}  // extern "C"
