#include "setup/scriptlib/line_rules.h"

#include <gtest/gtest.h>

#include <string>

using namespace scriptlib;

namespace {

struct CleanCase {
  const char* input;
  const char* cleaned;  // nullptr: no content
};

std::string Clean(const char* text) {
  std::string buffer(text);
  buffer.push_back('\0');
  return CleanLine(buffer.data()) ? std::string(buffer.c_str()) : std::string("<none>");
}

}  // namespace

TEST(LineRules, CleanLineTable) {
  const CleanCase cases[] = {
      {"  KEY=value \t\r\n", "KEY=value"},
      {"\t\t", nullptr},
      {"", nullptr},
      {"// a comment [NOT_A_SECTION]", nullptr},
      {"   //indented comment", nullptr},
      {"URL=http://www.example.com/a", "URL=http://www.example.com/a"},
      {"URL=HTTPS://host/x  // note", "URL=HTTPS://host/x  // note"},  // the whole line stays
      {"URL=ftp://host/file", "URL=ftp://host/file"},
      {"KEY=value   // note", "KEY=value"},
      {"KEY=value\t// note", "KEY=value"},
      {"KEY=ab//c", "KEY=ab"},
      {"KEY=\"a//b\" // note", "KEY=\"a//b\" // note"},      // quoted "//" keeps all
      {"KEY=\"a\" b//c \"d\"", "KEY=\"a\" b"},               // "//" between pairs is a comment
      {"KEY=\"a\" \"b//c\"", "KEY=\"a\" \"b//c\""},          // inside the second pair
      {"KEY=\"unclosed //x", "KEY=\"unclosed"},              // an unclosed quote protects nothing
      {"KEY=mailto:x//y", "KEY=mailto:x"},
      {"KEY=http:x // http://y", "KEY=http:x"},              // the first scheme word is the one tested
      {"[SECTION] // note", "[SECTION]"},
      {"A//", "A"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Clean(c.input), c.cleaned ? c.cleaned : "<none>") << "input: " << c.input;
  }
}

TEST(LineRules, HeadersTable) {
  struct Case {
    const char* line;
    bool header;
    const char* name;
  } cases[] = {
      {"[PROGRAM_INFO]", true, "PROGRAM_INFO"},
      {"[ spaced name ]", true, " spaced name "},
      {"[A]trailing text", true, "A"},
      {"[A]B]", true, "A"},
      {"[]", true, ""},
      {"[NO_CLOSE", false, ""},
      {"X[A]", false, ""},
  };
  for (const auto& c : cases) {
    std::string name;
    EXPECT_EQ(ParseHeader(c.line, &name), c.header) << c.line;
    if (c.header) {
      EXPECT_EQ(name, c.name) << c.line;
    }
  }
  std::string longName = "[" + std::string(5000, 'N') + "]";
  std::string name;
  ASSERT_TRUE(ParseHeader(longName.c_str(), &name));
  EXPECT_EQ(name.size(), kSectionNameSize - 1);
}

TEST(LineRules, KeyLinesTable) {
  struct Case {
    const char* line;
    bool key;
    const char* k;
    const char* v;
  } cases[] = {
      {"ABC=", true, "ABC", ""},
      {"AB=1", true, "AB", "1"},
      {"A=1", false, "", ""},      // shorter than four characters
      {"AB=", false, "", ""},
      {"=abc", false, "", ""},     // no key before the first "="
      {"KEY = a = b", true, "KEY", "a = b"},
      {"KEY\t=\tvalue", true, "KEY", "value"},
      {"just a list line", false, "", ""},
  };
  for (const auto& c : cases) {
    std::string k, v;
    EXPECT_EQ(ParseKeyLine(c.line, &k, &v), c.key) << c.line;
    if (c.key) {
      EXPECT_EQ(k, c.k) << c.line;
      EXPECT_EQ(v, c.v) << c.line;
    }
  }
}

TEST(LineRules, StringToDwordTable) {
  struct Case {
    const char* text;
    unsigned long value;
  } cases[] = {
      {"0x1f", 31},
      {"1F0X", 31},
      {"0X0x10", 16},
      {"123456789", 123456789},
      {"0x123456789", 0x23456789},  // only the last eight digits count
      {"-5", 0xFFFFFFFBul},
      {"  42abc", 42},
      {"abc", 0},
      {"", 0},
      {"0xG1", 1},                  // unknown characters count 0
      {"0x-1", 1},
      {"0xFFFFFFFF", 0xFFFFFFFFul},
  };
  for (const auto& c : cases) EXPECT_EQ(StringToDword(c.text), c.value) << c.text;
  EXPECT_EQ(StringToDword(nullptr), 0ul);
}

TEST(LineRules, SplitFieldsTable) {
  using V = std::vector<std::string>;
  EXPECT_EQ(SplitFields("10,20"), (V{"10", "20"}));
  EXPECT_EQ(SplitFields(",,10,,,20,"), (V{"10", "20"}));
  EXPECT_EQ(SplitFields(" 1, 2"), (V{" 1", " 2"}));
  EXPECT_EQ(SplitFields(""), V{});
  EXPECT_EQ(SplitFields(",,,"), V{});
}

TEST(LineRules, NumberFieldsTable) {
  struct Case {
    const char* text;
    size_t count;
    bool ok;
    std::vector<long> fields;
  } cases[] = {
      {"10,20", 2, true, {10, 20}},
      {"10,20,30,40,50", 4, true, {10, 20, 30, 40}},
      {",,0x10,,-5,", 2, true, {16, -5}},
      {"10", 2, false, {}},
      {"1,2,3", 4, false, {}},
      {"", 2, false, {}},
      {"0xFFFFFFFF,x", 2, true, {-1, 0}},
  };
  for (const Case& c : cases) {
    std::vector<long> fields;
    EXPECT_EQ(NumberFields(c.text, c.count, &fields), c.ok) << c.text;
    EXPECT_EQ(fields, c.fields) << c.text;
  }
  EXPECT_EQ(ColourFromFields(255, 0, 128), 0x8000FFul);
  EXPECT_EQ(ColourFromFields(300, -1, 256), 0x00FF2Cul);
}
