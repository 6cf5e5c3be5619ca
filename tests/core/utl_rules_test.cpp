#include "setup/core/utl_rules.h"

#include <gtest/gtest.h>

#include "setup/core/environment_rules.h"

namespace {

TEST(StringToNumber, DecimalAndHexadecimalForms) {
  struct Case {
    const char* text;
    DWORD expected;
  } cases[] = {
      {"0X0412", 0x412}, {"0x12345", 0x2345}, {"123", 123}, {"0X0409", 0x409}, {"abc", 0},
      {"", 0},           {"0xffff", 0xFFFF},  {"0x1G", 0x10}, {"0X0X12", 0x12}, {"42abc", 42},
  };
  for (const Case& c : cases) EXPECT_EQ(core::StringToNumber(c.text), c.expected) << c.text;
  EXPECT_EQ(core::StringToNumber(nullptr), 0u);
}

TEST(ParseColour, ChannelsSentinelAndTraces) {
  struct Case {
    const char* text;
    COLORREF expected;
    core::ColourParse result;
  } cases[] = {
      {"255,0,128", 0x8000FF, core::ColourParse::kOk},
      {"300,0,0", 0x2C, core::ColourParse::kOk},
      {"10,20", core::kNoColour, core::ColourParse::kMissingBlue},
      {"10", core::kNoColour, core::ColourParse::kMissingGreen},
      {"", core::kNoColour, core::ColourParse::kEmpty},
      {",,,", core::kNoColour, core::ColourParse::kEmpty},
      {"1,,2,,3", 0x030201, core::ColourParse::kOk},
      {"1,2,3,4", 0x030201, core::ColourParse::kOk},
  };
  for (const Case& c : cases) {
    COLORREF colour = 0;
    EXPECT_EQ(core::ParseColour(c.text, &colour), c.result) << c.text;
    EXPECT_EQ(colour, c.expected) << c.text;
  }
}

TEST(SubstituteTokens, ReplacesEveryOccurrenceAndContinuesAfterToken) {
  auto lookup = [](const std::string& token) -> std::string {
    if (token == "@A@") return "value";
    if (token == "@B@") return "b";
    return "";
  };
  EXPECT_EQ(core::SubstituteTokens("1@A@2@A@3", '@', lookup), "1value2value3");
  EXPECT_EQ(core::SubstituteTokens("@A@@B@", '@', lookup), "valueb");
  EXPECT_EQ(core::SubstituteTokens("@unknown@rest", '@', lookup), "rest");
  EXPECT_EQ(core::SubstituteTokens("single @ sign", '@', lookup), "single @ sign");
}

TEST(SubstituteTokens, SelfReferringValuesEndWithinTheLineLimit) {
  using Lookup = std::function<std::string(const std::string&)>;
  struct Case {
    const char* name;
    std::string text;
    Lookup lookup;
    bool bounded;
  } cases[] = {
      // Each pass doubles the text: the shipped token count alone would never stop it.
      {"doubling", "@A@", [](const std::string& t) { return t + t; }, true},
      {"doubling with text", "x@A@y", [](const std::string& t) { return "ab" + t + t; }, true},
      {"mutual", "@A@", [](const std::string& t) { return t == "@A@" ? std::string("@B@") : std::string("@A@"); },
       false},
      {"one huge value", "@A@@A@", [](const std::string&) { return std::string(20000, 'v'); }, true},
      {"many lookups", std::string(30000, '@'), [](const std::string&) { return std::string("@@"); }, true},
  };
  for (const Case& c : cases) {
    bool bounded = false;
    std::string result = core::SubstituteTokens(c.text, '@', c.lookup, 1000, &bounded);
    EXPECT_LE(result.size(), core::kMaxExpandedLength) << c.name;
    EXPECT_EQ(bounded, c.bounded) << c.name;
  }
  // A value that fits is still replaced in full.
  EXPECT_EQ(core::SubstituteTokens("@A@", '@', [](const std::string&) { return std::string(32767, 'v'); }).size(),
            32767u);
  // A shorter limit given by the caller bounds both layers the same way.
  auto doubling = [](const std::string& t) { return t + t; };
  bool bounded = false;
  EXPECT_EQ(core::ExpandPercentTokens("%A%", doubling, &bounded, 100).size(), 96u);
  EXPECT_TRUE(bounded);
  bounded = false;
  EXPECT_EQ(core::ExpandMessageReferences("@A@", doubling, &bounded, 100).size(), 96u);
  EXPECT_TRUE(bounded);
}

TEST(ReplaceAll, EveryOccurrenceLeftToRightNeverInsideAReplacement) {
  struct Case {
    const char* text;
    const char* what;
    const char* with;
    const char* expected;
  } cases[] = {
      {"aaaa", "aa", "a", "aa"},      {"abab", "ab", "ba", "baba"}, {"x", "x", "xx", "xx"},
      {"a-b-c", "-", "", "abc"},      {"none", "z", "y", "none"},   {"tail%", "%", "%%", "tail%%"},
      {"%A%%A%", "%A%", "%A%%A%", "%A%%A%%A%%A%"},
  };
  for (const Case& c : cases) {
    std::string text = c.text;
    core::ReplaceAll(&text, c.what, c.with);
    EXPECT_EQ(text, c.expected) << c.text << " " << c.what;
  }
  std::string unchanged = "abc";
  core::ReplaceAll(&unchanged, "", "x");
  EXPECT_EQ(unchanged, "abc");
}

TEST(SubstitutionLayers, LineBreaksAfterTokensAndTheirDelimiters) {
  auto lookup = [](const std::string& token) -> std::string {
    if (token == "@HELLO@" || token == "%HELLO%") return "Hello\\r\\nWorld";
    return token.front() == '%' ? token : std::string();
  };
  bool bounded = false;
  EXPECT_EQ(core::ExpandMessageReferences("@HELLO@ %HELLO% @NONE@.", lookup, &bounded), "Hello\r\nWorld %HELLO% .");
  EXPECT_EQ(core::ExpandPercentTokens("%HELLO% @HELLO% %NONE%", lookup, &bounded), "Hello\r\nWorld @HELLO% %NONE%");
  EXPECT_FALSE(bounded);
}

TEST(ExpandVariableTable, InOrderAndBounded) {
  const std::string dest = "$SRC_DIR$\\Out", src = "Z:\\media", huge(20000, 'v');
  struct Case {
    const char* name;
    std::string text;
    std::vector<core::VariableToken> table;
    std::string expected;
    bool bounded;
  } cases[] = {
      // A value put in by an earlier token is expanded by a later one, not the other way round.
      {"earlier first", "$DEST_DIR$", {{"$DEST_DIR$", &dest}, {"$SRC_DIR$", &src}}, "Z:\\media\\Out", false},
      {"later first", "$DEST_DIR$", {{"$SRC_DIR$", &src}, {"$DEST_DIR$", &dest}}, "$SRC_DIR$\\Out", false},
      {"no tokens", "plain $ text", {{"$SRC_DIR$", &src}}, "plain $ text", false},
      {"over the limit", "$V$$V$", {{"$V$", &huge}, {"$SRC_DIR$", &src}}, "$V$$V$", true},
  };
  for (const Case& c : cases) {
    bool bounded = false;
    EXPECT_EQ(core::ExpandVariableTable(c.text, c.table, &bounded), c.expected) << c.name;
    EXPECT_EQ(bounded, c.bounded) << c.name;
  }
}

TEST(IsProtectedDirectory, RootsSystemFoldersAndTheirParents) {
  const std::vector<std::string> system = {"C:\\Windows", "C:\\users\\me\\Temp\\", "C:\\Program Files"};
  struct Case {
    const char* path;
    bool protectedFolder;
  } cases[] = {
      {"", true},           {"C:", true},          {"C:\\", true},          {"c:\\\\", true},
      {"\\\\srv\\share", true}, {"\\\\srv\\share\\", true}, {"\\\\srv", true},
      {"C:\\WINDOWS", true}, {"c:\\windows\\", true}, {"C:\\Users", true},  // above the temporary folder
      {"C:\\Users\\me", true}, {"C:\\Users\\me\\temp", true}, {"C:\\Program Files", true},
      {"C:\\Users\\me\\Temp\\x", false}, {"C:\\Program Files\\Vexa", false}, {"C:\\Win", false},
      {"C:\\Windows2", false}, {"D:\\data", false}, {"\\\\srv\\share\\dir", false},
  };
  for (const Case& c : cases) EXPECT_EQ(core::IsProtectedDirectory(c.path, system), c.protectedFolder) << c.path;
}

TEST(ParseRegistryEntry, Forms) {
  core::RegistryEntry e;
  ASSERT_EQ(core::ParseRegistryEntry("HKCU,Software\\A\\B\\Val,REG_DWORD,0x10", &e), core::EntryParse::kOk);
  EXPECT_EQ(e.root, HKEY_CURRENT_USER);
  EXPECT_EQ(e.key, "Software\\A\\B");
  EXPECT_EQ(e.valueName, "Val");
  EXPECT_TRUE(e.isDword);
  EXPECT_TRUE(e.hasData);
  EXPECT_EQ(e.data, "0x10");

  ASSERT_EQ(core::ParseRegistryEntry("HKLM,Software\\A\\Val,REG_SZ", &e), core::EntryParse::kOk);
  EXPECT_FALSE(e.hasData);
  ASSERT_EQ(core::ParseRegistryEntry("hkcu,K\\V,reg_binary,data", &e), core::EntryParse::kOk);
  EXPECT_EQ(e.root, HKEY_CURRENT_USER);
  EXPECT_FALSE(e.isDword);  // unknown types count as strings
  ASSERT_EQ(core::ParseRegistryEntry("HKU,K\\V,REG_SZ,x", &e), core::EntryParse::kOk);
  EXPECT_EQ(e.root, HKEY_LOCAL_MACHINE);
  EXPECT_EQ(core::ParseRegistryEntry("", &e), core::EntryParse::kEmpty);
  EXPECT_EQ(core::ParseRegistryEntry("HKLM", &e), core::EntryParse::kMissingKey);
  EXPECT_EQ(core::ParseRegistryEntry("HKLM,K\\V", &e), core::EntryParse::kMissingType);
}

TEST(ClassifyOs, VersionTable) {
  struct Case {
    DWORD platform, major, minor;
    const char* sp;
    int code, family;
  } cases[] = {
      {VER_PLATFORM_WIN32s, 3, 1, "", 2, 2},
      {VER_PLATFORM_WIN32_WINDOWS, 4, 0, "", 3, 10},
      {VER_PLATFORM_WIN32_WINDOWS, 4, 0, "c", 4, 10},
      {VER_PLATFORM_WIN32_WINDOWS, 4, 0, "B", 4, 10},
      {VER_PLATFORM_WIN32_WINDOWS, 4, 0, " C ", 3, 10},  // compared as a whole string
      {VER_PLATFORM_WIN32_WINDOWS, 4, 10, "", 6, 10},
      {VER_PLATFORM_WIN32_WINDOWS, 4, 10, "A", 7, 10},
      {VER_PLATFORM_WIN32_WINDOWS, 4, 90, "", 9, 10},
      {VER_PLATFORM_WIN32_WINDOWS, 4, 3, "", 10, 10},
      {VER_PLATFORM_WIN32_NT, 3, 51, "", 11, 15},
      {VER_PLATFORM_WIN32_NT, 4, 0, "Service Pack 6", 12, 15},
      {VER_PLATFORM_WIN32_NT, 5, 0, "", 13, 17},
      {VER_PLATFORM_WIN32_NT, 5, 1, "", 14, 17},
      {VER_PLATFORM_WIN32_NT, 5, 2, "", 16, 17},
      {VER_PLATFORM_WIN32_NT, 5, 3, "", 13, 17},
      {VER_PLATFORM_WIN32_NT, 6, 1, "", 15, 15},
  };
  for (const Case& c : cases) {
    core::OsClass os = core::ClassifyOs(c.platform, c.major, c.minor, c.sp);
    EXPECT_EQ(os.code, c.code) << c.platform << " " << c.major << "." << c.minor << " " << c.sp;
    EXPECT_EQ(os.family, c.family) << c.platform << " " << c.major << "." << c.minor;
  }
}

TEST(HiveNames, BothWaysAndUnknown) {
  EXPECT_EQ(core::FullKeyName(HKEY_CURRENT_USER, "Software\\X"), "HKEY_CURRENT_USER\\Software\\X");
  EXPECT_EQ(core::FullKeyName(HKEY_DYN_DATA, "K"), "HKEY_DYN_DATA\\K");
  EXPECT_EQ(core::FullKeyName(reinterpret_cast<HKEY>(0x1234), "K"), "HKEY_LOCAL_MACHINE\\K");
  HKEY hive = nullptr;
  EXPECT_TRUE(core::HiveFromName("HKEY_USERS", &hive));
  EXPECT_EQ(hive, HKEY_USERS);
  EXPECT_FALSE(core::HiveFromName("BOGUS", &hive));
  EXPECT_FALSE(core::HiveFromName("HKCU", &hive));
}

TEST(DotEntries, OnlyDotAndDotDot) {
  EXPECT_TRUE(core::IsDotEntry("."));
  EXPECT_TRUE(core::IsDotEntry(".."));
  EXPECT_FALSE(core::IsDotEntry(".x"));
  EXPECT_FALSE(core::IsDotEntry("..."));
}

TEST(BuiltinLanguage, TableExamples) {
  struct Case {
    LANGID id;
    LANGID expectedId;
    const char* abbreviation;
  } cases[] = {
      {0x0804, 0x0804, "CP"}, {0x0404, 0x0404, "CT"}, {0x0C04, 0x0004, ""},   {0x0416, 0x0416, "BP"},
      {0x0816, 0x0816, "PT"}, {0x0409, 0x0009, "EN"}, {0x0412, 0x0012, "KR"}, {0x0411, 0x0011, "JP"},
      {0x0407, 0x0007, "GR"}, {0x040C, 0x000C, "FN"}, {0x0417, 0x0017, "EN"}, {0x0428, 0x0028, "EN"},
      {0x042D, 0x002D, "EU"}, {0x0401, 0x0001, "AB"}, {0x0441, 0x0041, "EN"}, {0x0429, 0x0029, "FA"},
      {0x0418, 0x0018, "RO"}, {0x0427, 0x0027, "LT"},
  };
  for (const Case& c : cases) {
    core::LanguageMatch m = core::BuiltinLanguage(c.id);
    EXPECT_EQ(m.id, c.expectedId) << std::hex << c.id;
    EXPECT_EQ(m.abbreviation, c.abbreviation) << std::hex << c.id;
  }
}

TEST(OsKeys, KeysAndFallbacks) {
  EXPECT_EQ(core::OsKey(VER_PLATFORM_WIN32_WINDOWS, 4, 10), "0X0001040A");
  EXPECT_EQ(core::OsKey(VER_PLATFORM_WIN32_WINDOWS, 4, 90), "0X0001045A");
  EXPECT_EQ(core::OsKey(VER_PLATFORM_WIN32_NT, 4, 0), "0X00020400");
  EXPECT_EQ(core::OsKey(VER_PLATFORM_WIN32_NT, 5, 1), "0X00020501");
  EXPECT_EQ(core::OsKey(VER_PLATFORM_WIN32s, 3, 1), "0X00000301");
  EXPECT_EQ(core::OsFallbackKey(VER_PLATFORM_WIN32_WINDOWS, 4), "0X0001040A");
  EXPECT_EQ(core::OsFallbackKey(VER_PLATFORM_WIN32_NT, 4), "0X00020400");
  EXPECT_EQ(core::OsFallbackKey(VER_PLATFORM_WIN32_NT, 6), "0X00020500");
}

TEST(ScriptFilePlaces, ResolutionForms) {
  const std::string src = "C:\\media\\disk1";
  EXPECT_EQ(core::ResolveAgainstSource(src, ".\\cfg.ini"), "C:\\media\\disk1\\cfg.ini");
  EXPECT_EQ(core::ResolveAgainstSource(src, "..\\cfg.ini"), "C:\\media\\cfg.ini");
  EXPECT_EQ(core::ResolveAgainstSource(src, "D:\\x\\cfg.ini"), "D:\\x\\cfg.ini");
  EXPECT_EQ(core::ResolveAgainstSource(src, "cfg.ini"), "C:\\media\\disk1\\cfg.ini");
  EXPECT_EQ(core::DataFileOf("C:\\media\\setup.exe"), "C:\\media\\setup.dat");
  EXPECT_EQ(core::DataFileOf("C:\\my.media\\setup"), "C:\\my.media\\setup.dat");
  EXPECT_EQ(core::SourceDirectoryOf("C:\\media\\setup.exe"), "C:\\media");
}

TEST(FillPattern, FirstPlaceholderOnlyNeverAFormat) {
  EXPECT_EQ(core::FillPattern("str%s.ini", "EN"), "strEN.ini");
  EXPECT_EQ(core::FillPattern("%s\\%s\\%n%d", "EN"), "EN\\%s\\%n%d");
  EXPECT_EQ(core::FillPattern("plain", "EN"), "plain");
}

}  // namespace
