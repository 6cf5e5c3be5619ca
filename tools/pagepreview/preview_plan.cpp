#include "tools/pagepreview/preview_plan.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <sstream>

namespace preview {
namespace {

std::string Trim(const std::string& text) {
  size_t start = text.find_first_not_of(" \t\r\n");
  if (start == std::string::npos) return "";
  size_t end = text.find_last_not_of(" \t\r\n");
  return text.substr(start, end - start + 1);
}

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

// Calls `line(section, text)` for every line that is not a comment or header.
template <typename Fn>
void ForEachLine(const std::string& scriptText, Fn line, std::vector<std::string>* sections = nullptr) {
  std::istringstream in(scriptText);
  std::string current;
  for (std::string raw; std::getline(in, raw);) {
    std::string text = Trim(raw);
    if (text.empty() || text.rfind("//", 0) == 0) continue;
    if (text[0] == '[') {
      size_t close = text.find(']');
      if (close == std::string::npos) continue;
      current = Trim(text.substr(1, close - 1));
      if (sections) sections->push_back(current);
      continue;
    }
    line(current, text);
  }
}

}  // namespace

std::vector<std::string> SectionNames(const std::string& scriptText) {
  std::vector<std::string> sections;
  ForEachLine(scriptText, [](const std::string&, const std::string&) {}, &sections);
  return sections;
}

std::vector<std::string> SectionKeys(const std::string& scriptText, const std::string& section) {
  std::vector<std::string> keys;
  const std::string wanted = Upper(section);
  ForEachLine(scriptText, [&](const std::string& current, const std::string& text) {
    size_t equals = text.find('=');
    if (equals != std::string::npos && Upper(current) == wanted) keys.push_back(Upper(Trim(text.substr(0, equals))));
  });
  return keys;
}

std::vector<std::string> PageSections(const std::string& configText) {
  std::vector<std::string> pages;
  for (const std::string& section : SectionNames(configText)) {
    if (section.empty()) continue;
    for (const std::string& key : SectionKeys(configText, section)) {
      if (key == "NUM_OF_OBJ" || key == "FIXED_ITEM" || key == "LICENSE_FILE") {
        pages.push_back(section);
        break;
      }
    }
  }
  return pages;
}

std::vector<Language> Languages(const std::string& dataText) {
  std::vector<Language> languages;
  ForEachLine(dataText, [&](const std::string& section, const std::string& text) {
    if (Upper(section) != "LANGUAGE_ABBR") return;
    size_t equals = text.find('=');
    if (equals == std::string::npos) return;
    std::string key = Upper(Trim(text.substr(0, equals)));
    std::string abbreviation = Trim(text.substr(equals + 1));
    if (key.rfind("0X", 0) != 0 || abbreviation.empty()) return;
    char* end = nullptr;
    unsigned long id = std::strtoul(key.c_str() + 2, &end, 16);
    if (*end != '\0' || id == 0 || id > 0xFFFF) return;
    bool known = std::any_of(languages.begin(), languages.end(),
                             [&](const Language& l) { return Upper(l.abbreviation) == Upper(abbreviation); });
    if (!known) languages.push_back({static_cast<LANGID>(id), abbreviation});
  });
  return languages;
}

std::string PictureName(const std::string& section, const std::string& abbreviation) {
  std::string name = section + "_" + abbreviation;
  for (char& c : name) {
    if (std::strchr("\\/:*?\"<>| ", c) || static_cast<unsigned char>(c) < 32) c = '_';
  }
  return name + ".png";
}

}  // namespace preview
