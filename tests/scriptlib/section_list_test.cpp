#include <gtest/gtest.h>

#include "setup/scriptlib/section_list.h"

TEST(SectionList, AddIndexDeleteAndReset) {
  CSectionList list;
  SECTION a{"A", 1}, b{"B", 2}, c{"C", 3};
  EXPECT_EQ(list[0], nullptr);  // empty list
  EXPECT_FALSE(list.Delete(-1));
  ASSERT_TRUE(list.Add(&a));
  ASSERT_TRUE(list.Add(&b));
  ASSERT_TRUE(list.Add(&c));
  EXPECT_EQ(list.GetSize(), 3);
  EXPECT_EQ(list[1], &b);
  EXPECT_EQ(list[3], &c);   // at or past the end: the last record
  EXPECT_EQ(list[99], &c);
  EXPECT_EQ(list[-2], nullptr);
  EXPECT_TRUE(list.Delete(0));  // closes the gap
  EXPECT_EQ(list[0], &b);
  EXPECT_FALSE(list.Delete(2));
  EXPECT_TRUE(list.Delete(-1));  // drops the last
  EXPECT_EQ(list.GetSize(), 1);
  EXPECT_EQ(list[0], &b);
  list.Reset();
  EXPECT_EQ(list.GetSize(), 0);
}

TEST(SectionList, RefusesPastCapacity) {
  CSectionList list;
  SECTION s{"S", 0};
  for (int i = 0; i < CSectionList::kCapacity; ++i) ASSERT_TRUE(list.Add(&s));
  EXPECT_FALSE(list.Add(&s));
  EXPECT_EQ(list.GetSize(), CSectionList::kCapacity);
}
