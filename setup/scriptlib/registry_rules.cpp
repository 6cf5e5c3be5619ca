#include "setup/scriptlib/registry_rules.h"

#include <cstdio>
#include <cstring>

namespace scriptlib {
namespace {

struct Hive {
  HKEY root;
  const char* name;
};

const Hive kHives[] = {
    {HKEY_CLASSES_ROOT, "HKEY_CLASSES_ROOT"},         {HKEY_CURRENT_USER, "HKEY_CURRENT_USER"},
    {HKEY_LOCAL_MACHINE, "HKEY_LOCAL_MACHINE"},       {HKEY_PERFORMANCE_DATA, "HKEY_PERFORMANCE_DATA"},
    {HKEY_CURRENT_CONFIG, "HKEY_CURRENT_CONFIG"},     {HKEY_DYN_DATA, "HKEY_DYN_DATA"},
};

std::string Trim(const std::string& text, const char* characters) {
  size_t start = text.find_first_not_of(characters);
  if (start == std::string::npos) return std::string();
  size_t end = text.find_last_not_of(characters);
  return text.substr(start, end - start + 1);
}

}  // namespace

const char* HiveName(HKEY root) {
  for (const Hive& hive : kHives) {
    if (hive.root == root) return hive.name;
  }
  return "";
}

void ParseRegistrySection(const std::string& section, HKEY* root, std::string* path) {
  size_t slash = section.find('\\');
  if (slash != std::string::npos) {
    std::string prefix = section.substr(0, slash);
    for (const Hive& hive : kHives) {
      if (_stricmp(prefix.c_str(), hive.name) == 0) {
        *root = hive.root;
        *path = section.substr(slash + 1);
        return;
      }
    }
  }
  *root = HKEY_LOCAL_MACHINE;
  *path = section;
}

unsigned long HexFromEnd(const std::string& text) {
  unsigned long value = 0;
  int shift = 0;
  for (size_t i = text.size(); i > 0 && shift < 32; --i, shift += 4) {
    char c = text[i - 1];
    unsigned long digit = 0;
    if (c >= '0' && c <= '9') digit = static_cast<unsigned long>(c - '0');
    else if (c >= 'a' && c <= 'f') digit = static_cast<unsigned long>(c - 'a' + 10);
    else if (c >= 'A' && c <= 'F') digit = static_cast<unsigned long>(c - 'A' + 10);
    value |= digit << shift;
  }
  return value;
}

ValueLine ParseValueLine(const std::string& line) {
  ValueLine result;
  size_t equals = line.find('=');
  if (equals == std::string::npos) return result;
  result.name = Trim(line.substr(0, equals), " \t\"");
  std::string data = Trim(line.substr(equals + 1), " \t");
  if (data.size() >= 2 && data.front() == '"' && data.back() == '"') {
    result.kind = ValueLineKind::kString;
    result.text = data.substr(1, data.size() - 2);
    return result;
  }
  size_t colon = data.find(':');
  if (colon == std::string::npos) return result;
  std::string type = data.substr(0, colon);
  if (_stricmp(type.c_str(), "dword") == 0) {
    result.kind = ValueLineKind::kDword;
    result.dword = HexFromEnd(Trim(data.substr(colon + 1), " \t\""));
  } else if (_stricmp(type.c_str(), "hex") == 0) {
    result.kind = ValueLineKind::kBinary;
  }
  return result;
}

std::string QuotedName(const std::string& name) { return "\"" + name + "\""; }

std::string DwordData(unsigned long value) {
  char text[16];
  std::snprintf(text, sizeof(text), "dword:%08lx", value);
  return text;
}

}  // namespace scriptlib
