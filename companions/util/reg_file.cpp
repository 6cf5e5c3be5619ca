#include <memory>
#include <vector>

#include "companions/util/reg_file.h"
#include "companions/world/companion_log.h"
#include "companions/world/text.h"
#include "companions/world/world.h"
#include "framework/handles.h"

namespace qx::util {
namespace {

// Deep trees are a sign of a loop or a mistake; the registry itself allows 512 levels.
constexpr int kMaxDepth = 64;

// Appends the key's section, its values, then its subkeys' sections (pre-order).
void SaveKey(HKEY hive, const std::string& path, int depth, std::string* out) {
  fw::UniqueRegKey key;
  if (RegOpenKeyExA(hive, path.c_str(), 0, KEY_READ, key.Put()) != ERROR_SUCCESS) return;
  *out += "[" + std::string(HiveName(hive)) + "\\" + path + "]\r\n";
  // Heap buffers: this may run on a caller's 16 KB worker stack.
  std::vector<char> name(kMaxValueName + 1);
  std::vector<BYTE> data(kMaxValueData + 1);
  for (DWORD i = 0;; ++i) {
    DWORD nameSize = static_cast<DWORD>(name.size());
    DWORD dataSize = static_cast<DWORD>(kMaxValueData);
    DWORD type = 0;
    LONG r = RegEnumValueA(key.Get(), i, name.data(), &nameSize, nullptr, &type, data.data(), &dataSize);
    if (r == ERROR_NO_MORE_ITEMS) break;
    if (r != ERROR_SUCCESS) continue;  // too long a name or data: not written
    std::string valueName(name.data(), nameSize);
    if (type == REG_SZ) {
      std::string text(reinterpret_cast<char*>(data.data()), strnlen(reinterpret_cast<char*>(data.data()), dataSize));
      // A line break in the data would end the line early and inject a line of
      // its own into the file: such a value cannot be represented, so skip it.
      if (text.find_first_of("\r\n") != std::string::npos || valueName.find_first_of("\r\n") != std::string::npos) {
        world::Log("qxutil", "SaveFile: value \"%s\" of %s holds a line break and is not saved", valueName.c_str(),
                   path.c_str());
        continue;
      }
      *out += StringLine(valueName, text) + "\r\n";
    } else if (type == REG_DWORD && dataSize == 4) {
      DWORD v = 0;
      memcpy(&v, data.data(), 4);
      *out += DwordLine(valueName, v) + "\r\n";
    } else if (type == REG_BINARY) {
      *out += BinaryLine(valueName) + "\r\n";
    }
  }
  if (depth >= kMaxDepth) return;
  for (DWORD i = 0;; ++i) {
    DWORD nameSize = static_cast<DWORD>(name.size());
    LONG r = RegEnumKeyExA(key.Get(), i, name.data(), &nameSize, nullptr, nullptr, nullptr, nullptr);
    if (r == ERROR_NO_MORE_ITEMS) break;
    if (r != ERROR_SUCCESS) continue;
    SaveKey(hive, path + "\\" + std::string(name.data(), nameSize), depth + 1, out);
  }
}

DWORD WriteValue(HKEY key, const ValueLine& line) {
  switch (line.kind) {
    case LineKind::kString:
      return RegSetValueExA(key, line.name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(line.text.data()),
                            static_cast<DWORD>(line.text.size()));
    case LineKind::kDword:
      return RegSetValueExA(key, line.name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&line.dword), 4);
    case LineKind::kBinary:
      return ERROR_SUCCESS;  // only the name was saved; nothing to recreate
    case LineKind::kUnknown:
      break;
  }
  return ERROR_SUCCESS;  // neither quoted nor a known type: nothing written
}

}  // namespace

DWORD SaveKeyTree(const std::string& file, HKEY hive, const std::string& key) {
  if (file.empty() || key.empty() || !HiveName(hive)) return ERROR_INVALID_PARAMETER;
  {
    fw::UniqueRegKey probe;
    LONG r = RegOpenKeyExA(hive, key.c_str(), 0, KEY_READ, probe.Put());
    if (r != ERROR_SUCCESS) return static_cast<DWORD>(r);
  }
  std::string text;
  SaveKey(hive, key, 0, &text);
  fw::UniqueFile out(CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!out) return GetLastError();
  DWORD written = 0;
  if (!WriteFile(out.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr)) return GetLastError();
  return written == text.size() ? ERROR_SUCCESS : ERROR_WRITE_FAULT;
}

DWORD LoadKeyTrees(const std::string& file) {
  std::string text;
  if (!world::ReadTextFile(file, static_cast<size_t>(-1), &text)) return ERROR_FILE_NOT_FOUND;
  DWORD result = ERROR_SUCCESS;
  fw::UniqueRegKey key;
  for (const std::string& raw : world::SplitAt(text)) {
    std::string line = world::Trim(raw);
    if (line.empty() || line[0] == ';' || line.rfind("//", 0) == 0) continue;
    if (line.front() == '[' && line.back() == ']') {
      HKEY hive = HKEY_LOCAL_MACHINE;
      std::string path;
      SplitSectionName(line.substr(1, line.size() - 2), &hive, &path);
      key.Reset();
      result = static_cast<DWORD>(RegCreateKeyExA(hive, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, key.Put(), nullptr));
      if (result != ERROR_SUCCESS) world::Log("qxutil", "LoadFile: cannot create key %s (%lu)", path.c_str(), result);
      continue;
    }
    ValueLine value;
    if (!key || !ParseValueLine(line, &value)) continue;
    DWORD r = WriteValue(key.Get(), value);
    if (r != ERROR_SUCCESS) result = r;
  }
  return result;
}

}  // namespace qx::util
