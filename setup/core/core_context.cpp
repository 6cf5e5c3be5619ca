#include "setup/core/core_context.h"

#include <atomic>
#include <cstring>
#include <memory>
#include <mutex>

#include "framework/trace.h"
#include "setup/core/predefined_variable.h"
#include "setup/scriptlib/api_function.h"

namespace core {
namespace {
std::atomic<IHistoryRecorder*> g_recorder{nullptr};
std::atomic<CPredefinedVariable*> g_environment{nullptr};
std::atomic<CAPIFunction*> g_functionsOverride{nullptr};
std::atomic<VersionHook> g_versionHook{nullptr};
std::atomic<AdministratorHook> g_adminHook{nullptr};
std::atomic<LanguageHook> g_languageHook{nullptr};
std::atomic<HMODULE> g_resourceLibrary{nullptr};

CAPIFunction& FallbackFunctions() {
  // Bound once, kept for the life of the process.
  static CAPIFunction* functions = [] {
    auto* f = new CAPIFunction();
    f->Initialize();
    return f;
  }();
  return *functions;
}
}  // namespace

IHistoryRecorder* SetHistoryRecorder(IHistoryRecorder* recorder) { return g_recorder.exchange(recorder); }
IHistoryRecorder* HistoryRecorder() { return g_recorder.load(); }

bool RecordHistory(const std::string& text, int kind) {
  IHistoryRecorder* recorder = g_recorder.load();
  if (!recorder) {
    qx::Trace("[CUtl] No install history to record (%d) %s", kind, text.c_str());
    return false;
  }
  return recorder->AddEntry(text.c_str(), kind);
}

CPredefinedVariable* SetCurrentEnvironment(CPredefinedVariable* environment) {
  return g_environment.exchange(environment);
}
CPredefinedVariable* CurrentEnvironment() { return g_environment.load(); }

CAPIFunction& SystemFunctions() {
  if (CAPIFunction* f = g_functionsOverride.load()) return *f;
  // An environment that was never initialised (a run that only names the
  // product) has nothing bound; the process-wide holder serves then.
  if (CPredefinedVariable* env = g_environment.load()) {
    if (env->GetAPIFunction().IsInitialized()) return env->GetAPIFunction();
  }
  return FallbackFunctions();
}

CAPIFunction* SetSystemFunctionsOverride(CAPIFunction* functions) { return g_functionsOverride.exchange(functions); }

HMODULE SetResourceLibrary(HMODULE library) { return g_resourceLibrary.exchange(library); }
HMODULE ResourceLibrary() { return g_resourceLibrary.load(); }

VersionHook SetVersionHook(VersionHook hook) { return g_versionHook.exchange(hook); }
AdministratorHook SetAdministratorHook(AdministratorHook hook) { return g_adminHook.exchange(hook); }
LanguageHook SetSystemLanguageHook(LanguageHook hook) { return g_languageHook.exchange(hook); }
AdministratorHook CurrentAdministratorHook() { return g_adminHook.load(); }

bool QueryOsVersion(OsVersionRecord* record) {
  if (VersionHook hook = g_versionHook.load()) return hook(record);
  // The extended record first; systems that refuse it get the plain one.
  OSVERSIONINFOEXA ex{};
  ex.dwOSVersionInfoSize = sizeof(ex);
  static_assert(sizeof(OSVERSIONINFOEXA) == 156 && sizeof(OSVERSIONINFOA) == 148);
  OSVERSIONINFOA* info = reinterpret_cast<OSVERSIONINFOA*>(&ex);
  if (!GetVersionExA(info)) {
    std::memset(&ex, 0, sizeof(ex));
    info->dwOSVersionInfoSize = sizeof(OSVERSIONINFOA);
    if (!GetVersionExA(info)) return false;
  }
  record->platformId = info->dwPlatformId;
  record->major = info->dwMajorVersion;
  record->minor = info->dwMinorVersion;
  record->servicePack = info->szCSDVersion;
  return true;
}

LANGID SystemDefaultLanguage() {
  if (LanguageHook hook = g_languageHook.load()) return hook();
  return GetSystemDefaultLangID();
}

}  // namespace core
