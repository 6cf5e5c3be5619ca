#include "companions/world/world.h"

#include <windows.h>

#include <algorithm>
#include <cstdlib>

#include "companions/world/companion_log.h"
#include "companions/world/text.h"

namespace qx::world {
namespace {

// A world file is small; a bigger one is a mistake and is read only this far.
constexpr size_t kMaxWorldBytes = 1 << 20;

bool IsComment(const std::string& line) {
  return line.empty() || line[0] == ';' || line[0] == '#' || line.rfind("//", 0) == 0;
}

std::string ModuleDirectory() {
  HMODULE self = nullptr;
  // The module that holds this function: the companion DLL, not the host program.
  if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                          reinterpret_cast<LPCSTR>(&ModuleDirectory), &self)) {
    return {};
  }
  char path[MAX_PATH] = {};
  DWORD n = GetModuleFileNameA(self, path, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return {};
  std::string text(path, n);
  size_t slash = text.find_last_of("\\/");
  return slash == std::string::npos ? std::string() : text.substr(0, slash);
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

World World::Load() {
  std::string path = WorldPath();
  World world;
  if (!path.empty()) {
    std::string text;
    if (ReadTextFile(path, kMaxWorldBytes, &text)) {
      world = Parse(text);
      world.loaded_ = true;
      if (world.malformed_ > 0) Log("world", "%d malformed line(s) skipped in %s", world.malformed_, path.c_str());
    }
  }
  world.path_ = path;
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

bool ReadTextFile(const std::string& path, size_t limit, std::string* text) {
  text->clear();
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  char buffer[16384];
  DWORD read = 0;
  while (text->size() < limit && ReadFile(file, buffer, sizeof(buffer), &read, nullptr) && read > 0) {
    text->append(buffer, std::min<size_t>(read, limit - text->size()));
  }
  CloseHandle(file);
  return true;
}

std::string WorldPath() {
  char value[MAX_PATH] = {};
  DWORD n = GetEnvironmentVariableA(kWorldFileVariable, value, MAX_PATH);
  if (n > 0 && n < MAX_PATH) return std::string(value, n);
  std::string dir = ModuleDirectory();
  return dir.empty() ? std::string() : dir + "\\" + kWorldFileName;
}

bool WriteWorldValue(const std::string& section, const char* key, const char* value) {
  std::string path = WorldPath();
  if (path.empty() || GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) return false;
  return WritePrivateProfileStringA(section.c_str(), key, value, path.c_str()) != FALSE;
}

}  // namespace qx::world
