#pragma once
// The value readers of the skinned pages over the three script files of the
// environment:
// - dialog values: the configuration file (percent tokens also from the data
//   file), falling back to DLG_COMMON, expanded with the $...$ variables;
// - object values: the same without the expansion;
// - string values: the string file (tokens from the data file), expanded;
// - data values: the data file, expanded;
// - messages: a message key looked up in MESSAGES of the string file;
// - colours (configuration file unless told) and fonts (LOGFONT of a section).
#include <windows.h>

#include <string>

namespace ui {

inline constexpr const char* kCommonSection = "DLG_COMMON";

struct ScriptFiles {
  std::string config, strings, data;
  // The current environment's files ("" each when there is none).
  static ScriptFiles FromEnvironment();
};

std::string DialogValue(const ScriptFiles& files, const std::string& section, const char* key);
std::string ObjectValue(const ScriptFiles& files, const std::string& section, const char* key);
std::string StringValue(const ScriptFiles& files, const std::string& section, const char* key);
std::string DataValue(const ScriptFiles& files, const std::string& section, const char* key);
std::string MessageText(const ScriptFiles& files, const std::string& messageKey);
COLORREF ColourValue(const ScriptFiles& files, const std::string& section, const char* key,
                     const char* file = nullptr);
// A font section to a logical font (all zero first; each key falls back to
// DLG_COMMON).
void FontOfSection(const ScriptFiles& files, LOGFONTA* font, const std::string& section);

}  // namespace ui
