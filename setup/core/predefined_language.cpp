// CPredefinedVariable: language choice, string file, manual language,
// right-to-left languages.
#include <cstring>
#include <vector>

#include "setup/core/predefined_variable.h"
#include "setup/scriptlib/profile.h"

namespace {
// Lines of a data-file section (NUL-separated, as the reader gives them).
std::vector<std::string> SectionLines(CProfile& reader, const std::string& section, size_t size) {
  std::vector<std::string> lines;
  if (section.empty()) return lines;
  std::vector<char> buffer(size + 1, '\0');
  // A section larger than the buffer still yields the lines that fit.
  reader.GetAllKey(section.c_str(), buffer.data(), static_cast<unsigned long>(size), false);
  for (const char* p = buffer.data(); *p && p < buffer.data() + size; p += std::strlen(p) + 1) lines.emplace_back(p);
  return lines;
}
}  // namespace

std::string CPredefinedVariable::LanguageDirectory(LANGID id, const std::string& fallback) {
  for (unsigned key : {static_cast<unsigned>(id), static_cast<unsigned>(core::PrimaryLanguage(id))}) {
    char buffer[MAX_PATH] = {};
    if (dataReader_->GetString("LANGUAGE_DIR", core::LanguageKey(key).c_str(), buffer, MAX_PATH, false) ==
            ERROR_SUCCESS &&
        buffer[0]) {
      return buffer;
    }
  }
  return fallback;
}

bool CPredefinedVariable::SetLanguage(LANGID id) {
  if (id == 0) id = static_cast<LANGID>(CUtl::GetRegDword(installKey_.c_str(), "Lang_Code", HKEY_LOCAL_MACHINE, 0));
  if (id == 0) id = CUtl::MyGetSystemDefaultLangID(true);
  if (id == 0) {
    log_.WriteLog(0, "[CPredefinedVariable] Get Language ID fail!!\n");
    return false;
  }
  core::LanguageMatch match = MatchLanguage(id);
  languageId_ = match.id;
  langAbbr_ = match.abbreviation;
  langDir_ = LanguageDirectory(languageId_, langAbbr_);

  stringFile_ = core::FillPattern(stringFileFormat_, langAbbr_);
  unsigned long loaded = stringReader_->Reload(stringFile_.c_str(), nullptr);
  if (loaded != ERROR_SUCCESS) {
    DWORD error = GetFileAttributesA(stringFile_.c_str()) == INVALID_FILE_ATTRIBUTES ? GetLastError() : loaded;
    log_.WriteLog(error, "[CPredefinedVariable] String file does not exist [%s]\n", stringFile_.c_str());
    stringFile_ = core::FillPattern(stringFileFormat_, MatchLanguage(9).abbreviation);
    stringReader_->Reload(stringFile_.c_str(), nullptr);
  }
  size_t slash = stringFile_.rfind('\\');
  stringFileName_ = slash == std::string::npos ? stringFile_ : stringFile_.substr(slash + 1);

  CUtl::SetRegDword(installKey_.c_str(), "Lang_Code", languageId_, HKEY_LOCAL_MACHINE);
  CUtl::SetRegString(installKey_.c_str(), "Lang_Abbr", langAbbr_.c_str(), HKEY_LOCAL_MACHINE);
  CUtl::SetRegString(installKey_.c_str(), "STR_FILE", stringFile_.c_str(), HKEY_LOCAL_MACHINE);
  SetManualLanguage(languageId_);
  // The reading direction follows the language, also when it changes later.
  rightToLeft_ = IsRightAligned(languageId_);
  return true;
}

bool CPredefinedVariable::SwitchLanguage(LANGID id) {
  if (id == 0) return false;
  if (!SetLanguage(id)) return false;
  pageLangAbbr_ = langAbbr_;
  log_.WriteLog(0, "[CPredefinedVariable] Language switched to 0x%04X (%s)\n", static_cast<unsigned>(languageId_),
                langAbbr_.c_str());
  return true;
}

core::LanguageMatch CPredefinedVariable::MatchLanguage(LANGID id) {
  if (!IsLanguageListed(id, "SUPPORTED_LANG")) id = 9;
  std::string abbreviation = DataScript("LANGUAGE_ABBR", core::LanguageKey(id));
  if (!abbreviation.empty()) return {id, abbreviation};
  LANGID primary = core::PrimaryLanguage(id);
  abbreviation = DataScript("LANGUAGE_ABBR", core::LanguageKey(primary));
  if (!abbreviation.empty()) return {primary, abbreviation};
  return core::BuiltinLanguage(id);
}

bool CPredefinedVariable::IsLanguageListed(LANGID id, const char* listKey) {
  std::string section = ProgramInfo(listKey ? listKey : "");
  for (const std::string& line : SectionLines(*dataReader_, section, 4096)) {
    size_t space = line.find(' ');
    DWORD listed = space == std::string::npos ? 0 : core::StringToNumber(line.substr(0, space).c_str());
    CUtl::Trace("[CPredefinedVariable] Setting Lang ID = 0x%04X, Lang ID = 0x%04X\n", static_cast<unsigned>(listed),
                static_cast<unsigned>(id));
    if (listed == id || listed == core::PrimaryLanguage(id)) return true;
  }
  CUtl::Trace("[CPreDefinedVariable] 0x%04X Language is not supported!!", static_cast<unsigned>(id));
  return false;
}

void CPredefinedVariable::SetManualLanguage(LANGID id) {
  if (id == 0) id = CUtl::MyGetSystemDefaultLangID(true);
  if (id == 0) {
    log_.WriteLog(0, "[CPredefinedVariable] Get Language ID fail!!\n");
    return;
  }
  if (!IsLanguageListed(id, "MANUAL_LANG")) id = 9;
  std::string directory = LanguageDirectory(id, langDir_);
  manualDir_ = core::FillPattern(manualDirPattern_, directory);
  manualFile_ = core::FillPattern(manualFilePattern_, directory);
}

bool CPredefinedVariable::IsRightAligned(LANGID id) {
  CUtl::Trace("Current System LCID ==> [%X]", static_cast<unsigned>(id));
  for (const std::string& line : SectionLines(*dataReader_, "LANGUAGE_LCID_ALIGN_RIGHT", MAX_PATH)) {
    DWORD listed = core::StringToNumber(line.c_str());
    CUtl::Trace("Read Right Align LCID ==> [%X]", static_cast<unsigned>(listed));
    if ((listed & 0x3FF) == (static_cast<DWORD>(id) & 0x3FF)) return true;
  }
  return false;
}
