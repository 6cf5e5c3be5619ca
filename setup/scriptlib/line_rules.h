#pragma once
// The pure rules of the script format: cleaning a line, recognising headers
// and key lines, number conversion. No file access, no Win32 state: only
// UpperCase asks the system (upper_case.cpp), for its code page.
#include <cstddef>
#include <string>
#include <vector>

namespace scriptlib {

inline constexpr unsigned long kLineBufferSize = 32768;  // a line with its line end and NUL
inline constexpr size_t kSectionNameSize = 1024;         // a section name with its NUL

// Cleans a line in place: trims blanks (and line ends), drops "//" comments
// (a whole-line comment empties the line; a trailing one is cut with the
// blanks before it, except after a URL scheme or inside a quoted pair).
// Returns whether content remains.
bool CleanLine(char* line);

// A header is "[" ... "]": the name between "[" and the first "]", unchanged,
// cut to kSectionNameSize - 1 bytes. Returns false for any other line.
bool ParseHeader(const char* line, std::string* name);

// A key line has at least 4 characters and "=" after its first character; the
// key loses its trailing blanks, the value its leading blanks.
bool ParseKeyLine(const char* line, std::string* key, std::string* value);

// Decimal (atoi rules) or, when "0X" appears anywhere, the last 8 characters
// read as hexadecimal with unknown characters counting 0.
unsigned long StringToDword(const char* text);

// Splits at commas (runs of commas count as one, leading commas skipped);
// fields are not trimmed.
std::vector<std::string> SplitFields(const char* text);

// The first `count` fields of a size, point, colour or rectangle value, each
// read by StringToDword and taken as signed; false, with nothing stored, when
// fewer fields are written.
bool NumberFields(const char* text, size_t count, std::vector<long>* fields);

// A colour reference from its red, green and blue fields, each cut to 8 bits.
unsigned long ColourFromFields(long red, long green, long blue);

// Upper-case copy in the system's ANSI code page.
std::string UpperCase(const char* text);

}  // namespace scriptlib
