#pragma once
// The pure rules of the registry store's saved-file format: hive names,
// section names, and the text of one value line. No registry access.
#include <windows.h>

#include <string>

namespace scriptlib {

// "HKEY_LOCAL_MACHINE" and the other named hives; "" for the users hive and
// any other handle.
const char* HiveName(HKEY root);

// A section name "HIVE\path" gives that hive and path (the hive compared
// without regard to case); any other name is a path of the local machine hive.
void ParseRegistrySection(const std::string& section, HKEY* root, std::string* path);

enum class ValueLineKind { kString, kDword, kBinary, kUnknown };

struct ValueLine {
  ValueLineKind kind = ValueLineKind::kUnknown;
  std::string name;
  std::string text;         // kString
  unsigned long dword = 0;  // kDword
};

// One line "name=data" of a section: the name trimmed of blanks, tabs and
// quotes; quoted data is a string, "dword:" data hexadecimal (the last 8
// digits, other characters 0), "hex:" a binary value written as its name only.
ValueLine ParseValueLine(const std::string& line);

// Hexadecimal from the last character backwards, at most 8 digits.
unsigned long HexFromEnd(const std::string& text);

std::string QuotedName(const std::string& name);
std::string DwordData(unsigned long value);

}  // namespace scriptlib
