// The data file: PROGRAM_INFO, languages and their string files, operating
// systems, items, shortcuts and copies; the value checks the others share;
// tokens, comments and keys nothing reads.
#include <cstdio>
#include <cstdlib>

#include "setup/core/environment_rules.h"
#include "setup/core/utl_rules.h"
#include "tools/mediumcheck/checker_internal.h"

namespace mediumcheck {

std::string MediumRelative(const std::string& name) {
  if (name.find(":\\") != std::string::npos || name.rfind("..", 0) == 0) return name;
  std::string n = name;
  if (n.rfind(".\\", 0) == 0 || n.rfind("./", 0) == 0) n = n.substr(2);
  else if (n.rfind(".", 0) == 0) n = n.substr(1);
  while (!n.empty() && (n[0] == '\\' || n[0] == '/')) n = n.substr(1);
  return n;
}

std::vector<LanguageRef> ListLanguages(const ScriptFile& data) {
  std::vector<LanguageRef> out;
  const Section* list = data.Find(data.Value("PROGRAM_INFO", "SUPPORTED_LANG"));
  if (!list) return out;
  std::string format = data.Value("PROGRAM_INFO", "STRING_FILE_FORMAT");
  for (const Entry& e : list->entries) {
    size_t space = e.text.find(' ');
    if (space == std::string::npos) continue;  // a run reads the id before the first blank
    LanguageRef ref;
    ref.id = core::StringToNumber(e.text.substr(0, space).c_str()) & 0xFFFF;
    ref.line = e.line;
    LANGID id = static_cast<LANGID>(ref.id);
    std::string abbr = data.Value("LANGUAGE_ABBR", core::LanguageKey(id));
    if (abbr.empty()) abbr = data.Value("LANGUAGE_ABBR", core::LanguageKey(core::PrimaryLanguage(id)));
    if (abbr.empty()) abbr = core::BuiltinLanguage(id).abbreviation;
    ref.abbreviation = abbr;
    ref.stringFile = MediumRelative(core::FillPattern(format, abbr));
    out.push_back(ref);
  }
  return out;
}

// --- shared value checks -------------------------------------------------------------------

void Run::MessageKey(const Place& p, const std::string& key) {
  for (const Language& lang : m.languages) {
    if (!lang.strings.Loaded()) continue;
    if (!lang.strings.Key("MESSAGES", key)) {
      Error(p, "message key " + key + " is missing from MESSAGES of " + lang.strings.Name());
    }
  }
}

void Run::BitmapName(const Place& p, const std::string& name) {
  if (!facts.Bitmap(name)) Error(p, "bitmap " + name + " is neither in the resource library nor in setup.exe");
}

void Run::OsList(const Place& p, const std::string& list) {
  for (const std::string& os : SplitList(list)) {
    if (!os.empty() && !osStrings.count(Upper(os))) {
      Error(p, "operating system " + os + " is not one of the OS_DEFINE values");
    }
  }
}

void Run::MediumFile(const Place& p, const std::string& rawValue, const std::string& what) {
  std::string value = Trim(rawValue);
  if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
  if (value.empty()) return;
  // Only names on the medium: $SRC_DIR$ or a plain relative name.
  std::string upper = Upper(value);
  if (upper.rfind("$SRC_DIR$", 0) == 0) {
    value = value.substr(9);
  } else if (value.find('$') != std::string::npos || value.find(':') != std::string::npos ||
             value.find("//") != std::string::npos) {
    return;
  } else if (what == "copy source") {
    return;  // a plain copy source is a path of the computer, not of the medium
  }
  // Variables that differ by language or system are tried with each value.
  std::vector<std::string> names = {value};
  auto expand = [&](const std::string& token, const std::vector<std::string>& values) {
    std::vector<std::string> next;
    for (const std::string& n : names) {
      if (Upper(n).find(token) == std::string::npos) {
        next.push_back(n);
        continue;
      }
      for (const std::string& v : values) {
        std::string e = n;
        for (size_t at = Upper(e).find(token); at != std::string::npos; at = Upper(e).find(token, at + v.size())) {
          e.replace(at, token.size(), v);
        }
        next.push_back(e);
      }
    }
    names = next;
  };
  std::vector<std::string> abbrs, dirs, osDirs;
  for (const Language& l : m.languages) {
    abbrs.push_back(l.ref.abbreviation);
    std::string dir = m.data.Value("LANGUAGE_DIR", core::LanguageKey(l.ref.id));
    if (dir.empty()) dir = m.data.Value("LANGUAGE_DIR", core::LanguageKey(core::PrimaryLanguage(static_cast<LANGID>(l.ref.id))));
    dirs.push_back(dir.empty() ? l.ref.abbreviation : dir);
  }
  if (const Section* s = m.data.Find("OS_DIR")) {
    for (const Entry& e : s->entries) {
      if (e.isKey) osDirs.push_back(e.profileValue);
    }
  }
  expand("$LANG_ABBR$", abbrs);
  expand("$LANG_DIR$", dirs);
  expand("$OS_DIR$", osDirs);
  for (const std::string& n : names) {
    if (n.find('$') != std::string::npos) continue;  // a variable only a run knows
    std::string rel = MediumRelative(n);
    if (!facts.FileExists(rel)) Error(p, what + " " + rel + " is not on the medium");
  }
}

// --- PROGRAM_INFO and languages ---------------------------------------------------------------

void Run::ProgramInfo() {
  Visit(m.data, "PROGRAM_INFO");
  MarkKeys(m.data, "PROGRAM_INFO", ProgramInfoKeys());
  if (!m.data.Find("PROGRAM_INFO")) Error(FilePlace(m.data), "[PROGRAM_INFO] is missing");
  for (const std::string& key : RequiredProgramInfoKeys()) {
    Place p = Key(m.data, "PROGRAM_INFO", key);
    if (!p || Trim(p.Value()).empty()) Error(p, "PROGRAM_INFO " + key + ", which a run needs, is missing or empty");
  }
  Place format = Key(m.data, "PROGRAM_INFO", "STRING_FILE_FORMAT");
  if (format && !format.Value().empty() && format.Value().find("%s") == std::string::npos) {
    Error(format, "STRING_FILE_FORMAT has no %s for the language abbreviation");
  }
  if (!m.config.Loaded()) {
    Place cfg = Key(m.data, "PROGRAM_INFO", "CONFIGURE_FILE");
    if (cfg && !cfg.Value().empty()) Error(cfg, "configuration file " + MediumRelative(cfg.Value()) + " is not on the medium");
  }
  for (const char* key : {"RESOURCE_DLL", "INSTALLER_DLL", "UNINSTALLER_DLL", "UTILITY_DLL", "REMOTE_INSTALL_DLL",
                          "DIAGNOSIS_DLL", "NETWORKMAN_DLL", "SEARCH_AVI_FILE"}) {
    Place p = Key(m.data, "PROGRAM_INFO", key);
    if (p && !p.Value().empty()) MediumFile(p, p.Value(), std::string(key) + " file");
  }
  // Operating systems.
  Visit(m.data, "OS_DEFINE", true);
  if (const Section* s = m.data.Find("OS_DEFINE")) {
    for (const Entry& e : s->entries) {
      if (e.isKey) osStrings.insert(Upper(e.profileValue));
    }
  }
  Visit(m.data, "OS_DIR", true);
  if (const Section* s = m.data.Find("OS_DIR")) {
    for (const Entry& e : s->entries) {
      if (e.isKey) OsList(Place{&m.data, e.line, &e}, e.key);
    }
  }
  for (const char* s : {"STRINGS", "LANGUAGE_ABBR", "LANGUAGE_DIR", "LANGUAGE_LCID_ALIGN_RIGHT"}) Visit(m.data, s, true);
  Place manual = Key(m.data, "PROGRAM_INFO", "MANUAL_LANG");
  if (manual && !manual.Value().empty()) {
    if (!HasSection(m.data, manual.Value())) Error(manual, "MANUAL_LANG section [" + manual.Value() + "] is missing");
    Visit(m.data, manual.Value(), true);
  }
}

void Run::Languages() {
  Place list = Key(m.data, "PROGRAM_INFO", "SUPPORTED_LANG");
  if (!list || list.Value().empty()) return;
  if (!HasSection(m.data, list.Value())) {
    Error(list, "SUPPORTED_LANG section [" + list.Value() + "] is missing from " + m.data.Name());
    return;
  }
  Visit(m.data, list.Value(), true);
  for (const Entry& e : m.data.Find(list.Value())->entries) {
    if (e.text.find(' ') == std::string::npos) {
      Warning(Place{&m.data, e.line, &e}, "language entry " + e.text + " has no blank after the id: a run reads it as 0");
    }
  }
  for (const Language& lang : m.languages) {
    if (lang.strings.Loaded()) continue;
    char id[16];
    snprintf(id, sizeof id, "0x%04X", lang.ref.id);
    report.Error(m.data.Name(), lang.ref.line,
                 "language " + std::string(id) + " has no string file " + lang.ref.stringFile);
  }
}

}  // namespace mediumcheck
