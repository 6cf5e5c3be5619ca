#include "setup/core/predefined_variable.h"

#include <gtest/gtest.h>

#include <map>

#include "framework/message_box.h"
#include "tests/core/core_test_support.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_identity.h"
#include "tests/support/trace_capture.h"

namespace {

using coretest::ScopedSystemLanguage;
using coretest::ScopedVersion;

// An installation medium in a folder of its own: medium\setup.dat beside the
// (never started) medium\setup.exe, its configuration and string files.
class Environment : public ::testing::Test {
 protected:
  void SetUp() override {
    info_ = {{"MFG", id_.Mfg()},
             {"MDL", "Model 7"},
             {"VIDPID", "VID_1234&PID_0001"},
             {"PROGRAM_NAME", id_.Program()},
             {"CONFIGURE_FILE", ".\\config.ini"},
             {"STRING_FILE_FORMAT", ".\\lang\\str%s.ini"},
             {"RESOURCE_DLL", "res.dll"},
             {"SUPPORTED_LANG", "SUPPORTED"},
             {"MANUAL_LANG", "MANUALS"},
             {"DESTINATION_DIR", "$SRC_DIR$\\dest\\"},
             {"MANUAL_DIR", "$SRC_DIR$\\manual\\%s"},
             {"MANUAL_FILE", "$SRC_DIR$\\manual\\%s\\guide.pdf"}};
    sections_ =
        "[SUPPORTED]\r\n0x0409 English\r\n0x0412 Korean\r\n0x0804 Chinese\r\n0x0C04 Chinese HK\r\n"
        "0x0416 Brazil\r\n0x040D Hebrew\r\n0x0007 German\r\n"
        "[MANUALS]\r\n0x0409 English\r\n0x0412 Korean\r\n"
        "[LANGUAGE_ABBR]\r\n0X0412=KO\r\n0X0007=DE\r\n"
        "[LANGUAGE_DIR]\r\n0X0412=Korean\r\n0X0009=English\r\n"
        "[LANGUAGE_LCID_ALIGN_RIGHT]\r\n0x040D\r\n"
        "[OS_DEFINE]\r\n0X00020500=W2K\r\n0X0001040A=W98\r\n0X00020400=NT4\r\n0X00020600=VISTA\r\n"
        "[OS_DIR]\r\nW2K=win2000\r\nW98=win98\r\nNT4=winnt\r\nVISTA=vista\r\n";
    medium_ = dir_.Path() + "\\medium";
    dir_.Write("medium\\config.ini", "[DLG_COMMON]\r\nX=1\r\n");
    dir_.Write("medium\\lang\\strEN.ini", "[MESSAGES]\r\nHELLO=Hello\r\n");
    dir_.Write("medium\\lang\\strKO.ini", "[MESSAGES]\r\nHELLO=Annyeong\r\n");
    dir_.Write("medium\\res.dll", "not really a library");
    dir_.Write("medium\\autorun.inf", "[INFOMATION]\r\nVERSION=2.31\r\n");
    ASSERT_TRUE(log_.CreateLogFile((dir_.Path() + "\\").c_str(), "setup.exe"));
  }

  void WriteData() {
    std::string text = "[PROGRAM_INFO]\r\n";
    for (const auto& [key, value] : info_) text += key + "=" + value + "\r\n";
    dir_.Write("medium\\setup.dat", text + sections_);
  }

  bool Init() {
    WriteData();
    return env_.InitEnvironment((medium_ + "\\setup.exe").c_str());
  }

  std::string Log() {
    FlushFileBuffers(log_.GetLogHandle());
    return coretest::ReadAll(log_.GetLogPath());
  }

