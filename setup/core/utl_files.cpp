// CUtl: file and directory routines.
#include <shlobj.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/handles.h"
#include "setup/core/clear_copy.h"
#include "setup/core/core_context.h"
#include "setup/core/utl.h"
#include "setup/scriptlib/api_function.h"

namespace {
bool Empty(const char* s) { return !s || !*s; }

std::string ParentOf(const std::string& path) {
  size_t slash = path.rfind('\\');
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

// The system's own folders, read once per process: Windows, system, program
// files, temporary, and the profile and shell folders of the user and of all users.
const std::vector<std::string>& SystemFolders() {
  static const std::vector<std::string> folders = [] {
    std::vector<std::string> list;
    char path[MAX_PATH];
    if (GetWindowsDirectoryA(path, MAX_PATH)) list.push_back(path);
    if (GetSystemDirectoryA(path, MAX_PATH)) list.push_back(path);
    if (GetTempPathA(MAX_PATH, path)) list.push_back(path);
    for (const char* variable : {"USERPROFILE", "ALLUSERSPROFILE", "TEMP", "TMP", "SystemRoot", "ProgramFiles"}) {
      DWORD n = GetEnvironmentVariableA(variable, path, MAX_PATH);
      if (n > 0 && n < MAX_PATH) list.push_back(path);
    }
    for (int csidl : {CSIDL_PROGRAM_FILES, CSIDL_PROGRAM_FILES_COMMON, CSIDL_PROFILE, CSIDL_APPDATA,
                      CSIDL_LOCAL_APPDATA, CSIDL_DESKTOPDIRECTORY, CSIDL_PERSONAL, CSIDL_STARTMENU, CSIDL_PROGRAMS,
                      CSIDL_STARTUP, CSIDL_FONTS, CSIDL_COMMON_APPDATA, CSIDL_COMMON_DESKTOPDIRECTORY,
                      CSIDL_COMMON_DOCUMENTS, CSIDL_COMMON_STARTMENU, CSIDL_COMMON_PROGRAMS, CSIDL_COMMON_STARTUP}) {
      if (SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path) == S_OK) list.push_back(path);
    }
    return list;
  }();
  return folders;
}

// Whether a folder may be removed at all. The path is judged as given and as
// a full path: "C:" names the current folder of drive C to the system, so a
// path that is not absolute ("C:", "sub") is never taken.
bool Removable(const std::string& directory) {
  if (core::IsProtectedDirectory(directory, SystemFolders())) return false;
  char full[MAX_PATH] = "";
  DWORD n = GetFullPathNameA(directory.c_str(), MAX_PATH, full, nullptr);
  return n > 0 && n < MAX_PATH && !core::IsProtectedDirectory(full, SystemFolders());
}

// A drive root, a system folder or a folder above one is never removed; the
// refusal is written to the installer's log.
bool Refused(const std::string& directory) {
  if (Removable(directory)) return false;
  CUtl log;
  log.BorrowApplicationLog();
  log.WriteLog(0, "[CUtl] Refused to remove a drive root or system folder (%s)\n", directory.c_str());
  CUtl::Trace("[CUtl] Refused to remove a drive root or system folder (%s)\n", directory.c_str());
  return true;
}

// Whether a parent walk may remove this folder; it stops quietly at the first that it may not.
bool MayRemoveParent(const std::string& directory) { return Removable(directory); }
}  // namespace

bool CUtl::CreateDirectoryTree(const char* path, bool recordHistory) {
  if (Empty(path)) return false;
  std::string full = std::string(path) + "\\";
  size_t first = full.find('\\');
  // The first component (a drive such as "C:\") is never created.
  for (size_t at = full.find('\\', first + 1); at != std::string::npos; at = full.find('\\', at + 1)) {
    std::string directory = full.substr(0, at + 1);
    if (CreateDirectoryA(directory.c_str(), nullptr)) {
      if (recordHistory) core::RecordHistory(directory, core::kHistoryDir);
      continue;
    }
    DWORD error = GetLastError();
    if (error != ERROR_ALREADY_EXISTS) {
      Trace("[CUtl] Create directory fail [%s]\n", directory.c_str());
      TraceError(error, "CreateDirectory");
      return false;
    }
  }
  return true;
}

bool CUtl::CopyOneFile(const char* source, const char* destination, bool recordHistory, bool registerFile) {
  if (Empty(source) || Empty(destination)) return false;
  SetFileAttributesA(destination, FILE_ATTRIBUTE_NORMAL);
  if (!CopyFileA(source, destination, TRUE) && !CopyFileA(source, destination, FALSE)) {
    Trace("[CUtl] Copy file fail (%s ==> %s)", source, destination);
    return false;
  }
  Trace("[CUtl] Copy file success (%s ==> %s)", source, destination);
  if (recordHistory) core::RecordHistory(destination, core::kHistoryFile);
  // A file copied from a read-only medium keeps the read-only flag otherwise.
  SetFileAttributesA(destination, FILE_ATTRIBUTE_NORMAL);
  if (registerFile) RegisterInstalledFile(destination);
  return true;
}

