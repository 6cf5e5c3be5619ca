// The one rule of the script format that needs the system: upper case in the
// ANSI code page (letters beyond ASCII too), so that names compare as the
// system's own profile functions compare them.
#include <windows.h>

#include "setup/scriptlib/line_rules.h"

namespace scriptlib {

std::string UpperCase(const char* text) {
  std::string upper(text ? text : "");
  if (!upper.empty()) CharUpperBuffA(upper.data(), static_cast<DWORD>(upper.size()));
  return upper;
}

}  // namespace scriptlib
