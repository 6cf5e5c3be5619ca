#include "tools/wizarddrive/history_check.h"

#include <windows.h>

#include "framework/handles.h"
#include "setup/engine/history_rules.h"

namespace demo {
namespace {

bool KeyExists(HKEY hive, const std::string& key) {
  fw::UniqueRegKey handle;
  return RegOpenKeyExA(hive, key.c_str(), 0, KEY_READ, handle.Put()) == ERROR_SUCCESS;
}

std::string ReadValue(const fw::UniqueRegKey& key, const std::string& name) {
  char data[4096];
  DWORD size = sizeof(data) - 1, type = 0;
  if (RegQueryValueExA(key.Get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data), &size) !=
          ERROR_SUCCESS ||
      type != REG_SZ) {
    return std::string();
  }
  data[size] = '\0';
  return data;
}

DWORD ReadCount(const fw::UniqueRegKey& key, const char* name) {
  DWORD value = 0, size = sizeof(value), type = 0;
  if (RegQueryValueExA(key.Get(), name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS ||
      type != REG_DWORD) {
    return 0;
  }
  return value;
}

}  // namespace

const char* KindName(int kind) {
  static const char* names[] = {"file", "directory", "key", "value", "shortcut", "destination"};
  return kind >= 0 && kind < 6 ? names[kind] : "?";
}

std::vector<unsigned long> HistoryCounts(const std::string& historyKey) {
  std::vector<unsigned long> counts(6, 0);
  fw::UniqueRegKey key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, historyKey.c_str(), 0, KEY_READ, key.Put()) != ERROR_SUCCESS) return counts;
  for (const auto& list : engine::kHistoryLists) counts[list.kind] = ReadCount(key, list.counter);
  return counts;
}

std::vector<RecordedEntry> ReadHistory(const std::string& historyKey) {
  std::vector<RecordedEntry> entries;
  fw::UniqueRegKey key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, historyKey.c_str(), 0, KEY_READ, key.Put()) != ERROR_SUCCESS) return entries;
  for (const auto& list : engine::kHistoryLists) {
    DWORD count = ReadCount(key, list.counter);
    for (DWORD n = 0; n < count && n < 1000000; ++n) {
      std::string text = ReadValue(key, engine::EntryName(list.kind, n));
      if (!text.empty()) entries.push_back({list.kind, text});
    }
  }
  return entries;
}

bool StillExists(const RecordedEntry& entry) {
  switch (entry.kind) {
    case 2: {
      auto parsed = engine::SplitKeyEntry(entry.text);
      return parsed && KeyExists(parsed->hive, parsed->key);
    }
    case 3: {
      auto parsed = engine::SplitValueEntry(entry.text);
      if (!parsed) return false;
      fw::UniqueRegKey key;
      if (RegOpenKeyExA(parsed->hive, parsed->key.c_str(), 0, KEY_READ, key.Put()) != ERROR_SUCCESS) return false;
      return RegQueryValueExA(key.Get(), parsed->name.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
    }
    default:
      return GetFileAttributesA(entry.text.c_str()) != INVALID_FILE_ATTRIBUTES;
  }
}

}  // namespace demo
