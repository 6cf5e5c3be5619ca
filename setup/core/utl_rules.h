#pragma once
// Pure rules of the installer utilities: number and colour conversion, token
// substitution, registry-entry parsing, Windows version classes, hive names.
// No Win32 state; tested directly.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace core {

inline constexpr COLORREF kNoColour = 0x010101;  // "no colour given"

// Decimal (leading digits) or, with "0X" anywhere, the last four characters
// after removing every "0X", read as hexadecimal; at most 0xFFFF then.
DWORD StringToNumber(const char* text);

// "r,g,b" to a colour reference; the sentinel for an empty or short value.
enum class ColourParse { kOk, kEmpty, kMissingGreen, kMissingBlue };
ColourParse ParseColour(const std::string& text, COLORREF* colour);

// Replaces every occurrence of what by with; returns the text.
void ReplaceAll(std::string* text, const std::string& what, const std::string& with);
// Escaped line breaks as typed in a script ("\r\n" as four characters) to CR LF.
void ExpandLineBreaks(std::string* text);

// The longest text a substitution may produce: a script line's buffer.
inline constexpr size_t kMaxExpandedLength = 32767;

// Replaces every occurrence of what by with unless the result would be longer
// than limit; false (text unchanged) then.
bool ReplaceAllBounded(std::string* text, const std::string& what, const std::string& with,
                       size_t limit = kMaxExpandedLength);

// Replaces tokens between a pair of delimiters: for each pair found from the
// scan position, lookup(token with delimiters) gives the value and every
// occurrence of the token is replaced; the scan goes on after the closing
// delimiter as it stood before the replacement. Bounded by maxTokens lookups
// and by limit (the line limit unless given): a replacement that would make
// the text longer is not made and ends the substitution, and *bounded (when
// given) is set.
std::string SubstituteTokens(const std::string& text, char delimiter,
                             const std::function<std::string(const std::string&)>& lookup,
                             int maxTokens = 1000, bool* bounded = nullptr, size_t limit = kMaxExpandedLength);

using TokenLookup = std::function<std::string(const std::string&)>;

// The message layer: each "@NAME@" (the token with its at signs goes to
// lookup) replaced as SubstituteTokens replaces, then the escaped line breaks
// expanded. *bounded is set when a limit stopped the substitution. Only the
// fuzz harnesses give another length limit than the line limit.
std::string ExpandMessageReferences(const std::string& text, const TokenLookup& lookup, bool* bounded,
                                    size_t limit = kMaxExpandedLength);
// The strings layer: the same for each "%TOKEN%".
std::string ExpandPercentTokens(const std::string& text, const TokenLookup& lookup, bool* bounded,
                                size_t limit = kMaxExpandedLength);

// The variable layer: each token of the table in order replaces every
// occurrence of it by its value, so a value put in by an earlier token is seen
// by the later ones. A replacement that would pass kMaxExpandedLength is left
// out and sets *bounded.
struct VariableToken {
  const char* token;
  const std::string* value;
};
std::string ExpandVariableTable(const std::string& text, const std::vector<VariableToken>& table, bool* bounded);

// "ROOT,Key\Path\Value,TYPE,data".
struct RegistryEntry {
  HKEY root = HKEY_LOCAL_MACHINE;
  std::string key;
  std::string valueName;
  bool isDword = false;
  bool hasData = false;
  std::string data;
};
enum class EntryParse { kEmpty, kOk, kMissingKey, kMissingType };
EntryParse ParseRegistryEntry(const std::string& text, RegistryEntry* entry);

// "HKLM"/"HKCU" (any case); anything else is the local machine.
HKEY RootFromShortName(const std::string& name);

// Hive-qualified display name "HKEY_...\key"; unknown roots as local machine.
std::string FullKeyName(HKEY root, const std::string& key);
// The long hive names both ways; false for an unknown name.
bool HiveFromName(const std::string& name, HKEY* hive);

// OS code and family from the platform's version record.
struct OsClass {
  int code = 0;
  int family = 0;
};
OsClass ClassifyOs(DWORD platformId, DWORD major, DWORD minor, const char* servicePack);

inline constexpr int kFamilyWin32s = 2;
inline constexpr int kFamily9x = 10;
inline constexpr int kFamilyNtOther = 15;
inline constexpr int kFamilyNt5 = 17;

// Skips "." and ".." only: every other name, ".x" too, is real content.
bool IsDotEntry(const char* name);

// Path without the trailing backslashes.
std::string WithoutTrailingBackslash(std::string path);

// Whether a directory must never be removed: empty, a drive or share root, or
// one of the system's own folders or a folder above one of them. Both sides
// are full paths; compared without regard to case or trailing backslashes.
bool IsProtectedDirectory(const std::string& fullPath, const std::vector<std::string>& systemFolders);

}  // namespace core
