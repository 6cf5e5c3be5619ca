#pragma once
// The state of one check run, shared by the check_*.cpp files: the medium,
// the findings, which sections were read as what, which pages and command
// sections were already followed.
#include <map>
#include <set>
#include <string>
#include <vector>

#include "tools/mediumcheck/checker.h"

namespace mediumcheck {

// Where a value stands: the file, the line, and the entry when there is one.
struct Place {
  const ScriptFile* file = nullptr;
  int line = 1;
  const Entry* entry = nullptr;
  std::string Value() const { return entry ? entry->profileValue : std::string(); }
  explicit operator bool() const { return entry != nullptr; }
};

struct PageBox {
  std::string what;  // "object X" or "control Y"
  Place place;
  Box box;
  bool window = true;  // shapes are drawn under the controls: no overlap
  bool measured = false;
  std::string messageKey;  // the text's message key
  LOGFONTA font{};
  bool wrapped = false;
};

class Run {
 public:
  Run(const Medium& medium, Facts& facts, Report& report) : m(medium), facts(facts), report(report) {}

  const Medium& m;
  Facts& facts;
  Report& report;

  void Error(const Place& p, const std::string& text) { report.Error(p.file->Name(), p.line, text); }
  void Warning(const Place& p, const std::string& text) { report.Warning(p.file->Name(), p.line, text); }

  // Lookups that mark the key as read.
  Place Key(const ScriptFile& file, const std::string& section, const std::string& key);
  // A configuration value with the DLG_COMMON fallback of dialog and object keys.
  Place DialogKey(const std::string& section, const std::string& key);
  Place SectionPlace(const ScriptFile& file, const std::string& section);
  Place FilePlace(const ScriptFile& file) { return Place{&file, 1, nullptr}; }
  // Marks a section as read; with anyKey every key in it counts as read.
  void Visit(const ScriptFile& file, const std::string& section, bool anyKey = false);
  void MarkKeys(const ScriptFile& file, const std::string& section, const std::vector<std::string>& keys);
  bool HasSection(const ScriptFile& file, const std::string& section) const { return file.Find(section); }

  // --- checks of values ---------------------------------------------------------------
  void MessageKey(const Place& p, const std::string& key);
  void BitmapName(const Place& p, const std::string& name);
  void OsList(const Place& p, const std::string& list);
  void MediumFile(const Place& p, const std::string& value, const std::string& what);
  bool Numbers(const Place& p, size_t count, const char* what, std::vector<int>* numbers);
  void Colour(const Place& p);
  LOGFONTA Font(const std::string& fontSection);

  // --- commands and pages (check_commands.cpp, check_pages.cpp) ------------------------
  void Command(const Place& where, const std::string& type, const std::string& str, const std::string& param,
               std::vector<std::string>& chain);
  // paramIsString: the page may run the record with CMD_PARAM as its string (the item page's Next).
  void RecordSection(const Place& where, const std::string& section, std::vector<std::string>& chain,
                     bool paramIsString = false);
  void CommandSection(const Place& where, const std::string& section, std::vector<std::string>& chain);
  void Page(const Place& where, const std::string& section);
  void CheckPage(engine::PageKind kind, const std::string& section);
  void RegistrySection(const Place& where, const std::string& section);
  void FileSection(const Place& where, const std::string& section, bool copy);

  // --- the rest (check_program.cpp) ---------------------------------------------------
  void ProgramInfo();
  void Languages();
  void Items();
  void ShortcutsAndCopies();
  void Texts();
  void Unread();
  void TextWidths(const std::vector<PageBox>& boxes);

  std::set<std::string> items;  // upper-cased item section names
  std::set<std::string> osStrings;

 private:
  struct Use {
    bool anyKey = false;
    std::set<std::string> keys;  // upper-cased
  };
  std::map<std::pair<const ScriptFile*, std::string>, Use> uses_;
  std::set<std::string> pagesDone_;
  std::set<std::string> sectionsDone_;
  friend void CheckMedium(const Medium&, Facts&, Report&);

 public:
  bool FirstTime(const std::string& what) { return sectionsDone_.insert(Upper(what)).second; }
  const std::map<std::pair<const ScriptFile*, std::string>, Use>& Uses() const { return uses_; }
  bool PageFirstTime(const std::string& section) { return pagesDone_.insert(Upper(section)).second; }
};

}  // namespace mediumcheck
