#pragma once
// Every message box of the programs goes through here, so that a test can
// answer it instead of a person: with a hook set, the hook is called in place
// of MessageBoxA and its result returned.
#include <windows.h>

namespace fw {

using MessageBoxHook = int (*)(HWND owner, const char* text, const char* caption, UINT type);

// Sets the hook (null: real message boxes again); returns the previous one.
MessageBoxHook SetMessageBoxHook(MessageBoxHook hook);
int ShowMessageBox(HWND owner, const char* text, const char* caption, UINT type);

}  // namespace fw
