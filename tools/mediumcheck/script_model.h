#pragma once
// A script file of a medium as the installer's readers see it, with the line
// of every header and key so that findings can point at them. Lines are
// classified by the script reader's own rules (scriptlib::CleanLine,
// ParseHeader, ParseKeyLine); a key's value is kept twice: as the section
// reader gives it (comments cut) and as the system's profile reader gives it
// to single-value lookups (the whole text after "=", a trailing "//" note
// included, enclosing quotes removed).
#include <string>
#include <vector>

namespace mediumcheck {

struct Entry {
  int line = 0;            // 1-based
  bool isKey = false;      // a key line; otherwise a list line
  std::string key;         // key lines
  std::string text;        // the cleaned line (what a whole-section listing returns)
  std::string value;       // key lines: the value the section reader gives
  std::string profileValue;  // key lines: the value single lookups give
  bool commentCut = false;   // a "//" note followed the content
  bool trailingBlank = false;  // blanks or tabs before the line end
};

struct Section {
  std::string name;
  int line = 0;  // of the header
  std::vector<Entry> entries;
};

class ScriptFile {
 public:
  ScriptFile() = default;
  ScriptFile(std::string name, const std::string& text);

  const std::string& Name() const { return name_; }  // as findings name it, relative to the medium
  bool Loaded() const { return loaded_; }
  const std::vector<Section>& Sections() const { return sections_; }
  // The first section of that name, compared without regard to case.
  const Section* Find(const std::string& section) const;
  // The first key line of that key in the first section of that name.
  const Entry* Key(const std::string& section, const std::string& key) const;
  // The profile reader's value of a key, empty when missing.
  std::string Value(const std::string& section, const std::string& key) const;

 private:
  std::string name_;
  bool loaded_ = false;
  std::vector<Section> sections_;
};

// Case-insensitive ASCII comparison and upper-casing.
bool SameName(const std::string& a, const std::string& b);
std::string Upper(std::string text);
std::string Trim(const std::string& text);
// Fields split at commas, each trimmed of blanks (empty fields kept).
std::vector<std::string> SplitList(const std::string& text, char separator = ',');

}  // namespace mediumcheck
