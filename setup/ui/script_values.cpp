#include "setup/ui/script_values.h"

#include <cstdlib>
#include <cstring>

#include "setup/core/core_context.h"
#include "setup/core/predefined_variable.h"
#include "setup/core/utl.h"

namespace ui {
namespace {
std::string Expand(const std::string& text) {
  CPredefinedVariable* env = core::CurrentEnvironment();
  return env ? env->ExpandVariables(text) : text;
}
}  // namespace

ScriptFiles ScriptFiles::FromEnvironment() {
  ScriptFiles files;
  if (CPredefinedVariable* env = core::CurrentEnvironment()) {
    files.config = env->GetConfigFile();
    files.strings = env->GetStringFile();
    files.data = env->GetDataFile();
  }
  return files;
}

std::string ObjectValue(const ScriptFiles& files, const std::string& section, const char* key) {
  std::string value = CUtl::GetScriptString(section.c_str(), key, files.config.c_str(), files.data.c_str(), "");
  if (value.empty()) value = CUtl::GetScriptString(kCommonSection, key, files.config.c_str(), files.data.c_str(), "");
  return value;
}

std::string DialogValue(const ScriptFiles& files, const std::string& section, const char* key) {
  return Expand(ObjectValue(files, section, key));
}

std::string StringValue(const ScriptFiles& files, const std::string& section, const char* key) {
  return Expand(CUtl::GetScriptString(section.c_str(), key, files.strings.c_str(), files.data.c_str(), ""));
}

std::string DataValue(const ScriptFiles& files, const std::string& section, const char* key) {
  return Expand(CUtl::GetScriptString(section.c_str(), key, files.data.c_str(), "", ""));
}

std::string MessageText(const ScriptFiles& files, const std::string& messageKey) {
  if (messageKey.empty()) return std::string();
  return CUtl::GetScriptString("MESSAGES", messageKey.c_str(), files.strings.c_str(), files.data.c_str(), "");
}

COLORREF ColourValue(const ScriptFiles& files, const std::string& section, const char* key, const char* file) {
  return CUtl::GetColorValue(section.c_str(), key, file && *file ? file : files.config.c_str());
}

void FontOfSection(const ScriptFiles& files, LOGFONTA* font, const std::string& section) {
  std::memset(font, 0, sizeof(*font));
  // A zero character set would ask for Western glyphs: the texts of a
  // Hebrew or Greek string file would then come out as Latin letters. The
  // system's character set draws every language in its own code page.
  font->lfCharSet = DEFAULT_CHARSET;
  std::string face = DialogValue(files, section, "LF_FACENAME");
  std::strncpy(font->lfFaceName, face.c_str(), LF_FACESIZE - 1);
  std::string height = DialogValue(files, section, "LF_HEIGHT");
  if (!height.empty()) font->lfHeight = std::atoi(height.c_str());
  std::string width = DialogValue(files, section, "LF_WIDTH");
  if (!width.empty()) font->lfWidth = std::atoi(width.c_str());
  if (std::atoi(DialogValue(files, section, "LF_BOLD").c_str()) != 0) font->lfWeight = FW_BOLD;
  if (std::atoi(DialogValue(files, section, "LF_ITALIC").c_str()) != 0) font->lfItalic = 1;
  if (std::atoi(DialogValue(files, section, "LF_UNDERLINE").c_str()) != 0) font->lfUnderline = 1;
}

}  // namespace ui
