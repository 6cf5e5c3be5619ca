#include "statmon/status_code_table.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/temp_dir.h"
#include "tests/support/trace_capture.h"

namespace {

using qx::test::TempDir;
using qx::test::TraceCapture;

struct VerifyCase {
  const char* line;
  bool ok;
  const char* rest;   // the line after the check (comment cut off)
  const char* trace;  // expected trace fragment on failure
};

class VerifyTest : public ::testing::TestWithParam<VerifyCase> {};

TEST_P(VerifyTest, ChecksOneLine) {
  const VerifyCase& c = GetParam();
  TraceCapture trace;
  CParser parser;
  std::string line = c.line;
  EXPECT_EQ(parser.VerfifyString(line, 7), c.ok) << c.line;
  if (c.ok) {
    EXPECT_EQ(line, c.rest);
  }
  if (c.trace) {
    EXPECT_TRUE(trace.Contains(c.trace)) << trace.Text();
  }
}

INSTANTIATE_TEST_SUITE_P(
    Lines, VerifyTest,
    ::testing::Values(
        VerifyCase{"A B C D ;note", true, "A B C D ", nullptr},
        VerifyCase{";whole line", true, "", nullptr},
        VerifyCase{"A B ;note", false, "", "LINES=7, The comment is incorrect, recognizeChar = 2, mode = 1003"},
        VerifyCase{"A B C;note", false, "", "The comment is incorrect, recognizeChar = 3, mode = 1003"},
        VerifyCase{"A;x", false, "", "mode = 1001"},
        VerifyCase{"A B C ;note", true, "A B C ", nullptr},
        VerifyCase{"A B C D E", true, "A B C D E", nullptr},
        VerifyCase{"A B C D;x", true, "A B C D", nullptr},
        // The separator after a fifth field already counts as a sixth field.
        VerifyCase{"A B C D E ;x", false, "", "Over field error"},
        VerifyCase{"A B C D E;x;y", true, "A B C D E", nullptr},
        VerifyCase{"A B C \"D ;x\"", false, "", "Quoatation is not paired"},
        VerifyCase{"A B C D E F", false, "", "Over field error ( over 5 field )"},
        VerifyCase{"A  B\t\tC \t D", true, "A  B\t\tC \t D", nullptr},
        VerifyCase{"A 0x1 0x1 \"one, two\"", false, "", "Abnormal charactor is found"},
        VerifyCase{"A 0x1 0x1 \"one two", false, "", "Quoatation is not paired"},
        VerifyCase{"A 0x1 0x1 \"one ;two", false, "", "Quoatation is not paired"},
        VerifyCase{"A 0x1 0x1 \"a b c d e f\"", true, "A 0x1 0x1 \"a b c d e f\"", nullptr},
        VerifyCase{"A 0x1 0x1 caf\xe9", false, "", "Abnormal charactor"},
        VerifyCase{"A%-./:@\\_ 0x1 0x1 x", true, "A%-./:@\\_ 0x1 0x1 x", nullptr}));

TEST(ParseString, FieldsOfAGoodLine) {
  CParser parser;
  ASSERT_TRUE(parser.ParseString("SM_PAPER_JAM 0x0002030000000000 0x00FFFF0000000000 \"Paper jam\"", 1));
  ASSERT_EQ(parser.Records().size(), 1u);
  const StatusCodeRecord& r = parser.Records().front();
  EXPECT_STREQ(r.stringId, "SM_PAPER_JAM");
  EXPECT_EQ(r.code, 0x0002030000000000ull);
  EXPECT_EQ(r.mask, 0x00FFFF0000000000ull);
  EXPECT_STREQ(r.text, "Paper jam");
}

TEST(ParseString, QuotesStayInTheIdAndLeaveTheText) {
  CParser parser;
  ASSERT_TRUE(parser.ParseString("\"ID X\" 0x01 0x01 te\"x\"t extra", 1));
  EXPECT_STREQ(parser.Records().front().stringId, "\"ID X\"");
  EXPECT_STREQ(parser.Records().front().text, "text");
}

struct ValueCase {
  const char* field;
  uint64_t value;
};
class StatusValueTest : public ::testing::TestWithParam<ValueCase> {};
TEST_P(StatusValueTest, Halves) { EXPECT_EQ(sm::ParseStatusValue(GetParam().field), GetParam().value) << GetParam().field; }
INSTANTIATE_TEST_SUITE_P(Fields, StatusValueTest,
                         ::testing::Values(ValueCase{"0x0102030405060708", 0x0102030405060708ull},
                                           ValueCase{"0x1234", 0x0000123400000000ull},
                                           ValueCase{"ZZ00000001000000FF", 0x00000001000000FFull},
                                           ValueCase{"0x00000001zz", 0x0000000100000000ull},
                                           ValueCase{"0xG0000000AB", 0x00000000000000ABull},
                                           ValueCase{"0x", 0}, ValueCase{"0", 0},
                                           ValueCase{"0x-1", 0xFFFFFFFF00000000ull},
                                           ValueCase{"0x0x12", 0x0000001200000000ull},
                                           ValueCase{"\"0x00000001\"", 0x0000000000000001ull},  // "x0000000" reads nothing
                                           ValueCase{"0xFFFFFFFFFFFFFFFF99", 0xFFFFFFFFFFFFFFFFull}));

TEST(ParseString, TooFewFieldsAndOversizeFieldsAreRefused) {
  TraceCapture trace;
  CParser parser;
  EXPECT_FALSE(parser.ParseString("A B C ", 3));
  EXPECT_TRUE(trace.Contains("[ParseString] LINES=3, PARSING LINE 3 IS FAILED"));
  EXPECT_FALSE(parser.ParseString("A B", 4));
  EXPECT_FALSE(parser.ParseString(std::string(64, 'I') + " 0x1 0x1 text", 5));
  EXPECT_TRUE(parser.ParseString(std::string(63, 'I') + " 0x1 0x1 text", 6));
  EXPECT_FALSE(parser.ParseString("ID 0x1 0x1 " + std::string(256, 't'), 8));
  EXPECT_FALSE(parser.ParseString("ID 0x1 0x1 " + std::string(256, 't') + " fifth", 9));
  EXPECT_TRUE(parser.ParseString("ID 0x1 0x1 \"" + std::string(255, 't') + "\"", 10));
  EXPECT_EQ(parser.Records().size(), 2u);
}

// Status words for Find: high = bytes 0-3, low = bytes 4-7.
const StatusCodeRecord* Lookup(const CParser& p, uint64_t raw) {
  return p.Find(static_cast<uint32_t>(raw), static_cast<uint32_t>(raw >> 32));
}

TEST(ReadFile, LaterLineWinsAndMaskZeroIsTheCatchAll) {
  TempDir dir;
  CParser parser;
  parser.SetPath(dir.Write("smcode.dat",
                           "; catch-all first: consulted last\r\n"
                           "SM_ANY 0x0000000000000000 0x0000000000000000 \"anything\"\r\n"
                           "\r\n"
                           "   SM_FIRST 0x0001000000000000 0x00FF000000000000 first   ; comment\n"
                           "SM_SECOND 0x0001000000000000 0x00FF000000000000 second\n"
                           "SM_JAM\t0x0002030000000000\t0x00FFFF0000000000\t\"Paper jam\" ignored\n"));
  ASSERT_TRUE(parser.ReadFile());
  ASSERT_EQ(parser.Records().size(), 4u);
  EXPECT_STREQ(parser.Records().front().stringId, "SM_JAM");
  EXPECT_STREQ(Lookup(parser, 0x8001000000320000ull)->stringId, "SM_SECOND");
  EXPECT_STREQ(Lookup(parser, 0x8002030000000000ull)->stringId, "SM_JAM");
  EXPECT_STREQ(Lookup(parser, 0x8002040000000000ull)->stringId, "SM_ANY");
  EXPECT_STREQ(Lookup(parser, 0)->stringId, "SM_ANY");
}

TEST(ReadFile, LowHalfTakesPart) {
  TempDir dir;
  CParser parser;
  parser.SetPath(dir.Write("smcode.dat", "SM_TONER_LOW 0x0000000000140000 0x0000000000FF0000 low\n"));
  ASSERT_TRUE(parser.ReadFile());
  EXPECT_NE(Lookup(parser, 0x0101000000140000ull), nullptr);
  EXPECT_EQ(Lookup(parser, 0x0101000000150000ull), nullptr);
}

TEST(ReadFile, ARefusedLineStopsTheReadingAndEarlierLinesStay) {
  TempDir dir;
  TraceCapture trace;
  CParser parser;
  parser.SetPath(dir.Write("smcode.dat",
                           "SM_A 0x01 0x01 a\n"
                           "SM_B 0x02 0x02 b c d e f\n"
                           "SM_C 0x03 0x03 c\n"));
  EXPECT_FALSE(parser.ReadFile());
  ASSERT_EQ(parser.Records().size(), 1u);
  EXPECT_STREQ(parser.Records().front().stringId, "SM_A");
  EXPECT_TRUE(trace.Contains("[VerfifyString] LINES=2, Over field error ( over 5 field )"));
  EXPECT_TRUE(trace.Contains("[ReadFile] LINES=2, Vertifing String is failed"));

  CParser second;
  second.SetPath(dir.Write("two.dat", "SM_A 0x01 0x01 a\nSM_B 0x01 0x01 ;no text\nSM_C 0x03 0x03 c\n"));
  EXPECT_FALSE(second.ReadFile());
  EXPECT_TRUE(trace.Contains("[ReadFile] LINES=2, Parsing String is failed"));
  EXPECT_EQ(second.Records().size(), 1u);
}

TEST(ReadFile, MissingFileAndSuccessTraces) {
  TempDir dir;
  TraceCapture trace;
  CParser parser;
  parser.SetPath(dir.File("none.dat"));
  EXPECT_FALSE(parser.ReadFile());
  EXPECT_TRUE(trace.Contains("File open is error in CParser"));
  std::string path = dir.Write("ok.dat", "SM_A 0x01 0x01 a\n\n;x\n");
  parser.SetPath(path);
  EXPECT_TRUE(parser.ReadFile());
  EXPECT_TRUE(trace.Contains("[ReadFile] Parsing " + path + " is successfully complated, TOTAL LINES = 3"));
}

// Hostile files end with a clear result and no crash.
TEST(ReadFile, HostileInput) {
  TempDir dir;
  std::string every;
  for (int b = 0; b < 256; ++b) every += static_cast<char>(b);
  std::string longLine = "SM_LONG 0x01 0x01 " + std::string(100000, 'x') + "\n";
  std::string manyLines;
  for (int i = 0; i < 100000; ++i) manyLines += "SM_L" + std::to_string(i) + " 0x0" + std::to_string(i % 10) + " 0xFF x\n";
  std::string binary(4096, '\0');
  for (size_t i = 0; i < binary.size(); ++i) binary[i] = static_cast<char>((i * 131) ^ (i >> 3));

  struct Case {
    std::string name, bytes;
    bool ok;
    size_t records;
  } cases[] = {
      {"every byte", every, false, 0},
      {"long text", longLine, false, 0},
      {"long id", std::string(100000, 'I') + " 0x1 0x1 t\n", false, 0},
      {"long comment", "SM_A 0x1 0x1 t ;" + std::string(100000, ';') + "\n", true, 1},
      {"many lines", manyLines, true, 100000},
      {"binary", binary, false, 0},
      {"nul inside", std::string("SM_A 0x1 0x1 t\0x\n", 17), false, 0},
      {"quotes only", "\"\"\"\n", false, 0},
      {"separators only", " \t \t\n\n", true, 0},
      {"dos end of file", "SM_A 0x1 0x1 t\r\n\x1A", true, 1},
      {"lone cr inside", "SM_A 0x1 0x1 t\rSM_B 0x1 0x1 t\n", false, 0},
  };
  for (const Case& c : cases) {
    CParser parser;
    parser.SetPath(dir.Write("f.dat", c.bytes));
    EXPECT_EQ(parser.ReadFile(), c.ok) << c.name;
    EXPECT_EQ(parser.Records().size(), c.records) << c.name;
  }
}

}  // namespace
