// The world file's text: parsing and lookups, plain code without the system.
#include <cstdlib>

#include "companions/world/text.h"
#include "companions/world/world.h"

namespace qx::world {
namespace {

bool IsComment(const std::string& line) {
  return line.empty() || line[0] == ';' || line[0] == '#' || line.rfind("//", 0) == 0;
}

}  // namespace

std::string Section::Get(const std::string& key, const std::string& fallback) const {
  for (const Entry& e : entries) {
    if (EqualsNoCase(e.key, key)) return e.value;
  }
  return fallback;
}

long Section::GetNumber(const std::string& key, long fallback) const {
  std::string text = Get(key);
  if (text.empty()) return fallback;
  char* end = nullptr;
  long value = std::strtol(text.c_str(), &end, 0);
  return (end && *end == '\0') ? value : fallback;
}

std::string Section::Kind() const {
  size_t colon = name.find(':');
  return Trim(colon == std::string::npos ? name : name.substr(0, colon));
}

World World::Parse(const std::string& text) {
  World world;
  Section* current = nullptr;
  for (const std::string& raw : SplitAt(text)) {
    std::string line = Trim(raw);
    if (IsComment(line)) continue;
    if (line.front() == '[') {
      size_t close = line.find(']');
      if (close == std::string::npos || Trim(line.substr(1, close - 1)).empty()) {
        ++world.malformed_;
        current = nullptr;  // lines under a broken header belong to no section
        continue;
      }
      world.sections_.push_back(Section{Trim(line.substr(1, close - 1)), {}});
      current = &world.sections_.back();
      continue;
    }
    size_t eq = line.find('=');
    if (!current || eq == std::string::npos || Trim(line.substr(0, eq)).empty()) {
      ++world.malformed_;
      continue;
    }
    std::string value = line.substr(eq + 1);
    // An inline comment starts at a ";" after a blank, as in the device monitor's sections.
    size_t comment = value.find_first_of(";");
    while (comment != std::string::npos && comment > 0 && value[comment - 1] != ' ' && value[comment - 1] != '\t')
      comment = value.find(';', comment + 1);
    if (comment != std::string::npos && comment > 0) value.resize(comment);
    current->entries.push_back(Entry{Trim(line.substr(0, eq)), Trim(value)});
  }
  return world;
}

std::vector<const Section*> World::OfKind(const std::string& kind) const {
  std::vector<const Section*> found;
  for (const Section& s : sections_) {
    if (EqualsNoCase(s.Kind(), kind)) found.push_back(&s);
  }
  return found;
}

const Section* World::Find(const std::string& name) const {
  for (const Section& s : sections_) {
    if (EqualsNoCase(s.name, name)) return &s;
  }
  return nullptr;
}

}  // namespace qx::world
