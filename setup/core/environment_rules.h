#pragma once
// Pure rules of the installer's environment: the built-in language table,
// the operating-system keys, where script files are looked for, pattern
// filling. No Win32 state; tested directly.
#include <windows.h>

#include <string>

namespace core {

struct LanguageMatch {
  LANGID id = 9;
  std::string abbreviation;  // empty: the table has none for this language
};

inline LANGID PrimaryLanguage(LANGID id) { return static_cast<LANGID>(id & 0x3FF); }
inline int SubLanguage(LANGID id) { return id >> 10; }

// The built-in abbreviations by primary language. Chinese and Portuguese are
// told apart by sublanguage (1 or 2) and keep their full id; every other
// language gives its primary id.
LanguageMatch BuiltinLanguage(LANGID id);

// "0X%04X" of a number: the key form of language ids in the data file.
std::string LanguageKey(unsigned id);

// "0X%04X%02X%02X" of the platform code (1 Windows 9x, 2 NT, 0 other), the
// major and the minor version.
std::string OsKey(DWORD platformId, DWORD major, DWORD minor);
// The key tried when the data file has none for the running system.
std::string OsFallbackKey(DWORD platformId, DWORD major);

// Where a script-named file is looked for: unchanged with a drive (":\"),
// against the source directory's parent for "..", the source directory for
// "." and otherwise inside the source directory.
std::string ResolveAgainstSource(const std::string& sourceDirectory, const std::string& name);

// The program's directory (without trailing backslash) and its data file
// (the program's path with the extension replaced by ".dat").
std::string SourceDirectoryOf(const std::string& programPath);
std::string DataFileOf(const std::string& programPath);

// Puts value in place of the first "%s" of a pattern taken from a script.
// Other percent signs stay as they are: a script pattern is never used as a
// format string.
std::string FillPattern(const std::string& pattern, const std::string& value);

}  // namespace core
