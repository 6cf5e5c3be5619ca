// The sample medium's scripts point at sections and files: every command,
// page, object, font, item, shortcut and copy section they name exists in the
// file the installer reads it from, and every file on the medium they name is
// there.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <vector>

#include "framework/handles.h"
#include "media/tests/medium_reader.h"

namespace {

using mediumtest::Script;
using mediumtest::Split;
using mediumtest::Trim;
using mediumtest::Upper;

const std::set<std::string> kCommandWords = {
    "CT_OPEN_DLG",      "CT_EXE_FILE_WAIT",     "CT_EXE_FILE_NOWAIT",  "CT_EXE_AND_TERMINATE", "CT_RUNDLL",
    "CT_RUNDLL_AND_TERMINATE", "CT_OPEN_FILE_NOWAIT", "CT_OPEN_FILE_WAIT", "CT_OPEN_URL",     "CT_OPEN_BROWSE",
    "CT_APP_TERMINATE", "CT_DLG_HELP",          "CT_DLG_BACK",         "CT_DLG_CANCEL",        "CT_FIND_LOCAL_PRINTER",
    "CT_RUN_INSTALL",   "CT_ADDREG",            "CT_WRITE_ITEM_INFO",  "CT_COMMAND",           "CT_PRINT_TEST_PAGE",
    "CT_RUN_UNINSTALL", "CT_DELETE_ALL",        "CT_REFRESH_SYSTEM",   "CT_DIAGNOSIS",         "CT_START_PREVENT_PNP",
    "CT_END_PREVENT_PNP", "CT_COPY_FILE",       "CT_RUN_REMOTE_INSTALL", "CT_OPEN_FINISH",
    "CT_REMOVEHARDWAREWIZARDDIALOG", "CT_REMOVE_DEV", "CT_VIEW_LICESNE", "CT_DELETE_FILE", "CT_ITEM_EXE"};

bool IsPageSection(const std::string& name) {
  for (const char* prefix : {"NORMAL.", "SET_PRINTERS.", "ENTER_CLIENT_PC.", "SET_PORT.", "SELECT_DRIVER.",
                             "SELECT_PRINTER.", "SELECT_LANGUAGE.", "SELECT_ITEM.", "INSTALL.", "UNINST.", "FINISH."}) {
    if (Upper(name).find(prefix) != std::string::npos) return true;
  }
  return false;
}

class SampleMediumReferences : public ::testing::Test {
 protected:
  SampleMediumReferences()
      : dir_(mediumtest::MediumDir()), data_(dir_ + "\\setup.dat"), config_(dir_ + "\\setup.cfg") {}

  void SetUp() override {
    ASSERT_TRUE(data_.Opened()) << data_.Path() << " (build the sample_medium target)";
    ASSERT_TRUE(config_.Opened()) << config_.Path();
  }

  // Checks one command and follows the sections it opens.
  void CheckCommand(const std::string& where, const std::string& type, const std::string& str,
                    const std::string& param) {
    SCOPED_TRACE(where);
    std::string t = Upper(Trim(type));
    ASSERT_TRUE(kCommandWords.count(t)) << "unknown command word " << type;
    if (t == "CT_OPEN_DLG") CheckPage(str);
    if (t == "CT_OPEN_FINISH") {
      CheckPage(str);
      CheckPage(param);
    }
    if (t == "CT_COMMAND") CheckCommandSection(str);
    if (t == "CT_VIEW_LICESNE") {
      EXPECT_TRUE(config_.Has(str)) << str;
    }
    if (t == "CT_ADDREG" || t == "CT_COPY_FILE" || t == "CT_DELETE_FILE") {
      EXPECT_TRUE(data_.Has(str)) << str;
    }
    if (t == "CT_ITEM_EXE") {
      std::string item = Trim(str.substr(0, str.find(':')));
      ASSERT_NE(std::string::npos, str.find(':')) << str;
      EXPECT_TRUE(items_.count(Upper(item))) << "no such item " << item;
    }
  }

