// The checker's value rules, in tables.
#include <gtest/gtest.h>

#include "tools/mediumcheck/checker.h"
#include "tools/mediumcheck/script_model.h"

namespace mediumcheck {
namespace {

TEST(MediumCheckRules, Numbers) {
  struct Case {
    const char* text;
    size_t count;
    bool ok;
  } cases[] = {{"10,20", 2, true}, {" 10 , -20 ", 2, true}, {"10", 2, false}, {"10,20,30", 2, false},
               {"10,", 2, false},  {"10,x", 2, false},      {"1,2,3,4", 4, true}, {"1,2,,4", 4, false}};
  for (const Case& c : cases) EXPECT_EQ(c.ok, ParseNumbers(c.text, c.count, nullptr)) << c.text;
}

TEST(MediumCheckRules, Colours) {
  struct Case {
    const char* text;
    bool problem;
  } cases[] = {{"", false}, {"255,128,0", false}, {"0,0,0", false}, {"10,20", true},
               {"300,0,0", true}, {"1,1,1", true}, {"red", true}};
  for (const Case& c : cases) {
    std::string why;
    EXPECT_EQ(c.problem, ColourProblem(c.text, &why)) << c.text << " " << why;
  }
}

TEST(MediumCheckRules, NamedTokens) {
  struct Case {
    const char* text;
    char mark;
    std::vector<std::string> names;
  } cases[] = {{"$SRC_DIR$\\x$DEST_DIR$", '$', {"SRC_DIR", "DEST_DIR"}},
               {".\\Lang\\setup%s.str", '%', {}},
               {"100% and 50%", '%', {}},
               {"%A% %TITLE%", '%', {"TITLE"}},
               {"mail me@host.example or @KEY@", '@', {"KEY"}},
               {"@ONE@@TWO@", '@', {"ONE", "TWO"}}};
  for (const Case& c : cases) EXPECT_EQ(c.names, NamedTokens(c.text, c.mark)) << c.text;
}

TEST(MediumCheckRules, Layout) {
  EXPECT_TRUE(Overlap({0, 0, 10, 10}, {5, 5, 10, 10}));
  EXPECT_FALSE(Overlap({0, 0, 10, 10}, {10, 0, 10, 10}));  // touching edges
  EXPECT_TRUE(Inside({0, 0, 400, 300}, 400, 300));
  EXPECT_FALSE(Inside({1, 0, 400, 300}, 400, 300));
  EXPECT_FALSE(Inside({-1, 0, 10, 10}, 400, 300));
  EXPECT_TRUE(TextFits({80, 14}, {0, 0, 80, 20}, false));
  EXPECT_FALSE(TextFits({81, 14}, {0, 0, 80, 20}, false));
  EXPECT_TRUE(TextFits({300, 40}, {0, 0, 80, 40}, true));
  EXPECT_FALSE(TextFits({80, 41}, {0, 0, 80, 40}, true));
}

TEST(MediumCheckRules, ItemSelectable) {
  struct Case {
    std::vector<int> numbers;
    bool installDefault, factory, selectable;
  } cases[] = {{{0, 0, 0, 0, 0, 0}, false, false, false}, {{0, 0, 0, 0, 0, 0}, true, false, true},
               {{0, 0, 0, 0, 0, 0}, false, true, true},   {{5, 5, 5, 5, 5, 5}, true, false, false},
               {{0, 0, 3, 0, 0, 0}, false, false, true},  {{0, 0, 0, 0, 0, 4}, false, false, true}};
  for (const Case& c : cases) EXPECT_EQ(c.selectable, ItemSelectable(c.numbers, c.installDefault, c.factory));
}

TEST(MediumCheckRules, ScriptLines) {
  ScriptFile f("x.cfg",
               "// note\r\n[A]\r\nKEY=value // note\r\nURL=http://host/x\r\nQ=\"a//b\"\r\nTT=t \r\nlist line\r\n"
               "[a]\r\nKEY=second\r\n");
  const Entry* key = f.Key("a", "key");
  ASSERT_NE(nullptr, key);
  EXPECT_EQ(3, key->line);
  EXPECT_EQ("value", key->value);
  EXPECT_EQ("value // note", key->profileValue);
  EXPECT_TRUE(key->commentCut);
  EXPECT_FALSE(f.Key("A", "URL")->commentCut);
  EXPECT_EQ("a//b", f.Key("A", "Q")->profileValue);
  EXPECT_TRUE(f.Key("A", "TT")->trailingBlank);
  EXPECT_FALSE(f.Find("A")->entries[4].isKey);
  EXPECT_EQ(2u, f.Sections().size());
}

}  // namespace
}  // namespace mediumcheck
