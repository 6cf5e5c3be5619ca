// The sample medium read the way setup.exe reads it: every section, message,
// variable and file that the scripts name must be there.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <set>

#include "media/tests/medium_reader.h"

namespace {

using mediumtest::Script;
using mediumtest::Split;
using mediumtest::Tokens;
using mediumtest::Trim;
using mediumtest::Upper;

const char* const kLanguages[] = {"EN", "HB", "GR"};

// Kinds of page objects, searched in the name in this order.
std::string ObjectKind(const std::string& section) {
  for (const char* kind : {"LINK", "STATIC", "BITMAP", "BUTTON", "LINE", "RECTANGLE"}) {
    if (section.find(kind) != std::string::npos) return kind;
  }
  return "";
}

class SampleMedium : public ::testing::Test {
 protected:
  SampleMedium()
      : dir_(mediumtest::MediumDir()), data_(dir_ + "\\setup.dat"), config_(dir_ + "\\setup.cfg") {}

  void SetUp() override {
    ASSERT_TRUE(data_.Opened()) << data_.Path() << " (build the sample_medium target)";
    ASSERT_TRUE(config_.Opened()) << config_.Path();
  }

  std::string StringFile(const char* abbr) const { return dir_ + "\\Lang\\setup" + abbr + ".str"; }

  // Every section of a script, with the key lines of each.
  static std::map<std::string, std::vector<std::pair<std::string, std::string>>> AllKeys(const Script& s) {
    std::map<std::string, std::vector<std::pair<std::string, std::string>>> all;
    for (const std::string& section : s.Sections()) all[section] = s.Keys(section);
    return all;
  }

  // Message keys the scripts use: @KEY@ references, the item keys, the object
  // and fixed-control texts, the language names and the start-up messages.
  std::set<std::string> UsedMessageKeys() const {
    std::set<std::string> keys = {"INVALID_PARAM_ERROR_MSG", "INVALID_ADMIN_ERROR_MSG"};
    for (const Script* s : {&data_, &config_}) {
      for (const auto& [section, lines] : AllKeys(*s)) {
        for (const auto& [key, value] : lines) {
          for (const std::string& t : Tokens(value, '@')) keys.insert(t);
        }
      }
    }
    for (const std::string& item : Items()) {
      for (const char* key : {"DISPLAY_NAME", "DESCRIPTION", "TOOLTIP"}) keys.insert(data_.Value(item, key));
    }
    for (const auto& [section, lines] : AllKeys(config_)) {
      std::string kind = ObjectKind(section);
      for (const auto& [key, value] : lines) {
        std::string k = Upper(key);
        bool objectText = (kind == "LINK" || kind == "STATIC" || kind == "BUTTON") &&
                          (k == "NAME" || k == "TOOLTIP" || k == "SCRIPT");
        bool fixedText = (k.size() > 5 && k.compare(k.size() - 5, 5, "_NAME") == 0) ||
                         (k.size() > 8 && k.compare(k.size() - 8, 8, "_TOOLTIP") == 0);
        bool message = k == "WARNING_MSG" || k == "CANCEL_MSG" || k == "DLG_TITLE" || k == "PATH_NOT_FOUND_MSG";
        if (objectText || fixedText || message) keys.insert(value);
      }
    }
    for (const auto& [id, name] : config_.Keys(data_.Value("PROGRAM_INFO", "SUPPORTED_LANG"))) {
      keys.insert("STRING_" + Upper(id).substr(2));
    }
    keys.erase("");
    return keys;
  }

  std::vector<std::string> Items() const {
    std::vector<std::string> items;
    int count = std::atoi(data_.Value("ITEM_INFO", "COUNTS").c_str());
    for (int i = 0; i < count; ++i) items.push_back(data_.Value("ITEM_INFO", "ITEM_" + std::to_string(i)));
    return items;
  }

  std::string dir_;
  Script data_, config_;
};

TEST_F(SampleMedium, ScriptsHaveCrLfLineEnds) {
  for (const std::string& path : {data_.Path(), config_.Path(), StringFile("EN"), StringFile("HB"),
                                  StringFile("GR"), dir_ + "\\autorun.inf", dir_ + "\\data\\world.ini"}) {
    SCOPED_TRACE(path);
    std::string text = mediumtest::ReadFile(path);
    ASSERT_FALSE(text.empty());
    for (size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 1)) {
      ASSERT_TRUE(at > 0 && text[at - 1] == '\r') << "bare line feed at byte " << at;
    }
  }
}

