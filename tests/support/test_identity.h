#pragma once
#include <string>

namespace qx::test {

// A product identity of its own for one test: a unique manufacturer and program
// name, so the registry roots Software\<Mfg>\<Program>\... of this test touch
// nothing else. Everything under Software\<Mfg> in HKLM and HKCU is removed
// when the object goes.
class TestIdentity {
 public:
  TestIdentity();
  ~TestIdentity();
  TestIdentity(const TestIdentity&) = delete;
  TestIdentity& operator=(const TestIdentity&) = delete;

  const std::string& Mfg() const { return mfg_; }
  const std::string& Program() const { return program_; }
  // "Software\<Mfg>\<Program>"
  std::string Root() const { return "Software\\" + mfg_ + "\\" + program_; }
  std::string InstallKey() const { return Root() + "\\Install"; }
  std::string UninstallKey() const { return Root() + "\\Uninstall"; }
  std::string UninstallInfoKey() const { return Root() + "\\UninstallInfo"; }

 private:
  std::string mfg_;
  std::string program_;
};

// True when the key exists in the hive.
bool KeyExists(void* hive, const std::string& key);

}  // namespace qx::test
