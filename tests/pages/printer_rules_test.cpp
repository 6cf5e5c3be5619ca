// The printer table decisions: what the searches keep and list, even from a
// library that returns nonsense, the install-type rewriting, addresses and
// the characters the name fields refuse.
#include "setup/pages/printer_rules.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <vector>

namespace {

using namespace pages;

PRINTER_ENTRY Entry(const char* name, const char* address, const char* description) {
  PRINTER_ENTRY e{};
  std::snprintf(e.name, sizeof(e.name), "%s", name);
  std::snprintf(e.address, sizeof(e.address), "%s", address);
  std::snprintf(e.description, sizeof(e.description), "%s", description);
  return e;
}

TEST(PrinterRules, NetworkEntriesAreListedByBothFindingStringsAndFlaggedByTheirAddress) {
  struct Case {
    const char* address;
    const char* description;
    bool listed, hasAddress;
  } cases[] = {
      {"192.168.1.20", "Vexa Laser MFP 9000", true, true},   // both strings, any case
      {"192.168.1.21", "VEXA INKJET 12", false, true},       // second string missing
      {"192.168.1.22", "Other Laser", false, true},          // first string missing
      {"", "vexa laser", true, false},                       // listed, but no address to use
      {"printer.local", "vexa laser", true, false},          // a name is not an IP address
      {"300.1.1.1", "vexa laser", true, false},
      {"10.0.0", "vexa laser", true, false},
  };
  std::vector<PRINTER_ENTRY> table(kPrinterEntries);
  for (size_t i = 0; i < std::size(cases); ++i) table[i] = Entry("P", cases[i].address, cases[i].description);
  ASSERT_EQ(MarkNetworkEntries(table.data(), static_cast<int>(std::size(cases)), "vexa", "Laser"),
            static_cast<int>(std::size(cases)));
  for (size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE(cases[i].address);
    EXPECT_EQ(table[i].listed, cases[i].listed);
    EXPECT_EQ(table[i].hasAddress, cases[i].hasAddress);
    EXPECT_EQ(table[i].network, 1);
  }
  EXPECT_STREQ(table[0].description, "VEXA LASER MFP 9000");
}

TEST(PrinterRules, CountsOutsideTheTableAndUnterminatedTextsAreBounded) {
  struct Case {
    int returned, kept;
  } cases[] = {{-1, 0}, {-1000, 0}, {0, 0}, {3, 3}, {200, 200}, {201, 200}, {1 << 30, 200}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.returned);
    std::vector<PRINTER_ENTRY> table(kPrinterEntries);
    std::memset(table.data(), 'A', sizeof(PRINTER_ENTRY) * table.size());  // no NUL anywhere
    EXPECT_EQ(MarkNetworkEntries(table.data(), c.returned, "A", "A"), c.kept);
    for (int i = 0; i < kPrinterEntries; ++i) {
      const PRINTER_ENTRY& e = table[static_cast<size_t>(i)];
      if (i < c.kept) {
        EXPECT_EQ(std::strlen(e.name), 259u);
        EXPECT_EQ(std::strlen(e.description), 259u);
        EXPECT_EQ(std::strlen(e.text5), 259u);
        EXPECT_EQ(e.listed, 1);
      } else {
        ASSERT_EQ(e.name[0], 0) << i;  // beyond the count: a free slot
        ASSERT_EQ(e.listed, 0) << i;
      }
    }
  }
}

TEST(PrinterRules, LocalDevicesAreNumberedFromZeroAfterTheNetworkEntriesAsFarAsTheTableGoes) {
  std::vector<PRINTER_ENTRY> table(kPrinterEntries);
  EXPECT_EQ(AddLocalEntries(table.data(), 1, "Vexa", "Laser 9000", "USB002", 2), 2);
  EXPECT_STREQ(table[1].name, "Vexa Laser 9000 (0)");
  EXPECT_STREQ(table[2].name, "Vexa Laser 9000 (1)");
  for (int i : {1, 2}) {
    EXPECT_STREQ(table[static_cast<size_t>(i)].address, "USB002");
    EXPECT_EQ(table[static_cast<size_t>(i)].network, 0);
    EXPECT_EQ(table[static_cast<size_t>(i)].hasAddress, 0);
    EXPECT_EQ(table[static_cast<size_t>(i)].listed, 1);
    EXPECT_TRUE(Selectable(table[static_cast<size_t>(i)]));
  }
  EXPECT_EQ(AddLocalEntries(table.data(), 5, "M", "D", "USB001", 201), kPrinterEntries - 5);
  EXPECT_STREQ(table[kPrinterEntries - 1].name, "M D (194)");
  EXPECT_EQ(AddLocalEntries(table.data(), 0, "M", "D", "USB001", -4), 0);
  std::string longPort(600, 'p');
  EXPECT_EQ(AddLocalEntries(table.data(), 0, std::string(300, 'm'), "D", longPort, 1), 1);
  EXPECT_EQ(std::strlen(table[0].name), 259u);
  EXPECT_EQ(std::strlen(table[0].address), 259u);
}

TEST(PrinterRules, InstallAsServerRewritesOnlyThePlainNetworkTypes) {
  struct Case {
    DWORD type;
    bool server;
    DWORD after;
  } cases[] = {{2, true, 0x12}, {4, true, 0x14}, {1, true, 1}, {0x12, true, 0x12}, {0x12, false, 2},
               {0x14, false, 4}, {2, false, 2}, {0x31, false, 0x31}, {0, true, 0}};
  for (const Case& c : cases) EXPECT_EQ(ServerInstallType(c.type, c.server), c.after) << c.type << c.server;
  EXPECT_TRUE(IsServerInstallType(0x12));
  EXPECT_TRUE(IsServerInstallType(0x80));
  EXPECT_FALSE(IsServerInstallType(0x0F));
}

TEST(PrinterRules, AddressesSplitIntoFourNumbers) {
  struct Case {
    const char* text;
    bool splits, ip;
    int first, last;
  } cases[] = {{"192.168.1.20", true, true, 192, 20}, {"0.0.0.0", true, true, 0, 0},
               {"10.0.0", false, false, 0, 0},       {"", false, false, 0, 0},
               {"a.b.c.d", false, false, 0, 0},      {"256.1.1.1", true, false, 256, 1},
               {"1..2.3", false, false, 0, 0},       {"1.2.3.4.5", true, false, 1, 4},
               {"USB001", false, false, 0, 0},       {"99999999999.1.1.1", false, false, 0, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    auto parts = SplitAddress(c.text);
    EXPECT_EQ(parts.has_value(), c.splits);
    if (parts && c.splits) {
      EXPECT_EQ((*parts)[0], c.first);
      EXPECT_EQ((*parts)[3], c.last);
    }
    EXPECT_EQ(IsIpAddress(c.text), c.ip);
  }
}

TEST(PrinterRules, ForbiddenCharactersAreRemovedEverywhere) {
  struct Case {
    const char* text;
    const char* chars;
    const char* after;
    bool removed;
  } cases[] = {{"IP_1,2", ",", "IP_12", true},      {",,,", ",", "", true},
               {"Office", "!,\\", "Office", false}, {"a!b\\c,d!", "!,\\", "abcd", true},
               {"s/h\\a,re", ",/\\", "share", true}, {"", ",", "", false}};
  for (const Case& c : cases) {
    bool removed = !c.removed;
    EXPECT_EQ(RemoveChars(c.text, c.chars, &removed), c.after) << c.text;
    EXPECT_EQ(removed, c.removed) << c.text;
  }
}

}  // namespace
