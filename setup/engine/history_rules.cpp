#include "setup/engine/history_rules.h"

#include <cctype>
#include <cstring>

#include "setup/core/utl_rules.h"

namespace engine {

std::string EntryName(int kind, unsigned long number) {
  if (!IsHistoryKind(kind)) return std::string();
  return kHistoryLists[kind].prefix + std::to_string(number);
}

std::optional<unsigned long> EntryNumber(int kind, const std::string& valueName) {
  if (!IsHistoryKind(kind)) return std::nullopt;
  const std::string prefix = kHistoryLists[kind].prefix;
  // Registry value names compare without case.
  if (valueName.size() <= prefix.size() || _strnicmp(valueName.c_str(), prefix.c_str(), prefix.size()) != 0) {
    return std::nullopt;
  }
  std::string digits = valueName.substr(prefix.size());
  if (digits.size() > 10) return std::nullopt;
  for (char c : digits) {
    if (!std::isdigit(static_cast<unsigned char>(c))) return std::nullopt;
  }
  unsigned long long number = std::stoull(digits);
  if (number > 0xFFFFFFFFull || std::to_string(number) != digits) return std::nullopt;
  return static_cast<unsigned long>(number);
}

std::optional<ValueEntry> SplitValueEntry(const std::string& entry) {
  size_t first = entry.find('\\');
  size_t last = entry.rfind('\\');
  if (first == std::string::npos || first == last) return std::nullopt;
  ValueEntry value{};
  if (!core::HiveFromName(entry.substr(0, first), &value.hive)) return std::nullopt;
  value.key = entry.substr(first + 1, last - first - 1);
  value.name = entry.substr(last + 1);
  return value;
}

std::optional<KeyEntry> SplitKeyEntry(const std::string& entry) {
  size_t first = entry.find('\\');
  if (first == std::string::npos) return std::nullopt;
  KeyEntry key{HKEY_LOCAL_MACHINE, entry.substr(first + 1)};
  if (!core::HiveFromName(entry.substr(0, first), &key.hive)) key.hive = HKEY_LOCAL_MACHINE;
  return key;
}

}  // namespace engine
