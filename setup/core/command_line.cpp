#include "setup/core/command_line.h"

#include <cctype>
#include <cstdlib>

#include "setup/core/utl_rules.h"

namespace app {
namespace {

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

std::string StripEnds(const std::string& text) {
  size_t start = 0, end = text.size();
  while (start < end && (text[start] == ' ' || text[start] == '"')) ++start;
  while (end > start && (text[end - 1] == ' ' || text[end - 1] == '"')) --end;
  return text.substr(start, end - start);
}

void ParseFactory(const std::string& upper, CommandLineOptions* options) {
  if (upper.find("/S") == std::string::npos) {
    options->type = IS_TYPE_INVALID;
    return;
  }
  options->type = IS_TYPE_FACTORY;
  size_t at = upper.find("/L");
  if (at == std::string::npos) return;
  size_t end = upper.find('/', at + 1);
  std::string value = upper.substr(at + 2, end == std::string::npos ? std::string::npos : end - at - 2);
  std::string digits;
  for (char c : value) {
    if (c != ' ') digits += c;
  }
  options->hasLanguage = true;
  options->factoryLanguage = static_cast<LANGID>(core::StringToNumber(digits.c_str()));
}

void ParseClear(const std::string& line, const std::string& upper, CommandLineOptions* options) {
  size_t reg = upper.find("/REG");
  if (reg == std::string::npos) {
    options->type = IS_TYPE_INVALID;
    return;
  }
  options->uninstallKey = SwitchValue(line, reg, 4);
  if (options->uninstallKey.empty()) {
    options->type = IS_TYPE_INVALID;
    return;
  }
  options->type = IS_TYPE_CLEAR;
  size_t cls = upper.find("/CLS");
  if (cls != std::string::npos) options->className = InstallerClassName(SwitchValue(line, cls, 4));
  size_t pid = upper.find("/PID");
  if (pid != std::string::npos) {
    options->hasProcessId = true;
    options->processId = ParseProcessId(SwitchValue(line, pid, 4));
  }
}

}  // namespace

std::string ArgumentsOf(const std::string& commandLine) {
  size_t at = 0;
  while (at < commandLine.size() && (commandLine[at] == ' ' || commandLine[at] == '\t')) ++at;
  if (at < commandLine.size() && commandLine[at] == '"') {
    size_t close = commandLine.find('"', at + 1);
    at = close == std::string::npos ? commandLine.size() : close + 1;
  } else {
    while (at < commandLine.size() && commandLine[at] != ' ' && commandLine[at] != '\t') ++at;
  }
  while (at < commandLine.size() && (commandLine[at] == ' ' || commandLine[at] == '\t')) ++at;
  return commandLine.substr(at);
}

std::string SwitchValue(const std::string& line, size_t switchAt, size_t switchLength) {
  size_t start = switchAt + switchLength + 1;  // the separator is skipped, whatever it is
  if (start >= line.size()) return std::string();
  size_t end = line.find('/', start);
  return StripEnds(line.substr(start, end == std::string::npos ? std::string::npos : end - start));
}

DWORD ParseProcessId(const std::string& text) {
  if (text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    DWORD value = 0;
    for (size_t i = 2; i < text.size() && std::isxdigit(static_cast<unsigned char>(text[i])); ++i) {
      char c = static_cast<char>(std::toupper(static_cast<unsigned char>(text[i])));
      value = (value << 4) | static_cast<DWORD>(c <= '9' ? c - '0' : c - 'A' + 10);
    }
    return value;
  }
  return static_cast<DWORD>(std::strtoll(text.c_str(), nullptr, 10));
}

std::string InstallerClassName(const std::string& programName) { return programName + " Installer Program"; }

std::string InstallerMutexName(const std::string& className) {
  std::string name = "QXInstallerRun:" + className;
  for (char& c : name) {
    if (c == '\\') c = '/';
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  if (name.size() > 259) name.resize(259);  // object names stop at MAX_PATH
  return name;
}

CommandLineOptions ParseCommandLine(const std::string& arguments) {
  CommandLineOptions options;
  if (arguments.empty()) {
    options.type = IS_TYPE_INSTALL;
    return options;
  }
  const std::string upper = Upper(arguments);
  const struct {
    const char* word;
    InstallType type;
  } switches[] = {
      {"/INSTALL", IS_TYPE_INSTALL}, {"/UNINSTALL", IS_TYPE_UNINSTALL}, {"/REMOTE", IS_TYPE_REMOTE},
      {"/REINSTALL", IS_TYPE_REINSTALL}, {"/CLEAR", IS_TYPE_CLEAR},
  };
  for (const auto& s : switches) {
    if (upper.find(s.word) == std::string::npos) continue;
    options.type = s.type;
    if (s.type == IS_TYPE_CLEAR) ParseClear(arguments, upper, &options);
    return options;
  }
  options.factoryTested = true;
  ParseFactory(upper, &options);
  return options;
}

}  // namespace app
