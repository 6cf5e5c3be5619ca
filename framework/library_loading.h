#pragma once
// Where the programs take the libraries they load at run time from. A system
// library comes from the system folder only and a library of the medium only
// by its full path, so that a file planted in the current folder, beside the
// program or on PATH under a system library's name is never loaded.
#include <windows.h>

#include <string>

namespace fw {

enum class SearchHardening {
  kDefaultDirectories,  // the process's default search is the system folder alone
  kNoCurrentFolder,     // only the current folder is taken out of the search (older systems)
  kNone,                // the system offers neither
};

// Called first thing at start-up, before any library is loaded by name.
SearchHardening HardenLibrarySearch();

// A system library by its bare file name ("version.dll"), from the system
// folder; its own dependencies come from there too. A name with a folder in it
// is refused (null, ERROR_INVALID_PARAMETER).
HMODULE LoadSystemLibrary(const char* name);

// A library by its full path ("C:\...", "\\server\share\..."); its dependencies
// come from its own folder and the system folder. Anything else is refused
// (null, ERROR_INVALID_PARAMETER): a relative name would be searched for.
HMODULE LoadLibraryAtPath(const char* path);

// Plain decisions, no system calls.
bool IsFullPath(const std::string& path);
bool IsBareName(const std::string& name);
std::string SystemLibraryPath(const std::string& systemFolder, const std::string& name);

}  // namespace fw
