#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <vector>

#include "companions/exec/item_record.h"
#include "companions/exec/links_copies.h"
#include "companions/world/companion_log.h"
#include "framework/handles.h"

namespace qx::exec {
namespace {

constexpr const char* kTag = "qxexec";

template <typename T>
struct ComPtr {
  T* p = nullptr;
  ~ComPtr() {
    if (p) p->Release();
  }
};

std::string ReadString(HKEY key, const char* name) {
  std::vector<char> buffer(4097, '\0');
  DWORD size = 4096, type = 0;
  if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &size) != ERROR_SUCCESS ||
      type != REG_SZ)
    return {};
  return std::string(buffer.data(), strnlen(buffer.data(), size));
}

DWORD ReadDword(HKEY key, const char* name) {
  DWORD value = 0, size = 4, type = 0;
  if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS ||
      type != REG_DWORD)
    return 0;
  return value;
}

std::string Folder(int csidl) {
  char path[MAX_PATH] = {};
  if (FAILED(SHGetFolderPathA(nullptr, csidl | CSIDL_FLAG_CREATE, nullptr, 0, path))) return {};
  return path;
}

void CreateFolders(const std::string& filePath) {
  for (size_t i = filePath.find('\\', 3); i != std::string::npos; i = filePath.find('\\', i + 1)) {
    CreateDirectoryA(filePath.substr(0, i).c_str(), nullptr);
  }
}

bool SaveLink(const ShortcutRecord& link, const std::string& path) {
  ComPtr<IShellLinkA> shell;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                              reinterpret_cast<void**>(&shell.p))))
    return false;
  shell.p->SetPath(link.target.c_str());
  shell.p->SetArguments(link.argument.c_str());
  shell.p->SetDescription(link.description.c_str());
  if (!link.iconFile.empty()) shell.p->SetIconLocation(link.iconFile.c_str(), static_cast<int>(link.iconIndex));
  size_t slash = link.target.find_last_of('\\');
  if (slash != std::string::npos) shell.p->SetWorkingDirectory(link.target.substr(0, slash).c_str());
  ComPtr<IPersistFile> file;
  if (FAILED(shell.p->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file.p)))) return false;
  std::vector<wchar_t> wide(path.size() + 1);
  MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide.data(), static_cast<int>(wide.size()));
  return SUCCEEDED(file.p->Save(wide.data(), TRUE));
}

}  // namespace

std::string ShortcutPath(const ShortcutRecord& link, const std::string& desktopDir, const std::string& programsDir) {
  if (link.name.empty()) return {};
  if (link.desktop) return desktopDir + "\\" + link.name + ".lnk";
  std::string dir = programsDir;
  if (!link.folderName.empty()) dir += "\\" + link.folderName;
  return dir + "\\" + link.name + ".lnk";
}

bool CreateRecordedShortcuts(const std::string& installKey) {
  std::string root = installKey + "\\Shortcut";
  std::vector<std::string> sections;
  if (!SubkeyNames(root, &sections)) return true;
  bool all = true;
  for (const auto& name : sections) {
    const char* section = name.c_str();
    std::string keyPath = root + "\\" + name;
    fw::UniqueRegKey key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, KEY_READ | KEY_SET_VALUE, key.Put()) != ERROR_SUCCESS)
      continue;
    ShortcutRecord link;
    link.section = section;
    link.name = ReadString(key.Get(), "Name");
    link.target = ReadString(key.Get(), "Target");
    link.argument = ReadString(key.Get(), "Argument");
    link.iconFile = ReadString(key.Get(), "Icon_File");
    link.folderName = ReadString(key.Get(), "Folder_Name");
    link.description = ReadString(key.Get(), "Icon_Description");
    link.iconIndex = ReadDword(key.Get(), "Icon_Index");
    link.allUsers = ReadDword(key.Get(), "Permission") != 0;
    link.desktop = ReadDword(key.Get(), "Group") == 1;
    std::string path = ShortcutPath(link, Folder(link.allUsers ? CSIDL_COMMON_DESKTOPDIRECTORY : CSIDL_DESKTOPDIRECTORY),
                                    Folder(link.allUsers ? CSIDL_COMMON_PROGRAMS : CSIDL_PROGRAMS));
    if (path.empty()) {
      world::Log(kTag, "Shortcut [%s] has no name", section);
      all = false;
      continue;
    }
    // Recorded before it is made: an install cut short between the two still
    // has the uninstall take away the file and the folder made for it.
    RegSetValueExA(key.Get(), "Shortcut_Path", 0, REG_SZ, reinterpret_cast<const BYTE*>(path.c_str()),
                   static_cast<DWORD>(path.size() + 1));
    CreateFolders(path);
    if (!SaveLink(link, path)) {
      world::Log(kTag, "Shortcut [%s] could not be created: %s", section, path.c_str());
      RegDeleteValueA(key.Get(), "Shortcut_Path");
      all = false;
      continue;
    }
    world::Log(kTag, "Shortcut [%s] created: %s -> %s", section, path.c_str(), link.target.c_str());
  }
  return all;
}

}  // namespace qx::exec
