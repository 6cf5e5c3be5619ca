#pragma once
// What the utilities reach beyond their arguments, and the seams that let a
// test answer the Windows-version and rights questions that Wine answers only
// one way.
//
// - The install history: the utilities record what they create through the
//   recorder the application sets (the engine's history manager). None set:
//   nothing is recorded (traced once per call).
// - The environment: the running installer's one CPredefinedVariable, set by
//   the application after it is built; used for the product's registry keys,
//   the main script file and the right-to-left flag.
// - The system functions bound at run time: the environment's holder, or a
//   process-wide one when no environment is set.
#include <windows.h>

#include <string>

class CAPIFunction;
class CPredefinedVariable;

namespace core {

// History record kinds.
enum HistoryKind : int { kHistoryFile = 0, kHistoryDir = 1, kHistoryKey = 2, kHistoryValue = 3,
                         kHistoryShortcut = 4, kHistoryDestDir = 5 };

class IHistoryRecorder {
 public:
  virtual ~IHistoryRecorder() = default;
  virtual bool AddEntry(const char* text, int kind) = 0;
};

// Returns the previous recorder. Not owned.
IHistoryRecorder* SetHistoryRecorder(IHistoryRecorder* recorder);
IHistoryRecorder* HistoryRecorder();
// Records through the current recorder; false when there is none.
bool RecordHistory(const std::string& text, int kind);

// Returns the previous environment. Not owned.
CPredefinedVariable* SetCurrentEnvironment(CPredefinedVariable* environment);
CPredefinedVariable* CurrentEnvironment();

// The environment's system functions, else a process-wide holder bound on
// first use. A test may put its own holder in place (null: back to normal).
CAPIFunction& SystemFunctions();
CAPIFunction* SetSystemFunctionsOverride(CAPIFunction* functions);

// The resource library the application loaded (RESOURCE_DLL), searched for
// bitmaps before the program's own resources. Not owned: the application
// loads and frees it; null when there is none. Returns the previous one.
HMODULE SetResourceLibrary(HMODULE library);
HMODULE ResourceLibrary();

// The platform's version record as the utilities read it.
struct OsVersionRecord {
  DWORD platformId = 0;
  DWORD major = 0;
  DWORD minor = 0;
  std::string servicePack;
};

// Seams: null means the real system call. Each setter returns the previous hook.
using VersionHook = bool (*)(OsVersionRecord* record);
using AdministratorHook = bool (*)();
using LanguageHook = LANGID (*)();
VersionHook SetVersionHook(VersionHook hook);
AdministratorHook SetAdministratorHook(AdministratorHook hook);
LanguageHook SetSystemLanguageHook(LanguageHook hook);

// The real calls behind the seams.
bool QueryOsVersion(OsVersionRecord* record);  // through the hook when set
LANGID SystemDefaultLanguage();                // through the hook when set
AdministratorHook CurrentAdministratorHook();

}  // namespace core
