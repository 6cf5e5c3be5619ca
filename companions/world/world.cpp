#include "companions/world/world.h"

#include <windows.h>

#include <algorithm>

#include "companions/world/companion_log.h"
#include "companions/world/text.h"

namespace qx::world {
namespace {

// A world file is small; a bigger one is a mistake and is read only this far.
constexpr size_t kMaxWorldBytes = 1 << 20;

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
