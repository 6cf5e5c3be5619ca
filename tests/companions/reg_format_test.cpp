// The saved registry text format: lines written and read back.
#include <gtest/gtest.h>

#include "companions/util/reg_file.h"

namespace {

using namespace qx::util;

TEST(RegFormat, LinesAsWritten) {
  EXPECT_EQ(StringLine("Name", "a b"), "\"Name\"=\"a b\"");
  EXPECT_EQ(StringLine("", "x"), "\"\"=\"x\"");
  EXPECT_EQ(DwordLine("N", 10), "\"N\"=dword:0000000a");
  EXPECT_EQ(DwordLine("N", 0xFFFFFFFF), "\"N\"=dword:ffffffff");
  EXPECT_EQ(BinaryLine("B"), "\"B\"=hex:");
}

TEST(RegFormat, HexDwordReadFromTheEnd) {
  struct Case {
    const char* text;
    DWORD value;
  } cases[] = {{"A", 10}, {"0000000a", 10}, {"123456789", 0x23456789}, {"1z", 0x10}, {"", 0}, {"FfFf", 0xFFFF}};
  for (const Case& c : cases) EXPECT_EQ(ParseHexDword(c.text), c.value) << c.text;
}

TEST(RegFormat, ValueLinesParsed) {
  ValueLine v;
  ASSERT_TRUE(ParseValueLine(" \"Name\" = \"a \"quoted\" b\" ", &v));
  EXPECT_EQ(v.kind, LineKind::kString);
  EXPECT_EQ(v.name, "Name");
  EXPECT_EQ(v.text, "a \"quoted\" b");
  ASSERT_TRUE(ParseValueLine("\"D\"=DWORD: \"A\"", &v));
  EXPECT_EQ(v.kind, LineKind::kDword);
  EXPECT_EQ(v.dword, 10u);
  ASSERT_TRUE(ParseValueLine("\"B\"=hex:", &v));
  EXPECT_EQ(v.kind, LineKind::kBinary);
  ASSERT_TRUE(ParseValueLine("\"U\"=unquoted", &v));
  EXPECT_EQ(v.kind, LineKind::kUnknown);
  EXPECT_FALSE(ParseValueLine("no equals", &v));
}

TEST(RegFormat, SectionNamesAndHives) {
  struct Case {
    const char* section;
    HKEY hive;
    const char* path;
  } cases[] = {
      {"HKEY_LOCAL_MACHINE\\Software\\A", HKEY_LOCAL_MACHINE, "Software\\A"},
      {"hkey_current_user\\Software\\B", HKEY_CURRENT_USER, "Software\\B"},
      {"Software\\C", HKEY_LOCAL_MACHINE, "Software\\C"},
      {"HKEY_USERS\\x", HKEY_LOCAL_MACHINE, "HKEY_USERS\\x"},  // the users hive has no name here
  };
  for (const Case& c : cases) {
    HKEY hive = nullptr;
    std::string path;
    SplitSectionName(c.section, &hive, &path);
    EXPECT_EQ(hive, c.hive) << c.section;
    EXPECT_EQ(path, c.path) << c.section;
  }
  EXPECT_STREQ(HiveName(HKEY_CURRENT_CONFIG), "HKEY_CURRENT_CONFIG");
  EXPECT_EQ(HiveName(HKEY_USERS), nullptr);
}

}  // namespace
