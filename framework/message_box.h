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

// For tests that start a whole program: when the environment variable
// QX_MESSAGE_BOX_ANSWER holds a button id (1 OK, 2 Cancel, 6 Yes, 7 No...),
// every message box is answered with it at once (its text still reaches the
// trace). Programs call this once at start.
inline constexpr const char* kMessageBoxAnswerVariable = "QX_MESSAGE_BOX_ANSWER";
void AnswerMessageBoxesFromEnvironment();

}  // namespace fw
