#include "setup/scriptlib/profile.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/temp_dir.h"
#include "tests/support/trace_capture.h"

namespace {

// Exposes the protected operations for the tests.
class TestProfile : public CProfile {
 public:
  using CProfile::ConvertDefinedString;
  using CProfile::FindKey;
  using CProfile::FindSection;
  using CProfile::GetData;
  using CProfile::ReadOneLine;
};

class ProfileTest : public ::testing::Test {
 protected:
  // Writes a script with CR LF line ends (lines joined by "\r\n").
  std::string Script(const std::vector<std::string>& lines, const char* name = "script.dat",
                     const char* eol = "\r\n") {
    std::string text;
    for (const auto& line : lines) text += line + eol;
    return dir_.Write(name, text);
  }

  std::string Get(const char* section, const char* key, unsigned long* result = nullptr, bool escapes = false) {
    char buffer[1024] = "";
    unsigned long r = profile_->GetString(section, key, buffer, sizeof(buffer), escapes);
    if (result) *result = r;
    return buffer;
  }

  qx::test::TempDir dir_;
  std::unique_ptr<TestProfile> profile_ = std::make_unique<TestProfile>();
};

const std::vector<std::string> kSample = {
    "lines before any header are ignored",
    "KEY=outside",
    "// [COMMENTED] is no section",
    "[GENERAL]",
    "URL=http://www.example.com/path",
    "FTP_URL=ftp://files.example.com",
    "NOTE=value   // trailing note",
    "QUOTED=\"a//b\" // kept",
    "SHORT=ab//c",
    "ABC=",
    "A=1",
    "AB=",
    "KEY = a = b",
    "a list line",
    "Dup=first",
    "DUP=second",
    "   [INDENTED] text after the bracket",
    "X=1",
    "[general]",
    "URL=from the second general",
    "[NUMBERS]",
    "HEX=0x1f",
    "SIZE=10,20",
    "ONE=10",
    "COLOR=255,128,0",
    "BIG=300,0,0",
    "RECT=1,2,3,4",
    "RUNS=,,5,,,6",
    "ESC=line1\\nline2\\rend",
};

}  // namespace

TEST_F(ProfileTest, LookupsFollowTheLineRules) {
  ASSERT_EQ(profile_->Create(Script(kSample).c_str(), nullptr, false), 0ul);
  struct Case {
    const char* section;
    const char* key;
    unsigned long result;
    const char* value;
  } cases[] = {
      {"GENERAL", "URL", 0, "http://www.example.com/path"},
      {"GENERAL", "FTP_URL", 0, "ftp://files.example.com"},
      {"GENERAL", "NOTE", 0, "value"},
      {"GENERAL", "QUOTED", 0, "\"a//b\" // kept"},
      {"GENERAL", "SHORT", 0, "ab"},
      {"GENERAL", "ABC", 0, ""},
      {"GENERAL", "A", 2, ""},
      {"GENERAL", "AB", 2, ""},
      {"GENERAL", "KEY", 0, "a = b"},
      {"GENERAL", "dup", 0, "first"},  // first occurrence of a key wins
      {"general", "url", 0, "http://www.example.com/path"},  // first section of either case
      {"GENERAL", "X", 2, ""},        // belongs to INDENTED
      {"INDENTED", "X", 2, ""},       // three characters: not a key line
      {"COMMENTED", "KEY", 2, ""},
      {"MISSING", "KEY", 2, ""},
      {"", "KEY", 87, ""},
      {"GENERAL", "", 87, ""},
  };
  for (const auto& c : cases) {
    unsigned long result = 99;
    EXPECT_EQ(Get(c.section, c.key, &result), c.value) << c.section << "/" << c.key;
    EXPECT_EQ(result, c.result) << c.section << "/" << c.key;
  }
}

