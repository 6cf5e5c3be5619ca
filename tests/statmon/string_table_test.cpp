#include "statmon/string_table.h"

#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"
#include "tests/support/trace_capture.h"

namespace {

using qx::test::TempDir;
using qx::test::TraceCapture;

TEST(StringTable, LinesSplitAtTheFirstEquals) {
  TempDir dir;
  CStrTableList table;
  ASSERT_TRUE(table.Initialize(dir.Write("SMen.trs",
                                         "  ID_A   =  one  = two  \r\n"
                                         "\r\n"
                                         "ID_EMPTY=\n"
                                         "ID_A = second occurrence\n"
                                         "stswnd_btn_order_toner = lower case\n"
                                         "=no id\n")
                                   .c_str()));
  struct {
    const char* id;
    bool found;
    const char* text;
  } cases[] = {
      {"ID_A", true, "one  = two"},          {"ID_EMPTY", true, ""}, {"STSWND_BTN_ORDER_TONER", false, ""},
      {"stswnd_btn_order_toner", true, "lower case"}, {"", true, "no id"}, {"ID_B", false, ""},
  };
  for (const auto& c : cases) {
    char buffer[256] = "garbage";
    EXPECT_EQ(table.Lookup(c.id, buffer, sizeof(buffer)), c.found) << c.id;
    EXPECT_STREQ(buffer, c.text) << c.id;
  }
}

TEST(StringTable, BytesLoadAsTheFileDoes) {
  const char* files[] = {"A=1\r\nB = two\r\n", "A=1\nno equals\nB=2\n", "A=1\x1A" "B=2\n", "", "\r\n\r\n=x\n"};
  for (const char* bytes : files) {
    TempDir dir;
    CStrTableList fromFile, fromBytes;
    ASSERT_TRUE(fromFile.Initialize(dir.Write("SMen.trs", bytes).c_str()));
    fromBytes.Load(bytes, "SMen.trs");
    ASSERT_EQ(fromBytes.Count(), fromFile.Count()) << bytes;
    for (size_t i = 0; i < fromFile.Count(); ++i) {
      EXPECT_EQ(fromBytes.Entries()[i].id, fromFile.Entries()[i].id) << bytes;
      EXPECT_EQ(fromBytes.Entries()[i].text, fromFile.Entries()[i].text) << bytes;
    }
  }
}

TEST(StringTable, ALineWithoutEqualsTruncates) {
  TempDir dir;
  TraceCapture trace;
  CStrTableList table;
  std::string path = dir.Write("SMen.trs", "A=1\n// a comment\nB=2\n");
  ASSERT_TRUE(table.Initialize(path.c_str()));
  EXPECT_EQ(table.Count(), 1u);
  EXPECT_EQ(table.Text("B"), "");
  EXPECT_TRUE(trace.Contains("= sign is not found. Maybe this is the problem of [" + path + "]"));
}

TEST(StringTable, MissingFileAndSmallBuffers) {
  TempDir dir;
  TraceCapture trace;
  CStrTableList table;
  EXPECT_FALSE(table.Initialize(dir.File("SMxx.trs").c_str()));
  EXPECT_TRUE(trace.Contains("Multi language Files open failed"));
  ASSERT_TRUE(table.Initialize(dir.Write("SMen.trs", "A=abcdef\n").c_str()));
  char small[4] = "zzz";
  EXPECT_TRUE(table.Lookup("A", small, sizeof(small)));
  EXPECT_STREQ(small, "abc");
  table.Cleanup();
  EXPECT_TRUE(trace.Contains("Enter CStrTableList Cleanup(1)"));
  EXPECT_FALSE(table.Lookup("A", small, sizeof(small)));
}

TEST(StringTable, OverlongTextIsRefusedAndLaterLinesStillLoad) {
  TempDir dir;
  CStrTableList table;
  std::string bytes = "LONG=" + std::string(256, 'x') + "\nOK=" + std::string(255, 'y') + "\nLONG=short\n";
  ASSERT_TRUE(table.Initialize(dir.Write("SMen.trs", bytes).c_str()));
  EXPECT_EQ(table.Text("OK").size(), 255u);
  EXPECT_EQ(table.Text("LONG"), "short");
}

TEST(StringTable, HostileFiles) {
  TempDir dir;
  std::string every;
  for (int b = 1; b < 256; ++b) every += static_cast<char>(b);
  std::string many;
  for (int i = 0; i < 100000; ++i) many += "K" + std::to_string(i) + "=v\n";
  struct {
    const char* name;
    std::string bytes;
    size_t count;
  } cases[] = {
      {"every byte", "X=" + every + "\n", 1},  // LF ends the entry, Ctrl-Z the file
      {"ctrl-z", "A=1\r\n\x1A\r\nB=2\r\n", 1},
      {"lone cr", "A=1\rB=2\n", 1},
      {"huge id", std::string(100000, 'k') + "=v\n", 1},
      {"many lines", many, 100000},
      {"nul bytes", std::string("A=x\0y\nB=2\n", 10), 2},
      {"no line end", "A=1", 1},
  };
  for (const auto& c : cases) {
    CStrTableList table;
    ASSERT_TRUE(table.Initialize(dir.Write("f.trs", c.bytes).c_str())) << c.name;
    EXPECT_EQ(table.Count(), c.count) << c.name;
  }
}

}  // namespace
