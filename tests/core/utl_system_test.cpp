#include <gtest/gtest.h>

#include <windows.h>
#include <lm.h>

#include "framework/message_box.h"
#include "setup/core/utl.h"
#include "setup/scriptlib/api_function.h"
#include "tests/core/core_test_support.h"
#include "tests/support/trace_capture.h"

namespace {

using coretest::ScopedSystemLanguage;
using coretest::ScopedVersion;

TEST(UtlSystem, GetOSVersionThroughSeam) {
  struct Case {
    DWORD platform, major, minor;
    const char* sp;
    int code, family;
  } cases[] = {{VER_PLATFORM_WIN32_NT, 5, 1, "Service Pack 2", 14, 17},
               {VER_PLATFORM_WIN32_WINDOWS, 4, 10, "A", 7, 10},
               {VER_PLATFORM_WIN32_NT, 4, 0, "", 12, 15}};
  for (const Case& c : cases) {
    ScopedVersion version(c.platform, c.major, c.minor, c.sp);
    int code = 0, family = 0;
    ASSERT_TRUE(CUtl::GetOSVersion(&code, &family));
    EXPECT_EQ(code, c.code);
    EXPECT_EQ(family, c.family);
  }
}

bool RefuseVersion(core::OsVersionRecord*) { return false; }

TEST(UtlSystem, GetOSVersionFailureLeavesOutputs) {
  core::VersionHook previous = core::SetVersionHook(&RefuseVersion);
  int code = -1, family = -1;
  EXPECT_FALSE(CUtl::GetOSVersion(&code, &family));
  EXPECT_EQ(code, -1);
  EXPECT_EQ(family, -1);
  core::SetVersionHook(previous);
}

TEST(UtlSystem, GetOSVersionRealCall) {
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof(info);
  ASSERT_TRUE(GetVersionExA(&info));
  core::OsClass expected = core::ClassifyOs(info.dwPlatformId, info.dwMajorVersion, info.dwMinorVersion,
                                            info.szCSDVersion);
  int code = 0, family = 0;
  ASSERT_TRUE(CUtl::GetOSVersion(&code, &family));
  EXPECT_EQ(code, expected.code);
  EXPECT_EQ(family, expected.family);
  EXPECT_NE(family, 0);
}

TEST(UtlSystem, DefaultLanguageOnNt5IsTheSystemOne) {
  ScopedVersion xp(VER_PLATFORM_WIN32_NT, 5, 1);
  ScopedSystemLanguage korean(0x0412);
  EXPECT_EQ(CUtl::MyGetSystemDefaultLangID(true), 0x0412);
  EXPECT_EQ(CUtl::MyGetSystemDefaultLangID(false), 0x0412);
}

TEST(UtlSystem, DefaultLanguageOn9xComesFromResourceLocale) {
  const char* key = "Control Panel\\desktop\\ResourceLocale";
  HKEY handle = nullptr;
  DWORD disposition = 0;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &handle, &disposition),
            ERROR_SUCCESS);
  char saved[64] = {};
  DWORD savedSize = sizeof(saved), savedType = 0;
  bool hadValue = RegQueryValueExA(handle, nullptr, nullptr, &savedType, reinterpret_cast<BYTE*>(saved),
                                   &savedSize) == ERROR_SUCCESS;
  RegSetValueExA(handle, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>("00000407"), 9);

  ScopedVersion win98(VER_PLATFORM_WIN32_WINDOWS, 4, 10);
  ScopedSystemLanguage english(0x0409);
  qx::test::TraceCapture trace;
  EXPECT_EQ(CUtl::MyGetSystemDefaultLangID(true), 0x0407);
  EXPECT_TRUE(trace.Contains("MyGetSystemDefaultLangID ==> 407"));
  EXPECT_EQ(CUtl::MyGetSystemDefaultLangID(false), 0x0409);

  RegSetValueExA(handle, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>("0"), 2);
  EXPECT_EQ(CUtl::MyGetSystemDefaultLangID(true), 0x0409);  // 0 found: the system's

  if (hadValue) {
    RegSetValueExA(handle, nullptr, 0, savedType, reinterpret_cast<const BYTE*>(saved), savedSize);
  } else {
    RegDeleteValueA(handle, nullptr);
  }
  RegCloseKey(handle);
  if (disposition == REG_CREATED_NEW_KEY) RegDeleteKeyA(HKEY_CURRENT_USER, key);
}