bool CUtl::CopyDirectoryTree(const char* source, const char* destination, bool recordHistory, bool recursive) {
  if (Empty(source) || Empty(destination)) return false;
  if (!CreateDirectoryTree(destination, true)) {
    Trace("[CUtl] Create (%s) directory fail!!", destination);
    return false;
  }
  std::string from(source), to(destination);
  // On the heap: the recursion may run on a worker thread's small stack.
  auto data = std::make_unique<WIN32_FIND_DATAA>();
  fw::UniqueFind find(FindFirstFileA((from + "\\*.*").c_str(), data.get()));
  if (!find) return true;
  do {
    if (core::IsDotEntry(data->cFileName)) continue;
    std::string src = from + "\\" + data->cFileName;
    std::string dst = to + "\\" + data->cFileName;
    if (data->dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      if (recursive) CopyDirectoryTree(src.c_str(), dst.c_str(), recordHistory, recursive);
    } else {
      CopyOneFile(src.c_str(), dst.c_str(), recordHistory, true);
    }
  } while (FindNextFileA(find.Get(), data.get()));
  return true;
}

bool CUtl::DeleteFileOnReboot(const char* path) {
  if (Empty(path)) return false;
  // Read-only, hidden and system files refuse deletion: the attributes are
  // made normal first, also for a file that then turns out to be in use.
  SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
  BOOL deleted = DeleteFileA(path);
  DWORD error = deleted ? 0 : GetLastError();
  if (deleted) {
    Trace("[CUtl] Delete File (%s) \n", path);
    return true;
  }
  // Nothing to delete, also when its folder went first: no deletion is left
  // waiting for a restart.
  if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return true;
  Trace("[CUtl] Delete File Faile (%s) \n", path);
  if (core::IsRemovalArranged(path)) {
    Trace("[CUtl] The file goes away when this run ends (%s) \n", path);
    return false;
  }
  if (OsFamily() == core::kFamily9x) {
    char shortPath[MAX_PATH] = {};
    GetShortPathNameA(path, shortPath, MAX_PATH);
    WriteProfileStringA("rename", "NUL", shortPath);
    Trace("[CUtl] Set file to be deleted when rebooting by WriteProfileString (%s) \n", path);
  } else if (CAPIFunction::MoveFileExAFn move = core::SystemFunctions().MoveFileExPointer()) {
    move(path, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    Trace("[CUtl] Set file to be deleted when rebooting by MoveFileEx (%s) \n", path);
  }
  return false;
}

bool CUtl::DeleteDirectoryTree(const char* path, bool recursive) {
  std::string directory = core::WithoutTrailingBackslash(path ? path : "");
  if (Refused(directory)) return false;
  if (recursive) {
    auto data = std::make_unique<WIN32_FIND_DATAA>();
    fw::UniqueFind find(FindFirstFileA((directory + "\\*.*").c_str(), data.get()));
    if (find) {
      do {
        // Exactly "." and ".."; a name such as ".x" is content to remove.
        if (core::IsDotEntry(data->cFileName)) continue;
        std::string entry = directory + "\\" + data->cFileName;
        if (data->dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
          SetFileAttributesA(entry.c_str(), FILE_ATTRIBUTE_NORMAL);
          if (!RemoveDirectoryA(entry.c_str())) DeleteDirectoryTree(entry.c_str(), recursive);
        } else {
          DeleteFileOnReboot(entry.c_str());
        }
      } while (FindNextFileA(find.Get(), data.get()));
    }
  }
  if (!RemoveDirectoryA(directory.c_str())) {
    TraceError(GetLastError(), "RemoveDirectory");
    Trace("[CUtl] Delete Directory fail (%s) \n", directory.c_str());
    return true;
  }
  Trace("[CUtl] Delete Directory (%s) \n", directory.c_str());
  if (recursive) {
    // Empty parents go too, up to the first system folder or drive root.
    for (std::string parent = ParentOf(directory); MayRemoveParent(parent); parent = ParentOf(parent)) {
      if (RemoveDirectoryA(parent.c_str())) Trace("[CUtl] RemoveDirectory(%s)\n", parent.c_str());
    }
  }
  return true;
}

bool CUtl::DeleteFileAndEmptyParents(const char* path, bool keepDirectories) {
  if (Empty(path)) return false;
  SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
  bool deleted = DeleteFileA(path) != FALSE;
  DWORD error = deleted ? 0 : GetLastError();
  if (!deleted) Trace("[CUtl] Delete File Faile (%s) \n", path);
  // A file already gone may still leave the folders made for it (an install
  // cut short between making a folder and the file in it).
  bool gone = deleted || error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
  if (!gone || keepDirectories) return deleted;
  for (std::string parent = ParentOf(path); MayRemoveParent(parent) && RemoveDirectoryA(parent.c_str());
       parent = ParentOf(parent)) {
    Trace("[CUtl] RemoveDirectory(%s)\n", parent.c_str());
  }
  return deleted;
}

bool CUtl::RemoveEmptyDirectories(const char* path) {
  std::string directory = core::WithoutTrailingBackslash(path ? path : "");
  if (Refused(directory)) return false;
  while (MayRemoveParent(directory) && RemoveDirectoryA(directory.c_str())) {
    Trace("[CUtl] RemoveDirectory(%s)\n", directory.c_str());
    directory = ParentOf(directory);
  }
  return true;
}

bool CUtl::RegisterInstalledFile(const char* path) {
  if (Empty(path) || OsFamily() != core::kFamily9x) return false;
  fw::UniqueRegKey key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Control\\InstalledFiles", 0, KEY_WRITE,
                    key.Put()) != ERROR_SUCCESS) {
    return false;
  }
  std::string full(path);
  size_t slash = full.rfind('\\');
  std::string name = slash == std::string::npos ? full : full.substr(slash + 1);
  const BYTE marker[2] = {0x0B, 0x00};
  Trace("[CUtl] Register file %s\n", path);
  return RegSetValueExA(key.Get(), name.c_str(), 0, REG_BINARY, marker, sizeof(marker)) == ERROR_SUCCESS;
}
