// The exported classes live in static libraries; the program itself never
// calls the registry store, so this reference keeps its objects (and with
// them their exports) in setup.exe.
#include "setup/scriptlib/registry.h"

namespace {
using DeleteKeyFn = unsigned long (*)(const char*, bool, HKEY);
using LoadFn = unsigned long (*)(const char*);
[[gnu::used]] volatile DeleteKeyFn keepRegistry = &CRegistry::DeleteKey;
[[gnu::used]] volatile LoadFn keepRegistryFile = &CRegistry::LoadFromFile;
}  // namespace
