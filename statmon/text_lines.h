#pragma once
// Plain-text helpers shared by the status monitor's file readers: whole-file
// reading, line splitting and white-space trimming. No Win32 here.
#include <string>
#include <string_view>
#include <vector>

namespace sm {

// White space as the C library's isspace() sees it in the "C" locale; bytes of
// 0x80 and above are never white space (the files are ANSI text).
inline bool IsWhite(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

std::string_view Trim(std::string_view text);

// Reads a whole file as bytes; false when it cannot be opened or read.
bool ReadWholeFile(const std::string& path, std::string* bytes);

// Calls `each(line, number)` for every line (numbers from 1) as the C
// runtime's text mode reads the file: a line ends at LF, a CR right before the
// LF belongs to the line break, and a Ctrl-Z (0x1A) ends the file. `each`
// returns false to stop. Lines may be of any length and hold any other byte,
// NUL included.
template <typename Fn>
void ForEachLine(std::string_view bytes, Fn&& each) {
  size_t endOfFile = bytes.find('\x1A');
  if (endOfFile != std::string_view::npos) bytes = bytes.substr(0, endOfFile);
  int number = 0;
  size_t pos = 0;
  while (pos < bytes.size()) {
    size_t end = bytes.find('\n', pos);
    if (end == std::string_view::npos) end = bytes.size();
    size_t stop = (end > pos && bytes[end - 1] == '\r') ? end - 1 : end;
    if (!each(bytes.substr(pos, stop - pos), ++number)) return;
    pos = end + 1;
  }
}

}  // namespace sm