TEST(UtlSystem, DefaultLanguageOnNt4ComesFromTheDefaultUsersLocale) {
  ScopedVersion nt4(VER_PLATFORM_WIN32_NT, 4, 0);
  ScopedSystemLanguage fallback(0x0C0C);
  std::string locale = CUtl::GetRegString(".DEFAULT\\Control Panel\\International", "Locale", HKEY_USERS, "");
  DWORD expected = locale.empty() ? 0 : core::StringToNumber(("0X" + locale).c_str());
  EXPECT_EQ(CUtl::MyGetSystemDefaultLangID(true), expected ? expected : 0x0C0C) << locale;
}

TEST(UtlSystem, DefaultLanguageRealCall) {
  EXPECT_EQ(CUtl::MyGetSystemDefaultLangID(false), GetSystemDefaultLangID());
  int code = 0, family = 0;
  ASSERT_TRUE(CUtl::GetOSVersion(&code, &family));
  if (family == 15) {  // what Wine reports unless told otherwise
    std::string locale = CUtl::GetRegString(".DEFAULT\\Control Panel\\International", "Locale", HKEY_USERS, "");
    DWORD fromRegistry = locale.empty() ? 0 : core::StringToNumber(("0X" + locale).c_str());
    EXPECT_EQ(CUtl::MyGetSystemDefaultLangID(true), fromRegistry ? fromRegistry : GetSystemDefaultLangID());
  }
}

bool Yes() { return true; }
bool No() { return false; }

TEST(UtlSystem, IsAdministratorSeamAndRealCall) {
  core::AdministratorHook previous = core::SetAdministratorHook(&No);
  EXPECT_FALSE(CUtl::IsAdministrator());
  core::SetAdministratorHook(&Yes);
  EXPECT_TRUE(CUtl::IsAdministrator());
  core::SetAdministratorHook(nullptr);
  // Wine runs every program as an elevated administrator.
  EXPECT_TRUE(CUtl::IsAdministrator());
  core::SetAdministratorHook(previous);
}

TEST(UtlSystem, RegisterInstalledFileOnly9x) {
  int code = 0, family = 0;
  ASSERT_TRUE(CUtl::GetOSVersion(&code, &family));
  if (family != 10) {
    EXPECT_FALSE(CUtl::RegisterInstalledFile("C:\\x\\qxtest_file.dll"));  // the real system
  }
  {
    ScopedVersion nt(VER_PLATFORM_WIN32_NT, 5, 1);
    EXPECT_FALSE(CUtl::RegisterInstalledFile("C:\\x\\qxtest_file.dll"));
  }
  const char* key = "System\\CurrentControlSet\\Control\\InstalledFiles";
  HKEY handle = nullptr;
  DWORD disposition = 0;
  ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &handle, &disposition),
            ERROR_SUCCESS);
  ScopedVersion win98(VER_PLATFORM_WIN32_WINDOWS, 4, 10);
  EXPECT_TRUE(CUtl::RegisterInstalledFile("C:\\x\\qxtest_file.dll"));
  BYTE data[8] = {};
  DWORD size = sizeof(data), type = 0;
  ASSERT_EQ(RegQueryValueExA(handle, "qxtest_file.dll", nullptr, &type, data, &size), ERROR_SUCCESS);
  EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
  EXPECT_EQ(size, 2u);
  EXPECT_EQ(data[0], 0x0B);
  EXPECT_EQ(data[1], 0x00);
  RegDeleteValueA(handle, "qxtest_file.dll");
  RegCloseKey(handle);
  if (disposition == REG_CREATED_NEW_KEY) RegDeleteKeyA(HKEY_LOCAL_MACHINE, key);
}

