#include <gtest/gtest.h>

#include "setup/core/utl.h"
#include "tests/support/temp_dir.h"
#include "tests/support/trace_capture.h"

namespace {

class UtlScript : public ::testing::Test {
 protected:
  void SetUp() override {
    script_ = dir_.Write("script.ini",
                         "[SEC]\r\n"
                         "GREETING=Hello @NAME@!\r\n"
                         "TWICE=@NAME@ and @NAME@\r\n"
                         "TITLE=%TITLE%\r\n"
                         "LOCAL=%LOCAL%\r\n"
                         "UNDEF=%NOPE% stays\r\n"
                         "GONE=a@MISSING@b\r\n"
                         "LINES=one\\r\\ntwo\r\n"
                         "BOTH=@NAME@ %TITLE%\r\n"
                         "RED=255,0,128\r\n"
                         "WRAP=300,0,0\r\n"
                         "SHORT=10,20\r\n"
                         "ONE=10\r\n"
                         "EMPTY=\r\n"
                         "[STRINGS]\r\n"
                         "%LOCAL%=from script\r\n");
    messages_ = dir_.Write("messages.ini", "[MESSAGES]\r\nNAME=World\r\nMULTI=first\\r\\nsecond\r\n");
    strings_ = dir_.Write("strings.ini", "[STRINGS]\r\n%TITLE%=Setup\r\n%LOCAL%=from strings\r\n");
  }

  std::string Get(const char* key, bool withMessages = true) {
    return CUtl::GetScriptString("SEC", key, script_.c_str(), strings_.c_str(),
                                 withMessages ? messages_.c_str() : "");
  }

  qx::test::TempDir dir_;
  std::string script_, messages_, strings_;
};

TEST_F(UtlScript, MessagesAndStringsAreSubstituted) {
  struct Case {
    const char* key;
    const char* expected;
  } cases[] = {
      {"GREETING", "Hello World!"},    {"TWICE", "World and World"}, {"TITLE", "Setup"},
      {"LOCAL", "from script"},        {"UNDEF", "%NOPE% stays"},    {"GONE", "ab"},
      {"LINES", "one\r\ntwo"},         {"BOTH", "World Setup"},      {"ABSENT", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(Get(c.key), c.expected) << c.key;
}

TEST_F(UtlScript, WithoutMessagesFileAtTokensStay) { EXPECT_EQ(Get("GREETING", false), "Hello @NAME@!"); }

TEST_F(UtlScript, ConvertMessageAndStringsValue) {
  EXPECT_EQ(CUtl::ConvertMessage("@MULTI@", messages_.c_str()), "first\r\nsecond");
  EXPECT_EQ(CUtl::GetStringsValue("%TITLE%", strings_.c_str()), "Setup");
  EXPECT_EQ(CUtl::GetStringsValue("%TITLE%", ""), "%TITLE%");
  EXPECT_EQ(CUtl::GetStringsValue("%NONE%", strings_.c_str()), "%NONE%");
  EXPECT_EQ(CUtl::ConvertStrings("%TITLE%", "", strings_.c_str()), "Setup");
  EXPECT_EQ(CUtl::ConvertStrings("%TITLE%", script_.c_str(), ""), "%TITLE%");
}

TEST_F(UtlScript, SelfReferringMessagesAndStringsEndQuickly) {
  qx::test::TraceCapture trace;
  std::string messages = dir_.Write("loop.ini", "[MESSAGES]\r\nA=@A@@A@\r\nB=x@C@\r\nC=y@B@\r\n");
  std::string strings = dir_.Write("loops.ini", "[STRINGS]\r\n%D%=%D%%D%\r\n%E%=%F%\r\n%F%=%E%\r\n");
  struct Case {
    std::string result;
    bool limited;
  } cases[] = {
      {CUtl::ConvertMessage("@A@", messages.c_str()), true},
      {CUtl::ConvertMessage("@B@", messages.c_str()), false},
      {CUtl::ConvertStrings("%D%", "", strings.c_str()), true},
      {CUtl::ConvertStrings("%E%", "", strings.c_str()), false},
  };
  for (const Case& c : cases) EXPECT_LE(c.result.size(), 32767u);
  EXPECT_TRUE(trace.Contains("[CUtl] ConvertMessage stopped at its limit (@A@)"));
  EXPECT_TRUE(trace.Contains("[CUtl] ConvertStrings stopped at its limit (%D%)"));
  EXPECT_EQ(CUtl::ConvertMessage("@B@", messages.c_str()), "x@C@");  // the scan goes on after "@B@"
}

TEST_F(UtlScript, MissingFilesGiveEmptyOrUnchanged) {
  std::string missing = dir_.File("none.ini");
  EXPECT_EQ(CUtl::GetScriptString("SEC", "GREETING", missing.c_str(), missing.c_str(), missing.c_str()), "");
  EXPECT_EQ(CUtl::ConvertMessage("x@NAME@y", missing.c_str()), "xy");
  EXPECT_EQ(CUtl::GetScriptString("SEC", "GREETING", nullptr, nullptr, nullptr), "");
}

TEST_F(UtlScript, Colours) {
  qx::test::TraceCapture trace;
  struct Case {
    const char* key;
    COLORREF expected;
  } cases[] = {{"RED", 0x8000FF}, {"WRAP", 0x2C}, {"SHORT", 0x010101}, {"ONE", 0x010101},
               {"EMPTY", 0x010101}, {"ABSENT", 0x010101}};
  for (const Case& c : cases) EXPECT_EQ(CUtl::GetColorValue("SEC", c.key, script_.c_str()), c.expected) << c.key;
  EXPECT_TRUE(trace.Contains("[GetColorValue] Invalide Color Value [SEC] SHORT"));
  EXPECT_TRUE(trace.Contains("[CUtl] Invalide Color Value [SEC] ONE"));
}

}  // namespace
