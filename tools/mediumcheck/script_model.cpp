#include "tools/mediumcheck/script_model.h"

#include <algorithm>
#include <cctype>
#include <sstream>
#include <vector>

#include "setup/scriptlib/line_rules.h"

namespace mediumcheck {

bool SameName(const std::string& a, const std::string& b) { return Upper(a) == Upper(b); }

std::string Upper(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return text;
}

std::string Trim(const std::string& text) {
  size_t b = text.find_first_not_of(" \t"), e = text.find_last_not_of(" \t");
  return b == std::string::npos ? std::string() : text.substr(b, e - b + 1);
}

std::vector<std::string> SplitList(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::string part;
  std::stringstream s(text);
  while (std::getline(s, part, separator)) parts.push_back(Trim(part));
  if (!text.empty() && text.back() == separator) parts.emplace_back();
  return parts;
}

namespace {

// What the profile reader returns for the text after "=": blanks around it
// removed and one pair of enclosing double quotes dropped.
std::string ProfileValue(const std::string& afterEquals) {
  std::string v = Trim(afterEquals);
  if (v.size() >= 2 && v.front() == '"' && v.back() == '"') v = v.substr(1, v.size() - 2);
  return v;
}

}  // namespace

ScriptFile::ScriptFile(std::string name, const std::string& text) : name_(std::move(name)), loaded_(true) {
  std::vector<char> buffer;
  size_t pos = 0;
  int lineNo = 0;
  Section* current = nullptr;
  while (pos < text.size()) {
    size_t end = text.find_first_of("\r\n", pos);
    if (end == std::string::npos) end = text.size();
    std::string raw = text.substr(pos, end - pos);
    pos = end;
    if (pos < text.size() && text[pos] == '\r') ++pos;
    if (pos < text.size() && text[pos] == '\n') ++pos;
    ++lineNo;

    buffer.assign(raw.begin(), raw.end());
    buffer.push_back('\0');
    if (!scriptlib::CleanLine(buffer.data())) continue;
    std::string cleaned(buffer.data());
    std::string header;
    if (scriptlib::ParseHeader(cleaned.c_str(), &header)) {
      sections_.push_back(Section{header, lineNo, {}});
      current = &sections_.back();
      continue;
    }
    if (!current) continue;  // lines before the first header belong to no section
    Entry entry;
    entry.line = lineNo;
    entry.text = cleaned;
    std::string trimmed = Trim(raw);
    entry.trailingBlank = !raw.empty() && (raw.back() == ' ' || raw.back() == '\t');
    entry.commentCut = trimmed != cleaned;
    std::string key, value;
    if (scriptlib::ParseKeyLine(cleaned.c_str(), &key, &value)) {
      entry.isKey = true;
      entry.key = key;
      entry.value = value;
      size_t eq = raw.find('=');
      entry.profileValue = ProfileValue(raw.substr(eq + 1));
    }
    current->entries.push_back(std::move(entry));
  }
}

const Section* ScriptFile::Find(const std::string& section) const {
  for (const Section& s : sections_) {
    if (SameName(s.name, section)) return &s;
  }
  return nullptr;
}

const Entry* ScriptFile::Key(const std::string& section, const std::string& key) const {
  const Section* s = Find(section);
  if (!s) return nullptr;
  for (const Entry& e : s->entries) {
    if (e.isKey && SameName(e.key, key)) return &e;
  }
  return nullptr;
}

std::string ScriptFile::Value(const std::string& section, const std::string& key) const {
  const Entry* e = Key(section, key);
  return e ? e->profileValue : std::string();
}

}  // namespace mediumcheck
