#pragma once
// The shortcut and copy records under the install key:
// "<key>\Shortcut\<section>" and "<key>\CopyFiles\<section>".
#include <windows.h>

#include <functional>
#include <string>

namespace qx::exec {

struct ShortcutRecord {
  std::string section, name, target, argument, iconFile, folderName, description;
  DWORD iconIndex = 0;
  bool allUsers = false;  // Permission non-zero
  bool desktop = false;   // Group 1
};

// Where the shortcut file goes: "<base>\<Name>.lnk" on the desktop, or
// "<base>\<Folder_Name>\<Name>.lnk" in the program menu. Pure.
std::string ShortcutPath(const ShortcutRecord& link, const std::string& desktopDir, const std::string& programsDir);

// Creates every recorded shortcut and writes its Shortcut_Path; false when
// one of them could not be made. Needs COM initialised on the thread.
bool CreateRecordedShortcuts(const std::string& installKey);

// Runs every copy record; report(section, started/succeeded/failed) around each.
enum class CopyEvent { kStart, kSuccess, kFail };
bool RunCopyRecords(const std::string& installKey, const std::function<void(const std::string&, CopyEvent)>& report);

// Copies a file, a folder (its files, and sub-folders when recursive) or the
// files a wildcard names. A file goes into Dest when Dest is a folder or ends
// with a backslash, else it becomes Dest.
bool CopyPath(const std::string& source, const std::string& dest, bool recursive);

}  // namespace qx::exec
