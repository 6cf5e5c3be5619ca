#include "setup/engine/history_manager.h"

#include <algorithm>
#include <map>
#include <vector>

#include "framework/handles.h"
#include "setup/core/predefined_variable.h"
#include "setup/engine/history_rules.h"

namespace {
// Every entry value of the history key, by kind: number -> text. Read in one
// pass, so a counter that claims far more entries than exist costs nothing.
using Entries = std::map<unsigned long, std::string>;

std::vector<Entries> ReadEntries(HKEY key) {
  std::vector<Entries> lists(6);
  DWORD maxName = 0, maxData = 0;
  if (RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &maxName, &maxData,
                       nullptr, nullptr) != ERROR_SUCCESS) {
    return lists;
  }
  std::vector<char> name(maxName + 2), data(maxData + 2);
  for (DWORD index = 0;; ++index) {
    DWORD nameSize = static_cast<DWORD>(name.size()), dataSize = static_cast<DWORD>(data.size() - 1), type = 0;
    LONG result = RegEnumValueA(key, index, name.data(), &nameSize, nullptr, &type,
                                reinterpret_cast<BYTE*>(data.data()), &dataSize);
    if (result == ERROR_NO_MORE_ITEMS) break;
    if (result != ERROR_SUCCESS || type != REG_SZ) continue;
    // Entries are stored without their terminating NUL.
    std::string text(data.data(), strnlen(data.data(), dataSize));
    std::string valueName(name.data(), nameSize);
    for (int kind = 0; kind < 6; ++kind) {
      if (auto number = engine::EntryNumber(kind, valueName)) lists[kind][*number] = text;
    }
  }
  return lists;
}

DWORD ReadCounter(HKEY key, const char* name) {
  DWORD value = 0, size = sizeof(value), type = 0;
  if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS ||
      type != REG_DWORD) {
    return 0;
  }
  return value;
}

void RemoveEntry(int kind, const std::string& text) {
  CUtl::Trace("[CHistoryManager] Remove %s (%s)\n", engine::kHistoryLists[kind].counter, text.c_str());
  switch (kind) {
    case core::kHistoryValue:
      if (auto value = engine::SplitValueEntry(text)) {
        CUtl::DeleteRegValue(value->key.c_str(), value->name.c_str(), value->hive);
      } else {
        CUtl::Trace("[CHistoryManager] Skipped value entry (%s)\n", text.c_str());
      }
      break;
    case core::kHistoryKey:
      if (auto key = engine::SplitKeyEntry(text)) {
        CUtl::DeleteRegKey(key->key.c_str(), true, false, key->hive);
      } else {
        CUtl::Trace("[CHistoryManager] Skipped key entry (%s)\n", text.c_str());
      }
      break;
    case core::kHistoryFile:
    case core::kHistoryShortcut:
      CUtl::DeleteFileOnReboot(text.c_str());
      break;
    case core::kHistoryDir:
      CUtl::DeleteDirectoryTree(text.c_str(), false);
      break;
    case core::kHistoryDestDir:
      CUtl::DeleteDirectoryTree(text.c_str(), true);
      break;
  }
}
}  // namespace

// The log is borrowed again at each operation: the manager may be built
// before the application has created its log file.
CHistoryManager::CHistoryManager() { log_.BorrowApplicationLog(); }

CHistoryManager::~CHistoryManager() = default;

bool CHistoryManager::AddEntry(const char* text, int kind) {
  if (!engine::IsHistoryKind(kind)) return false;
  log_.BorrowApplicationLog();
  CPredefinedVariable* env = core::CurrentEnvironment();
  if (!env || env->GetUninstallKey().empty()) {
    CUtl::Trace("[CHistoryManager] No uninstall key to record (%s)\n", text ? text : "");
    return false;
  }
  const std::string& root = env->GetUninstallKey();
  const engine::HistoryList& list = engine::kHistoryLists[kind];
  DWORD count = CUtl::GetRegDword(root.c_str(), list.counter, HKEY_LOCAL_MACHINE, 0);
  fw::UniqueRegKey key;
  LONG result = RegCreateKeyExA(HKEY_LOCAL_MACHINE, root.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                KEY_WRITE | KEY_READ, nullptr, key.Put(), nullptr);
  if (result != ERROR_SUCCESS) {
    log_.WriteLog(static_cast<DWORD>(result), "CUtl-Open or Create Key");
    return false;
  }
  std::string value = text ? text : "";
  std::string name = engine::EntryName(kind, count);
  // The stated size leaves out the terminating NUL, as earlier releases wrote it.
  result = RegSetValueExA(key.Get(), name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                          static_cast<DWORD>(value.size()));
  if (result != ERROR_SUCCESS) {
    log_.WriteLog(static_cast<DWORD>(result), "CUtl-Set value");
    return false;
  }
  DWORD next = count + 1;
  RegSetValueExA(key.Get(), list.counter, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&next), sizeof(next));
  return true;
}

namespace {
std::string& VendorKey() {
  static std::string key = CHistoryManager::kVendorKey;
  return key;
}
}  // namespace

std::string CHistoryManager::SetVendorKey(const std::string& key) {
  std::string previous = VendorKey();
  VendorKey() = key;
  return previous;
}

bool CHistoryManager::Replay(const char* historyKey) {
  log_.BorrowApplicationLog();
  log_.WriteLog(0, "[CHistoryManager] Uninstall registry Key = %s\n", historyKey ? historyKey : "");
  if (!historyKey || !*historyKey) return false;
  {
    fw::UniqueRegKey key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, historyKey, 0, KEY_READ, key.Put()) == ERROR_SUCCESS) {
      std::vector<Entries> lists = ReadEntries(key.Get());
      DWORD counters[6] = {};
      for (int kind = 0; kind < 6; ++kind) counters[kind] = ReadCounter(key.Get(), engine::kHistoryLists[kind].counter);
      key.Reset();
      for (int kind : engine::kReplayOrder) {
        const Entries& entries = lists[kind];
        // Newest first; only numbers the counter says were written.
        for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
          if (it->first >= counters[kind] || it->second.empty()) continue;
          RemoveEntry(kind, it->second);
        }
      }
    }
  }
  // Its parents go too when nothing else is left in them: the product key that
  // writing the history made is not recorded anywhere (only the deepest new key
  // of a path is), and would otherwise stay behind empty after an uninstall.
  CUtl::DeleteRegKey(historyKey, true, true, HKEY_LOCAL_MACHINE);
  std::string vendor = VendorKey();
  if (!vendor.empty()) CUtl::DeleteRegKey(vendor.c_str(), true, false, HKEY_LOCAL_MACHINE);
  return true;
}