  void CheckCommandSection(const std::string& section) {
    if (!visited_.insert("CMD:" + Upper(section)).second) return;
    ASSERT_TRUE(config_.Has(section)) << "no command section " << section;
    std::vector<std::string> lines = config_.Lines(section);
    EXPECT_FALSE(lines.empty()) << section;
    for (const std::string& line : lines) {
      // As the interpreter splits it: TYPE=STRING,PARAMETER.
      size_t eq = line.find('=');
      std::string type = line.substr(0, eq), rest = eq == std::string::npos ? "" : line.substr(eq + 1);
      size_t comma = rest.find(',');
      CheckCommand(section + ": " + line, type, rest.substr(0, comma),
                   comma == std::string::npos ? "" : rest.substr(comma + 1));
    }
  }

  void CheckRecordSection(const std::string& owner, const std::string& section) {
    ASSERT_TRUE(config_.Has(section)) << owner << " names the missing section " << section;
    std::string type = config_.Value(section, "CMD_TYPE");
    if (!type.empty()) {
      CheckCommand(section, type, config_.Value(section, "CMD_STR"), config_.Value(section, "CMD_PARAM"));
    }
  }

  void CheckPage(const std::string& page) {
    if (!visited_.insert("PAGE:" + Upper(page)).second) return;
    SCOPED_TRACE("page " + page);
    ASSERT_TRUE(IsPageSection(page)) << page << " selects no page class";
    ASSERT_TRUE(config_.Has(page)) << "no page section " << page;
    int count = std::atoi(config_.Value(page, "NUM_OF_OBJ").c_str());
    for (int n = 0; n < count; ++n) {
      std::string object = config_.Value(page, "OBJ_" + std::to_string(n));
      ASSERT_FALSE(object.empty()) << "OBJ_" << n;
      EXPECT_EQ(2u, Split(config_.Value(page, "POS_" + std::to_string(n)), ',').size()) << "POS_" << n;
      CheckRecordSection(page, object);
      std::string font = config_.Value(object, "FONT");
      if (!font.empty()) {
        EXPECT_TRUE(config_.Has(font)) << object << " font " << font;
      }
    }
    std::string fixed = config_.Value(page, "FIXED_ITEM");
    if (!fixed.empty()) {
      ASSERT_TRUE(config_.Has(fixed)) << "no fixed-item section " << fixed;
      for (const auto& [key, value] : config_.Keys(fixed)) {
        std::string k = Upper(key);
        if (k.size() > 8 && k.compare(k.size() - 8, 8, "_COMMAND") == 0) CheckRecordSection(fixed, value);
        if (k.size() > 5 && k.compare(k.size() - 5, 5, "_FONT") == 0) {
          EXPECT_TRUE(config_.Has(value)) << value;
        }
        if (k.size() > 5 && k.compare(k.size() - 5, 5, "_RECT") == 0) {
          EXPECT_EQ(4u, Split(value, ',').size()) << key;
        }
        if (k == "ADD_UNINST_REG_KEY") {
          EXPECT_TRUE(data_.Has(value)) << value;
        }
      }
    }
    std::string finish = config_.Value(page, "FINISH_COMMAND");
    if (!finish.empty()) CheckCommandSection(finish);
  }

