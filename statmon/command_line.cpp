#include "statmon/command_line.h"

namespace sm {

std::string_view CommandLineTail(std::string_view whole) {
  size_t i = 0;
  if (i < whole.size() && whole[i] == '"') {
    size_t close = whole.find('"', 1);
    i = close == std::string_view::npos ? whole.size() : close + 1;
  }
  while (i < whole.size() && whole[i] != ' ' && whole[i] != '\t') ++i;
  while (i < whole.size() && (whole[i] == ' ' || whole[i] == '\t')) ++i;
  return whole.substr(i);
}

bool GetInfoFromCommanLine(std::string_view whole, std::string* programName, std::string* pipeName) {
  if (whole.empty() || whole[0] != '/') return false;
  size_t space = whole.find(' ');
  if (space == std::string_view::npos) return false;
  std::string_view program = whole.substr(1, space - 1);
  // The character right after the space is skipped.
  std::string_view pipe = space + 2 <= whole.size() ? whole.substr(space + 2) : std::string_view();
  if (program.empty() || pipe.empty()) return false;
  if (program.size() >= kProgramNameSlot || pipe.size() >= kPipeNameSlot) return false;
  programName->assign(program);
  pipeName->assign(pipe);
  return true;
}

CommandLineInfo ParseStatmonCommandLine(std::string_view whole) {
  CommandLineInfo info;
  info.haveNames = GetInfoFromCommanLine(whole, &info.programName, &info.pipeName);
  if (!info.haveNames) {
    info.programName.clear();
    info.pipeName.clear();
    info.tonerMode = !whole.empty() && CommandLineTail(whole).find('/') == std::string_view::npos;
  }
  return info;
}

}  // namespace sm
