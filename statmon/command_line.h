#pragma once
// The status monitor's command line. Pure code, no Win32.
//
// Form 1: the whole process command line begins with "/": "/<program> x<pipe>"
// (the character after the space is skipped). Toner mode: started by the user
// without arguments. Anything else: no pipe, no toner mode; the monitor then
// only reacts to job messages.
#include <string>
#include <string_view>

namespace sm {

inline constexpr size_t kProgramNameSlot = 50;  // bytes, NUL included
inline constexpr size_t kPipeNameSlot = 255;

struct CommandLineInfo {
  bool haveNames = false;  // form 1 applied
  bool tonerMode = false;
  std::string programName;
  std::string pipeName;
};

// The argument tail as the C runtime hands it to WinMain: the whole line
// without the program token (quoted or up to white space) and the white space
// after it.
std::string_view CommandLineTail(std::string_view whole);

// Form 1 alone; false when it does not apply. A program name of 50 or more
// characters does not fit its slot and is refused, as is a pipe name of 255 or
// more.
bool GetInfoFromCommanLine(std::string_view whole, std::string* programName, std::string* pipeName);

CommandLineInfo ParseStatmonCommandLine(std::string_view whole);

}  // namespace sm
