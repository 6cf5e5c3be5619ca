#include "setup/core/utl_rules.h"

#include <cstdlib>
#include <cstring>
#include <vector>

#include "setup/scriptlib/line_rules.h"

namespace core {

DWORD StringToNumber(const char* text) {
  if (!text) return 0;
  std::string upper = scriptlib::UpperCase(text);
  if (upper.find("0X") == std::string::npos) {
    return static_cast<DWORD>(std::strtoll(upper.c_str(), nullptr, 10));
  }
  ReplaceAll(&upper, "0X", "");
  DWORD result = 0;
  int shift = 0;
  for (size_t i = upper.size(); i > 0 && shift < 16; --i, shift += 4) {
    char c = upper[i - 1];
    DWORD nibble = 0;
    if (c >= 'A' && c <= 'F') {
      nibble = static_cast<DWORD>(c - 'A' + 10);
    } else {
      char single[2] = {c, '\0'};
      nibble = static_cast<DWORD>(std::atoi(single));
    }
    result |= nibble << shift;
  }
  return result & 0xFFFF;
}

ColourParse ParseColour(const std::string& text, COLORREF* colour) {
  *colour = kNoColour;
  if (text.empty()) return ColourParse::kEmpty;
  std::vector<std::string> parts;
  size_t start = 0;
  // The C tokenizer's rules: runs of commas separate, empty fields vanish.
  while (start <= text.size() && parts.size() < 3) {
    size_t comma = text.find(',', start);
    std::string part = text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
    if (!part.empty()) parts.push_back(part);
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  if (parts.empty()) return ColourParse::kEmpty;
  if (parts.size() == 1) return ColourParse::kMissingGreen;
  if (parts.size() == 2) return ColourParse::kMissingBlue;
  auto channel = [](const std::string& s) { return static_cast<DWORD>(std::atoi(s.c_str())) & 0xFF; };
  *colour = channel(parts[0]) | channel(parts[1]) << 8 | channel(parts[2]) << 16;
  return ColourParse::kOk;
}

void ReplaceAll(std::string* text, const std::string& what, const std::string& with) {
  if (what.empty()) return;
  size_t at = text->find(what);
  if (at == std::string::npos) return;
  // Built in one pass: replacing in place moves the rest of the text at every
  // occurrence, which made a value of many tokens cost its length squared.
  std::string result;
  result.reserve(text->size());
  size_t from = 0;
  for (; at != std::string::npos; at = text->find(what, from)) {
    result.append(*text, from, at - from);
    result += with;
    from = at + what.size();
  }
  result.append(*text, from, std::string::npos);
  text->swap(result);
}

void ExpandLineBreaks(std::string* text) { ReplaceAll(text, "\\r\\n", "\r\n"); }

bool ReplaceAllBounded(std::string* text, const std::string& what, const std::string& with, size_t limit) {
  if (what.empty() || what == with) return true;
  // The occurrences are found once: the bound and the new text both need them.
  std::vector<size_t> found;
  for (size_t at = text->find(what); at != std::string::npos; at = text->find(what, at + what.size())) {
    found.push_back(at);
  }
  if (found.empty()) return true;
  if (with.size() > what.size() && text->size() + found.size() * (with.size() - what.size()) > limit) return false;
  std::string result;
  result.reserve(text->size() + found.size() * with.size());
  size_t from = 0;
  for (size_t at : found) {
    result.append(*text, from, at - from);
    result += with;
    from = at + what.size();
  }
  result.append(*text, from, std::string::npos);
  text->swap(result);
  return true;
}

std::string SubstituteTokens(const std::string& text, char delimiter,
                             const std::function<std::string(const std::string&)>& lookup, int maxTokens,
                             bool* bounded, size_t limit) {
  std::string result = text;
  size_t scan = 0;
  int count = 0;
  for (; count < maxTokens; ++count) {
    size_t open = result.find(delimiter, scan);
    if (open == std::string::npos) break;
    size_t close = result.find(delimiter, open + 1);
    if (close == std::string::npos) break;
    std::string token = result.substr(open, close - open + 1);
    if (!ReplaceAllBounded(&result, token, lookup(token), limit)) {
      if (bounded) *bounded = true;
      return result;
    }
    scan = close + 1;
    if (scan >= result.size()) break;
  }
  if (count == maxTokens && bounded) *bounded = true;
  return result;
}

std::string ExpandMessageReferences(const std::string& text, const TokenLookup& lookup, bool* bounded,
                                    size_t limit) {
  std::string result = SubstituteTokens(text, '@', lookup, 1000, bounded, limit);
  ExpandLineBreaks(&result);
  return result;
}

std::string ExpandPercentTokens(const std::string& text, const TokenLookup& lookup, bool* bounded, size_t limit) {
  std::string result = SubstituteTokens(text, '%', lookup, 1000, bounded, limit);
  ExpandLineBreaks(&result);
  return result;
}

std::string ExpandVariableTable(const std::string& text, const std::vector<VariableToken>& table, bool* bounded) {
  std::string result = text;
  for (const VariableToken& entry : table) {
    if (!ReplaceAllBounded(&result, entry.token, *entry.value) && bounded) *bounded = true;
  }
  return result;
}

HKEY RootFromShortName(const std::string& name) {
  std::string upper = scriptlib::UpperCase(name.c_str());
  if (upper == "HKCU") return HKEY_CURRENT_USER;
  return HKEY_LOCAL_MACHINE;
}

EntryParse ParseRegistryEntry(const std::string& text, RegistryEntry* entry) {
  *entry = RegistryEntry{};
  if (text.empty()) return EntryParse::kEmpty;
  std::vector<std::string> fields;
  size_t start = 0;
  for (;;) {
    size_t comma = text.find(',', start);
    fields.push_back(text.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  entry->root = RootFromShortName(fields[0]);
  if (fields.size() < 2 || fields[1].empty()) return EntryParse::kMissingKey;
  size_t slash = fields[1].rfind('\\');
  if (slash == std::string::npos) {
    entry->valueName = fields[1];
  } else {
    entry->key = fields[1].substr(0, slash);
    entry->valueName = fields[1].substr(slash + 1);
  }
  if (fields.size() < 3 || fields[2].empty()) return EntryParse::kMissingType;
  entry->isDword = scriptlib::UpperCase(fields[2].c_str()) == "REG_DWORD";
  if (fields.size() >= 4 && !fields[3].empty()) {
    entry->hasData = true;
    entry->data = fields[3];
  }
  return EntryParse::kOk;
}

namespace {
struct HiveName {
  const char* name;
  HKEY hive;
};
const HiveName kHives[] = {
    {"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE},   {"HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT},
    {"HKEY_CURRENT_CONFIG", HKEY_CURRENT_CONFIG}, {"HKEY_CURRENT_USER", HKEY_CURRENT_USER},
    {"HKEY_USERS", HKEY_USERS},                   {"HKEY_PERFORMANCE_DATA", HKEY_PERFORMANCE_DATA},
    {"HKEY_DYN_DATA", HKEY_DYN_DATA},
};
}  // namespace

std::string FullKeyName(HKEY root, const std::string& key) {
  const char* name = "HKEY_LOCAL_MACHINE";
  for (const HiveName& h : kHives) {
    if (h.hive == root) name = h.name;
  }
  return std::string(name) + "\\" + key;
}

bool HiveFromName(const std::string& name, HKEY* hive) {
  for (const HiveName& h : kHives) {
    if (name == h.name) {
      *hive = h.hive;
      return true;
    }
  }
  return false;
}

OsClass ClassifyOs(DWORD platformId, DWORD major, DWORD minor, const char* servicePack) {
  auto sp = [servicePack](const char* s) { return servicePack && _stricmp(servicePack, s) == 0; };
  switch (platformId) {
    case VER_PLATFORM_WIN32s:
      return {2, kFamilyWin32s};
    case VER_PLATFORM_WIN32_WINDOWS:
      if (minor == 0) return {(sp("C") || sp("B")) ? 4 : 3, kFamily9x};
      if (minor == 10) return {sp("A") ? 7 : 6, kFamily9x};
      if (minor == 90) return {9, kFamily9x};
      return {10, kFamily9x};
    case VER_PLATFORM_WIN32_NT:
      if (major == 3) return {11, kFamilyNtOther};
      if (major == 4) return {12, kFamilyNtOther};
      if (major == 5) {
        if (minor == 1) return {14, kFamilyNt5};
        if (minor == 2) return {16, kFamilyNt5};
        return {13, kFamilyNt5};
      }
      return {15, kFamilyNtOther};
    default:
      return {0, 0};
  }
}

bool IsDotEntry(const char* name) { return std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0; }

std::string WithoutTrailingBackslash(std::string path) {
  while (!path.empty() && path.back() == '\\') path.pop_back();
  return path;
}

bool IsProtectedDirectory(const std::string& fullPath, const std::vector<std::string>& systemFolders) {
  std::string path = scriptlib::UpperCase(WithoutTrailingBackslash(fullPath).c_str());
  // "C:" and "C:\" and anything without a folder below the root.
  if (path.size() <= 2 || path.find('\\') == std::string::npos) return true;
  if (path.compare(0, 2, "\\\\") == 0) {
    // "\\server\share" is the root of a share.
    size_t share = path.find('\\', 2);
    if (share == std::string::npos || path.find('\\', share + 1) == std::string::npos) return true;
  }
  for (const std::string& folder : systemFolders) {
    std::string guarded = scriptlib::UpperCase(WithoutTrailingBackslash(folder).c_str());
    if (guarded.empty()) continue;
    if (guarded == path) return true;
    // Above a system folder: the folder lies inside the path.
    if (guarded.size() > path.size() && guarded.compare(0, path.size(), path) == 0 && guarded[path.size()] == '\\') {
      return true;
    }
  }
  return false;
}

}  // namespace core
