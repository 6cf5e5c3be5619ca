// Start-up decisions of the monitor: command line, reading direction, string
// file, country list, and the application object's Initialize on real files
// and the real (Wine) registry.
#include <windows.h>

#include <gtest/gtest.h>

#include "statmon/app.h"
#include "statmon/command_line.h"
#include "statmon/country.h"
#include "statmon/language.h"
#include "tests/statmon/sm_test_support.h"
#include "tests/support/temp_dir.h"
#include "tests/support/trace_capture.h"

namespace {

using qx::test::TempDir;
using qx::test::TraceCapture;

struct LineCase {
  const char* line;
  bool names;
  bool toner;
  const char* program;
  const char* pipe;
};

class CommandLineTest : public ::testing::TestWithParam<LineCase> {};

TEST_P(CommandLineTest, Forms) {
  const LineCase& c = GetParam();
  sm::CommandLineInfo info = sm::ParseStatmonCommandLine(c.line);
  EXPECT_EQ(info.haveNames, c.names) << c.line;
  EXPECT_EQ(info.tonerMode, c.toner) << c.line;
  EXPECT_EQ(info.programName, c.program) << c.line;
  EXPECT_EQ(info.pipeName, c.pipe) << c.line;
}

const std::string kName49(49, 'N');
const std::string kLine49 = "/" + kName49 + " xP";
const std::string kLine50 = "/" + std::string(50, 'N') + " xP";

INSTANTIATE_TEST_SUITE_P(
    Lines, CommandLineTest,
    ::testing::Values(LineCase{"/PGM xPIPE", true, false, "PGM", "PIPE"},
                      LineCase{"/PGM x\\\\.\\pipe\\job 1", true, false, "PGM", "\\\\.\\pipe\\job 1"},
                      LineCase{"\"C:\\Program Files\\statmon.exe\"", false, true, "", ""},
                      LineCase{"statmon.exe", false, true, "", ""},
                      LineCase{"", false, false, "", ""},
                      LineCase{"\"C:\\x\\statmon.exe\" /JOB", false, false, "", ""},
                      LineCase{"/PGM x", false, true, "", ""},   // no pipe name: not form 1
                      LineCase{"/PGM", false, true, "", ""},
                      LineCase{"/ xPIPE", false, true, "", ""},  // no program name
                      LineCase{kLine49.c_str(), true, false, kName49.c_str(), "P"},
                      LineCase{kLine50.c_str(), false, true, "", ""}));  // does not fit its 50-byte slot

TEST(HexToLong, Digits) {
  struct {
    const char* text;
    int32_t value;
  } cases[] = {{"0409", 0x409}, {"", 0}, {"00000409", 0x409}, {"aBc", 0xABC}, {"40G", -1},
               {"-1", -1},      {" 409", -1}, {"FFFFFFFF", -1}, {"7FFFFFFF", 0x7FFFFFFF}};
  for (const auto& c : cases) EXPECT_EQ(sm::HexToLong(c.text), c.value) << c.text;
}

TEST(ReadingDirection, ByCodeAndWindowsVersion) {
  const sm::OsVersion nt4{sm::OsVersion::kNT, 4, 0}, w2k{sm::OsVersion::kNT, 5, 0}, win7{sm::OsVersion::kNT, 6, 1},
      win95{sm::OsVersion::kWin9x, 4, 0}, win98{sm::OsVersion::kWin9x, 4, 10}, me{sm::OsVersion::kWin9x, 4, 90};
  int localeReads = 0;
  std::string locale;
  auto readLocale = [&] {
    ++localeReads;
    return locale;
  };
  struct {
    const char* code;
    sm::OsVersion os;
    const char* locale;
    bool rtl;
  } cases[] = {
      {"ab", win7, "", true},       {"HB", w2k, "", true},         {"en", win7, "", false},
      {"AB", nt4, "", false},       {"AB", win95, "", true},       {"AB", win98, "00000409", false},
      {"AB", win98, "00000401", true}, {"hb", me, "40d", true},     {"AB", win98, "zz", false},
      {"ABC", win7, "", false},
  };
  for (const auto& c : cases) {
    locale = c.locale;
    EXPECT_EQ(sm::IsRightToLeft(c.code, c.os, readLocale), c.rtl) << c.code << " " << c.os.major << "." << c.os.minor;
  }
  localeReads = 0;
  sm::IsRightToLeft("en", win98, readLocale);
  EXPECT_EQ(localeReads, 0);  // only asked for the right-to-left codes
}

TEST(CountryList, PhoneSectionNamesAndSorting) {
  TempDir dir;
  CStrTableList strings;
  ASSERT_TRUE(strings.Initialize(dir.Write("SMen.trs", "0409=United States\n0407=Germany\n040C=France\nb=lower\n").c_str()));
  const char section[] = "0409=1-800\0" "0407=0800\0" "XYZ=12\0" "040C\0" "b=9\0";
  std::vector<CountryEntry> countries;
  std::vector<std::string> names;
  sm::ParsePhoneSection(section, sizeof(section), strings, &countries, &names);
  ASSERT_EQ(countries.size(), 5u);
  EXPECT_EQ(countries[0].lcid, 1033u);
  EXPECT_EQ(countries[0].phone, "1-800");
  EXPECT_EQ(countries[2].lcid, 0xFFFFFFFFu);  // not hexadecimal: never matches a detected country
  EXPECT_EQ(countries[2].name, "");
  EXPECT_EQ(countries[3].phone, "");
  EXPECT_EQ(countries[4].lcid, 0xBu);
  EXPECT_EQ(names, (std::vector<std::string>{"", "France", "Germany", "United States", "lower"}));

  // The decision of GetDefaultLangID.
  EXPECT_EQ(sm::ChooseCountryLcid(0x407, false, 0, 0x409, countries), 0x407u);
  EXPECT_EQ(sm::ChooseCountryLcid(0x409, true, 94, 0x409, countries), 0x407u);   // Germany
  EXPECT_EQ(sm::ChooseCountryLcid(0x407, true, 84, 0x409, countries), 0x40Cu);   // France
  EXPECT_EQ(sm::ChooseCountryLcid(0x407, true, 999, 0x407, countries), 0x407u);  // unlisted nation: user default
  EXPECT_EQ(sm::ChooseCountryLcid(0x407, true, 122, 0x407, countries), 0x409u);  // Japan, not in the list
  EXPECT_EQ(sm::ChooseCountryLcid(0xFFFFFFFF, false, 0, 0x409, countries), 0xFFFFFFFFu);
  EXPECT_EQ(sm::ChooseCountryLcid(0x407, true, 94, 0x409, {}), 0x409u);  // empty Phone section
  uint32_t lcid = 0;
  EXPECT_TRUE(sm::LcidForNation(215, &lcid));  // the last row
  EXPECT_EQ(lcid, 0x1004u);
  EXPECT_FALSE(sm::LcidForNation(0, &lcid));
}

TEST(CountryList, ABufferWithoutTerminatorIsNotOverrun) {
  CStrTableList strings;
  const char section[6] = {'0', '4', '0', '9', '=', '1'};
  std::vector<CountryEntry> countries;
  std::vector<std::string> names;
  sm::ParsePhoneSection(section, sizeof(section), strings, &countries, &names);
  ASSERT_EQ(countries.size(), 1u);
  EXPECT_EQ(countries[0].phone, "1");
}

// The application object's Initialize on a folder of its own.
class AppInitialize : public ::testing::Test {
 protected:
  void SetUp() override {
    langKey_ = "QXSmTest" + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(GetTickCount());
    dir_.Write("MulLang\\SMen.trs", "0409=United States\n0407=Germany\nSM_READY=Ready\n");
    dir_.Write("smcode.dat", "SM_READY 0x0001000000000000 0x00FF000000000000 Ready\n");
  }
  void TearDown() override {
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, ("Software\\QXPrint\\" + langKey_).c_str());
    sm::SetOsVersionForTesting(nullptr);
  }
  void WriteConfig(const std::string& lang, const std::string& extra = "") {
    dir_.Write("QXTEST.dat", "[Model]\nClass=QX Test Monitor\nCaption=Cap\nMDL=QX-T1\nLinkModel=T1\n"
                             "[Language]\nLangKey=" + langKey_ + "\nDefaultLang=" + lang +
                                 "\n[WebLink]\nToner=http://x/?\n[Support]\nisSupportDevMon=1\n"
                                 "[DevMon]\nName=smdevmon.dll\nVID=6956\nPID=513\n[Phone]\n0409=1\n0407=2\nZZ=3\n" + extra);
  }
  void SetRegistryCode(const std::string& code, DWORD type = REG_SZ) {
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, ("Software\\QXPrint\\" + langKey_).c_str(), 0, nullptr, 0,
                              KEY_WRITE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(key, "SmCntCode", 0, type, reinterpret_cast<const BYTE*>(code.c_str()),
                   static_cast<DWORD>(code.size() + 1));
    RegCloseKey(key);
  }
  bool Run(CMFPSMApp& app) {
    app.programName = "QXTEST";
    app.SetDirectoryForTesting(dir_.Path());
    return app.Initialize();
  }

