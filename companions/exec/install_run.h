#pragma once
// The work of MyInstall and MyUnInstall: walk the item records under the
// install key, run the ticked items (or undo those marked for removal),
// report every state to the window with message 2037 and end with exactly one
// STATE_FINISH.
#include <windows.h>

namespace qx::exec {

// Install: items with Install=1, then the copy records, then the shortcut records.
BOOL RunInstall(HWND window, const char* installKey, int flag);
// Uninstall: items with Uninstall=1.
BOOL RunUninstall(HWND window, const char* installKey, int flag);

}  // namespace qx::exec
