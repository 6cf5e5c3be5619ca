#pragma once
// Pure rules of the install history: the six lists, their value names, the
// replay order and how hive-qualified entries are split. No Win32 calls.
#include <windows.h>

#include <optional>
#include <string>

namespace engine {

struct HistoryList {
  int kind;
  const char* counter;  // DWORD value holding the number of entries written
  const char* prefix;   // entry values are prefix + number, from 0
};

// Indexed by kind: File 0, Dir 1, Key 2, Value 3, Shortcut 4, DestDir 5.
inline constexpr HistoryList kHistoryLists[6] = {
    {0, "NumOfFiles", "File"}, {1, "NumOfDirs", "Dir"},           {2, "NumOfKeys", "Key"},
    {3, "NumOfValues", "Value"}, {4, "NumOfShortcuts", "Shortcut"}, {5, "NumOfDestDirs", "DestDir"},
};

// Values first (their keys may go next), then keys, files, destination
// trees, directories, shortcuts.
inline constexpr int kReplayOrder[6] = {3, 2, 0, 5, 1, 4};

inline bool IsHistoryKind(int kind) { return kind >= 0 && kind <= 5; }

std::string EntryName(int kind, unsigned long number);

// The number of an entry value name of the given kind ("File12" -> 12);
// nothing for other names, and for spellings the writer never makes
// ("File012", "File-1", "File").
std::optional<unsigned long> EntryNumber(int kind, const std::string& valueName);

// "HIVE\key\path\Name": known hive, key path and value name. Nothing when
// there is no backslash, when the first and the last backslash are the same,
// or when the hive name is unknown.
struct ValueEntry {
  HKEY hive;
  std::string key;
  std::string name;
};
std::optional<ValueEntry> SplitValueEntry(const std::string& entry);

// "HIVE\key\path": an unknown hive name means the local machine. Nothing
// without a backslash.
struct KeyEntry {
  HKEY hive;
  std::string key;
};
std::optional<KeyEntry> SplitKeyEntry(const std::string& entry);

}  // namespace engine