  TempDir dir_;
  std::string langKey_;
};

TEST_F(AppInitialize, ReadsTheConfigurationInOrder) {
  WriteConfig("en");
  TraceCapture trace;
  CMFPSMApp app;
  ASSERT_TRUE(Run(app));
  EXPECT_EQ(app.ConfigPath(), dir_.Path() + "\\QXTEST.dat");
  const sm::SmConfig& c = app.Config();
  EXPECT_EQ(c.modelClass, "QX Test Monitor");
  EXPECT_EQ(c.mdl, "QX-T1");
  EXPECT_EQ(c.devMonName, "smdevmon.dll");
  EXPECT_EQ(c.vendorId, 6956);
  EXPECT_EQ(c.productId, 513);
  EXPECT_EQ(app.LanguageCode(), "en");
  EXPECT_EQ(app.LeftToRight(), 1u);
  EXPECT_EQ(app.StringFile(), dir_.Path() + "\\MulLang\\SMen.trs");
  EXPECT_EQ(app.Countries().size(), 3u);
  EXPECT_EQ(app.CountryNames(), (std::vector<std::string>{"", "Germany", "United States"}));
  EXPECT_EQ(app.StatusTable().Records().size(), 1u);
  EXPECT_TRUE(trace.Contains("## m_nIsSupportDevMon (1)"));
  EXPECT_TRUE(trace.Contains("Cur Driver Nation (en)"));
  EXPECT_TRUE(trace.Contains("Exit Initialize"));
}

