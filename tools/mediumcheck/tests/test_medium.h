#pragma once
// A small clean medium that the tests write, change in one place and check.
#include <map>
#include <string>

#include "tools/mediumcheck/report.h"
#include "tests/support/temp_dir.h"

namespace mediumcheck::test {

// The build folder, found from the test program's place (<build>\tools\mediumcheck\tests).
std::string BuildDir();

// File name (relative to the medium) -> text with "\n" line ends.
using Files = std::map<std::string, std::string>;
Files CleanMedium();

// Writes the files with CR LF line ends, and the resource library of the
// sample medium as data\setupres.dll.
void WriteMedium(const qx::test::TempDir& dir, const Files& files);

// Loads and checks the medium in `folder`.
Report CheckFolder(const std::string& folder, const std::string& language = "");

}  // namespace mediumcheck::test