TEST_F(ProfileTest, SectionNamesInFileOrderBothModes) {
  ASSERT_EQ(profile_->Create(Script(kSample).c_str(), nullptr, false), 0ul);
  char buffer[256];
  ASSERT_EQ(profile_->GetSectionName(buffer, sizeof(buffer), true), 0ul);
  std::vector<std::string> names;
  for (const char* p = buffer; *p; p += strlen(p) + 1) names.push_back(p);
  EXPECT_EQ(names, (std::vector<std::string>{"GENERAL", "INDENTED", "general", "NUMBERS"}));

  ASSERT_EQ(profile_->GetSectionName(buffer, sizeof(buffer), false), 0ul);
  EXPECT_EQ(std::string(buffer, 33), "GENERAL INDENTED general NUMBERS ");
  EXPECT_EQ(buffer[sizeof(buffer) - 1], ' ');  // space-filled, no terminator

  char small[12];
  EXPECT_EQ(profile_->GetSectionName(small, sizeof(small), true), 14ul);
  EXPECT_STREQ(small, "GENERAL");  // what fitted stays
  char exact[8];  // "GENERAL" and its NUL fill it: no room for the list's end
  EXPECT_EQ(profile_->GetSectionName(exact, sizeof(exact), true), 14ul);
}

TEST_F(ProfileTest, GetAllKeyListsWholeLinesAndOverflows) {
  ASSERT_EQ(profile_->Create(Script({"[STRINGS]", "%NAME%=\"Printer\"", "[LIST]", "first entry", "K1=%NAME% one",
                                      "", "// comment", "second entry", "[NEXT]", "K2=x"})
                                 .c_str(),
                             nullptr, false),
            0ul);
  auto entries = [](const char* buffer) {
    std::vector<std::string> out;
    for (const char* p = buffer; *p; p += strlen(p) + 1) out.push_back(p);
    return out;
  };
  char buffer[256] = {};
  ASSERT_EQ(profile_->GetAllKey("LIST", buffer, sizeof(buffer), false), 0ul);
  EXPECT_EQ(entries(buffer), (std::vector<std::string>{"first entry", "K1=Printer one", "second entry"}));

  char keys[256] = {};
  ASSERT_EQ(profile_->GetAllKey("list", keys, sizeof(keys), true), 0ul);
  EXPECT_EQ(entries(keys), (std::vector<std::string>{"K1=Printer one"}));

  char small[20] = {};
  EXPECT_EQ(profile_->GetAllKey("LIST", small, sizeof(small), false), 14ul);
  EXPECT_EQ(entries(small), (std::vector<std::string>{"first entry"}));

  EXPECT_EQ(profile_->GetAllKey("NONE", buffer, sizeof(buffer), false), 2ul);
  EXPECT_EQ(profile_->GetAllKey(nullptr, buffer, sizeof(buffer), false), 87ul);
  EXPECT_EQ(profile_->GetAllKey("LIST", buffer, 0, false), 87ul);
}

TEST_F(ProfileTest, NumbersSizesColoursAndRectangles) {
  ASSERT_EQ(profile_->Create(Script(kSample).c_str(), nullptr, false), 0ul);
  unsigned long value = 7;
  EXPECT_EQ(profile_->GetDword("NUMBERS", "HEX", &value), 0ul);
  EXPECT_EQ(value, 31ul);
  EXPECT_EQ(profile_->GetDword("NUMBERS", "MISSING", &value), 2ul);
  EXPECT_EQ(value, 0ul);  // always written

  SIZE size{-1, -1};
  EXPECT_EQ(profile_->GetControl("NUMBERS", "SIZE", &size), 0ul);
  EXPECT_EQ(size.cx, 10);
  EXPECT_EQ(size.cy, 20);
  size = SIZE{-1, -1};
  EXPECT_EQ(profile_->GetControl("NUMBERS", "ONE", &size), 87ul);
  EXPECT_EQ(size.cx, -1);  // target unchanged
  EXPECT_EQ(profile_->GetControl("NUMBERS", "RUNS", &size), 0ul);
  EXPECT_EQ(size.cx, 5);
  EXPECT_EQ(size.cy, 6);

  POINT point{};
  EXPECT_EQ(profile_->GetControl("NUMBERS", "SIZE", &point), 0ul);
  EXPECT_EQ(point.x, 10);
  EXPECT_EQ(profile_->GetControl("NUMBERS", "ONE", &point), 87ul);

  unsigned long colour = 0;
  EXPECT_EQ(profile_->GetControl("NUMBERS", "COLOR", &colour), 0ul);
  EXPECT_EQ(colour, 0x80FFul);
  EXPECT_EQ(profile_->GetControl("NUMBERS", "BIG", &colour), 0ul);
  EXPECT_EQ(colour, 44ul);  // low eight bits of 300
  colour = 123;
  EXPECT_EQ(profile_->GetControl("NUMBERS", "SIZE", &colour), 87ul);
  EXPECT_EQ(colour, 123ul);

  RECT rect{};
  EXPECT_EQ(profile_->GetControl("NUMBERS", "RECT", &rect), 0ul);
  EXPECT_EQ(rect.left, 1);
  EXPECT_EQ(rect.bottom, 4);
  EXPECT_EQ(profile_->GetControl("NUMBERS", "COLOR", &rect), 87ul);
}

