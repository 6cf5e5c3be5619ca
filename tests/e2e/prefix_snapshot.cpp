#include "tests/e2e/prefix_snapshot.h"

#include <windows.h>

#include <cstdio>

#include "framework/handles.h"

namespace e2e {
namespace {

// Keys Wine itself writes, whatever programs run; a difference there says
// nothing about the installer. A new desktop of the null display driver
// (seen after a wineserver start, and again in a later session) registers its
// display adapter and monitor anew: a video key under a fresh GUID, their
// device interfaces and the class keys of display adapters and monitors,
// with the date of their "driver".
const char* const kWineOwnKeys[] = {
    // Rebuilt from the host (processors, buses, BIOS) when the prefix starts.
    "HKLM\\HARDWARE",
    "HKLM\\System\\CurrentControlSet\\Control\\Video",
    "HKLM\\System\\CurrentControlSet\\Hardware Profiles\\Current\\System\\CurrentControlSet\\Control\\Video",
    "HKLM\\System\\CurrentControlSet\\Control\\DeviceClasses",
    "HKLM\\System\\CurrentControlSet\\Control\\Class\\{4D36E968-E325-11CE-BFC1-08002BE10318}",  // display adapters
    "HKLM\\System\\CurrentControlSet\\Control\\Class\\{4D36E96E-E325-11CE-BFC1-08002BE10318}",  // monitors
    // The service manager counts its own starts here.
    "HKLM\\System\\CurrentControlSet\\Control\\ServiceCurrent",
    // The system parameters (colours, metrics, mouse) of the running session.
    "HKCU\\Software\\Wine\\Temporary System Parameters",
};

// Keys that Wine makes (volatile) as the parents of the ones above: present
// or not depending on whether its display set-up ran before a snapshot. Only
// the keys themselves; whatever else they hold is compared.
const char* const kWineOwnParents[] = {
    "HKLM\\System\\CurrentControlSet\\Hardware Profiles\\Current\\System",
    "HKLM\\System\\CurrentControlSet\\Hardware Profiles\\Current\\System\\CurrentControlSet",
    "HKLM\\System\\CurrentControlSet\\Hardware Profiles\\Current\\System\\CurrentControlSet\\Control",
};

bool WineOwnParent(const std::string& path) {
  for (const char* key : kWineOwnParents) {
    if (_stricmp(path.c_str(), key) == 0) return true;
  }
  return false;
}

bool Excluded(const std::string& path) {
  for (const char* key : kWineOwnKeys) {
    size_t n = strlen(key);
    if (path.size() >= n && _strnicmp(path.c_str(), key, n) == 0 && (path.size() == n || path[n] == '\\')) return true;
  }
  return false;
}

std::string Hex(const BYTE* data, DWORD size) {
  std::string text;
  char byte[4];
  for (DWORD i = 0; i < size; ++i) {
    snprintf(byte, sizeof(byte), "%02x", data[i]);
    text += byte;
  }
  return text;
}

std::string Describe(DWORD type, const std::vector<BYTE>& data, DWORD size) {
  switch (type) {
    case REG_SZ:
    case REG_EXPAND_SZ: {
      std::string text(reinterpret_cast<const char*>(data.data()), size);
      while (!text.empty() && text.back() == '\0') text.pop_back();
      return (type == REG_SZ ? "sz:" : "expand:") + text;
    }
    case REG_DWORD:
      if (size == 4) return "dword:" + std::to_string(*reinterpret_cast<const DWORD*>(data.data()));
      break;
  }
  return "type" + std::to_string(type) + ":" + Hex(data.data(), size);
}

void SnapshotKey(HKEY root, const std::string& name, const std::string& key, PrefixSnapshot* out) {
  std::string path = key.empty() ? name : name + "\\" + key;
  if (Excluded(path)) return;
  fw::UniqueRegKey handle;
  if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, handle.Put()) != ERROR_SUCCESS) return;
  if (!WineOwnParent(path)) (*out)[path] = "";
  std::vector<BYTE> data(4096);
  std::vector<char> valueName(16384);
  for (DWORD i = 0;; ++i) {
    DWORD nameLength = static_cast<DWORD>(valueName.size()), type = 0, size = static_cast<DWORD>(data.size());
    LONG status = RegEnumValueA(handle.Get(), i, valueName.data(), &nameLength, nullptr, &type, data.data(), &size);
    if (status == ERROR_MORE_DATA) {
      data.resize(size + 16);
      --i;
      continue;
    }
    if (status != ERROR_SUCCESS) break;
    (*out)[path + "\\\\" + std::string(valueName.data(), nameLength)] = Describe(type, data, size);
  }
  std::vector<std::string> subkeys;
  char subkey[1024];
  for (DWORD i = 0;; ++i) {
    DWORD length = sizeof(subkey);
    if (RegEnumKeyExA(handle.Get(), i, subkey, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    subkeys.emplace_back(subkey, length);
  }
  for (const auto& sub : subkeys) SnapshotKey(root, name, key.empty() ? sub : key + "\\" + sub, out);
}

void SnapshotFolder(const std::string& folder, PrefixSnapshot* out) {
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return;
  std::vector<std::string> folders;
  do {
    std::string name = data.cFileName;
    if (name == "." || name == "..") continue;
    std::string path = folder + "\\" + name;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      (*out)[path + "\\"] = "";
      // Wine links the shell folders of the user's profile to the host; they
      // are folders of the prefix here, but a link could lead anywhere.
      if (!(data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) folders.push_back(path);
      continue;
    }
    ULONGLONG size = (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    ULONGLONG written =
        (static_cast<ULONGLONG>(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime;
    (*out)[path] = std::to_string(size) + " bytes, written " + std::to_string(written);
  } while (FindNextFileA(find, &data));
  FindClose(find);
  for (const auto& sub : folders) SnapshotFolder(sub, out);
}

}  // namespace

PrefixSnapshot SnapshotPrefix(const std::vector<std::string>& folders) {
  PrefixSnapshot out;
  SnapshotKey(HKEY_LOCAL_MACHINE, "HKLM", "", &out);
  SnapshotKey(HKEY_CURRENT_USER, "HKCU", "", &out);
  SnapshotFolder("C:", &out);
  for (const auto& folder : folders) SnapshotFolder(folder, &out);
  return out;
}

std::vector<std::string> Difference(const PrefixSnapshot& before, const PrefixSnapshot& after) {
  std::vector<std::string> lines;
  for (const auto& [path, data] : after) {
    auto old = before.find(path);
    if (old == before.end()) {
      lines.push_back("+ " + path + (data.empty() ? "" : " = " + data));
    } else if (old->second != data) {
      lines.push_back("~ " + path + ": " + old->second + " -> " + data);
    }
  }
  for (const auto& [path, data] : before) {
    if (!after.count(path)) lines.push_back("- " + path);
  }
  return lines;
}

std::string Lines(const std::vector<std::string>& lines) {
  std::string text;
  for (const auto& line : lines) text += line + "\n";
  return text;
}

}  // namespace e2e
