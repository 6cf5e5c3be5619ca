#include "setup/core/environment_rules.h"

#include <cstdio>

namespace core {

LanguageMatch BuiltinLanguage(LANGID id) {
  // Index = primary language id; null = "EN" with the primary id.
  static const char* const kAbbreviations[46] = {
      nullptr, "AB", "BG", "CA", nullptr /* Chinese */, "CZ", "DN", "GR", "GK", "EN", "SP", "FI",
      "FN",    "HB", "HU", "IS", "IT",                  "JP", "KR", "DT", "NR", "PO", nullptr /* Portuguese */,
      nullptr, "RO", "RU", "HR", "SK",                  "SQ", "SW", "TI", "TK", "UR", "IN",
      "UK",    "BE", "SL", "ET", "LV",                  "LT", nullptr, "FA", "VI", "HY", "AZ", "EU"};
  const LANGID primary = PrimaryLanguage(id);
  const int sub = SubLanguage(id);
  if (primary == 4 || primary == 22) {
    if (sub == 1) return {id, primary == 4 ? "CT" : "BP"};
    if (sub == 2) return {id, primary == 4 ? "CP" : "PT"};
    return {primary, ""};
  }
  if (primary >= 1 && primary <= 45 && kAbbreviations[primary]) return {primary, kAbbreviations[primary]};
  return {primary, "EN"};
}

std::string LanguageKey(unsigned id) {
  char key[16];
  std::snprintf(key, sizeof(key), "0X%04X", id & 0xFFFF);
  return key;
}

std::string OsKey(DWORD platformId, DWORD major, DWORD minor) {
  unsigned platform = platformId == VER_PLATFORM_WIN32_WINDOWS ? 1 : platformId == VER_PLATFORM_WIN32_NT ? 2 : 0;
  char key[32];
  std::snprintf(key, sizeof(key), "0X%04X%02X%02X", platform, static_cast<unsigned>(major & 0xFF),
                static_cast<unsigned>(minor & 0xFF));
  return key;
}

std::string OsFallbackKey(DWORD platformId, DWORD major) {
  if (platformId == VER_PLATFORM_WIN32_WINDOWS) return "0X0001040A";
  if (platformId == VER_PLATFORM_WIN32_NT && major == 4) return "0X00020400";
  return "0X00020500";
}

std::string ResolveAgainstSource(const std::string& sourceDirectory, const std::string& name) {
  if (name.find(":\\") != std::string::npos) return name;
  if (name.compare(0, 2, "..") == 0) {
    size_t slash = sourceDirectory.rfind('\\');
    std::string parent = slash == std::string::npos ? sourceDirectory : sourceDirectory.substr(0, slash);
    return parent + name.substr(2);
  }
  if (name.compare(0, 1, ".") == 0) return sourceDirectory + name.substr(1);
  return sourceDirectory + "\\" + name;
}

std::string SourceDirectoryOf(const std::string& programPath) {
  size_t slash = programPath.rfind('\\');
  return slash == std::string::npos ? std::string() : programPath.substr(0, slash);
}

std::string DataFileOf(const std::string& programPath) {
  size_t dot = programPath.rfind('.');
  size_t slash = programPath.rfind('\\');
  // A dot in a directory name is not the extension.
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return programPath + ".dat";
  return programPath.substr(0, dot) + ".dat";
}

std::string FillPattern(const std::string& pattern, const std::string& value) {
  size_t at = pattern.find("%s");
  if (at == std::string::npos) return pattern;
  return pattern.substr(0, at) + value + pattern.substr(at + 2);
}

}  // namespace core
