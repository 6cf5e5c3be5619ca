#pragma once
// The simulated world: what the companion libraries would learn from hardware
// and the network, read from a plain INI-like text file (format in
// companions/README.md). The file is read again on every call, so a test may
// change it between calls; without a file the world is empty, like a machine
// without such hardware.
#include <string>
#include <vector>

namespace qx::world {

inline constexpr const char* kWorldFileVariable = "QX_WORLD_FILE";
inline constexpr const char* kWorldFileName = "world.ini";

struct Entry {
  std::string key;
  std::string value;
};

struct Section {
  std::string name;
  std::vector<Entry> entries;

  // Value of the key (case-insensitive); fallback when absent.
  std::string Get(const std::string& key, const std::string& fallback = {}) const;
  // Number value: decimal or 0x hexadecimal; fallback when absent or malformed.
  long GetNumber(const std::string& key, long fallback) const;
  // "Kind" from "Kind" or "Kind:label".
  std::string Kind() const;
};

class World {
 public:
  // Parses the text; malformed lines are skipped and counted.
  static World Parse(const std::string& text);
  // Reads the world file of the module that contains this code (see WorldPath).
  static World Load();

  const std::vector<Section>& Sections() const { return sections_; }
  // All sections of one kind, in file order ("[Kind]" or "[Kind:label]").
  std::vector<const Section*> OfKind(const std::string& kind) const;
  // The first section of that exact name (case-insensitive), or null.
  const Section* Find(const std::string& name) const;
  int MalformedLines() const { return malformed_; }
  const std::string& Path() const { return path_; }
  bool Loaded() const { return loaded_; }

 private:
  std::vector<Section> sections_;
  int malformed_ = 0;
  std::string path_;
  bool loaded_ = false;
};

// QX_WORLD_FILE when set and not empty, else world.ini beside the DLL (or
// program) that contains this code.
std::string WorldPath();

// Reads a whole file, at most `limit` bytes of it; false when it cannot be opened.
bool ReadTextFile(const std::string& path, size_t limit, std::string* text);
// Sets (or, with a null value, removes) one key of a section of the world file;
// a null key removes the whole section. Used where a library changes the world
// it simulates (a removed device, a finished remote installation).
bool WriteWorldValue(const std::string& section, const char* key, const char* value);

}  // namespace qx::world