TEST_F(ProfileTest, EscapesOnlyWhenAsked) {
  ASSERT_EQ(profile_->Create(Script(kSample).c_str(), nullptr, false), 0ul);
  EXPECT_EQ(Get("NUMBERS", "ESC"), "line1\\nline2\\rend");
  EXPECT_EQ(Get("NUMBERS", "ESC", nullptr, true), "line1\nline2\rend");
}

TEST_F(ProfileTest, TokensFromStringFileFirstThenScript) {
  std::string strings = Script({"[STRINGS]", "%BOTH%=\"\"from strings\"\"", "%NESTED%=<%INNER%>", "%INNER%=in",
                                "%SELF%=x%SELF%", "%LOOP_A%=a%LOOP_B%", "%LOOP_B%=b%LOOP_A%"},
                               "strings.txt");
  std::string script = Script({"[STRINGS]", "%BOTH%=from script", "%ONLY_SCRIPT%=\"script value\"",
                               "%SCRIPT_NESTED%=%ONLY_SCRIPT%", "[S]", "BOTH=[%BOTH%]", "ONLY=%ONLY_SCRIPT%",
                               "NESTED=%NESTED%", "UNKNOWN=100% sure %NOPE%", "TWICE=%INNER%+%INNER%",
                               "SELF=%SELF%", "LOOP=%LOOP_A%", "SCRIPT_NESTED=%SCRIPT_NESTED%",
                               "ADJACENT=%INNER%%BOTH%"});
  ASSERT_EQ(profile_->Create(script.c_str(), strings.c_str(), false), 0ul);
  struct Case {
    const char* key;
    const char* value;
  } cases[] = {
      {"BOTH", "[from strings]"},      // quotes stripped, string file first
      {"ONLY", "script value"},
      {"NESTED", "<in>"},              // expanded inside the string file
      {"UNKNOWN", "100% sure %NOPE%"}, // undefined tokens stay
      {"TWICE", "in+in"},              // every occurrence replaced
      {"SELF", "xx%SELF%"},            // one nested level, then it stops
      {"LOOP", "ab%LOOP_A%"},
      {"SCRIPT_NESTED", "%ONLY_SCRIPT%"},  // the script's own strings are not nested
      // The search resumes after the first token's closing "%" counted in the
      // replaced text, so the second token is not seen.
      {"ADJACENT", "in%BOTH%"},
  };
  for (const auto& c : cases) EXPECT_EQ(Get("S", c.key), c.value) << c.key;
}

TEST_F(ProfileTest, SelfReferringTokensAndEndlessLookupsStopAtTheLimits) {
  std::string undefined;
  for (int i = 0; i < 3000; ++i) undefined += "%U" + std::to_string(i) + "% ";
  std::string strings = Script({"[STRINGS]", "%S%=\"s\""}, "strings.txt");
  std::string script = Script({"[STRINGS]", "%D%=%D%%D%", "%E%=%F%", "%F%=%E%", "[S]", "DOUBLE=%D%", "MUTUAL=%E%",
                               "MANY=" + undefined + "%S%"});
  ASSERT_EQ(profile_->Create(script.c_str(), strings.c_str(), false), 0ul);
  qx::test::TraceCapture trace;
  EXPECT_EQ(Get("S", "MUTUAL"), "%F%");
  std::vector<char> buffer(CProfile::kMaxTokenReplacements * 64, '\0');
  // The doubling text passes the limit long before the lookups run out: the value stays.
  EXPECT_EQ(profile_->GetString("S", "DOUBLE", buffer.data(), static_cast<unsigned long>(buffer.size()), false), 0ul);
  EXPECT_STREQ(buffer.data(), "%D%");
  EXPECT_TRUE(trace.Contains("token expansion of %D% passes"));
  // Lookups that find nothing count too: each may open the string file.
  std::fill(buffer.begin(), buffer.end(), '\0');
  EXPECT_EQ(profile_->GetString("S", "MANY", buffer.data(), static_cast<unsigned long>(buffer.size()), false), 0ul);
  EXPECT_TRUE(trace.Contains("token expansion stopped after 1000 lookups"));
  EXPECT_NE(std::string(buffer.data()).find("%S%"), std::string::npos) << "tokens past the limit stay";
}

