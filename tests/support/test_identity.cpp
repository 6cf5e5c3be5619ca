#include "tests/support/test_identity.h"

#include <windows.h>

#include <atomic>
#include <cstdio>

namespace qx::test {
namespace {
std::atomic<unsigned> g_counter{0};
}

TestIdentity::TestIdentity() {
  char name[64];
  std::snprintf(name, sizeof(name), "QxTest%lx_%u_%lu", GetCurrentProcessId(), g_counter++, GetTickCount());
  mfg_ = name;
  // Unique as well: the program name makes the installer's window class, which
  // must not meet another test's running installer.
  std::snprintf(name, sizeof(name), "Prog%lx_%u", GetCurrentProcessId(), g_counter.load());
  program_ = name;
}

TestIdentity::~TestIdentity() {
  std::string key = "Software\\" + mfg_;
  RegDeleteTreeA(HKEY_LOCAL_MACHINE, key.c_str());
  RegDeleteKeyA(HKEY_LOCAL_MACHINE, key.c_str());
  RegDeleteTreeA(HKEY_CURRENT_USER, key.c_str());
  RegDeleteKeyA(HKEY_CURRENT_USER, key.c_str());
}

bool KeyExists(void* hive, const std::string& key) {
  HKEY handle = nullptr;
  if (RegOpenKeyExA(static_cast<HKEY>(hive), key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) return false;
  RegCloseKey(handle);
  return true;
}

}  // namespace qx::test
