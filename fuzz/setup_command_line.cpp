// The installer's command line, and the "/CLEAR" hand-over line read back.
#include "fuzz/harness.h"
#include "setup/core/command_line.h"
#include "setup/engine/command_rules.h"

namespace {

// A name the hand-over may carry: no switch character, no quote, no blank at
// either end (the reader strips those), not empty.
bool CarriesThrough(const std::string& name) {
  if (name.empty() || name.front() == ' ' || name.back() == ' ') return false;
  for (char c : name) {
    if (c == '/' || c == '"' || c == '\0') return false;
  }
  return true;
}

void CheckOptions(const app::CommandLineOptions& options) {
  FUZZ_EXPECT(options.type >= app::IS_TYPE_INVALID && options.type <= app::IS_TYPE_CLEAR);
  if (options.type == app::IS_TYPE_CLEAR) FUZZ_EXPECT(!options.uninstallKey.empty());
  if (!options.className.empty()) {
    const std::string suffix = app::InstallerClassName("");
    FUZZ_EXPECT(options.className.size() >= suffix.size());
    FUZZ_EXPECT(options.className.compare(options.className.size() - suffix.size(), suffix.size(), suffix) == 0);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string line = fuzz::CText(fuzz::AsText(data, size));
  const std::string arguments = app::ArgumentsOf(line);
  FUZZ_EXPECT(arguments.size() <= line.size());
  FUZZ_EXPECT(arguments.empty() || (arguments.front() != ' ' && arguments.front() != '\t'));
  CheckOptions(app::ParseCommandLine(arguments));
  CheckOptions(app::ParseCommandLine(line));
  app::ParseProcessId(line);

  // The clear run must read back what the first run handed over.
  std::vector<std::string> parts = fuzz::Parts(fuzz::AsText(data, size), 3);
  if (CarriesThrough(parts[0]) && CarriesThrough(parts[1]) && parts[2].size() >= 4) {
    unsigned long pid = static_cast<uint8_t>(parts[2][0]) | static_cast<uint8_t>(parts[2][1]) << 8 |
                        static_cast<uint8_t>(parts[2][2]) << 16 | static_cast<unsigned long>(static_cast<uint8_t>(parts[2][3])) << 24;
    std::string handOver = engine::ClearParameters(parts[0], parts[1], pid);
    app::CommandLineOptions options = app::ParseCommandLine(handOver);
    FUZZ_EXPECT(options.type == app::IS_TYPE_CLEAR);
    FUZZ_EXPECT(options.uninstallKey == parts[1]);
    FUZZ_EXPECT(options.className == app::InstallerClassName(parts[0]));
    FUZZ_EXPECT(options.hasProcessId && options.processId == pid);
  }
  return 0;
}
