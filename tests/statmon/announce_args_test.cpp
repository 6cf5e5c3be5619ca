#include "tools/jobannounce/announce_args.h"

#include <gtest/gtest.h>

namespace {

TEST(AnnounceArgs, LinesAndTheirErrors) {
  struct {
    std::vector<std::string> args;
    bool ok;
    const char* program;  // or the error text
  } cases[] = {
      {{"/exe", "C:\\m\\QXL2020.exe"}, true, "QXL2020"},
      {{"/copydata", "/exe", "s.exe", "/program", "P", "/printer", "N"}, true, "P"},
      {{"/pipe"}, false, "/exe is required"},
      {{"/exe"}, false, "missing value after /exe"},
      {{"/exe", "s.exe", "/bogus", "1"}, false, "unknown option /bogus"},
      {{"/exe", "s.exe", "/program", std::string(50, 'p')}, false, "program name too long (49 characters at most)"},
  };
  for (const auto& c : cases) {
    jobannounce::Options o;
    std::string error;
    EXPECT_EQ(jobannounce::ParseArgs(c.args, &o, &error), c.ok) << c.program;
    EXPECT_EQ(c.ok ? o.program : error, c.program);
  }
}

}  // namespace
