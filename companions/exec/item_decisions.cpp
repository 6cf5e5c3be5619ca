#include <cstdlib>
#include <cstring>

#include "companions/exec/item_record.h"
#include "companions/world/text.h"

namespace qx::exec {

std::string BuildCommandLine(const std::string& command, const std::string& param, bool commandIsOnePath) {
  std::string cmd = world::Trim(command);
  if (cmd.empty()) return {};
  if (commandIsOnePath && cmd.find(' ') != std::string::npos && cmd.front() != '"') cmd = "\"" + cmd + "\"";
  std::string p = world::Trim(param);
  return p.empty() ? cmd : cmd + " " + p;
}

std::string UninstallInfoKeyFor(const std::string& installKey) {
  std::string key = installKey;
  while (!key.empty() && key.back() == '\\') key.pop_back();
  size_t slash = key.rfind('\\');
  if (slash == std::string::npos) return {};
  return key.substr(0, slash) + "\\UninstallInfo";
}

std::string UninstallInfoText(const ItemRecord& item) {
  std::string line = BuildCommandLine(item.uninstallCmd, item.uninstallParam);
  return line.empty() ? item.name : line;
}

void SplitRegistryPath(const std::string& text, HKEY* hive, std::string* path) {
  struct Prefix {
    const char* name;
    HKEY hive;
  };
  static const Prefix kPrefixes[] = {
      {"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE}, {"HKLM", HKEY_LOCAL_MACHINE},
      {"HKEY_CURRENT_USER", HKEY_CURRENT_USER},   {"HKCU", HKEY_CURRENT_USER},
      {"HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT},   {"HKCR", HKEY_CLASSES_ROOT},
      {"HKEY_USERS", HKEY_USERS},                 {"HKU", HKEY_USERS},
  };
  size_t slash = text.find('\\');
  std::string head = world::Upper(text.substr(0, slash));
  for (const Prefix& p : kPrefixes) {
    if (head == p.name) {
      *hive = p.hive;
      *path = slash == std::string::npos ? std::string() : text.substr(slash + 1);
      return;
    }
  }
  *hive = HKEY_LOCAL_MACHINE;
  *path = text;
}

bool RegistryDataMatches(DWORD type, const BYTE* data, DWORD size, const std::string& expected) {
  if (expected.empty()) return true;
  if ((type == REG_SZ || type == REG_EXPAND_SZ) && data) {
    const char* text = reinterpret_cast<const char*>(data);
    return std::string(text, strnlen(text, size)) == expected;
  }
  if (type == REG_DWORD && data && size == 4) {
    DWORD value = 0;
    std::memcpy(&value, data, 4);
    char* end = nullptr;
    unsigned long want = std::strtoul(expected.c_str(), &end, 0);
    return end && *end == '\0' && value == want;
  }
  return false;
}

}  // namespace qx::exec
