#include <cstdio>

#include "companions/util/reg_file.h"
#include "companions/world/text.h"

namespace qx::util {
namespace {

struct HiveNameEntry {
  HKEY hive;
  const char* name;
};
const HiveNameEntry kHives[] = {
    {HKEY_CLASSES_ROOT, "HKEY_CLASSES_ROOT"},   {HKEY_CURRENT_USER, "HKEY_CURRENT_USER"},
    {HKEY_LOCAL_MACHINE, "HKEY_LOCAL_MACHINE"}, {HKEY_PERFORMANCE_DATA, "HKEY_PERFORMANCE_DATA"},
    {HKEY_CURRENT_CONFIG, "HKEY_CURRENT_CONFIG"}, {HKEY_DYN_DATA, "HKEY_DYN_DATA"},
};

std::string TrimChars(const std::string& text, const char* chars) {
  size_t first = text.find_first_not_of(chars);
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(chars) - first + 1);
}

}  // namespace

const char* HiveName(HKEY hive) {
  for (const HiveNameEntry& e : kHives) {
    if (e.hive == hive) return e.name;
  }
  return nullptr;
}

std::string StringLine(const std::string& name, const std::string& data) {
  return "\"" + name + "\"=\"" + data + "\"";
}

std::string DwordLine(const std::string& name, DWORD value) {
  char hex[16];
  std::snprintf(hex, sizeof(hex), "%08lx", static_cast<unsigned long>(value));
  return "\"" + name + "\"=dword:" + hex;
}

std::string BinaryLine(const std::string& name) { return "\"" + name + "\"=hex:"; }

DWORD ParseHexDword(const std::string& text) {
  DWORD value = 0;
  int digits = 0;
  for (size_t i = text.size(); i > 0 && digits < 8; --i, ++digits) {
    char c = text[i - 1];
    DWORD d = 0;
    if (c >= '0' && c <= '9') d = c - '0';
    else if (c >= 'a' && c <= 'f') d = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F') d = c - 'A' + 10;
    value |= d << (4 * digits);
  }
  return value;
}

void SplitSectionName(const std::string& section, HKEY* hive, std::string* path) {
  size_t slash = section.find('\\');
  if (slash != std::string::npos) {
    std::string head = world::Upper(section.substr(0, slash));
    for (const HiveNameEntry& e : kHives) {
      if (head == e.name) {
        *hive = e.hive;
        *path = section.substr(slash + 1);
        return;
      }
    }
  }
  *hive = HKEY_LOCAL_MACHINE;
  *path = section;
}

bool ParseValueLine(const std::string& line, ValueLine* out) {
  size_t eq = line.find('=');
  if (eq == std::string::npos) return false;
  out->name = TrimChars(line.substr(0, eq), " \t\"");
  std::string data = TrimChars(line.substr(eq + 1), " \t");
  out->kind = LineKind::kUnknown;
  if (data.size() >= 2 && data.front() == '"' && data.back() == '"') {
    out->kind = LineKind::kString;
    out->text = data.substr(1, data.size() - 2);
    return true;
  }
  size_t colon = data.find(':');
  std::string type = world::Upper(data.substr(0, colon));
  if (colon != std::string::npos && type == "DWORD") {
    out->kind = LineKind::kDword;
    out->dword = ParseHexDword(TrimChars(data.substr(colon + 1), " \t\""));
  } else if (colon != std::string::npos && type == "HEX") {
    out->kind = LineKind::kBinary;
  }
  return true;
}

}  // namespace qx::util