  std::string dir_;
  Script data_, config_;
  std::set<std::string> items_;
  std::set<std::string> visited_;
};

TEST_F(SampleMediumReferences, ItemsShortcutsCopiesAndRegistrySectionsExist) {
  int count = std::atoi(data_.Value("ITEM_INFO", "COUNTS").c_str());
  EXPECT_GE(count, 6);
  int printers = 0, unsupported = 0;
  for (int i = 0; i < count; ++i) {
    std::string item = data_.Value("ITEM_INFO", "ITEM_" + std::to_string(i));
    ASSERT_TRUE(data_.Has(item)) << "ITEM_" << i << " names no section";
    EXPECT_FALSE(data_.Value(item, "INST_CMDSTR").empty()) << item;
    EXPECT_FALSE(data_.Value(item, "UNINST_CMDSTR").empty()) << item;
    EXPECT_EQ("0", data_.Value(item, "SUCCESS_RETURN")) << item << ": sampleitem.exe ends with 0";
    // A printer item is found installed by its driver, every other one by its uninstall value.
    bool printer = item.find("PRINTER") != std::string::npos;
    printers += printer;
    unsupported += !data_.Value(item, "UNSUPPORTED_OS").empty();
    EXPECT_FALSE(data_.Value(item, printer ? "DRIVER_NAME" : "UNINST_VALUE_NAME").empty()) << item;
  }
  EXPECT_EQ(1, printers);
  EXPECT_EQ(1, unsupported);
  for (const char* list : {"SHORTCUT_INFO", "COPY_FILE_INFO"}) {
    std::vector<std::string> sections = data_.Lines(list);
    EXPECT_FALSE(sections.empty()) << list;
    for (const std::string& s : sections) {
      EXPECT_TRUE(data_.Has(s)) << list << ": " << s;
    }
  }
  EXPECT_FALSE(data_.Value("ADD_REG.UNINSTKEY", "KEYNAME").empty());
  EXPECT_TRUE(data_.Has(data_.Value("PROGRAM_INFO", "SUPPORTED_LANG")));
  EXPECT_TRUE(data_.Has(data_.Value("PROGRAM_INFO", "MANUAL_LANG")));
  // The language page lists the same section of the configuration file.
  EXPECT_TRUE(config_.Has(data_.Value("PROGRAM_INFO", "SUPPORTED_LANG")));
}

TEST_F(SampleMediumReferences, EveryCommandOfEveryRunLeadsToExistingSections) {
  for (int i = 0;; ++i) {
    std::string item = data_.Value("ITEM_INFO", "ITEM_" + std::to_string(i));
    if (item.empty()) break;
    items_.insert(Upper(item));
  }
  for (const char* run : {"INST_STRART_CMD", "INST_END_CMD", "UNINST_STRART_CMD", "UNINST_END_CMD",
                          "REMOTE_START_CMD", "REMOTE_END_CMD"}) {
    CheckCommandSection(run);
  }
  EXPECT_FALSE(config_.Value("CANCEL_DLG", "CANCEL_MSG").empty());
  EXPECT_TRUE(config_.Has(config_.Value("FIXED_DIALOG", "BROWSE_DIRECTORY")));
  // Every page and every object with a command is reachable and checked.
  for (const std::string& section : config_.Sections()) {
    if (!config_.Value(section, "CMD_TYPE").empty()) CheckRecordSection("(any)", section);
  }
  EXPECT_GE(visited_.size(), 15u);
}

// Every $SRC_DIR$ path on the medium exists, for every value the variables in it can take.
TEST_F(SampleMediumReferences, EveryFileTheScriptsNameIsOnTheMedium) {
  std::vector<std::string> osDirs, abbrs, manualDirs;
  for (const auto& [os, d] : data_.Keys("OS_DIR")) osDirs.push_back(d);
  for (const auto& [id, a] : data_.Keys("LANGUAGE_ABBR")) abbrs.push_back(a);
  for (const std::string& line : data_.Lines(data_.Value("PROGRAM_INFO", "MANUAL_LANG"))) {
    manualDirs.push_back(data_.Value("LANGUAGE_DIR", line.substr(0, line.find(' '))));
  }
  auto expand = [&](std::string path) {
    std::vector<std::string> out = {path};
    auto fan = [&](const std::string& token, const std::vector<std::string>& values) {
      std::vector<std::string> next;
      for (const std::string& p : out) {
        size_t at = p.find(token);
        if (at == std::string::npos) {
          next.push_back(p);
          continue;
        }
        for (const std::string& v : values) next.push_back(std::string(p).replace(at, token.size(), v));
      }
      out = next;
    };
    std::string manualDir = data_.Value("PROGRAM_INFO", "MANUAL_DIR");
    fan("$MANUAL_FILE$", {data_.Value("PROGRAM_INFO", "MANUAL_FILE")});
    fan("$MANUAL_DIR$", {manualDir});
    fan("%s", manualDirs);
    fan("$OS_DIR$", osDirs);
    fan("$LANG_ABBR$", abbrs);
    fan("$SRC_DIR$", {dir_});
    return out;
  };
  int checked = 0;
  for (const Script* s : {&data_, &config_}) {
    for (const std::string& section : s->Sections()) {
      for (const auto& [key, value] : s->Keys(section)) {
        for (const char* start : {"$SRC_DIR$", "$MANUAL_DIR$", "$MANUAL_FILE$"}) {
          size_t at = value.find(start);
          if (at == std::string::npos) continue;
          std::string path = value.substr(at, value.find_first_of("\",", at) - at);
          for (const std::string& p : expand(Trim(path))) {
            WIN32_FIND_DATAA found{};
            fw::UniqueFind find(FindFirstFileA(p.c_str(), &found));
            EXPECT_TRUE(static_cast<bool>(find)) << section << "." << key << ": " << p;
            ++checked;
          }
          break;
        }
      }
    }
  }
  EXPECT_GT(checked, 30);
  for (const char* key : {"CONFIGURE_FILE", "RESOURCE_DLL", "INSTALLER_DLL", "UNINSTALLER_DLL", "UTILITY_DLL", "REMOTE_INSTALL_DLL",
                          "DIAGNOSIS_DLL", "NETWORKMAN_DLL"}) {
    std::string name = data_.Value("PROGRAM_INFO", key);
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((dir_ + "\\" + name).c_str())) << key << " " << name;
  }
  std::string format = data_.Value("PROGRAM_INFO", "STRING_FILE_FORMAT");
  for (const std::string& abbr : abbrs) {
    std::string name = format;
    name.replace(name.find("%s"), 2, abbr);
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((dir_ + "\\" + name).c_str())) << name;
  }
  for (const char* file : {"sampleitem.exe", "data\\world.ini", "StatMon\\QXL2020.dat", "autorun.inf"}) {
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((dir_ + "\\" + file).c_str())) << file;
  }
  EXPECT_EQ("1.2.0", Script(dir_ + "\\autorun.inf").Value("INFOMATION", "VERSION"));
}

