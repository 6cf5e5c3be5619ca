#pragma once
// The uninstaller copy that the delete-all hand-over starts in the temporary
// folder must not outlive its run. A running program cannot delete its own
// file, and a file opened for deletion on close is only deleted when no
// program runs from it any more. So the copy is opened for deletion on close
// and started through the system's command interpreter, which starts it,
// waits for it to end and holds that handle (put into it, not inherited) while
// it waits: when the
// interpreter ends, right after the copy, the last handle closes and the
// system deletes the file. Nothing is left running and no restart is needed.
// When this cannot be set up, the copy is started directly and its own run
// leaves its file to be deleted at the next start of the system, as before.
#include <windows.h>

#include <string>

class CUtl;

namespace core {

// Plain decisions.
// The event a clear run signals at its start, named after the process that
// started it (the /PID of its command line).
std::string ClearRunEventName(DWORD installerProcessId);
// Texts the command interpreter would read as its own syntax (quotes,
// variables, command separators, redirections, escapes) cannot be passed
// through it as they stand.
bool PassesThroughInterpreter(const std::string& text);
// The interpreter's command line that starts `program` with `parameters` and
// waits for it; empty when a text does not pass through unchanged.
std::string WaitingStartLine(const std::string& interpreter, const std::string& program,
                             const std::string& parameters);

// In the installer that hands over: starts `copy` with `parameters` so that
// the copy is deleted when its run ends. True when the clear run reported its
// start (or the interpreter still waits for it after the time allowed); false
// when nothing was started: the caller then starts the copy itself, copying
// it again first, since the copy may already be gone.
bool StartSelfRemovingCopy(const std::string& copy, const std::string& parameters, DWORD installerProcessId,
                           CUtl& log);

// In the clear run: reports its start to the installer that started it. True
// when that installer started it through the waiting interpreter, so that the
// run's own file goes away by itself.
bool ReportClearRunStart(DWORD installerProcessId);

// The file whose removal after this process is arranged: the deletion of
// files leaves no restart entry for it. Empty: none.
void SetRemovalArranged(const std::string& path);
bool IsRemovalArranged(const std::string& path);

}  // namespace core
