// The pure rules of the pages: number lists, object kinds, show keys, counts.
#include "setup/ui/ui_rules.h"

#include <gtest/gtest.h>

namespace {

TEST(UiRules, PairsOfSizesAndPositions) {
  struct Case {
    const char* text;
    bool valid;
    int a, b;
  } cases[] = {{"", true, 0, 0},          {"15,20", true, 15, 20},  {" 15 , 20 ", true, 15, 20},
               {"500,0", true, 500, 0},   {"15", false, 0, 0},      {"abc,def", false, 0, 0},
               {"10,x", false, 0, 0},     {"-10,20", false, 0, 0},  {"10,-1", false, 0, 0},
               {"40000,10", false, 0, 0}, {"99999999999,1", false, 0, 0}, {"32767,32767", true, 32767, 32767},
               {"1,2,3", true, 1, 2}};
  for (const Case& c : cases) {
    std::optional<ui::NumberPair> pair = ui::ParsePair(c.text);
    ASSERT_EQ(pair.has_value(), c.valid) << c.text;
    if (pair) {
      EXPECT_EQ(pair->first, c.a) << c.text;
      EXPECT_EQ(pair->second, c.b) << c.text;
    }
  }
}

TEST(UiRules, ObjectKindsByTheFirstWordInOrder) {
  using K = ui::ObjectKind;
  struct Case {
    const char* name;
    std::optional<K> kind;
  } cases[] = {{"MENU.LINK_WEB", K::kLink},       {"BITMAP_BUTTON", K::kBitmap}, {"LINK_LINE", K::kLink},
               {"A.STATIC_TITLE", K::kStatic},    {"X.BUTTON_NEXT", K::kButton}, {"COMMON.LINE_BOTTOM", K::kLine},
               {"BANNER_RECTANGLE", K::kRectangle}, {"STATIC_LINK", K::kLink},    {"link_lower", std::nullopt},
               {"NOTHING_HERE", std::nullopt},    {"", std::nullopt}};
  for (const Case& c : cases) EXPECT_EQ(ui::ObjectKindOf(c.name), c.kind) << c.name;
}

TEST(UiRules, FixedRectanglesShowKeysAndCounts) {
  RECT r = ui::ParseFixedRect("10,20,100");
  EXPECT_EQ(r.left, 10);
  EXPECT_EQ(r.top, 20);
  EXPECT_EQ(r.right, 100);  // width
  EXPECT_EQ(r.bottom, 0);   // height
  r = ui::ParseFixedRect("a,-5,7,8");
  EXPECT_EQ(r.left, 0);
  EXPECT_EQ(r.top, 0);
  EXPECT_EQ(r.right, 7);

  struct Show {
    const char* text;
    bool shown;
  } shows[] = {{"", true}, {"1", true}, {"2", true}, {"0", false}, {" 0 ", false}};
  for (const Show& s : shows) EXPECT_EQ(ui::IsShown(s.text), s.shown) << s.text;

  struct Count {
    const char* text;
    int count;
    bool clipped;
  } counts[] = {{"", 0, false},      {"3", 3, false},          {"-5", 0, true},
                {"x", 0, true},      {"10000", ui::kMaxObjects, true}, {"99999999999999", ui::kMaxObjects, true}};
  for (const Count& c : counts) {
    bool clipped = false;
    EXPECT_EQ(ui::ObjectCount(c.text, &clipped), c.count) << c.text;
    EXPECT_EQ(clipped, c.clipped) << c.text;
  }
}

TEST(UiRules, AutoSizeVersionTokenAndLanguageEntries) {
  SIZE s = ui::AutoSize({60, 13}, true, {16, 16});
  EXPECT_EQ(s.cx, 86);
  EXPECT_EQ(s.cy, 16);
  s = ui::AutoSize({60, 20}, false, {16, 16});
  EXPECT_EQ(s.cx, 60);
  s = ui::AutoSize({0, 0}, true, {16, 16});
  EXPECT_EQ(s.cx, 16);
  EXPECT_TRUE(ui::IsVersionToken("$version$"));
  EXPECT_FALSE(ui::IsVersionToken("v $VERSION$"));
  EXPECT_EQ(ui::LanguageIdOfEntry("0X040D=Hebrew"), 0x040D);
  EXPECT_EQ(ui::LanguageIdOfEntry("0x0409 English"), 0x0409);
  EXPECT_EQ(ui::CountLines("a\r\nb\r\nc"), 3);
}

}  // namespace