TEST_F(AppInitialize, DevMonKeysAreReadOnlyWhenSupported) {
  dir_.Write("QXTEST.dat", "[Model]\nClass=C\n[Support]\nisSupportDevMon=0\n[DevMon]\nName=x.dll\nVID=5\n");
  CMFPSMApp app;
  ASSERT_TRUE(Run(app));
  EXPECT_EQ(app.Config().devMonName, "");
  EXPECT_EQ(app.Config().vendorId, 0);
}

TEST_F(AppInitialize, RegistryCodeWinsAndIsReadRightToLeftButLookedUpAsWritten) {
  WriteConfig("en");
  SetRegistryCode("ab");
  dir_.Write("MulLang\\SMab.trs", "0409=RTL States\n");
  sm::OsVersion win7{sm::OsVersion::kNT, 6, 1};
  sm::SetOsVersionForTesting(&win7);
  CMFPSMApp app;
  ASSERT_TRUE(Run(app));
  EXPECT_EQ(app.LanguageCode(), "ab");
  EXPECT_EQ(app.LeftToRight(), 0u);
  EXPECT_EQ(app.StringFile(), dir_.Path() + "\\MulLang\\SMab.trs");
  EXPECT_EQ(app.Strings().Text("0409"), "RTL States");
}

TEST_F(AppInitialize, NoStringFileForTheCodeFallsBackToEnglish) {
  WriteConfig("HB");
  sm::OsVersion nt4{sm::OsVersion::kNT, 4, 0};
  sm::SetOsVersionForTesting(&nt4);
  CMFPSMApp app;
  ASSERT_TRUE(Run(app));
  EXPECT_EQ(app.LanguageCode(), "HB");
  EXPECT_EQ(app.LeftToRight(), 1u);  // NT 4.0 reads left to right
  EXPECT_EQ(app.StringFile(), dir_.Path() + "\\MulLang\\SMen.trs");
}

TEST_F(AppInitialize, MissingStatusTableFails) {
  WriteConfig("en");
  DeleteFileA(dir_.File("smcode.dat").c_str());
  TraceCapture trace;
  CMFPSMApp app;
  EXPECT_FALSE(Run(app));
  EXPECT_TRUE(trace.Contains("[critical error] smcode.dat file is not found"));
}

TEST_F(AppInitialize, MissingConfigurationGivesDefaults) {
  CMFPSMApp app;
  ASSERT_TRUE(Run(app));
  EXPECT_EQ(app.Config().modelClass, "");
  EXPECT_EQ(app.LanguageCode(), "");
  EXPECT_EQ(app.CountryLcid(), 0x409u);  // no countries
}

TEST_F(AppInitialize, DefaultLangOnlyWhenTheRegistryHasNoCode) {
  struct {
    const char* name;
    bool write;
    DWORD type;
    const char* value;
    const char* code;
  } cases[] = {
      {"no key", false, REG_SZ, "", "HB"},
      {"plain string", true, REG_SZ, "AB", "AB"},
      {"expandable string", true, REG_EXPAND_SZ, "AB", "AB"},
      {"empty string: read, so no default", true, REG_SZ, "", ""},
      {"a number is no code", true, REG_DWORD, "\x01\x02\x03", "HB"},
  };
  for (const auto& c : cases) {
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, ("Software\\QXPrint\\" + langKey_).c_str());
    WriteConfig("HB");
    if (c.write) SetRegistryCode(c.value, c.type);
    CMFPSMApp app;
    ASSERT_TRUE(Run(app)) << c.name;
    EXPECT_EQ(app.LanguageCode(), c.code) << c.name;
  }
}

}  // namespace