  qx::test::TempDir dir_;
  qx::test::TestIdentity id_;
  CUtl log_;
  ScopedVersion version_{VER_PLATFORM_WIN32_NT, 5, 0};
  ScopedSystemLanguage language_{0x0409};
  std::map<std::string, std::string> info_;
  std::string sections_;
  std::string medium_;
  CPredefinedVariable env_;
};

TEST_F(Environment, FindsScriptFilesBesideTheProgram) {
  ASSERT_TRUE(Init());
  EXPECT_EQ(env_.GetDataFile(), medium_ + "\\setup.dat");
  EXPECT_EQ(env_.GetSrcDir(), medium_);
  EXPECT_EQ(env_.GetConfigFile(), medium_ + "\\config.ini");
  EXPECT_EQ(env_.GetStringFileFormat(), medium_ + "\\lang\\str%s.ini");
  EXPECT_EQ(env_.GetStringFile(), medium_ + "\\lang\\strEN.ini");
  EXPECT_EQ(env_.GetStringFileName(), "strEN.ini");
  EXPECT_EQ(env_.GetResourceDll(), medium_ + "\\res.dll");
  EXPECT_EQ(env_.GetMfg(), id_.Mfg());
  EXPECT_EQ(env_.GetMdl(), "Model 7");
  EXPECT_EQ(env_.GetInstallKey(), id_.InstallKey());
  EXPECT_EQ(env_.GetUninstallKey(), id_.UninstallKey());
  EXPECT_EQ(env_.GetUninstallInfoKey(), id_.UninstallInfoKey());
  EXPECT_EQ(env_.GetVersion(), "2.31");
  EXPECT_EQ(env_.GetDestDir(), medium_ + "\\dest");
  EXPECT_EQ(env_.GetInfDir(), env_.GetWinDir() + "\\Inf");
  EXPECT_FALSE(env_.GetSysDir().empty());
}

TEST_F(Environment, ConfigurationFileForms) {
  dir_.Write("parent.ini", "[A]\r\nB=1\r\n");
  dir_.Write("abs\\cfg.ini", "[A]\r\nB=1\r\n");
  dir_.Write("medium\\sub\\cfg.ini", "[A]\r\nB=1\r\n");
  struct Case {
    std::string value, expected;
  } cases[] = {
      {".\\config.ini", medium_ + "\\config.ini"},
      {"..\\parent.ini", dir_.Path() + "\\parent.ini"},
      {dir_.Path() + "\\abs\\cfg.ini", dir_.Path() + "\\abs\\cfg.ini"},
      {"sub\\cfg.ini", medium_ + "\\sub\\cfg.ini"},
  };
  for (const Case& c : cases) {
    info_["CONFIGURE_FILE"] = c.value;
    CPredefinedVariable env;
    WriteData();
    qx::test::TraceCapture trace;
    ASSERT_TRUE(env.InitEnvironment((medium_ + "\\setup.exe").c_str())) << c.value;
    EXPECT_EQ(env.GetConfigFile(), c.expected) << c.value;
    bool outside = c.expected.rfind(medium_ + "\\", 0) != 0;
    EXPECT_EQ(trace.Contains("Configure file is outside the installation medium [" + c.expected + "]"), outside)
        << c.value;
  }
}

TEST_F(Environment, MissingScriptFilesFailWithTheirLogLines) {
  struct Case {
    const char* key;
    std::string value;
    std::string line;
  } cases[] = {
      {"CONFIGURE_FILE", "", "[CPredefinedVariable] Get Configure file name fail\n"},
      {"CONFIGURE_FILE", "absent.ini", "[CPredefinedVariable] the file does not exist [" + medium_ + "\\absent.ini]\n"},
      {"CONFIGURE_FILE", "lang", "[CPredefinedVariable] Get Configure file fail [lang]\n"},
      {"CONFIGURE_FILE", std::string(300, 'c'), "[CPredefinedVariable] Get Configure file name fail\n"},
      {"STRING_FILE_FORMAT", "", "[CPredefinedVariable] Get String file foramt fail\n"},
  };
  for (const Case& c : cases) {
    SetUp();
    info_[c.key] = c.value;
    CPredefinedVariable env;
    WriteData();
    EXPECT_FALSE(env.InitEnvironment((medium_ + "\\setup.exe").c_str())) << c.value;
    EXPECT_NE(Log().find(c.line), std::string::npos) << c.line << "\n" << Log();
  }
  CPredefinedVariable env;
  EXPECT_FALSE(env.InitEnvironment((dir_.Path() + "\\nowhere\\setup.exe").c_str()));
  EXPECT_NE(Log().find("[CPredefinedVariable] m_cstrDataFile file does not exist [" + dir_.Path() +
                       "\\nowhere\\setup.dat]\n\r\nError Code = 3 :"),
            std::string::npos)
      << Log();
}

TEST_F(Environment, MissingResourceLibraryIsLoggedAndInitGoesOn) {
  info_.erase("RESOURCE_DLL");
  ASSERT_TRUE(Init());
  EXPECT_EQ(env_.GetResourceDll(), "");
  EXPECT_NE(Log().find("[CPredefinedVariable] Get resource file name fail\n"), std::string::npos);
}

TEST_F(Environment, EnvironmentLogLinesInOrder) {
  ASSERT_TRUE(Init());
  std::string log = Log();
  const char* lines[] = {"m_cstrDataFile file name is [", "Configure file Name is [", "String file Name is [",
                         "Source Directroy = ",           "Destination Directroy = ", "Inf Directroy = ",
                         "Language Abbreviation = EN",    "Language directory = English", "OS Directroy = win2000",
                         "OS String = W2K",               "System Directroy = ",      "Windows Directroy = ",
                         "Language ID = 0x0009",          "Program files directory = ",
                         "Current Installation registry root key = ", "Current Uninstallation registry root key = ",
                         "Temporary directory = "};
  size_t at = 0;
  for (const char* line : lines) {
    size_t found = log.find(std::string("[CPredefinedVariable] ") + line, at);
    ASSERT_NE(found, std::string::npos) << line << "\n" << log;
    at = found;
  }
}

TEST_F(Environment, DefaultDestinationIsWindowsMfgProgram) {
  info_.erase("DESTINATION_DIR");
  ASSERT_TRUE(Init());
  EXPECT_EQ(env_.GetDestDir(), env_.GetWinDir() + "\\" + id_.Mfg() + "\\" + id_.Program());
}

TEST_F(Environment, LanguageMatching) {
  sections_ += "";
  ASSERT_TRUE(Init());
  struct Case {
    LANGID id;
    LANGID expected;
    const char* abbreviation;
  } cases[] = {
      {0x0804, 0x0804, "CP"},  // built-in table
      {0x0C04, 0x0004, ""},    // Chinese of another sublanguage: none
      {0x0416, 0x0416, "BP"},
      {0x0409, 0x0009, "EN"},
      {0x0412, 0x0412, "KO"},  // data file, full id
      {0x0407, 0x0007, "DE"},  // data file, primary id
      {0x0411, 0x0009, "EN"},  // not supported: English
  };
  for (const Case& c : cases) {
    core::LanguageMatch m = env_.MatchLanguage(c.id);
    EXPECT_EQ(m.id, c.expected) << std::hex << c.id;
    EXPECT_EQ(m.abbreviation, c.abbreviation) << std::hex << c.id;
  }
  EXPECT_TRUE(env_.IsLanguageListed(0x0412, "SUPPORTED_LANG"));
  EXPECT_TRUE(env_.IsLanguageListed(0x0807, "SUPPORTED_LANG"));  // primary id listed
  EXPECT_FALSE(env_.IsLanguageListed(0x0411, "SUPPORTED_LANG"));
  EXPECT_FALSE(env_.IsLanguageListed(0x0409, "NO_SUCH_KEY"));
}

TEST_F(Environment, SetLanguageSwitchesStringFileAndRecordsIt) {
  ASSERT_TRUE(Init());
  ASSERT_TRUE(env_.SetLanguage(0x0412));
  EXPECT_EQ(env_.GetLanguageId(), 0x0412);
  EXPECT_EQ(env_.GetLangAbbr(), "KO");
  EXPECT_EQ(env_.GetLangDir(), "Korean");
  EXPECT_EQ(env_.GetStringFile(), medium_ + "\\lang\\strKO.ini");
  EXPECT_EQ(CUtl::GetRegDword(id_.InstallKey().c_str(), "Lang_Code"), 0x0412u);
  EXPECT_EQ(CUtl::GetRegString(id_.InstallKey().c_str(), "Lang_Abbr"), "KO");
  EXPECT_EQ(CUtl::GetRegString(id_.InstallKey().c_str(), "STR_FILE"), medium_ + "\\lang\\strKO.ini");
  EXPECT_EQ(env_.GetManualDir(), medium_ + "\\manual\\Korean");
  EXPECT_EQ(env_.ExpandVariables("$LCID$|$LANG_ABBR$|$STRING_FILE_NAME$"), "0412|KO|strKO.ini");

  // Chinese has no string file on this medium: English strings, Chinese language.
  ASSERT_TRUE(env_.SetLanguage(0x0804));
  EXPECT_EQ(env_.GetLangAbbr(), "CP");
  EXPECT_EQ(env_.GetStringFile(), medium_ + "\\lang\\strEN.ini");
  EXPECT_NE(Log().find("[CPredefinedVariable] String file does not exist [" + medium_ + "\\lang\\strCP.ini]"),
            std::string::npos);
  // The manual is not in Chinese: English manual directory.
  EXPECT_EQ(env_.GetManualDir(), medium_ + "\\manual\\English");
}

TEST_F(Environment, LanguageComesFromTheRegistryFirst) {
  ASSERT_TRUE(CUtl::SetRegDword(id_.InstallKey().c_str(), "Lang_Code", 0x0412));
  ASSERT_TRUE(Init());
  EXPECT_EQ(env_.GetLangAbbr(), "KO");
  EXPECT_EQ(env_.GetPageLangAbbr(), "KO");
}

TEST_F(Environment, RightToLeftLanguages) {
  ScopedSystemLanguage hebrew(0x040D);
  ASSERT_TRUE(Init());
  EXPECT_TRUE(env_.IsRightToLeft());
  EXPECT_TRUE(env_.IsRightAligned(0x080D));
  EXPECT_FALSE(env_.IsRightAligned(0x0409));

  static UINT style = 0;
  fw::MessageBoxHook previous = fw::SetMessageBoxHook([](HWND, const char*, const char*, UINT s) {
    style = s;
    return IDOK;
  });
  CPredefinedVariable* before = core::SetCurrentEnvironment(&env_);
  CUtl::ShowMessageBox(nullptr, "t", "c", MB_OK);
  EXPECT_EQ(style, static_cast<UINT>(MB_RTLREADING));
  core::SetCurrentEnvironment(before);
  fw::SetMessageBoxHook(previous);
}

TEST_F(Environment, OsKeyAndFallbacks) {
  struct Case {
    DWORD platform, major, minor;
    const char* osString;
    const char* osDir;
  } cases[] = {
      {VER_PLATFORM_WIN32_NT, 5, 0, "W2K", "win2000"},
      {VER_PLATFORM_WIN32_NT, 5, 1, "W2K", "win2000"},    // XP: 0X00020501 missing, 0X00020500
      {VER_PLATFORM_WIN32_NT, 6, 0, "VISTA", "vista"},
      {VER_PLATFORM_WIN32_NT, 6, 1, "W2K", "win2000"},
      {VER_PLATFORM_WIN32_NT, 4, 0, "NT4", "winnt"},
      {VER_PLATFORM_WIN32_WINDOWS, 4, 0, "W98", "win98"},  // 95: the 98 key
  };
  for (const Case& c : cases) {
    ScopedVersion version(c.platform, c.major, c.minor);
    CPredefinedVariable env;
    WriteData();
    ASSERT_TRUE(env.InitEnvironment((medium_ + "\\setup.exe").c_str()));
    EXPECT_EQ(env.GetOsString(), c.osString) << c.major << "." << c.minor;
    EXPECT_EQ(env.ExpandVariables("$OS_DIR$"), c.osDir) << c.major << "." << c.minor;
  }
  sections_ = "[OS_DEFINE]\r\n0X00020501=XP\r\n[OS_DIR]\r\n";
  ScopedVersion xp(VER_PLATFORM_WIN32_NT, 5, 1);
  CPredefinedVariable env;
  WriteData();
  ASSERT_TRUE(env.InitEnvironment((medium_ + "\\setup.exe").c_str()));
  EXPECT_EQ(env.GetOsString(), "XP");
  EXPECT_EQ(env.GetOsDir(), "");
}

TEST_F(Environment, ExpandVariablesOrderAndRepeats) {
  ASSERT_TRUE(Init());
  ASSERT_TRUE(env_.SetLanguage(0x0412));
  EXPECT_EQ(env_.ExpandVariables("$LCID$"), "0412");
  EXPECT_EQ(env_.ExpandVariables("$SRC_DIR$;$SRC_DIR$"), medium_ + ";" + medium_);
  EXPECT_EQ(env_.ExpandVariables("$INF_DIR$"), env_.GetWinDir() + "\\Inf");
  EXPECT_EQ(env_.ExpandVariables("$VERSION$ $DATA_FILE$"), "2.31 " + medium_ + "\\setup.dat");
  // $IP$ comes before $SCANIP$: a scan address naming $IP$ stays as it is,
  // a printer address naming $SCANIP$ is expanded further.
  env_.SetIP("$SCANIP$");
  env_.SetScanIP("10.0.0.9");
  EXPECT_EQ(env_.ExpandVariables("$IP$"), "10.0.0.9");
  env_.SetIP("10.0.0.1");
  env_.SetScanIP("$IP$");
  EXPECT_EQ(env_.ExpandVariables("$SCANIP$"), "$IP$");
  EXPECT_EQ(env_.ExpandVariables("no variables"), "no variables");
}

TEST_F(Environment, VariablesNamingVariablesStayWithinTheLineLimit) {
  ASSERT_TRUE(Init());
  qx::test::TraceCapture trace;
  std::string many;
  for (int i = 0; i < 4000; ++i) many += "$IP$";
  struct Case {
    std::string ip, scanIp, text;
    bool limited;
  } cases[] = {
      {"$SCANIP$$SCANIP$", "s", many, true},           // 16,000 bytes, four times as long after $IP$
      {"$SCANIP$", std::string(100, 'x'), many, true},   // fits after $IP$, not after $SCANIP$
      {"$SCANIP$", "$IP$", "$IP$", false},               // the two name each other
      {"ip", "s", many, false},
  };
  for (const Case& c : cases) {
    trace.Clear();
    env_.SetIP(c.ip.c_str());
    env_.SetScanIP(c.scanIp.c_str());
    std::string result = env_.ExpandVariables(c.text);
    EXPECT_LE(result.size(), 32767u) << c.ip;
    EXPECT_EQ(trace.Contains("[CPredefinedVariable] expansion stopped at its limit"), c.limited) << c.ip;
  }
}

TEST_F(Environment, ScanAddressAndDestinationAreStored) {
  ASSERT_TRUE(Init());
  env_.SetScanIP("192.168.1.20");
  CPredefinedVariable other;
  other.SetProductIdentity(id_.Mfg().c_str(), id_.Program().c_str());
  EXPECT_TRUE(other.LoadScanIP());
  EXPECT_EQ(other.GetScanIP(), "192.168.1.20");

  std::string first = dir_.Path() + "\\first";
  ASSERT_TRUE(CUtl::CreateDirectoryTree(first.c_str(), false));
  env_.SetDestDir(first.c_str());
  std::string second = dir_.Path() + "\\second\\";
  env_.SetDestDir(second.c_str());
  EXPECT_EQ(env_.GetDestDir(), dir_.Path() + "\\second");
  EXPECT_EQ(GetFileAttributesA(first.c_str()), INVALID_FILE_ATTRIBUTES);  // the empty old choice went
  EXPECT_EQ(CUtl::GetRegString(id_.InstallKey().c_str(), "Dest_Dir"), dir_.Path() + "\\second");
}

TEST_F(Environment, CompanionLibrariesMissingBrokenAndPresent) {
  char system[MAX_PATH];
  GetSystemDirectoryA(system, MAX_PATH);
  ASSERT_TRUE(CopyFileA((std::string(system) + "\\version.dll").c_str(), (medium_ + "\\data\\qxutil.dll").c_str(),
                        FALSE) ||
              (CUtl::CreateDirectoryTree((medium_ + "\\data").c_str(), false) &&
               CopyFileA((std::string(system) + "\\version.dll").c_str(), (medium_ + "\\data\\qxutil.dll").c_str(),
                         FALSE)));
  dir_.Write("medium\\data\\broken.dll", "this is text, not a library");
  info_["INSTALLER_DLL"] = ".\\data\\broken.dll";
  ASSERT_TRUE(Init());
  EXPECT_EQ(env_.GetLibrary(CPredefinedVariable::kInstallerDll), nullptr);
  EXPECT_NE(env_.GetLibrary(CPredefinedVariable::kUtilityDll), nullptr);
  EXPECT_EQ(env_.GetLibrary(CPredefinedVariable::kRemoteInstallDll), nullptr);
  std::string log = Log();
  EXPECT_NE(log.find("[CPredefinedVariable] LoadLibrary fail (" + medium_ + "\\data\\broken.dll)\r\nError Code = "),
            std::string::npos)
      << log;
  EXPECT_NE(log.find("[CPredefinedVariable] the file does not exist [" + medium_ + "\\data\\qxremote.dll]"),
            std::string::npos);
  EXPECT_EQ(env_.GetNetworkLibraryPath(), "");
}

// The libraries are loaded when first asked for, not at start-up: a broken
// one is reported at its first use and only then, once however often it is
// asked for; two slots naming one file share its handle.
TEST_F(Environment, CompanionLibrariesLoadAtFirstUseAndOnce) {
  char system[MAX_PATH];
  GetSystemDirectoryA(system, MAX_PATH);
  ASSERT_TRUE(CUtl::CreateDirectoryTree((medium_ + "\\data").c_str(), false));
  ASSERT_TRUE(CopyFileA((std::string(system) + "\\version.dll").c_str(), (medium_ + "\\data\\exec.dll").c_str(), FALSE));
  dir_.Write("medium\\data\\broken.dll", "this is text, not a library");
  info_["INSTALLER_DLL"] = ".\\data\\exec.dll";
  info_["UNINSTALLER_DLL"] = ".\\data\\exec.dll";
  info_["DIAGNOSIS_DLL"] = ".\\data\\broken.dll";
  ASSERT_TRUE(Init());
  const std::string failure = "[CPredefinedVariable] LoadLibrary fail (" + medium_ + "\\data\\broken.dll)";
  EXPECT_EQ(Log().find(failure), std::string::npos) << "loaded before its first use";

  struct Case {
    CPredefinedVariable::LibrarySlot slot;
    bool loads;
  };
  const Case cases[] = {{CPredefinedVariable::kInstallerDll, true},
                        {CPredefinedVariable::kUninstallerDll, true},
                        {CPredefinedVariable::kDiagnosisDll, false},
                        {CPredefinedVariable::kRemoteInstallDll, false},  // missing file
                        {CPredefinedVariable::kSpareDll, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.slot));
    HMODULE first = env_.GetLibrary(c.slot);
    EXPECT_EQ(first != nullptr, c.loads);
    EXPECT_EQ(env_.GetLibrary(c.slot), first);
  }
  EXPECT_EQ(env_.GetLibrary(CPredefinedVariable::kInstallerDll), env_.GetLibrary(CPredefinedVariable::kUninstallerDll));
  EXPECT_EQ(env_.GetLibrary(CPredefinedVariable::kLibrarySlots), nullptr);
  std::string log = Log();
  size_t at = log.find(failure);
  ASSERT_NE(at, std::string::npos) << log;
  EXPECT_EQ(log.find(failure, at + 1), std::string::npos) << "reported twice: " << log;
}