TEST_F(ProfileTest, ExpansionThatCannotFitLeavesTheValue) {
  std::string strings = Script({"[STRINGS]", "%LONG%=" + std::string(2000, 'L')}, "strings.txt");
  ASSERT_EQ(profile_->Create(Script({"[S]", "K=%LONG%"}).c_str(), strings.c_str(), false), 0ul);
  char buffer[64] = "";
  EXPECT_EQ(profile_->GetString("S", "K", buffer, sizeof(buffer), false), 0ul);
  EXPECT_STREQ(buffer, "%LONG%");
  EXPECT_EQ(profile_->ConvertDefinedString(buffer, sizeof(buffer), false), 14ul);

  char tiny[4] = "x";
  EXPECT_EQ(profile_->GetString("S", "K", tiny, sizeof(tiny), false), 14ul);  // value longer than the buffer
  EXPECT_STREQ(tiny, "x");
}

TEST_F(ProfileTest, DefaultInBufferIsExpandedWhenLookupFails) {
  ASSERT_EQ(profile_->Create(Script({"[STRINGS]", "%D%=default"}).c_str(), nullptr, false), 0ul);
  char buffer[64] = "%D%!";
  EXPECT_EQ(profile_->GetString("S", "MISSING", buffer, sizeof(buffer), false), 2ul);
  EXPECT_STREQ(buffer, "default!");
}

std::vector<std::string> AllKeys(CProfile* profile, const char* section) {
  std::vector<char> buffer(4096, '\0');
  profile->GetAllKey(section, buffer.data(), static_cast<unsigned long>(buffer.size()), false);
  std::vector<std::string> entries;
  for (const char* p = buffer.data(); *p; p += std::strlen(p) + 1) entries.push_back(p);
  return entries;
}

TEST_F(ProfileTest, ACtrlZAtTheEndEndsTheFileAsInTextMode) {
  struct Case {
    const char* name;
    std::string bytes;
    std::vector<std::string> lines;  // of section S
  } cases[] = {
      {"after the last line end", "[S]\r\nAB=1\r\n\x1A", {"AB=1"}},
      {"after the last line", "[S]\r\nAB=1\x1A", {"AB=1"}},
      {"then blank bytes", "[S]\r\nAB=1\r\n\x1A\r\n \x1A\x1A\r\n", {"AB=1"}},
      // Followed by more text it is an ordinary byte of a list line.
      {"before more text", "[S]\r\nAB=1\r\n\x1A\r\nCD=2\r\n", {"AB=1", "\x1A", "CD=2"}},
      {"none", "[S]\r\nAB=1\r\nlist\r\n", {"AB=1", "list"}},
  };
  for (const Case& c : cases) {
    std::string path = dir_.Write("ctrlz.dat", c.bytes);
    ASSERT_EQ(profile_->Create(path.c_str(), nullptr, false), 0ul) << c.name;
    EXPECT_EQ(AllKeys(profile_.get(), "S"), c.lines) << c.name;
    EXPECT_EQ(Get("S", "AB"), "1") << c.name;
  }
}