TEST_F(SampleMedium, EveryMessageKeyIsInEveryStringFile) {
  std::set<std::string> used = UsedMessageKeys();
  EXPECT_GT(used.size(), 60u);
  std::set<std::string> english;
  for (const auto& [key, value] : Script(StringFile("EN")).Keys("MESSAGES")) english.insert(key);
  for (const char* abbr : kLanguages) {
    Script strings(StringFile(abbr));
    ASSERT_TRUE(strings.Opened()) << strings.Path();
    for (const std::string& key : used) {
      EXPECT_FALSE(strings.Value("MESSAGES", key).empty()) << abbr << ": " << key;
    }
    std::set<std::string> own;
    for (const auto& [key, value] : strings.Keys("MESSAGES")) own.insert(key);
    EXPECT_EQ(english, own) << abbr << " has other keys than the English file";
  }
}

TEST_F(SampleMedium, RegistryTextsAndShortcutNamesSurviveEveryLanguage) {
  for (const char* abbr : kLanguages) {
    Script strings(StringFile(abbr));
    SCOPED_TRACE(abbr);
    // TYPE,NAME,DATA: a comma inside a message would shift the fields.
    for (int n = 0;; ++n) {
      std::string line = data_.Value("ADD_REG.UNINSTKEY", "VALUE_" + std::to_string(n));
      if (line.empty()) {
        EXPECT_GT(n, 5);
        break;
      }
      std::string text = mediumtest::ReplaceMessages(line, strings);
      EXPECT_EQ(3u, Split(text, ',').size()) << text;
      EXPECT_FALSE(Split(text, ',')[2].empty()) << text;
    }
    for (const std::string& shortcut : data_.Lines("SHORTCUT_INFO")) {
      std::string name = mediumtest::ReplaceMessages(data_.Value(shortcut, "NAME"), strings);
      EXPECT_FALSE(name.empty()) << shortcut;
      EXPECT_EQ(std::string::npos, name.find_first_of("\\/:*?\"<>|")) << shortcut << ": " << name;
    }
  }
}

TEST_F(SampleMedium, OnlyDefinedVariablesAreUsed) {
  const std::set<std::string> known = {"LANG_ABBR",   "SRC_DIR",     "DEST_DIR",    "WIN_DIR",
                                       "SYS_DIR",     "INF_DIR",     "OS_DIR",      "PROGRAM_FILES_DIR",
                                       "LANG_DIR",    "DATA_FILE",   "CONFIG_FILE", "STRING_FILE",
                                       "VERSION",     "IP",          "SCANIP",      "STRING_FILE_NAME",
                                       "LCID",        "MANUAL_DIR",  "MANUAL_FILE"};
  for (const Script* s : {&data_, &config_}) {
    for (const auto& [section, lines] : AllKeys(*s)) {
      for (const auto& [key, value] : lines) {
        for (const std::string& t : Tokens(value, '$')) {
          EXPECT_TRUE(known.count(t)) << section << "." << key << ": $" << t << "$";
        }
      }
    }
  }
}

TEST_F(SampleMedium, OperatingSystemStringsAreDistinctAndKnown) {
  std::vector<std::string> os;
  for (const auto& [key, value] : data_.Keys("OS_DEFINE")) {
    EXPECT_EQ(10u, key.size()) << key;
    EXPECT_FALSE(data_.Value("OS_DIR", value).empty()) << value << " has no OS_DIR";
    os.push_back(Upper(value));
  }
  ASSERT_GE(os.size(), 10u);
  for (const std::string& a : os) {
    for (const std::string& b : os) {
      if (&a != &b) {
        EXPECT_EQ(std::string::npos, b.find(a)) << a << " is part of " << b;
      }
    }
  }
  // Systems Wine can report: 98, Me, NT 4, 2000, XP, 2003, Vista, 7, 8, 8.1, 10.
  for (const char* key : {"0X0001040A", "0X0001045A", "0X00020400", "0X00020500", "0X00020501", "0X00020502",
                          "0X00020600", "0X00020601", "0X00020602", "0X00020603", "0X00020A00"}) {
    EXPECT_FALSE(data_.Value("OS_DEFINE", key).empty()) << key;
  }
  auto isKnown = [&](const std::string& name) { return std::find(os.begin(), os.end(), Upper(name)) != os.end(); };
  for (const auto& [section, lines] : AllKeys(data_)) {
    for (const auto& [key, value] : lines) {
      std::string k = Upper(key);
      if (k != "UNSUPPORTED_OS" && k != "SUPPORTED_OS" && k != "SIGNED_OS") continue;
      for (const std::string& name : Split(value, ',')) {
        EXPECT_TRUE(isKnown(name)) << section << ": " << name;
      }
    }
  }
  EXPECT_EQ("WIN7", data_.Value("OS_DEFINE", "0X00020601"));
  EXPECT_NE(std::string::npos, data_.Value("LEGACY_TWAIN", "UNSUPPORTED_OS").find("WIN7"));
}

}  // namespace
