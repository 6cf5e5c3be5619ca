#pragma once
// Small readers the main job reports with: script values, the registry of
// the local machine, the restart deletions the system keeps.
#include <windows.h>

#include <string>
#include <vector>

#include "tools/wizarddrive/history_check.h"

namespace demo {

std::string Profile(const std::string& file, const char* section, const char* key);
std::string RegString(const std::string& key, const char* name);
DWORD RegDword(const std::string& key, const char* name, DWORD fallback = 0);
std::vector<std::string> Subkeys(const std::string& key);
bool KeyExists(const std::string& key);
// Whether a file is listed for deletion at the next restart.
bool PendingDelete(const std::string& path);

// Starts "program" arguments; its process handle, or null (and a line) on failure.
HANDLE StartProgram(const std::string& program, const std::string& arguments);

// The item records of an install key, a line each; returns how many were installed.
int ReportItems(const std::string& installKey);

// Prints and counts what is still there of an install: the entries its
// history recorded, its shortcuts, its destination folder, the product key.
int CountLeftBehind(const std::vector<RecordedEntry>& recorded, const std::vector<std::string>& shortcuts,
                    const std::string& destination, const std::string& productKey);
// The shortcut paths the install recorded.
std::vector<std::string> RecordedShortcuts(const std::string& installKey);

}  // namespace demo
