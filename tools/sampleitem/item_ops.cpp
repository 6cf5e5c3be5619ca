#include "tools/sampleitem/item_ops.h"

#include <windows.h>

#include <vector>

#include "framework/handles.h"

namespace sampleitem {
namespace {

constexpr size_t kMaxPath = MAX_PATH;
constexpr DWORD kMaxManifestBytes = 1 << 20;

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool IsFolder(const std::string& path) {
  DWORD a = GetFileAttributesA(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

std::string Join(const std::string& a, const std::string& b) {
  if (b.empty()) return a;
  if (a.empty()) return b;
  return a + "\\" + b;
}

std::string FileNameOf(const std::string& path) {
  size_t slash = path.find_last_of('\\');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Everything one installation run created, so a failure can take it back.
class Installer {
 public:
  Installer(std::string dest, std::string* message) : dest_(std::move(dest)), message_(message) {}

  bool CreateDestination() {
    // Create the missing folders from the outermost one inwards.
    std::vector<std::string> missing;
    std::string path = dest_;
    while (!path.empty() && !IsFolder(path)) {
      missing.push_back(path);
      size_t slash = path.find_last_of('\\');
      if (slash == std::string::npos || slash < 3) break;
      path = path.substr(0, slash);
    }
    for (auto it = missing.rbegin(); it != missing.rend(); ++it) {
      if (!CreateDirectoryA(it->c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
        return Fail("cannot create folder " + *it, GetLastError());
      }
      if (*it == dest_) made_.folders.push_back("");
      else made_.parentFolders.push_back(*it);
    }
    return true;
  }

  bool CopyFile(const std::string& from, const std::string& relative) {
    std::string to = Join(dest_, relative);
    if (to.size() >= kMaxPath) return Fail("path too long: " + to, ERROR_FILENAME_EXCED_RANGE);
    bool existed = Exists(to);
    if (existed) SetFileAttributesA(to.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (!::CopyFileA(from.c_str(), to.c_str(), FALSE)) return Fail("cannot copy " + from + " to " + to, GetLastError());
    // A copy leaves the medium's read-only flag on the file; the uninstall must be able to delete it.
    SetFileAttributesA(to.c_str(), FILE_ATTRIBUTE_NORMAL);
    // Files that were there before belong to someone else: overwritten, never removed.
    if (!existed) made_.files.push_back(relative);
    ++copied_;
    return true;
  }

  bool CopyFolder(const std::string& from, const std::string& relative) {
    if (!relative.empty()) {
      std::string to = Join(dest_, relative);
      if (to.size() >= kMaxPath) return Fail("path too long: " + to, ERROR_FILENAME_EXCED_RANGE);
      if (!IsFolder(to)) {
        if (!CreateDirectoryA(to.c_str(), nullptr)) return Fail("cannot create folder " + to, GetLastError());
        made_.folders.push_back(relative);
      }
    }
    WIN32_FIND_DATAA found{};
    fw::UniqueFind find(FindFirstFileA((from + "\\*").c_str(), &found));
    if (!find) return GetLastError() == ERROR_FILE_NOT_FOUND || Fail("cannot list " + from, GetLastError());
    do {
      std::string name = found.cFileName;
      if (name == "." || name == "..") continue;
      std::string child = Join(from, name), childRelative = Join(relative, name);
      if (child.size() >= kMaxPath) return Fail("path too long: " + child, ERROR_FILENAME_EXCED_RANGE);
      bool ok = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? CopyFolder(child, childRelative)
                                                                     : CopyFile(child, childRelative);
      if (!ok) return false;
    } while (FindNextFileA(find.Get(), &found));
    return true;
  }

  const Manifest& Made() const { return made_; }
  int Copied() const { return copied_; }

 private:
  bool Fail(const std::string& what, DWORD error) {
    *message_ = what + " (error " + std::to_string(error) + ")";
    return false;
  }

  std::string dest_;
  std::string* message_;
  Manifest made_;
  int copied_ = 0;
};

// Removes the manifest's files and then its folders, innermost first; a
// folder that still holds something that is not ours stays. Returns the
// number of files that could not be removed.
int RemoveRecorded(const std::string& dest, const Manifest& m) {
  int failures = 0;
  for (auto it = m.files.rbegin(); it != m.files.rend(); ++it) {
    std::string path = Join(dest, *it);
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (!DeleteFileA(path.c_str())) {
      DWORD e = GetLastError();
      if (e != ERROR_FILE_NOT_FOUND && e != ERROR_PATH_NOT_FOUND) ++failures;
    }
  }
  for (auto it = m.folders.rbegin(); it != m.folders.rend(); ++it) RemoveDirectoryA(Join(dest, *it).c_str());
  for (auto it = m.parentFolders.rbegin(); it != m.parentFolders.rend(); ++it) RemoveDirectoryA(it->c_str());
  return failures;
}

bool ReadText(const std::string& path, std::string* text) {
  fw::UniqueFile file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  if (!file) return false;
  DWORD size = GetFileSize(file.Get(), nullptr);
  if (size == INVALID_FILE_SIZE || size > kMaxManifestBytes) return false;
  text->assign(size, '\0');
  DWORD read = 0;
  if (size && !ReadFile(file.Get(), text->data(), size, &read, nullptr)) return false;
  text->resize(read);
  return true;
}

bool WriteText(const std::string& path, const std::string& text) {
  fw::UniqueFile file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  DWORD written = 0;
  return WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
         written == text.size();
}

bool WriteRecord(const Request& q, const std::string& source, DWORD files) {
  fw::UniqueRegKey key;
  std::string path = q.registryKey + "\\" + q.component;
  if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.Put(), nullptr) !=
      ERROR_SUCCESS) {
    return false;
  }
  auto text = [&](const char* name, const std::string& value) {
    return RegSetValueExA(key.Get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                          static_cast<DWORD>(value.size() + 1)) == ERROR_SUCCESS;
  };
  auto number = [&](const char* name, DWORD value) {
    return RegSetValueExA(key.Get(), name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value)) ==
           ERROR_SUCCESS;
  };
  // "Installed" last: whoever waits for it finds the rest already written.
  return text("Path", q.dest) && text("Source", source) && number("Files", files) && number("Installed", 1);
}

bool KeyIsEmpty(const std::string& path) {
  fw::UniqueRegKey key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_QUERY_VALUE, key.Put()) != ERROR_SUCCESS) return false;
  DWORD subkeys = 1, values = 1;
  if (RegQueryInfoKeyA(key.Get(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values, nullptr, nullptr,
                       nullptr, nullptr) != ERROR_SUCCESS) {
    return false;
  }
  return subkeys == 0 && values == 0;
}

void DeleteRecord(const Request& q) {
  RegDeleteKeyA(HKEY_LOCAL_MACHINE, (q.registryKey + "\\" + q.component).c_str());
  // The common key goes with its last component (RegDeleteKey leaves a key
  // that still has subkeys); creating it made the keys above it too (the
  // vendor's key): each of those goes once it is empty, up to the key below
  // the hive's own ("Software" stays).
  if (RegDeleteKeyA(HKEY_LOCAL_MACHINE, q.registryKey.c_str()) != ERROR_SUCCESS) return;
  for (std::string path = q.registryKey; path.find('\\') != std::string::npos;) {
    path.erase(path.rfind('\\'));
    if (path.find('\\') == std::string::npos || !KeyIsEmpty(path) ||
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, path.c_str()) != ERROR_SUCCESS) {
      break;
    }
  }
}

// A seam for the tests of an interrupted install: while the file that
// QX_ITEM_HOLD names exists and holds this component's name, the program
// waits (a minute at most) with its payload copied and its record not yet
// written, and says so by making "<file>.held".
void HoldIfAsked(const std::string& component) {
  char path[MAX_PATH] = "";
  DWORD n = GetEnvironmentVariableA("QX_ITEM_HOLD", path, MAX_PATH);
  std::string named;
  if (n == 0 || n >= MAX_PATH || !ReadText(path, &named)) return;
  while (!named.empty() && static_cast<unsigned char>(named.back()) <= ' ') named.pop_back();
  if (_stricmp(named.c_str(), component.c_str()) != 0) return;
  fw::UniqueFile(CreateFileA((std::string(path) + ".held").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr));
  for (int i = 0; i < 600 && GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES; ++i) Sleep(100);
}

}  // namespace

ExitCode InstallComponent(const Request& q, const std::string& mediumRoot, std::string* message) {
  std::string source = q.source.empty() ? DefaultSource(mediumRoot, q.component) : q.source;
  if (!Exists(source)) {
    *message = "payload not found: " + source;
    return kNoSource;
  }
  std::string manifestPath = Join(q.dest, ManifestName(q.component));
  Installer installer(q.dest, message);
  bool ok = installer.CreateDestination();
  if (ok) ok = IsFolder(source) ? installer.CopyFolder(source, "") : installer.CopyFile(source, FileNameOf(source));
  Manifest all = installer.Made();
  if (ok) HoldIfAsked(q.component);
  if (ok) {
    // An earlier installation of the same component stays recorded.
    std::string old;
    Manifest previous;
    if (ReadText(manifestPath, &old) && ParseManifest(old, q.dest, &previous)) {
      MergeManifest(&previous, all);
      all = previous;
    }
    if (!WriteRecord(q, source, static_cast<DWORD>(all.files.size()))) {
      *message = "cannot write the registry record " + q.registryKey + "\\" + q.component;
      RemoveRecorded(q.dest, installer.Made());
      return kRegistryFailed;
    }
    if (!WriteText(manifestPath, FormatManifest(all))) {
      *message = "cannot write the manifest " + manifestPath + " (error " + std::to_string(GetLastError()) + ")";
      ok = false;
    }
  }
  if (!ok) {
    RemoveRecorded(q.dest, installer.Made());
    DeleteFileA(manifestPath.c_str());
    DeleteRecord(q);
    return kCopyFailed;
  }
  *message = "installed " + std::to_string(installer.Copied()) + " file(s) of " + q.component + " from " + source +
             " to " + q.dest;
  return kOk;
}

ExitCode UninstallComponent(const Request& request, std::string* message) {
  Request q = request;
  if (q.dest.empty()) {
    ComponentRecord record = ReadComponentRecord(q.registryKey, q.component);
    if (!record.present) {
      *message = "nothing recorded for " + q.component;
      return kOk;
    }
    // The record may have been edited: its folder is taken only when it is a plain absolute path.
    if (!IsUsableFolderPath(record.path)) {
      *message = "the recorded folder of " + q.component + " is not usable: " + record.path;
      return kRemoveIncomplete;
    }
    q.dest = record.path;
  }
  std::string manifestPath = Join(q.dest, ManifestName(q.component));
  std::string text;
  Manifest m;
  int dropped = 0;
  if (!ReadText(manifestPath, &text)) {
    DeleteRecord(q);
    *message = "nothing recorded for " + q.component + " in " + q.dest;
    return kOk;
  }
  if (!ParseManifest(text, q.dest, &m, &dropped)) {
    *message = "not a manifest of ours: " + manifestPath;
    return kRemoveIncomplete;
  }
  SetFileAttributesA(manifestPath.c_str(), FILE_ATTRIBUTE_NORMAL);
  DeleteFileA(manifestPath.c_str());
  int failures = RemoveRecorded(q.dest, m);
  DeleteRecord(q);
  *message = "removed " + std::to_string(m.files.size() - failures) + " file(s) of " + q.component + " from " + q.dest;
  if (failures) *message += "; " + std::to_string(failures) + " file(s) could not be removed";
  // Lines that would reach outside the destination are never followed; the
  // uninstall is then incomplete, not a success.
  if (dropped) *message += "; " + std::to_string(dropped) + " unsafe manifest line(s) ignored";
  if (failures || dropped) return kRemoveIncomplete;
  return kOk;
}

ComponentRecord ReadComponentRecord(const std::string& registryKey, const std::string& component) {
  ComponentRecord r;
  fw::UniqueRegKey key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, (registryKey + "\\" + component).c_str(), 0, KEY_QUERY_VALUE, key.Put()) !=
      ERROR_SUCCESS) {
    return r;
  }
  r.present = true;
  auto text = [&](const char* name) {
    char buffer[MAX_PATH * 2] = {};
    DWORD size = sizeof(buffer) - 1, type = 0;
    if (RegQueryValueExA(key.Get(), name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) != ERROR_SUCCESS ||
        type != REG_SZ) {
      return std::string();
    }
    return std::string(buffer);
  };
  auto number = [&](const char* name) {
    DWORD value = 0, size = sizeof(value), type = 0;
    if (RegQueryValueExA(key.Get(), name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS ||
        type != REG_DWORD) {
      return DWORD{0};
    }
    return value;
  };
  r.path = text("Path");
  r.source = text("Source");
  r.files = number("Files");
  r.installed = number("Installed");
  return r;
}

}  // namespace sampleitem