TEST_F(ProfileTest, GetAllKeyReadsTheFileAnew) {
  std::string path = dir_.Write("rewrite.dat", "[S]\r\nAB=1\r\nCD=2\r\n");
  ASSERT_EQ(profile_->Create(path.c_str(), nullptr, false), 0ul);
  ASSERT_EQ(AllKeys(profile_.get(), "S"), (std::vector<std::string>{"AB=1", "CD=2"}));
  // Rewritten in place, same length, without Reload: the stored positions still hold.
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  const char text[] = "[S]\r\nAB=7\r\nEF=8\r\n";
  DWORD written = 0;
  WriteFile(file, text, sizeof(text) - 1, &written, nullptr);
  CloseHandle(file);
  EXPECT_EQ(AllKeys(profile_.get(), "S"), (std::vector<std::string>{"AB=7", "EF=8"}));
}

TEST_F(ProfileTest, WritesAreSeenAfterReload) {
  std::string path = Script({"[A]", "OLD=1", "[B]", "K1=v1", "K2=v2"});
  ASSERT_EQ(profile_->Create(path.c_str(), nullptr, false), 0ul);
  EXPECT_EQ(profile_->SetValue("A", "NEW", "new value"), 0ul);
  EXPECT_EQ(profile_->SetValue("C", "NUM", 0xFFFFFFFBul), 0ul);
  SIZE size{3, -4};
  EXPECT_EQ(profile_->SetValue("C", "SIZE", &size), 0ul);
  unsigned long colour = 0x80FF;
  EXPECT_EQ(profile_->SetValue("C", "COLOR", &colour), 0ul);
  RECT rect{1, 2, 3, 4};
  EXPECT_EQ(profile_->SetValue("C", "RECT", &rect), 0ul);
  EXPECT_EQ(profile_->SetValue("B", "", ""), 0ul);  // clears the section

  ASSERT_EQ(profile_->Reload(path.c_str(), nullptr), 0ul);
  EXPECT_EQ(Get("A", "NEW"), "new value");
  EXPECT_EQ(Get("A", "OLD"), "1");
  EXPECT_EQ(Get("C", "NUM"), "-5");
  unsigned long number = 0;
  EXPECT_EQ(profile_->GetDword("C", "NUM", &number), 0ul);
  EXPECT_EQ(number, 0xFFFFFFFBul);
  SIZE readSize{};
  EXPECT_EQ(profile_->GetControl("C", "SIZE", &readSize), 0ul);
  EXPECT_EQ(readSize.cy, -4);
  EXPECT_EQ(Get("C", "COLOR"), "255,128,0");
  EXPECT_EQ(Get("C", "RECT"), "1,2,3,4");
  unsigned long result = 0;
  Get("B", "K1", &result);
  EXPECT_EQ(result, 2ul);

  // Bad arguments change nothing.
  EXPECT_EQ(profile_->SetValue("", "K", "v"), 87ul);
  EXPECT_EQ(profile_->SetValue("A", nullptr, "v"), 87ul);
  EXPECT_EQ(profile_->SetValue("A", "K", static_cast<const char*>(nullptr)), 87ul);
  EXPECT_EQ(profile_->SetValue("A", "", static_cast<SIZE*>(nullptr)), 87ul);
}

TEST_F(ProfileTest, WriteToMissingFileCreatesIt) {
  std::string path = dir_.File("new.dat");
  EXPECT_EQ(profile_->Create(path.c_str(), nullptr, false), 110ul);
  unsigned long result = 0;
  Get("A", "K", &result);
  EXPECT_EQ(result, 2ul);
  EXPECT_EQ(profile_->SetValue("A", "KEY", "v"), 0ul);
  ASSERT_EQ(profile_->Reload(path.c_str(), nullptr), 0ul);
  EXPECT_EQ(Get("A", "KEY"), "v");
}

TEST_F(ProfileTest, WriteOnlyReadsNothing) {
  std::string path = Script({"[A]", "KEY=v"});
  ASSERT_EQ(profile_->Create(path.c_str(), nullptr, true), 0ul);
  unsigned long result = 0;
  Get("A", "KEY", &result);
  EXPECT_EQ(result, 2ul);
  EXPECT_EQ(profile_->SetValue("A", "KEY2", "w"), 0ul);
  ASSERT_EQ(profile_->Reload(path.c_str(), nullptr), 0ul);  // stays write-only
  Get("A", "KEY2", &result);
  EXPECT_EQ(result, 2ul);
  CProfile reader(path.c_str(), nullptr);
  char buffer[16] = "";
  EXPECT_EQ(reader.GetString("A", "KEY2", buffer, sizeof(buffer), false), 0ul);
  EXPECT_STREQ(buffer, "w");
}

