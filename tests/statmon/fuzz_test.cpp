// Random input for every decoder of outside data: no crash, no read past the
// data, and the documented shape of the result.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "statmon/command_line.h"
#include "statmon/country.h"
#include "statmon/job_record.h"
#include "statmon/status_code_table.h"
#include "statmon/string_table.h"

namespace {

std::string RandomBytes(std::mt19937& rng, size_t maxLength, const std::string& alphabet = "") {
  std::uniform_int_distribution<size_t> length(0, maxLength);
  std::string s(length(rng), '\0');
  for (char& c : s) {
    if (alphabet.empty()) c = static_cast<char>(rng() & 0xFF);
    else c = alphabet[rng() % alphabet.size()];
  }
  return s;
}

TEST(Fuzz, StatusCodeLines) {
  std::mt19937 rng(20261209);
  // Mostly the permitted alphabet with separators, quotes and comments, so that
  // lines get past the character check.
  const std::string alphabet = "AZaz09\"%-./:@\\_ \t;;  0x0x";
  for (int i = 0; i < 20000; ++i) {
    CParser parser;
    std::string line = RandomBytes(rng, 120, i % 4 == 0 ? "" : alphabet);
    std::string checked = line;
    bool ok = parser.VerfifyString(checked, i);
    EXPECT_LE(checked.size(), line.size());
    if (ok && !checked.empty()) parser.ParseString(checked, i);
    for (const StatusCodeRecord& r : parser.Records()) {
      EXPECT_LT(std::string(r.stringId).size(), 64u);
      EXPECT_EQ(std::string(r.text).find('"'), std::string::npos);
    }
  }
}

TEST(Fuzz, CommandLinesAndRecords) {
  std::mt19937 rng(7);
  for (int i = 0; i < 20000; ++i) {
    std::string line = RandomBytes(rng, 400, i % 2 ? "/ x\"\\abc" : "");
    sm::CommandLineInfo info = sm::ParseStatmonCommandLine(line);
    EXPECT_LT(info.programName.size(), sm::kProgramNameSlot);
    EXPECT_LT(info.pipeName.size(), sm::kPipeNameSlot);
    EXPECT_FALSE(info.haveNames && info.tonerMode);

    std::string data = RandomBytes(rng, 2000);
    JobInfo job;
    sm::OsVersion os{i % 3 == 0 ? sm::OsVersion::kWin9x : sm::OsVersion::kNT, 4, 10};
    sm::DecodeJobCopyData(data.data(), data.size(), os, &job);
    EXPECT_LE(job.printerName.size(), 250u);
    std::string pipe, program;
    if (sm::DecodeCopyBuffer(data.data(), data.size(), &pipe, &program)) {
      EXPECT_LE(pipe.size(), 255u);
      EXPECT_LE(program.size(), 50u);
    }
  }
}

TEST(Fuzz, PhoneSections) {
  std::mt19937 rng(99);
  CStrTableList strings;
  for (int i = 0; i < 5000; ++i) {
    std::string section = RandomBytes(rng, 600, i % 2 ? "0409=\0ABz-" : "");
    std::vector<CountryEntry> countries;
    std::vector<std::string> names;
    sm::ParsePhoneSection(section.data(), section.size(), strings, &countries, &names);
    EXPECT_EQ(countries.size(), names.size());
  }
}

}  // namespace
