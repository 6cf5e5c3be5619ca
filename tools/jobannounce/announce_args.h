#pragma once
// Command line of the job announcer. Pure code.
#include <string>
#include <vector>

#include "statmon/command_line.h"
#include "statmon/job_record.h"

namespace jobannounce {

enum class Way { kPipe, kCopyData };

struct Options {
  Way way = Way::kPipe;
  std::string exe;      // statmon.exe to start
  std::string program;  // program name (selects <program>.dat); default: the exe's base name
  JobInfo job;
  unsigned long timeoutMs = 30000;
};

// Arguments after the program itself; false with a message on a bad line.
bool ParseArgs(const std::vector<std::string>& args, Options* options, std::string* error);
std::string BaseName(const std::string& path);
std::string DirectoryOf(const std::string& path);

inline constexpr const char* kUsage =
    "usage: jobannounce [/pipe | /copydata] /exe <statmon.exe> [/program <name>]\n"
    "                   [/printer <name>] [/second <text>] [/display <text>] [/key <profile key>]\n"
    "                   [/timeout <ms>]\n"
    "Starts or finds the status monitor for the program name and hands it one job:\n"
    "  /pipe      serve the job record on a named pipe and start statmon with \"/<program> x<pipe>\"\n"
    "             (a running monitor of the same model takes the pipe over from the new one)\n"
    "  /copydata  send WM_COPYDATA 1000 to the running monitor, starting it first if needed\n";

}  // namespace jobannounce
