// The status monitor's command line as the printing side writes it.
#include "fuzz/harness.h"
#include "statmon/command_line.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view whole = fuzz::AsText(data, size);
  std::string_view tail = sm::CommandLineTail(whole);
  FUZZ_EXPECT(tail.size() <= whole.size());
  sm::CommandLineInfo info = sm::ParseStatmonCommandLine(whole);
  if (info.haveNames) {
    FUZZ_EXPECT(!info.programName.empty() && info.programName.size() < sm::kProgramNameSlot);
    FUZZ_EXPECT(!info.pipeName.empty() && info.pipeName.size() < sm::kPipeNameSlot);
    FUZZ_EXPECT(!info.tonerMode);
  } else {
    FUZZ_EXPECT(info.programName.empty() && info.pipeName.empty());
  }
  return 0;
}
