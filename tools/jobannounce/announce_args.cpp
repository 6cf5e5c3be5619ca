#include "tools/jobannounce/announce_args.h"

#include <cstdlib>

namespace jobannounce {

std::string BaseName(const std::string& path) {
  size_t slash = path.find_last_of("\\/");
  std::string file = slash == std::string::npos ? path : path.substr(slash + 1);
  return file.substr(0, file.find('.'));
}

std::string DirectoryOf(const std::string& path) {
  size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

bool ParseArgs(const std::vector<std::string>& args, Options* o, std::string* error) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "/pipe") { o->way = Way::kPipe; continue; }
    if (a == "/copydata") { o->way = Way::kCopyData; continue; }
    if (i + 1 >= args.size()) {
      *error = "missing value after " + a;
      return false;
    }
    const std::string& v = args[++i];
    if (a == "/exe") o->exe = v;
    else if (a == "/program") o->program = v;
    else if (a == "/printer") o->job.printerName = v;
    else if (a == "/second") o->job.secondText = v;
    else if (a == "/display") o->job.displayText = v;
    else if (a == "/key") o->job.profileKey = v;
    else if (a == "/timeout") o->timeoutMs = std::strtoul(v.c_str(), nullptr, 10);
    else {
      *error = "unknown option " + a;
      return false;
    }
  }
  if (o->exe.empty()) {
    *error = "/exe is required";
    return false;
  }
  if (o->program.empty()) o->program = BaseName(o->exe);
  // The monitor takes at most 49 characters of program name.
  if (o->program.size() >= sm::kProgramNameSlot) {
    *error = "program name too long (49 characters at most)";
    return false;
  }
  return true;
}

}  // namespace jobannounce
