#pragma once
// The simulated world as the device-monitor library sees it: the printers
// attached to this machine, read from a plain-text INI-like file. The library
// reads the file again on every call, so a test or a person can change a
// printer's status while the monitor runs. Pure code, no Win32.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace devmon {

struct IniSection {
  std::string name;
  std::vector<std::pair<std::string, std::string>> values;
  // Value of a key (names compare without regard to case), or null.
  const std::string* Find(std::string_view key) const;
};

// [NAME] headers, KEY=value lines (both trimmed), lines starting with ";",
// "#" or "//" are comments, and so is the rest of a line from a ";" that
// follows a blank; anything else is ignored. Names keep their case.
std::vector<IniSection> ParseIni(std::string_view bytes);

struct SimPrinter {
  std::string name;         // after "PRINTER." in the section name
  std::string model;        // MDL: the model text of the device ID
  uint16_t vendorId = 0;
  uint16_t productId = 0;
  bool attached = true;
  unsigned char status[8] = {};
  bool statusValid = false;  // Status= present and well formed
  std::string serviceTag;
};

// The spooler's queue of one printer: [QUEUE.<printer name>] Jobs=<count>.
struct SimQueue {
  std::string printer;
  int jobs = 0;
};

struct World {
  std::vector<SimPrinter> printers;  // file order
  std::vector<SimQueue> queues;      // file order
  std::vector<std::string> failing;  // entry points told to fail ([DEVMON] Fail=)
  bool Fails(std::string_view entryPoint) const;
  // Jobs queued for the printer (names compare without regard to case), or -1
  // when the world has no queue for it.
  int JobCount(std::string_view printer) const;
};

World ParseWorld(std::string_view bytes);

// Eight hexadecimal bytes separated by spaces; false for anything else.
bool ParseStatusBytes(std::string_view text, unsigned char out[8]);

// The first attached printer whose model text contains `model`, or when no
// model is given, whose vendor and product IDs are the given ones.
const SimPrinter* SelectPrinter(const World& world, std::string_view model, uint16_t vendorId, uint16_t productId);

}  // namespace devmon
