// CRegistry: saving a key tree to a text file and loading it back, through
// the script reader.
#include <cstring>
#include <string>
#include <vector>

#include "framework/handles.h"
#include "framework/trace.h"
#include "setup/scriptlib/profile.h"
#include "setup/scriptlib/registry.h"
#include "setup/scriptlib/registry_rules.h"

namespace {

constexpr unsigned long kListSize = 4096;  // section names, and the lines of one section
constexpr REGSAM kSaveAccess = KEY_READ | KEY_CREATE_SUB_KEY | KEY_SET_VALUE;

LONGLONG FileSize(const char* path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExA(path, GetFileExInfoStandard, &data)) return -1;
  return (static_cast<LONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// A line break in a name or text, or "=" in a name, would turn into lines or
// values of their own when loaded: such values are not written.
bool Writable(const char* name, const char* text) {
  return !std::strpbrk(name, "\r\n=") && (!text || !std::strpbrk(text, "\r\n"));
}

class KeySaver {
 public:
  KeySaver(CProfile* profile, const char* file, HKEY root) : profile_(profile), file_(file), root_(root) {}

  // The key's section (emptied), its subkeys' sections, then its values.
  unsigned long Save(const std::string& path) {
    fw::UniqueRegKey key;
    LONG opened = RegOpenKeyExA(root_, path.c_str(), 0, kSaveAccess, key.Put());
    if (opened != ERROR_SUCCESS) return static_cast<unsigned long>(opened);
    std::string section = std::string(scriptlib::HiveName(root_)) + "\\" + path;
    unsigned long result = WriteHeader(section);
    std::vector<char> name(CRegistry::kNameSize);
    for (DWORD i = 0; result == ERROR_SUCCESS; ++i) {
      DWORD nameSize = CRegistry::kNameSize;
      LONG listed = RegEnumKeyExA(key.Get(), i, name.data(), &nameSize, nullptr, nullptr, nullptr, nullptr);
      if (listed == ERROR_NO_MORE_ITEMS) break;
      if (listed != ERROR_SUCCESS) continue;  // not enumerable: skipped
      std::string child = path + "\\" + name.data();
      if (child.size() >= CRegistry::kNameSize) continue;
      unsigned long saved = Save(child);
      // A subkey that cannot be opened is skipped like one that cannot be listed.
      if (saved != ERROR_SUCCESS && saved != ERROR_ACCESS_DENIED && saved != ERROR_FILE_NOT_FOUND) result = saved;
    }
    return result == ERROR_SUCCESS ? SaveValues(key.Get(), section) : result;
  }

 private:
  // Clearing a missing section creates its header on Windows but not under
  // every private-profile writer; the header is then appended directly, so the
  // sections stay in pre-order.
  unsigned long WriteHeader(const std::string& section) {
    LONGLONG before = FileSize(file_);
    unsigned long result = profile_->SetValue(section.c_str(), "", "");
    if (result != ERROR_SUCCESS || FileSize(file_) != before) return result;
    fw::UniqueFile file(CreateFileA(file_, FILE_APPEND_DATA, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                    nullptr));
    if (!file) return GetLastError();
    std::string line = "[" + section + "]\r\n";
    DWORD written = 0;
    if (!WriteFile(file.Get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr)) {
      return GetLastError();
    }
    return ERROR_SUCCESS;
  }

  unsigned long SaveValues(HKEY key, const std::string& section) {
    std::vector<char> name(CRegistry::kNameSize);
    std::vector<char> data(CRegistry::kDataSize + 1);
    for (DWORD i = 0;; ++i) {
      DWORD nameSize = CRegistry::kNameSize, type = 0, dataSize = CRegistry::kDataSize;
      std::fill(data.begin(), data.end(), '\0');
      LONG listed = RegEnumValueA(key, i, name.data(), &nameSize, nullptr, &type,
                                  reinterpret_cast<BYTE*>(data.data()), &dataSize);
      if (listed == ERROR_NO_MORE_ITEMS) return ERROR_SUCCESS;
      if (listed != ERROR_SUCCESS) continue;  // beyond the limits: not written
      std::string text;
      if (type == REG_SZ) {
        if (!Writable(name.data(), data.data())) continue;
        text = "\"" + std::string(data.data()) + "\"";
      } else if (type == REG_DWORD) {
        DWORD value = 0;
        std::memcpy(&value, data.data(), sizeof(value));
        text = scriptlib::DwordData(value);
      } else if (type == REG_BINARY) {
        text = "hex:";
      } else {
        continue;
      }
      if (!Writable(name.data(), nullptr)) continue;
      unsigned long result =
          profile_->SetValue(section.c_str(), scriptlib::QuotedName(name.data()).c_str(), text.c_str());
      if (result != ERROR_SUCCESS) return result;
    }
  }

  CProfile* profile_;
  const char* file_;
  HKEY root_;
};

unsigned long LoadSection(CProfile* profile, const char* section) {
  HKEY root = HKEY_LOCAL_MACHINE;
  std::string path;
  scriptlib::ParseRegistrySection(section, &root, &path);
  fw::UniqueRegKey key;
  LONG result =
      RegCreateKeyExA(root, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr, key.Put(), nullptr);
  if (result != ERROR_SUCCESS) {
    qx::Trace("[CRegistry] cannot create the key of section %s (%ld)", section, result);
    return static_cast<unsigned long>(result);
  }
  std::vector<char> lines(kListSize, '\0');
  unsigned long listed = profile->GetAllKey(section, lines.data(), kListSize, false);
  unsigned long outcome = listed == CProfile::kNotFound ? ERROR_SUCCESS : listed;
  for (const char* line = lines.data(); line < lines.data() + kListSize && *line; line += std::strlen(line) + 1) {
    scriptlib::ValueLine value = scriptlib::ParseValueLine(line);
    LONG written = ERROR_SUCCESS;
    if (value.kind == scriptlib::ValueLineKind::kString) {
      written = RegSetValueExA(key.Get(), value.name.c_str(), 0, REG_SZ,
                               reinterpret_cast<const BYTE*>(value.text.c_str()),
                               static_cast<DWORD>(value.text.size()));
    } else if (value.kind == scriptlib::ValueLineKind::kDword) {
      DWORD data = value.dword;
      written = RegSetValueExA(key.Get(), value.name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data),
                               sizeof(data));
    } else if (value.kind == scriptlib::ValueLineKind::kUnknown) {
      qx::Trace("[CRegistry] line of section %s not loaded: %.80s", section, line);
      written = ERROR_INVALID_DATA;
    }
    if (written != ERROR_SUCCESS) outcome = static_cast<unsigned long>(written);
  }
  return outcome;
}

}  // namespace

