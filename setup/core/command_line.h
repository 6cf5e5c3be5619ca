#pragma once
// The installer's command line: switches are found as substrings anywhere in
// the line (not as tokens), in a fixed order. Pure rules, no system calls.
#include <windows.h>

#include <string>

namespace app {

enum InstallType {
  IS_TYPE_INVALID = 0,
  IS_TYPE_INSTALL = 1,
  IS_TYPE_UNINSTALL = 2,
  IS_TYPE_REMOTE = 3,
  IS_TYPE_REINSTALL = 4,
  IS_TYPE_FACTORY = 5,
  IS_TYPE_CLEAR = 6,
};

struct CommandLineOptions {
  InstallType type = IS_TYPE_INVALID;
  bool factoryTested = false;  // no other switch matched, so the line was read for "/S"
  // Factory mode: the "/L" language, when given.
  bool hasLanguage = false;
  LANGID factoryLanguage = 9;
  // Clear mode.
  std::string uninstallKey;
  std::string className;  // "%s Installer Program" of the "/CLS" value; empty without "/CLS"
  bool hasProcessId = false;
  DWORD processId = 0;
};

// The text after the program name of a full command line (the program name
// may be quoted); leading blanks removed.
std::string ArgumentsOf(const std::string& commandLine);

// Parses the arguments (the line after the program name).
CommandLineOptions ParseCommandLine(const std::string& arguments);

// A clear-mode value: starts one character after the switch, ends before the
// next "/" or at the end; spaces and double quotes stripped from both ends.
std::string SwitchValue(const std::string& line, size_t switchAt, size_t switchLength);

// "0x" and hexadecimal digits (all count, 32 bits kept), else decimal.
DWORD ParseProcessId(const std::string& text);

// "%s Installer Program"
std::string InstallerClassName(const std::string& programName);

// The name of the mutex that a run holds while it goes on: one per installer
// class name, compared without regard to case as class names are, and free of
// the backslash that would name an object namespace.
std::string InstallerMutexName(const std::string& className);

}  // namespace app
