#pragma once
// The saved registry text file: one INI-like section per key, named by hive
// and key path, in pre-order; one line per value:
//   "Name"="text"          string
//   "Name"=dword:0000000a  DWORD (8 lower-case hex digits)
//   "Name"=hex:            binary (name only; not recreated on load)
// The same format the installer's registry store saves and loads.
#include <windows.h>

#include <string>

namespace qx::util {

inline constexpr size_t kMaxValueName = 259;
inline constexpr size_t kMaxValueData = 4096;

// Pure formatting and parsing, no registry access.
const char* HiveName(HKEY hive);  // null for hives without a name in this format
std::string StringLine(const std::string& name, const std::string& data);
std::string DwordLine(const std::string& name, DWORD value);
std::string BinaryLine(const std::string& name);
// Reads hexadecimal from the last character backwards, at most 8 digits; a
// character that is not a hex digit counts as 0.
DWORD ParseHexDword(const std::string& text);
// "HKEY_CURRENT_USER\Software\X" -> hive and path; an unknown hive part means
// the local machine hive and the whole name as path.
void SplitSectionName(const std::string& section, HKEY* hive, std::string* path);

enum class LineKind { kString, kDword, kBinary, kUnknown };
struct ValueLine {
  std::string name;
  LineKind kind = LineKind::kUnknown;
  std::string text;
  DWORD dword = 0;
};
// False for a line without "=".
bool ParseValueLine(const std::string& line, ValueLine* out);

// Saves the key tree (HKEY_LOCAL_MACHINE) to the file, replacing it. Win32 error code.
DWORD SaveKeyTree(const std::string& file, HKEY hive, const std::string& key);
// Loads every section of such a file into the registry. Win32 error code of
// the last section (0 when all succeeded).
DWORD LoadKeyTrees(const std::string& file);

}  // namespace qx::util
