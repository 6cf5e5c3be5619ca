// Percent tokens from the string file: the index kept per reader gives what
// reading the string file again for every token gives, and is dropped by
// Reload and Create.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "setup/scriptlib/profile.h"
#include "setup/scriptlib/profile_cache.h"
#include "tests/support/temp_dir.h"

namespace {

struct Expansion {
  unsigned long result;
  std::string text;
  bool operator==(const Expansion& other) const { return result == other.result && text == other.text; }
};

Expansion Get(CProfile& profile, const char* section, const char* key, unsigned long size = 2048) {
  std::vector<char> buffer(size, '\0');
  unsigned long result = profile.GetString(section, key, buffer.data(), size, false);
  return Expansion{result, std::string(buffer.data())};
}

class ProfileStringsTest : public ::testing::Test {
 protected:
  void TearDown() override { scriptlib::SetProfileCacheEnabled(true); }
  qx::test::TempDir dir_;
};

// A string file with duplicates in other case, quotes, nested and
// self-referring tokens, comments, a second STRINGS section and keys of the
// same names in other sections; a script whose values mix known and unknown
// tokens and has a STRINGS section of its own.
TEST_F(ProfileStringsTest, IndexedTokensExpandAsTokensReadFromTheFile) {
  std::mt19937 random(77);
  auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
  const char* forms[] = {"%T%d%", "%t%d%", "%T%d% ", "%T%d%//note"};
  std::string strings = "[OTHER]\r\n%T1%=other\r\n[STRINGS]\r\n// comment\r\n";
  for (int i = 0; i < 400; ++i) {
    char key[32];
    std::snprintf(key, sizeof(key), forms[pick(4)], pick(120));
    std::string value;
    switch (pick(6)) {
      case 0: value = "\"quoted " + std::to_string(i) + "\""; break;
      case 1: value = "nested %T" + std::to_string(pick(120)) + "% and %T" + std::to_string(pick(120)) + "%"; break;
      case 2: value = std::string("self ") + key; break;
      case 3: value = "\"\"\"" + std::to_string(i); break;
      default: value = "text " + std::to_string(i);
    }
    strings += std::string(key) + "=" + value + "\r\n";
    if (pick(40) == 0) strings += "a list line\r\n";
  }
  strings += "[strings]\r\n%T0%=from the second section\r\n%LATE%=late\r\n";
  std::string script = "[STRINGS]\r\n%OWN%=\"own\"\r\n%T5%=script's own\r\n[VALUES]\r\n";
  for (int v = 0; v < 200; ++v) {
    script += "V" + std::to_string(v) + "=";
    for (int t = pick(5) + 1; t > 0; --t) {
      script += pick(8) == 0 ? "%OWN%" : pick(8) == 0 ? "%LATE%" : pick(10) == 0 ? "%none%" : "%T" + std::to_string(pick(130)) + "%";
      script += pick(2) ? " " : "";
    }
    script += "\r\n";
  }
  std::string scriptPath = dir_.Write("script.dat", script);
  std::string stringPath = dir_.Write("strings.str", strings);

  scriptlib::SetProfileCacheEnabled(false);
  CProfile perToken(scriptPath.c_str(), stringPath.c_str());
  std::vector<Expansion> expected;
  for (int v = 0; v < 200; ++v) expected.push_back(Get(perToken, "VALUES", ("V" + std::to_string(v)).c_str()));
  expected.push_back(Get(perToken, "VALUES", "V1", 8));  // too small a buffer

  scriptlib::SetProfileCacheEnabled(true);
  CProfile indexed(scriptPath.c_str(), stringPath.c_str());
  for (int v = 0; v < 200; ++v) {
    EXPECT_EQ(Get(indexed, "VALUES", ("V" + std::to_string(v)).c_str()), expected[static_cast<size_t>(v)])
        << "value V" << v << " expected " << expected[static_cast<size_t>(v)].text;
  }
  EXPECT_EQ(Get(indexed, "VALUES", "V1", 8), expected.back());
}

TEST_F(ProfileStringsTest, TheStringFileIsReadAgainOnReloadAndCreate) {
  std::string scriptPath = dir_.Write("script.dat", "[VALUES]\r\nV=%NAME%\r\n");
  std::string stringPath = dir_.Write("strings.str", "[STRINGS]\r\n%NAME%=one\r\n");
  std::string otherPath = dir_.Write("other.str", "[STRINGS]\r\n%NAME%=other\r\n");
  CProfile profile(scriptPath.c_str(), stringPath.c_str());
  EXPECT_EQ(Get(profile, "VALUES", "V").text, "one");
  dir_.Write("strings.str", "[STRINGS]\r\n%NAME%=two\r\n");
  EXPECT_EQ(Get(profile, "VALUES", "V").text, "one");  // kept until Reload
  profile.Reload(scriptPath.c_str(), nullptr);
  EXPECT_EQ(Get(profile, "VALUES", "V").text, "two");
  profile.Create(scriptPath.c_str(), otherPath.c_str(), false);
  EXPECT_EQ(Get(profile, "VALUES", "V").text, "other");
}

TEST_F(ProfileStringsTest, AStringFileThatAppearsLaterIsUsed) {
  std::string scriptPath = dir_.Write("script.dat", "[VALUES]\r\nV=%NAME%\r\n");
  std::string stringPath = dir_.File("late.str");
  CProfile profile(scriptPath.c_str(), stringPath.c_str());
  EXPECT_EQ(Get(profile, "VALUES", "V").text, "%NAME%");
  dir_.Write("late.str", "[STRINGS]\r\n%NAME%=here\r\n");
  EXPECT_EQ(Get(profile, "VALUES", "V").text, "here");
}

}  // namespace
