// The world-file reader and the text helpers the companion libraries share.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "companions/world/text.h"
#include "companions/world/world.h"

namespace {

using qx::world::World;

TEST(WorldParse, SectionsKeysCommentsAndKinds) {
  World w = World::Parse(
      "; comment\n"
      "# comment\n"
      "// comment\n"
      "[UsbPrinter:first]\r\n"
      "  Mfg = Vexa  \r\n"
      "Model=Laser=9000\n"
      "\n"
      "[usbprinter]\n"
      "Port=USB002\n"
      "[Other:1]\n"
      "x=1\n");
  ASSERT_EQ(w.Sections().size(), 3u);
  EXPECT_EQ(w.MalformedLines(), 0);
  auto usb = w.OfKind("UsbPrinter");
  ASSERT_EQ(usb.size(), 2u);
  EXPECT_EQ(usb[0]->Get("MFG"), "Vexa");
  EXPECT_EQ(usb[0]->Get("Model"), "Laser=9000");  // only the first "=" splits
  EXPECT_EQ(usb[1]->Get("Port"), "USB002");
  EXPECT_EQ(usb[1]->Get("Missing", "dflt"), "dflt");
  EXPECT_EQ(w.Find("OTHER:1")->Kind(), "Other");
}

TEST(WorldParse, MalformedLinesAreSkippedNotTaken) {
  struct Case {
    const char* text;
    size_t sections;
    int malformed;
  } cases[] = {
      {"key=outside any section\n[A]\nk=v\n", 1, 1},
      {"[A\nk=v\n", 0, 2},           // broken header: its lines belong to no section
      {"[]\nk=v\n[B]\nk=v\n", 1, 2},  // empty name
      {"[A]\nno equals sign\n=no key\n", 1, 2},
      {"", 0, 0},
  };
  for (const Case& c : cases) {
    World w = World::Parse(c.text);
    EXPECT_EQ(w.Sections().size(), c.sections) << c.text;
    EXPECT_EQ(w.MalformedLines(), c.malformed) << c.text;
  }
}

TEST(WorldParse, InlineCommentsAfterABlank) {
  World w = World::Parse("[S]\nPort=USB001   ; the first port\nList=a;b\nTab=x\t;c\nEmpty= ; nothing\n");
  const auto* s = w.Find("S");
  EXPECT_EQ(s->Get("Port"), "USB001");
  EXPECT_EQ(s->Get("List"), "a;b");
  EXPECT_EQ(s->Get("Tab"), "x");
  EXPECT_EQ(s->Get("Empty", "none"), "");
}

TEST(WorldParse, NumbersDecimalHexAndMalformed) {
  World w = World::Parse("[S]\na=12\nb=0x1F\nc=12abc\nd=\n");
  const auto* s = w.Find("S");
  EXPECT_EQ(s->GetNumber("a", -1), 12);
  EXPECT_EQ(s->GetNumber("b", -1), 31);
  EXPECT_EQ(s->GetNumber("c", -1), -1);
  EXPECT_EQ(s->GetNumber("d", -1), -1);
  EXPECT_EQ(s->GetNumber("none", 7), 7);
}

TEST(WorldText, BoundedAndCopyOutNeverOverrun) {
  EXPECT_EQ(qx::world::Bounded(nullptr, 10), "");
  char unterminated[4] = {'a', 'b', 'c', 'd'};
  EXPECT_EQ(qx::world::Bounded(unterminated, 4), "abcd");
  char out[5];
  std::memset(out, 'x', sizeof(out));
  EXPECT_FALSE(qx::world::CopyOut(out, 4, "123456"));
  EXPECT_STREQ(out, "123");
  EXPECT_EQ(out[4], 'x');
  EXPECT_TRUE(qx::world::CopyOut(out, 4, "12"));
  EXPECT_STREQ(out, "12");
  EXPECT_FALSE(qx::world::CopyOut(nullptr, 4, "1"));
  EXPECT_FALSE(qx::world::CopyOut(out, 0, "1"));
}

TEST(WorldText, MaskCommandLineHidesSecrets) {
  struct Case {
    const char* in;
    const char* out;
  } cases[] = {
      {"setup.exe /password=hunter2 /q", "setup.exe /password=******** /q"},
      {"x -pwd:abc", "x -pwd:********"},
      {"x /PASSWORD hunter2 /s", "x /PASSWORD ******** /s"},
      {"x PASSWORD hunter2", "x PASSWORD ********"},
      {"x /secret=\"a b\" y", "x /secret=******** y"},
      {"x /user=admin /q", "x /user=admin /q"},
      {"\"C:\\Program Files\\a.exe\" /i", "\"C:\\Program Files\\a.exe\" /i"},
  };
  for (const Case& c : cases) EXPECT_EQ(qx::world::MaskCommandLine(c.in), c.out) << c.in;
  EXPECT_STREQ(qx::world::MaskSecret(""), "(empty)");
  EXPECT_STREQ(qx::world::MaskSecret("pw"), "********");
}

TEST(WorldText, SplitList) {
  auto parts = qx::world::SplitList(" a, b;;c ,", ",;");
  ASSERT_EQ(parts.size(), 3u);
  EXPECT_EQ(parts[2], "c");
}

}  // namespace
