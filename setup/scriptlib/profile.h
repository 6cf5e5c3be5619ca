#pragma once
// CProfile: the installer's reader and writer of script files (INI-like text:
// [SECTION] headers, KEY=value lines, list lines, "//" comments, %TOKEN%
// strings). It indexes every section once and answers each lookup by reading
// again from the section's stored position; writes go through the system's
// private-profile writer and are seen after Reload.
//
// Results are Win32 error numbers: 0 success, 2 not found, 14 buffer too
// small, 87 bad argument, 110 file cannot be opened.
//
// Limits, all without overflow:
// - A line longer than 32,767 bytes is read up to that many bytes; the rest of
//   the physical line is skipped, never taken for a line of its own.
// - A section name of 1,024 bytes or more is indexed under its first 1,023
//   bytes; a lookup with a longer name finds nothing.
// - Sections past the 8,192nd are not indexed (traced once); lookups of them give 2.
// - Paths of 260 bytes or more are refused with 87.
// - Line ends CR LF, LF and CR are all read; positions are exact byte offsets.
// - A Ctrl-Z among the blank bytes at the end of the file ends it there.
// - Token expansion is bounded: a string-file value has its own tokens expanded
//   once, from that file's STRINGS section, without further nesting; one
//   conversion makes at most kMaxTokenReplacements lookups and never
//   grows past the line limit.
// - The string file is read once per reader: its STRINGS section is indexed
//   on the first token and kept until Reload or the next Create, so a string
//   file edited meanwhile is seen after Reload (as the script itself is).
//   With the in-memory readers switched off (profile_cache.h) every token
//   reads the string file again.
// - Create, Reload and every write make the process's in-memory copy of the
//   script (profile_cache.h) read the file again.
//
// An object is about 33 KB: keep it off the 16 KB stacks of worker threads.
#include <windows.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "setup/scriptlib/export.h"
#include "setup/scriptlib/section_list.h"

class SCRIPTLIB_API CProfile {
 public:
  // Result codes (Win32 error numbers as this library has always used them).
  static constexpr unsigned long kSuccess = 0;
  static constexpr unsigned long kNotFound = 2;
  static constexpr unsigned long kBufferTooSmall = 14;
  static constexpr unsigned long kBadArgument = 87;
  static constexpr unsigned long kCannotOpen = 110;
  static constexpr unsigned long kEndOfFile = 259;  // internal only
  static constexpr int kMaxTokenReplacements = 1000;

  CProfile();
  CProfile(const char* path, const char* stringFile);
  virtual ~CProfile();
  CProfile(const CProfile&) = delete;
  CProfile& operator=(const CProfile&) = delete;

  unsigned long Create(const char* path, const char* stringFile, bool writeOnly);
  unsigned long Reload(const char* path, const char* stringFile);

  unsigned long GetSectionName(char* buffer, unsigned long size, bool separatedByNul);
  unsigned long GetAllKey(const char* section, char* buffer, unsigned long size, bool keyLinesOnly);
  unsigned long GetString(const char* section, const char* key, char* buffer, unsigned long size,
                          bool convertEscapes);
  unsigned long GetDword(const char* section, const char* key, unsigned long* value);
  unsigned long GetControl(const char* section, const char* key, SIZE* size);
  unsigned long GetControl(const char* section, const char* key, POINT* point);
  unsigned long GetControl(const char* section, const char* key, unsigned long* colour);
  unsigned long GetControl(const char* section, const char* key, RECT* rect);

  unsigned long SetValue(const char* section, const char* key, const char* value);
  unsigned long SetValue(const char* section, const char* key, unsigned long value);
  unsigned long SetValue(const char* section, const char* key, SIZE* size);
  unsigned long SetValue(const char* section, const char* key, POINT* point);
  unsigned long SetValue(const char* section, const char* key, unsigned long* colour);
  unsigned long SetValue(const char* section, const char* key, RECT* rect);

 protected:
  unsigned long CreateSectionList();
  // Reads the line at position: the text (CR LF and CR given as LF) and a
  // length such that position + length + 1 is where the next line starts.
  unsigned long ReadOneLine(char* buffer, unsigned long size, unsigned long* length, long position, int origin);
  bool VerifyLine(char* line);
  bool GetSection(const char* line, char* name);
  bool GetKey(const char* line, char* key, char* value);
  unsigned long GetData(const char* section, const char* key, char* buffer, unsigned long size);
  unsigned long FindSection(const char* name, long* position);
  unsigned long FindKey(long position, const char* key, char* buffer, unsigned long size, long* linePosition);
  unsigned long GetStringValue(const char* token, char* buffer, unsigned long size);
  unsigned long ConvertDefinedString(char* buffer, unsigned long size, bool convertEscapes);
  unsigned long StringToDword(const char* text);
  unsigned long SetData(const char* section, const char* key, const char* value);

 private:
  struct ReadWindow;  // bytes of the file around the last line read
  struct KeyIndex;    // keys of one section, upper-cased, first occurrence each

  void FreeSections();
  void CloseFile();
  long TextEnd();
  unsigned long ReadFields(const char* section, const char* key, size_t count, std::vector<long>* fields);
  unsigned long WriteText(const char* section, const char* key, const std::string& value);
  CProfile* StringReader();
  unsigned long IndexStrings();

  FILE* file_;
  CSectionList sections_;
  char stringFile_[260];
  char scriptPath_[260];
  bool writeOnly_;
  std::vector<std::string> upperNames_;  // upper-cased names, parallel to sections_
  std::unique_ptr<ReadWindow> window_;
  // The string-file reader of this reader: indexed, its file closed. Made on
  // the first token, dropped by Create and Reload.
  std::unique_ptr<CProfile> stringReader_;
  // Set on a string-file reader only: its STRINGS section, which its lookups
  // of that section use instead of the file.
  std::unique_ptr<KeyIndex> stringsIndex_;
};