TEST_F(ProfileTest, CreateArgumentsAndPaths) {
  EXPECT_EQ(profile_->Create(nullptr, nullptr, false), 87ul);
  EXPECT_EQ(profile_->Create("", nullptr, false), 87ul);
  std::string longPath = dir_.File(std::string(300, 'p'));
  EXPECT_EQ(profile_->Create(longPath.c_str(), nullptr, false), 87ul);
  EXPECT_EQ(profile_->Create(dir_.File("missing.dat").c_str(), nullptr, false), 110ul);
  EXPECT_EQ(profile_->SetValue("A", "K", "v"), 0ul);  // the path was kept for writing
}

// Line-end forms and awkward files all index and look up correctly.
TEST_F(ProfileTest, LineEndsAndFileShapes) {
  struct Case {
    const char* name;
    std::string bytes;
  } cases[] = {
      {"crlf", "[A]\r\nK1=one\r\n[B]\r\nK2=two\r\n"},
      {"lf", "[A]\nK1=one\n[B]\nK2=two\n"},
      {"cr", "[A]\rK1=one\r[B]\rK2=two\r"},
      {"mixed", "[A]\r\nK1=one\n\r[B]\rK2=two"},
      {"no final line end", "[A]\r\nK1=one\r\n[B]\r\nK2=two"},
      {"blank lines", "\r\n\n[A]\n\n\r\nK1=one\n\n[B]\r\n\r\nK2=two\r\n\r\n"},
      {"ctrl-z inside", std::string("[A]\r\nK1=one\r\n\x1A\r\n[B]\r\nK2=two\r\n", 27)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::string path = dir_.Write("shape.dat", c.bytes);
    ASSERT_EQ(profile_->Create(path.c_str(), nullptr, false), 0ul);
    EXPECT_EQ(Get("A", "K1"), "one");
    EXPECT_EQ(Get("B", "K2"), "two");
    unsigned long result = 0;
    Get("A", "K2", &result);
    EXPECT_EQ(result, 2ul);
  }
}

TEST_F(ProfileTest, ReadOneLineReportsPositionsAndEndOfFile) {
  std::string path = dir_.Write("lines.dat", std::string("ab\r\ncd\nef\rgh"));
  ASSERT_EQ(profile_->Create(path.c_str(), nullptr, false), 0ul);
  char line[16];
  unsigned long length = 0;
  long position = 0;
  std::vector<std::string> lines;
  for (;;) {
    unsigned long result = profile_->ReadOneLine(line, sizeof(line), &length, position, SEEK_SET);
    if (result == CProfile::kEndOfFile) break;
    ASSERT_EQ(result, 0ul);
    lines.push_back(line);
    position += static_cast<long>(length) + 1;
  }
  EXPECT_EQ(lines, (std::vector<std::string>{"ab\n", "cd\n", "ef\n", "gh"}));
  EXPECT_EQ(length, 0ul);
  EXPECT_EQ(line[0], '\0');
  EXPECT_EQ(line[sizeof(line) - 1], '\0');  // the whole buffer is zeroed at the end
}

TEST_F(ProfileTest, EmptyBinaryAndNulFilesGiveCleanResults) {
  std::string binary;
  for (int i = 0; i < 4096; ++i) binary.push_back(static_cast<char>((i * 7919) & 0xFF));
  struct Case {
    const char* name;
    std::string bytes;
    const char* section;
    const char* key;
    unsigned long result;
  } cases[] = {
      {"empty", "", "A", "K", 2},
      {"binary", binary, "A", "K", 2},
      {"nul in line", std::string("[A]\r\nKEY=va\0lue\r\nK2=after\r\n", 27), "A", "K2", 0},
      {"nul in header", std::string("[A\0B]\r\nKEY=x\r\n", 13), "A", "KEY", 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::string path = dir_.Write("odd.dat", c.bytes);
    ASSERT_EQ(profile_->Create(path.c_str(), nullptr, false), 0ul);
    unsigned long result = 99;
    Get(c.section, c.key, &result);
    EXPECT_EQ(result, c.result);
    char names[64 * 1024];
    EXPECT_NE(profile_->GetSectionName(names, sizeof(names), true), 87ul);
  }
  std::string path = dir_.Write("zero.dat", std::string("[A]\r\nKEY=va\0lue\r\n", 17));
  ASSERT_EQ(profile_->Create(path.c_str(), nullptr, false), 0ul);
  EXPECT_EQ(Get("A", "KEY"), "va");  // the text ends at the NUL
}

TEST_F(ProfileTest, OverLongLinesAreCutNotSplit) {
  std::string longValue(100000, 'v');
  std::string path =
      Script({"[A]", "LONG=" + longValue, "AFTER=yes", "[" + std::string(5000, 'S') + "]", "KEY=v", "[B]", "KEY=b"});
  ASSERT_EQ(profile_->Create(path.c_str(), nullptr, false), 0ul);
  EXPECT_EQ(Get("A", "AFTER"), "yes");  // the tail of the long line is no line of its own
  std::vector<char> buffer(200000);
  EXPECT_EQ(profile_->GetString("A", "LONG", buffer.data(), static_cast<unsigned long>(buffer.size()), false), 0ul);
  EXPECT_EQ(strlen(buffer.data()), 32767u - 5u);  // the line is cut to 32,767 bytes
  EXPECT_EQ(Get("B", "KEY"), "b");
  EXPECT_EQ(Get(std::string(1023, 'S').c_str(), "KEY"), "v");  // indexed under its first 1023 bytes
  unsigned long result = 0;
  Get(std::string(5000, 'S').c_str(), "KEY", &result);
  EXPECT_EQ(result, 2ul);
}

TEST_F(ProfileTest, ManySectionsStopAtTheIndexLimit) {
  qx::test::TraceCapture trace;
  std::string text;
  for (int i = 0; i < 10000; ++i) text += "[S" + std::to_string(i) + "]\r\nKEY=" + std::to_string(i) + "\r\n";
  std::string path = dir_.Write("many.dat", text);
  ASSERT_EQ(profile_->Create(path.c_str(), nullptr, false), 0ul);
  EXPECT_EQ(Get("S0", "KEY"), "0");
  EXPECT_EQ(Get("S8191", "KEY"), "8191");
  unsigned long result = 0;
  Get("S8192", "KEY", &result);
  EXPECT_EQ(result, 2ul);
  EXPECT_TRUE(trace.Contains("more than 8192 sections"));
}

TEST_F(ProfileTest, HugeFileIndexesWithoutTrouble) {
  // 100 MB: one section at the start, a long run of list lines, one at the end.
  std::string block;
  for (int i = 0; i < 1000; ++i) block += "list line number " + std::to_string(i) + " of a big block of text\r\n";
  std::string text = "[FIRST]\r\nKEY=1\r\n";
  while (text.size() < 100u * 1024 * 1024) text += block;
  text += "[LAST]\r\nKEY=2\r\n";
  std::string path = dir_.Write("huge.dat", text);
  text.clear();
  text.shrink_to_fit();
  ASSERT_EQ(profile_->Create(path.c_str(), nullptr, false), 0ul);
  EXPECT_EQ(Get("FIRST", "KEY"), "1");
  EXPECT_EQ(Get("LAST", "KEY"), "2");
}

TEST_F(ProfileTest, FindKeyReportsTheLinePosition) {
  std::string path = Script({"[A]", "K1=1", "K2=2", "[B]"});
  ASSERT_EQ(profile_->Create(path.c_str(), nullptr, false), 0ul);
  long section = 0;
  ASSERT_EQ(profile_->FindSection("a", &section), 0ul);
  EXPECT_EQ(section, 5);
  long line = 0;
  EXPECT_EQ(profile_->FindKey(section, "K2", nullptr, 0, &line), 0ul);
  EXPECT_EQ(line, 11);
  EXPECT_EQ(profile_->FindKey(section, "K3", nullptr, 0, &line), 2ul);
  EXPECT_EQ(line, 17);  // the header that ended the section
  char small[1];
  EXPECT_EQ(profile_->GetData("A", "K1", small, sizeof(small)), 14ul);
}
