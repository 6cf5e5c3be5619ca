#include <vector>

#include "companions/exec/item_record.h"
#include "companions/exec/links_copies.h"
#include "companions/world/companion_log.h"
#include "framework/handles.h"

namespace qx::exec {
namespace {

constexpr const char* kTag = "qxexec";

bool IsFolder(const std::string& path) {
  DWORD a = GetFileAttributesA(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool MakeFolders(const std::string& dir) {
  if (dir.empty() || IsFolder(dir)) return true;
  size_t slash = dir.find_last_of('\\');
  if (slash != std::string::npos && slash > 2 && !MakeFolders(dir.substr(0, slash))) return false;
  return CreateDirectoryA(dir.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

// Copies what the pattern finds in its folder into dest.
bool CopyMatches(const std::string& folder, const std::string& pattern, const std::string& dest, bool recursive) {
  if (!MakeFolders(dest)) return false;
  WIN32_FIND_DATAA found;
  fw::UniqueFind find(FindFirstFileA((folder + "\\" + pattern).c_str(), &found));
  if (!find) return GetLastError() == ERROR_FILE_NOT_FOUND && pattern == "*";  // an empty folder copies fine
  bool ok = true;
  do {
    std::string name = found.cFileName;
    if (name == "." || name == "..") continue;
    std::string from = folder + "\\" + name, to = dest + "\\" + name;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      if (recursive) ok = CopyMatches(from, "*", to, true) && ok;
    } else if (!CopyFileA(from.c_str(), to.c_str(), FALSE)) {
      world::Log(kTag, "CopyFile (%s -> %s) failed (%lu)", from.c_str(), to.c_str(), GetLastError());
      ok = false;
    }
  } while (FindNextFileA(find.Get(), &found));
  return ok;
}

std::string ReadString(HKEY key, const char* name) {
  std::vector<char> buffer(4097, '\0');
  DWORD size = 4096, type = 0;
  if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &size) != ERROR_SUCCESS ||
      type != REG_SZ)
    return {};
  return std::string(buffer.data(), strnlen(buffer.data(), size));
}

}  // namespace

bool CopyPath(const std::string& source, const std::string& dest, bool recursive) {
  if (source.empty() || dest.empty()) return false;
  if (IsFolder(source)) return CopyMatches(source, "*", dest, recursive);
  size_t slash = source.find_last_of('\\');
  std::string folder = slash == std::string::npos ? "." : source.substr(0, slash);
  std::string name = source.substr(slash == std::string::npos ? 0 : slash + 1);
  if (name.find_first_of("*?") != std::string::npos) return CopyMatches(folder, name, dest, recursive);
  std::string target = dest;
  if (dest.back() == '\\' || IsFolder(dest)) {
    std::string dir = dest.back() == '\\' ? dest.substr(0, dest.size() - 1) : dest;
    if (!MakeFolders(dir)) return false;
    target = dir + "\\" + name;
  } else {
    size_t cut = dest.find_last_of('\\');
    if (cut != std::string::npos && !MakeFolders(dest.substr(0, cut))) return false;
  }
  if (CopyFileA(source.c_str(), target.c_str(), FALSE)) return true;
  world::Log(kTag, "CopyFile (%s -> %s) failed (%lu)", source.c_str(), target.c_str(), GetLastError());
  return false;
}

bool RunCopyRecords(const std::string& installKey, const std::function<void(const std::string&, CopyEvent)>& report) {
  std::string root = installKey + "\\CopyFiles";
  std::vector<std::string> sections;
  if (!SubkeyNames(root, &sections)) return true;
  bool all = true;
  for (const auto& name : sections) {
    const char* section = name.c_str();
    fw::UniqueRegKey key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, (root + "\\" + name).c_str(), 0, KEY_READ, key.Put()) != ERROR_SUCCESS) {
      continue;
    }
    std::string src = ReadString(key.Get(), "Src"), dest = ReadString(key.Get(), "Dest");
    DWORD sub = 1, subSize = 4, type = 0;
    if (RegQueryValueExA(key.Get(), "CopySubDir", nullptr, &type, reinterpret_cast<BYTE*>(&sub), &subSize) !=
            ERROR_SUCCESS || type != REG_DWORD)
      sub = 1;
    report(section, CopyEvent::kStart);
    bool ok = CopyPath(src, dest, sub != 0);
    world::Log(kTag, "Copy [%s] %s -> %s: %s", section, src.c_str(), dest.c_str(), ok ? "done" : "failed");
    report(section, ok ? CopyEvent::kSuccess : CopyEvent::kFail);
    all = all && ok;
  }
  return all;
}

}  // namespace qx::exec
