// The decisions of the sample item program: its command line, the names it
// accepts and the manifest that limits what uninstall may remove.
#include "tools/sampleitem/item_rules.h"

#include <gtest/gtest.h>

namespace {

using sampleitem::Verb;

struct ArgsCase {
  std::vector<std::string> args;
  bool ok;
  Verb verb;
  const char* dest;
  const char* component;
  const char* source;
  const char* key;
};

TEST(SampleItemArguments, ParsesOrRefuses) {
  const char* kDefaultKey = "Software\\QX\\Components";
  const ArgsCase cases[] = {
      {{"install", "C:\\Program Files\\QX\\Driver", "driver"}, true, Verb::kInstall, "C:\\Program Files\\QX\\Driver",
       "driver", "", kDefaultKey},
      {{"INSTALL", "C:\\QX\\Driver\\", "driver", "D:\\Driver\\Vista_Up\\"}, true, Verb::kInstall, "C:\\QX\\Driver",
       "driver", "D:\\Driver\\Vista_Up", kDefaultKey},
      {{"uninstall", "C:\\QX\\Manual", "manual"}, true, Verb::kUninstall, "C:\\QX\\Manual", "manual", "", kDefaultKey},
      {{"uninstall", "manual"}, true, Verb::kUninstall, "", "manual", "", kDefaultKey},
      {{"uninstall", "C:\\QX"}, false, Verb::kUninstall, "", "", "", kDefaultKey},  // a folder is no component
      {{"--key", "Software\\Test\\Parts\\", "status", "statmon"}, true, Verb::kStatus, "", "statmon", "",
       "Software\\Test\\Parts"},
      {{"help"}, true, Verb::kHelp, "", "", "", kDefaultKey},
      {{"\\\\server\\share\\qx", "x"}, false, Verb::kHelp, "", "", "", kDefaultKey},  // no verb
      {{}, false, Verb::kHelp, "", "", "", kDefaultKey},
      {{"install", "C:\\QX"}, false, Verb::kInstall, "", "", "", kDefaultKey},  // no component
      {{"uninstall", "C:\\QX", "manual", "D:\\src"}, false, Verb::kUninstall, "", "", "", kDefaultKey},
      {{"install", "QX\\Driver", "driver"}, false, Verb::kInstall, "", "", "", kDefaultKey},  // relative
      {{"install", "C:\\QX\\..\\Windows", "driver"}, false, Verb::kInstall, "", "", "", kDefaultKey},
      {{"install", "C:\\QX", "..\\evil"}, false, Verb::kInstall, "", "", "", kDefaultKey},
      {{"install", "C:\\QX", "a b"}, false, Verb::kInstall, "", "", "", kDefaultKey},
      {{"install", "C:\\QX", "ok", "relative\\src"}, false, Verb::kInstall, "", "", "", kDefaultKey},
      {{"install", "C:\\" + std::string(250, 'a'), "driver"}, false, Verb::kInstall, "", "", "", kDefaultKey},
      {{"--key"}, false, Verb::kHelp, "", "", "", kDefaultKey},
      {{"--key", "\\Software", "status", "x"}, false, Verb::kStatus, "", "", "", kDefaultKey},
      {{"remove", "C:\\QX", "x"}, false, Verb::kHelp, "", "", "", kDefaultKey},
  };
  for (const ArgsCase& c : cases) {
    std::string shown;
    for (const std::string& a : c.args) shown += "[" + a.substr(0, 40) + "]";
    SCOPED_TRACE(shown);
    sampleitem::ParseResult r = sampleitem::ParseArguments(c.args);
    ASSERT_EQ(c.ok, r.ok) << r.error;
    if (!c.ok) {
      EXPECT_FALSE(r.error.empty());
      continue;
    }
    EXPECT_EQ(c.verb, r.request.verb);
    if (c.verb == Verb::kHelp) continue;
    EXPECT_EQ(c.dest, r.request.dest);
    EXPECT_EQ(c.component, r.request.component);
    EXPECT_EQ(c.source, r.request.source);
    EXPECT_EQ(c.key, r.request.registryKey);
  }
}

TEST(SampleItemNames, ComponentNamesAndRelativePaths) {
  struct Case {
    const char* text;
    bool component;
    bool relative;
  };
  const Case cases[] = {
      {"driver", true, true},
      {"net-scan_2.x", true, true},
      {"..", false, false},
      {".", false, false},
      {"", false, false},
      {"a\\b", false, true},
      {"a\\..\\b", false, false},
      {"\\root", false, false},
      {"C:\\x", false, false},
      {"a/b", false, false},
      {"trailing\\", false, false},
      {"a\\\\b", false, false},
      {"name with blank", false, true},
      {"x*", false, false},
      {"abcdefghijabcdefghijabcdefghijabc", false, true},  // 33 characters
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(c.component, sampleitem::IsValidComponentName(c.text));
    EXPECT_EQ(c.relative, sampleitem::IsSafeRelativePath(c.text));
  }
}

TEST(SampleItemManifest, RoundTripsAndMerges) {
  sampleitem::Manifest m;
  m.parentFolders = {"C:\\QX", "C:\\QX\\L2020"};
  m.folders = {"", "Sub"};
  m.files = {"a.txt", "Sub\\b.txt"};
  sampleitem::Manifest back;
  ASSERT_TRUE(sampleitem::ParseManifest(sampleitem::FormatManifest(m), "C:\\QX\\L2020\\Driver", &back));
  EXPECT_EQ(m.parentFolders, back.parentFolders);
  EXPECT_EQ(m.folders, back.folders);
  EXPECT_EQ(m.files, back.files);

  sampleitem::Manifest more;
  more.files = {"A.TXT", "c.txt"};
  more.folders = {"Other"};
  sampleitem::MergeManifest(&back, more);
  EXPECT_EQ((std::vector<std::string>{"a.txt", "Sub\\b.txt", "c.txt"}), back.files);  // names compare without case
  EXPECT_EQ((std::vector<std::string>{"", "Sub", "Other"}), back.folders);
}

TEST(SampleItemManifest, DamagedManifestNeverReachesOutsideTheDestination) {
  std::string text =
      "QXITEM-MANIFEST 1\r\n"
      "F good.txt\r\n"
      "F ..\\..\\Windows\\win.ini\r\n"
      "F C:\\Windows\\win.ini\r\n"
      "D ..\r\n"
      "P C:\\Windows\r\n"        // not on the way to the destination
      "P C:\\QX\\L2020\\Driver\r\n"  // the destination itself is no parent
      "P C:\\QX\r\n"
      "X what\r\n"
      "F\r\n";
  sampleitem::Manifest m;
  int dropped = 0;
  ASSERT_TRUE(sampleitem::ParseManifest(text, "C:\\QX\\L2020\\Driver", &m, &dropped));
  EXPECT_EQ(std::vector<std::string>{"good.txt"}, m.files);
  EXPECT_TRUE(m.folders.empty());
  EXPECT_EQ(std::vector<std::string>{"C:\\QX"}, m.parentFolders);
  EXPECT_EQ(7, dropped);

  EXPECT_FALSE(sampleitem::ParseManifest("F a.txt\r\n", "C:\\QX", &m));  // no header: not ours
  EXPECT_TRUE(m.files.empty());
}

TEST(SampleItemMedium, RootAndDefaultSource) {
  EXPECT_EQ("D:", sampleitem::MediumRoot("D:\\data\\sampleitem.exe"));
  EXPECT_EQ("D:\\disc", sampleitem::MediumRoot("D:\\disc\\DATA\\sampleitem.exe"));
  EXPECT_EQ("C:\\tools", sampleitem::MediumRoot("C:\\tools\\sampleitem.exe"));
  EXPECT_EQ("D:\\disc\\Payload\\manual", sampleitem::DefaultSource("D:\\disc", "manual"));
}

}  // namespace
