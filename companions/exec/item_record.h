#pragma once
// One install item as its record under "<install key>\Items\<name>" holds it,
// and the decisions the installation library takes on it. The record layout
// belongs to the installer's install items; we only read it and write back
// Install_OK / Uninstall and the shortcut path.
#include <windows.h>

#include <string>
#include <vector>

namespace qx::exec {

// The names of the subkeys of a local-machine key (item, shortcut and copy
// records); false when the key cannot be opened.
bool SubkeyNames(const std::string& key, std::vector<std::string>* names);

struct ItemRecord {
  std::string name;  // the record's key name
  bool install = false;
  bool uninstall = false;
  std::string command, param;
  DWORD successReturn = 1;
  DWORD uninstallSuccessReturn = 1;  // our own optional value; Success_Return when absent
  std::string waitFile, waitRegKey, waitRegValue, waitRegData;
  DWORD waitTimeoutMs = 0;  // our own optional value Wait_Timeout; 0 = the default limit
  bool printer = false;
  std::string driverName, printerName, infPath, ntInf, shareName;
  std::string spoolerName;  // our own value Spooler_Name: the name the spooler knows the printer by
  bool share = false;
  std::string uninstallValueName, uninstallCmd, uninstallParam;
};

// Reads the record; false when its key cannot be opened. Absent values keep
// their defaults.
bool ReadItemRecord(const std::string& installKey, const std::string& name, ItemRecord* out);

// --- pure decisions ---

// The command line of a command and its parameters: the command quoted when it
// is one path that holds a blank and is not quoted yet (a command that is not
// one existing file, "msiexec /i x.msi", is taken as a command line and left
// alone), the parameters after one blank, trailing blanks dropped. Empty
// command gives "".
std::string BuildCommandLine(const std::string& command, const std::string& param, bool commandIsOnePath = true);

// The UninstallInfo key beside an install key: "Software\M\P\Install" gives
// "Software\M\P\UninstallInfo" (the last component is replaced).
std::string UninstallInfoKeyFor(const std::string& installKey);

// What the UninstallInfo value of an installed item holds: its uninstall
// command line, or the item name when it has none (never empty, as a non-empty
// value is what marks the item installed).
std::string UninstallInfoText(const ItemRecord& item);

// "HKEY_CURRENT_USER\X", "HKCU\X", ... -> hive and path; no known hive prefix
// means the local machine hive and the whole text.
void SplitRegistryPath(const std::string& text, HKEY* hive, std::string* path);

// Whether a registry value satisfies the wait condition: any value when the
// expected data is empty; a string equal to it; a DWORD equal to its number
// (decimal or 0x hexadecimal).
bool RegistryDataMatches(DWORD type, const BYTE* data, DWORD size, const std::string& expected);

}  // namespace qx::exec
