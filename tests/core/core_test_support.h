#pragma once
// Helpers of the installer-core tests: a history recorder that keeps what it
// is given, and scoped settings of the seams.
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "setup/core/core_context.h"

namespace coretest {

class RecordingHistory : public core::IHistoryRecorder {
 public:
  RecordingHistory() : previous_(core::SetHistoryRecorder(this)) {}
  ~RecordingHistory() override { core::SetHistoryRecorder(previous_); }
  bool AddEntry(const char* text, int kind) override {
    entries.emplace_back(text, kind);
    return true;
  }
  std::vector<std::pair<std::string, int>> entries;

 private:
  core::IHistoryRecorder* previous_;
};

// The version the utilities see while the object lives.
class ScopedVersion {
 public:
  ScopedVersion(DWORD platform, DWORD major, DWORD minor, const char* servicePack = "") {
    Current() = {platform, major, minor, servicePack};
    previous_ = core::SetVersionHook(&Answer);
  }
  ~ScopedVersion() { core::SetVersionHook(previous_); }
  static core::OsVersionRecord& Current() {
    static core::OsVersionRecord record;
    return record;
  }

 private:
  static bool Answer(core::OsVersionRecord* record) {
    *record = Current();
    return true;
  }
  core::VersionHook previous_;
};

class ScopedSystemLanguage {
 public:
  explicit ScopedSystemLanguage(LANGID id) {
    Current() = id;
    previous_ = core::SetSystemLanguageHook(&Answer);
  }
  ~ScopedSystemLanguage() { core::SetSystemLanguageHook(previous_); }
  static LANGID& Current() {
    static LANGID id = 0;
    return id;
  }

 private:
  static LANGID Answer() { return Current(); }
  core::LanguageHook previous_;
};

inline std::string ReadAll(const std::string& path) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::string();
  std::string text;
  char buffer[4096];
  DWORD read = 0;
  while (ReadFile(file, buffer, sizeof(buffer), &read, nullptr) && read > 0) text.append(buffer, read);
  CloseHandle(file);
  return text;
}

}  // namespace coretest
