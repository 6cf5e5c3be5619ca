#pragma once
// Progress report of the installation and uninstallation libraries: message
// 2037 sent to the caller's window, wParam = state, lParam = item name or 0.
// A run ends with exactly one kStateFinish.
namespace qx::contracts {

inline constexpr unsigned kInstallStateMessage = 2037;

enum InstallState : unsigned {
  kStateInstallFail = 0,
  kStateInstallSuccess = 1,
  kStateInstallStart = 2,
  kStateCopyFileStart = 3,
  kStateCopyFileFail = 4,
  kStateCopyFileSuccess = 5,
  kStateFinish = 6,
};

}  // namespace qx::contracts
