#pragma once
// What the page preview renders: the page sections of a medium's
// configuration file and the languages of its data file. Plain text in,
// plain data out.
#include <windows.h>

#include <string>
#include <vector>

namespace preview {

struct Language {
  LANGID id;
  std::string abbreviation;  // "EN", the string file's part of the name
};

// Section names of a script file in file order, from its raw text.
std::vector<std::string> SectionNames(const std::string& scriptText);
// The keys of one section (upper case), from the raw text.
std::vector<std::string> SectionKeys(const std::string& scriptText, const std::string& section);
// Sections that describe a page: they place objects or fixed controls or
// name a licence file (fixed-item and object sections do none of these).
std::vector<std::string> PageSections(const std::string& configText);
// One language per abbreviation of LANGUAGE_ABBR, with its first id.
std::vector<Language> Languages(const std::string& dataText);
// A file name for the picture of a page: the section with '.' kept and every
// character a file name cannot hold replaced, plus "_<abbreviation>.png".
std::string PictureName(const std::string& section, const std::string& abbreviation);

}  // namespace preview
