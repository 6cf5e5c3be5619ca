#pragma once
// The uninstall of a factory-installed product, done with the installer's own
// parts: the environment read from the medium, the uninstall library's
// MyUnInstall for the ticked items (as the uninstall page has it done), and
// the delete-all command that hands over to a copy of setup.exe in /CLEAR mode.
#include <windows.h>

#include <string>

namespace demo {

struct UninstallResult {
  bool environmentReady = false;
  int reports = 0;            // 2037 reports received
  int itemsRemoved = 0;       // STATE_INSTALL_SUCCESS reports
  bool handedOver = false;    // CT_DELETE_ALL started the clear run
  DWORD clearExitCode = 0;    // of the clear run, when it was found and ended
};

// `setup` is the medium's setup.exe; `installerPid` the process the clear run
// waits for (the finished factory run, whose handle the caller still holds).
UninstallResult Uninstall(const std::string& setup, DWORD installerPid);

}  // namespace demo
