#include "tools/setupdemo/report.h"

#include <cstdio>
#include <cstring>

#include "framework/handles.h"

namespace demo {

std::string Profile(const std::string& file, const char* section, const char* key) {
  char value[1024] = "";
  GetPrivateProfileStringA(section, key, "", value, sizeof(value), file.c_str());
  return value;
}

std::string RegString(const std::string& key, const char* name) {
  char data[4096];
  DWORD size = sizeof(data);
  if (RegGetValueA(HKEY_LOCAL_MACHINE, key.c_str(), name, RRF_RT_REG_SZ, nullptr, data, &size) != ERROR_SUCCESS) {
    return std::string();
  }
  return data;
}

DWORD RegDword(const std::string& key, const char* name, DWORD fallback) {
  DWORD data = 0, size = sizeof(data);
  if (RegGetValueA(HKEY_LOCAL_MACHINE, key.c_str(), name, RRF_RT_REG_DWORD, nullptr, &data, &size) != ERROR_SUCCESS) {
    return fallback;
  }
  return data;
}

std::vector<std::string> Subkeys(const std::string& key) {
  std::vector<std::string> names;
  fw::UniqueRegKey handle;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, handle.Put()) != ERROR_SUCCESS) return names;
  char name[512];
  for (DWORD i = 0;; ++i) {
    DWORD length = sizeof(name);
    if (RegEnumKeyExA(handle.Get(), i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    names.push_back(name);
  }
  return names;
}

bool KeyExists(const std::string& key) {
  fw::UniqueRegKey handle;
  return RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, handle.Put()) == ERROR_SUCCESS;
}

bool PendingDelete(const std::string& path) {
  std::vector<char> data(65536);
  DWORD size = static_cast<DWORD>(data.size() - 2);
  if (RegGetValueA(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Control\\Session Manager",
                   "PendingFileRenameOperations", RRF_RT_REG_MULTI_SZ, nullptr, data.data(), &size) != ERROR_SUCCESS) {
    return false;
  }
  for (const char* p = data.data(); *p; p += strlen(p) + 1) {
    std::string entry = p;
    if (entry.size() >= path.size() && _stricmp(entry.c_str() + entry.size() - path.size(), path.c_str()) == 0) {
      return true;
    }
  }
  return false;
}

HANDLE StartProgram(const std::string& program, const std::string& arguments) {
  std::string line = "\"" + program + "\" " + arguments;
  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info{};
  if (!CreateProcessA(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
    std::printf("cannot start %s (error %lu)\n", program.c_str(), GetLastError());
    return nullptr;
  }
  CloseHandle(info.hThread);
  return info.hProcess;
}

int ReportItems(const std::string& installKey) {
  int installed = 0;
  for (const auto& item : Subkeys(installKey + "\\Items")) {
    std::string key = installKey + "\\Items\\" + item;
    bool ticked = RegDword(key, "Install") == 1;
    bool ok = RegDword(key, "Install_OK") == 1;
    installed += ok ? 1 : 0;
    std::printf("  %-20s %-34s %s\n", item.c_str(), RegString(key, "DisplayName").c_str(),
                ok ? "installed" : ticked ? "ticked, NOT installed" : "not ticked");
  }
  return installed;
}

int CountLeftBehind(const std::vector<RecordedEntry>& recorded, const std::vector<std::string>& shortcuts,
                    const std::string& destination, const std::string& productKey) {
  int left = 0;
  for (const auto& entry : recorded) {
    if (!StillExists(entry)) continue;
    ++left;
    std::printf("  LEFT BEHIND (%s): %s\n", KindName(entry.kind), entry.text.c_str());
  }
  for (const auto& path : shortcuts) {
    if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) continue;
    ++left;
    std::printf("  LEFT BEHIND (shortcut): %s\n", path.c_str());
  }
  if (!destination.empty() && GetFileAttributesA(destination.c_str()) != INVALID_FILE_ATTRIBUTES) {
    ++left;
    std::printf("  LEFT BEHIND (destination folder): %s\n", destination.c_str());
  }
  if (KeyExists(productKey)) {
    ++left;
    std::printf("  LEFT BEHIND (product key): HKEY_LOCAL_MACHINE\\%s\n", productKey.c_str());
  }
  return left;
}

std::vector<std::string> RecordedShortcuts(const std::string& installKey) {
  std::vector<std::string> shortcuts;
  for (const auto& name : Subkeys(installKey + "\\Shortcut")) {
    std::string path = RegString(installKey + "\\Shortcut\\" + name, "Shortcut_Path");
    if (!path.empty()) shortcuts.push_back(path);
  }
  return shortcuts;
}

}  // namespace demo