// Every bitmap the pages ask for is in the medium's resource library, at the size the pages expect.
TEST_F(SampleMediumReferences, PageBitmapsAreInTheResourceLibrary) {
  std::string library = dir_ + "\\" + data_.Value("PROGRAM_INFO", "RESOURCE_DLL");
  fw::UniqueModule module(LoadLibraryExA(library.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
  ASSERT_TRUE(static_cast<bool>(module)) << library;
  std::vector<std::string> size = Split(config_.Value("DLG_COMMON", "DLG_SIZE"), ',');
  ASSERT_EQ(2u, size.size());
  struct Expected {
    std::string name;
    LONG width, height;
  };
  std::vector<Expected> expected = {
      {config_.Value("DLG_COMMON", "BACK_BMP"), std::atoi(size[0].c_str()), std::atoi(size[1].c_str())},
      {config_.Value("DLG_COMMON", "BACK_BMP_RIGHT"), std::atoi(size[0].c_str()), std::atoi(size[1].c_str())},
      // The defaults of bitmap links and the state images of the item lists.
      {"IDB_OFF_BUTTON", 16, 16}, {"IDB_ON_BUTTON", 16, 16}, {"IDB_CLICKED_BUTTON", 16, 16},
      {"CHECK_BMP", 48, 16}, {"RADIO_BMP", 48, 16}};
  for (const std::string& section : config_.Sections()) {
    for (const char* key : {"BACK_BMP", "BACK_BMP_RIGHT", "ON_BITMAP", "OFF_BITMAP", "CLICKED_BITMAP"}) {
      std::string name = config_.Value(section, key);
      if (!name.empty()) expected.push_back({name, 0, 0});
    }
  }
  for (const Expected& e : expected) {
    SCOPED_TRACE(e.name);
    ASSERT_FALSE(e.name.empty());
    fw::UniqueGdiObject bitmap(LoadImageA(module.Get(), e.name.c_str(), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    ASSERT_TRUE(static_cast<bool>(bitmap));
    BITMAP info{};
    ASSERT_NE(0, GetObjectA(bitmap.Get(), sizeof(info), &info));
    if (e.width) {
      EXPECT_EQ(e.width, info.bmWidth);
      EXPECT_EQ(e.height, info.bmHeight);
    }
  }
}

}  // namespace