unsigned long CRegistry::SaveToFile(const char* subkey, const char* file, HKEY root) {
  if (!subkey || !*subkey || !file || !*file) return ERROR_INVALID_PARAMETER;
  if (std::strlen(subkey) >= kNameSize) return ERROR_INVALID_PARAMETER;
  {
    // CREATE_NEW: an existing file is never overwritten.
    fw::UniqueFile created(
        CreateFileA(file, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!created) return GetLastError();
  }
  CProfile profile;
  unsigned long result = profile.Create(file, nullptr, true);
  if (result != ERROR_SUCCESS) return result;
  KeySaver saver(&profile, file, root);
  std::string path(subkey);
  while (path.size() > 1 && path.back() == '\\') path.pop_back();
  return saver.Save(path);
}

unsigned long CRegistry::LoadFromFile(const char* file) {
  if (!file || !*file) return ERROR_INVALID_PARAMETER;
  CProfile profile;
  unsigned long result = profile.Create(file, nullptr, false);
  if (result != ERROR_SUCCESS) return result;
  std::vector<char> names(kListSize, '\0');
  unsigned long listed = profile.GetSectionName(names.data(), kListSize, true);
  for (const char* name = names.data(); name < names.data() + kListSize && *name; name += std::strlen(name) + 1) {
    result = LoadSection(&profile, name);
  }
  // Sections past the name list's limit are not loaded: say so.
  if (listed != ERROR_SUCCESS && result == ERROR_SUCCESS) result = ERROR_INSUFFICIENT_BUFFER;
  return result;
}