TEST_F(Environment, AbsurdIdentityValuesDoNotStopTheRun) {
  info_["MFG"] = std::string(10000, 'M');
  info_["PROGRAM_NAME"] = "";
  ASSERT_TRUE(Init());
  EXPECT_LT(env_.GetMfg().size(), 4096u);
  EXPECT_NE(Log().find("[CPredefinedVariable] MFG or PROGRAM_NAME longer than 255 characters"), std::string::npos);
  EXPECT_NE(Log().find("[CPredefinedVariable] MFG or PROGRAM_NAME is empty"), std::string::npos);
  EXPECT_FALSE(CUtl::SetRegString(env_.GetInstallKey().c_str(), "X", "y"));
}

TEST_F(Environment, ItemStateFromUninstallValueOrInstallOk) {
  sections_ += "[ITEM_A]\r\nUNINST_VALUE_NAME=ItemA\r\n[ITEM_B]\r\nNAME=b\r\n";
  ASSERT_TRUE(Init());
  CPredefinedVariable* before = core::SetCurrentEnvironment(&env_);
  std::string keyA = id_.InstallKey() + "\\Items\\ITEM_A";
  ASSERT_TRUE(CUtl::SetRegString(keyA.c_str(), "Item_Name", "ITEM_A"));
  EXPECT_FALSE(CUtl::IsItemInstalled(keyA.c_str(), true, false, false));
  EXPECT_EQ(CUtl::GetRegDword(keyA.c_str(), "Install_OK", HKEY_LOCAL_MACHINE, 7), 0u);
  ASSERT_TRUE(CUtl::SetRegString(id_.UninstallInfoKey().c_str(), "ItemA", "C:\\uninstall.exe"));
  EXPECT_TRUE(CUtl::IsItemInstalled(keyA.c_str(), true, false, false));
  EXPECT_EQ(CUtl::GetRegDword(keyA.c_str(), "Install_OK"), 1u);
  EXPECT_TRUE(CUtl::IsItemInstalled("ITEM_A", false, false, false));

  // Neither a driver nor an uninstall value: the stored answer.
  std::string keyB = id_.InstallKey() + "\\Items\\ITEM_B";
  EXPECT_FALSE(CUtl::IsItemInstalled("ITEM_B", false, false, false));
  ASSERT_TRUE(CUtl::SetRegDword(keyB.c_str(), "Install_OK", 1));
  EXPECT_TRUE(CUtl::IsItemInstalled("ITEM_B", false, false, false));
  // Read-only: the stored answer even where a check exists.
  ASSERT_TRUE(CUtl::SetRegDword(keyA.c_str(), "Install_OK", 0));
  EXPECT_FALSE(CUtl::IsItemInstalled("ITEM_A", false, true, false));
  core::SetCurrentEnvironment(before);
}

}  // namespace