TEST(UtlSystem, DeleteFileOnRebootOn9xUsesTheRenameSection) {
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  std::string path = std::string(temp) + "qx_locked_9x.txt";
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  {
    ScopedVersion win98(VER_PLATFORM_WIN32_WINDOWS, 4, 10);
    EXPECT_FALSE(CUtl::DeleteFileOnReboot(path.c_str()));
  }
  char shortPath[MAX_PATH] = {}, written[MAX_PATH] = {};
  GetShortPathNameA(path.c_str(), shortPath, MAX_PATH);
  GetProfileStringA("rename", "NUL", "", written, MAX_PATH);
  EXPECT_STREQ(written, shortPath);
  WriteProfileStringA("rename", "NUL", nullptr);
  CloseHandle(file);
  DeleteFileA(path.c_str());
}

TEST(UtlSystem, WorkgroupNameNeedsNetWkstaGetInfo) {
  CAPIFunction unbound;
  LPBYTE buffer = nullptr;
  EXPECT_EQ(unbound.NetWkstaGetInfo(nullptr, 102, &buffer), 1u);
  CAPIFunction* previous = core::SetSystemFunctionsOverride(&unbound);
  EXPECT_EQ(CUtl::GetLanGroupName(), "");
  core::SetSystemFunctionsOverride(previous);

  // The real query gives what the system says.
  std::string expected;
  WKSTA_INFO_102* info = nullptr;
  if (NetWkstaGetInfo(nullptr, 102, reinterpret_cast<LPBYTE*>(&info)) == 0 && info) {
    char name[260] = {};
    WideCharToMultiByte(CP_ACP, 0, info->wki102_langroup, -1, name, sizeof(name) - 1, nullptr, nullptr);
    expected = name;
    NetApiBufferFree(info);
  }
  EXPECT_EQ(CUtl::GetLanGroupName(), expected);
}

TEST(UtlSystem, IpAddressOfLocalhostAndOfThisComputer) {
  std::string address = "stale";
  EXPECT_EQ(CUtl::GetIPAddress("localhost", &address), 0);
  EXPECT_EQ(address, "127.0.0.1");
  EXPECT_EQ(CUtl::GetIPAddress("", &address), 0);
  EXPECT_FALSE(address.empty());
}

UINT g_style = 0;
std::string g_text;
int Answer(HWND, const char* text, const char* caption, UINT style) {
  g_style = style;
  g_text = std::string(caption) + "|" + text;
  return IDOK;
}

TEST(UtlSystem, MessageBoxesGoThroughTheFrameworkHook) {
  fw::MessageBoxHook previous = fw::SetMessageBoxHook(&Answer);
  EXPECT_EQ(CUtl::ShowMessageBox(nullptr, "text", "caption", MB_OK), IDOK);
  EXPECT_EQ(g_style, static_cast<UINT>(MB_OK));
  EXPECT_EQ(g_text, "caption|text");
  CUtl::ShowSystemError(5, "Setup");
  EXPECT_EQ(g_style, static_cast<UINT>(MB_ICONEXCLAMATION));
  EXPECT_EQ(g_text, "Setup|" + CUtl::SystemErrorText(5));
  fw::SetMessageBoxHook(previous);
}

TEST(UtlSystem, PnPWaitReportsWhetherTheFunctionExists) {
  HMODULE setupapi = LoadLibraryA("Setupapi.dll");
  bool exists = setupapi && GetProcAddress(setupapi, "CMP_WaitNoPendingInstallEvents");
  if (setupapi) FreeLibrary(setupapi);
  EXPECT_EQ(CUtl::WaitForPnPIdle(), exists);
}

TEST(UtlSystem, UnknownPrinterDriverIsNotFound) {
  EXPECT_FALSE(CUtl::FindPrinterDriver("QX No Such Driver 1234", false));
  EXPECT_FALSE(CUtl::FindPrinterDriver("QX No Such Driver 1234", true));
  EXPECT_FALSE(CUtl::FindPrinterDriver("", false));
}

TEST(UtlSystem, WindowsMeFromVersionNumber) {
  std::string version = CUtl::GetRegString("Software\\Microsoft\\Windows\\CurrentVersion", "VersionNumber");
  EXPECT_EQ(CUtl::IsWindowsMe(), version.find("4.90.") != std::string::npos);
}

}  // namespace
