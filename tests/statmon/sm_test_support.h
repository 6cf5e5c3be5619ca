#pragma once
// Helpers of the status monitor tests: where the built programs and the sample
// data are, and a monitor installation in a temporary folder.
#include <windows.h>

#include <string>

#include "tests/support/process.h"
#include "tests/support/temp_dir.h"

namespace smtest {

// A file of this build, by its path relative to the build folder.
std::string BuildFile(const std::string& relative);
// The shipped sample data (media/statmon).
std::string MediaDir();
std::string ReadMedia(const std::string& name);

// Copies statmon.exe (under `exeName`), smdevmon.dll and the sample data into
// the folder; returns the path of the copied program.
std::string InstallSample(const qx::test::TempDir& dir, const std::string& exeName = "statmon.exe");

using qx::test::WaitFor;

}  // namespace smtest
