// CUtl: Windows version, language, printers, item state and system queries.
#include <winsock2.h>
#include <windows.h>
#include <lm.h>
#include <winspool.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "framework/handles.h"
#include "framework/library_loading.h"
#include "framework/message_box.h"
#include "setup/core/core_context.h"
#include "setup/core/predefined_variable.h"
#include "setup/core/utl.h"
#include "setup/scriptlib/api_function.h"

bool CUtl::GetOSVersion(int* osCode, int* osFamily) {
  core::OsVersionRecord record;
  if (!core::QueryOsVersion(&record)) return false;
  core::OsClass os = core::ClassifyOs(record.platformId, record.major, record.minor, record.servicePack.c_str());
  if (osCode) *osCode = os.code;
  if (osFamily) *osFamily = os.family;
  return true;
}

int CUtl::OsFamily() {
  int code = 0, family = 0;
  return GetOSVersion(&code, &family) ? family : 0;
}

LANGID CUtl::MyGetSystemDefaultLangID(bool useRegistryLocale) {
  int family = OsFamily();
  DWORD id = 0;
  if (useRegistryLocale && family != core::kFamilyNt5) {
    std::string text;
    if (family == core::kFamily9x) {
      // The default value has an empty name, which GetRegString refuses.
      fw::UniqueRegKey key;
      if (RegOpenKeyExA(HKEY_CURRENT_USER, "Control Panel\\desktop\\ResourceLocale", 0, KEY_READ, key.Put()) ==
          ERROR_SUCCESS) {
        char data[260] = {};
        DWORD size = sizeof(data) - 1, type = 0;
        if (RegQueryValueExA(key.Get(), nullptr, nullptr, &type, reinterpret_cast<BYTE*>(data), &size) ==
                ERROR_SUCCESS &&
            type == REG_SZ) {
          text = data;
        }
      }
    } else if (family == core::kFamilyNtOther) {
      text = GetRegString(".DEFAULT\\Control Panel\\International", "Locale", HKEY_USERS, "");
    }
    if (!text.empty()) id = core::StringToNumber(("0X" + text).c_str());
  }
  if (id == 0) id = core::SystemDefaultLanguage();
  Trace("MyGetSystemDefaultLangID ==> %X", static_cast<unsigned>(id));
  return static_cast<LANGID>(id & 0xFFFF);
}

bool CUtl::FindPrinterDriver(const char* driverName, bool searchPrinters) {
  if (!driverName || !*driverName) return false;
  Trace("[CUtl] Find Priner driver (%s)!!\n", driverName);
  DWORD needed = 0, count = 0;
  if (OsFamily() == core::kFamily9x || searchPrinters) {
    EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 2, nullptr, 0, &needed, &count);
    std::vector<BYTE> buffer(needed ? needed : 1, 0);
    if (!EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 2, buffer.data(), needed, &needed, &count)) {
      Trace("[CUtl] EnumPrinters fail!!\n");
      return false;
    }
    auto* printers = reinterpret_cast<PRINTER_INFO_2A*>(buffer.data());
    for (DWORD i = 0; i < count; ++i) {
      if (printers[i].pDriverName && _stricmp(printers[i].pDriverName, driverName) == 0) return true;
    }
    return false;
  }
  EnumPrinterDriversA(nullptr, nullptr, 3, nullptr, 0, &needed, &count);
  std::vector<BYTE> buffer(needed ? needed : 1, 0);
  if (!EnumPrinterDriversA(nullptr, nullptr, 3, buffer.data(), needed, &needed, &count)) {
    Trace("[CUtl] EnumPrinterDrivers fail!!\n");
    return false;
  }
  auto* drivers = reinterpret_cast<DRIVER_INFO_3A*>(buffer.data());
  for (DWORD i = 0; i < count; ++i) {
    if (drivers[i].pName && _stricmp(drivers[i].pName, driverName) == 0) return true;
  }
  return false;
}

bool CUtl::IsItemInstalled(const char* item, bool isKey, bool readOnly, bool searchPrinters) {
  if (!item || !*item) return false;
  CPredefinedVariable* env = core::CurrentEnvironment();
  std::string key, name;
  if (isKey) {
    key = item;
    name = GetRegString(item, "Item_Name", HKEY_LOCAL_MACHINE, "");
  } else {
    if (!env) {
      Trace("[CUtl] No environment for the item (%s)\n", item);
      return false;
    }
    name = item;
    key = env->GetInstallKey() + "\\Items\\" + name;
  }
  if (!readOnly && env && !name.empty()) {
    const std::string& dataFile = env->GetDataFile();
    std::string driver = GetScriptString(name.c_str(), "DRIVER_NAME", dataFile.c_str(), "", "");
    std::string uninstValue;
    if (driver.empty()) uninstValue = GetScriptString(name.c_str(), "UNINST_VALUE_NAME", dataFile.c_str(), "", "");
    if (!driver.empty() || !uninstValue.empty()) {
      bool installed = false;
      if (!driver.empty()) {
        Trace("[CUtl] Printer Checking...(%s)\n", driver.c_str());
        installed = FindPrinterDriver(driver.c_str(), searchPrinters);
      } else {
        Trace("[CUtl] Uninstall Key Checking...(%s)\n", uninstValue.c_str());
        installed = !GetRegString(env->GetUninstallInfoKey().c_str(), uninstValue.c_str(), HKEY_LOCAL_MACHINE, "")
                         .empty();
      }
      if (isKey) SetRegDword(key.c_str(), "Install_OK", installed ? 1 : 0, HKEY_LOCAL_MACHINE);
      return installed;
    }
  }
  Trace("[CUtl] Install Ok Checking...(%s)\n", key.c_str());
  return GetRegDword(key.c_str(), "Install_OK", HKEY_LOCAL_MACHINE, 0) != 0;
}

bool CUtl::IsWindowsMe() {
  return GetRegString("Software\\Microsoft\\Windows\\CurrentVersion", "VersionNumber", HKEY_LOCAL_MACHINE, "")
             .find("4.90.") != std::string::npos;
}

bool CUtl::WaitForPnPIdle() {
  fw::UniqueModule setupapi(fw::LoadSystemLibrary("Setupapi.dll"));
  if (!setupapi) return false;
  using WaitFn = DWORD(WINAPI*)(DWORD);
  auto wait = reinterpret_cast<WaitFn>(
      reinterpret_cast<void*>(GetProcAddress(setupapi.Get(), "CMP_WaitNoPendingInstallEvents")));
  if (!wait) return false;
  if (wait(0) != 0) wait(INFINITE);
  return true;
}

int CUtl::GetIPAddress(const char* host, std::string* address) {
  if (address) address->clear();
  WSADATA data{};
  int error = WSAStartup(MAKEWORD(1, 1), &data);
  if (error != 0) return error;
  int result = 0;
  char name[256] = {};
  if (host && *host) {
    lstrcpynA(name, host, sizeof(name));
  } else if (gethostname(name, sizeof(name)) != 0) {
    result = WSAGetLastError();
  }
  if (result == 0) {
    hostent* entry = gethostbyname(name);
    if (!entry) {
      result = WSAGetLastError();
    } else if (!entry->h_addr_list || !entry->h_addr_list[0]) {
      result = 1;
    } else if (address) {
      in_addr first{};
      std::memcpy(&first, entry->h_addr_list[0], sizeof(first));
      *address = inet_ntoa(first);
    }
  }
  WSACleanup();
  return result;
}

bool CUtl::IsAdministrator() {
  if (core::AdministratorHook hook = core::CurrentAdministratorHook()) return hook();
  if (!ImpersonateSelf(SecurityImpersonation)) return false;
  fw::UniqueHandle token;
  if (!OpenThreadToken(GetCurrentThread(), TOKEN_QUERY, TRUE, token.Put())) {
    if (GetLastError() != ERROR_NO_TOKEN || !OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.Put())) {
      RevertToSelf();
      return false;
    }
  }
  SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
  PSID admins = nullptr;
  BOOL status = FALSE;
  if (AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0, 0,
                               &admins)) {
    DWORD aclSize = sizeof(ACL) + sizeof(ACCESS_ALLOWED_ACE) + GetLengthSid(admins) - sizeof(DWORD);
    std::vector<BYTE> aclBuffer(aclSize);
    PACL acl = reinterpret_cast<PACL>(aclBuffer.data());
    SECURITY_DESCRIPTOR descriptor{};
    if (InitializeAcl(acl, aclSize, ACL_REVISION2) && AddAccessAllowedAce(acl, ACL_REVISION2, 3, admins) &&
        InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION) &&
        SetSecurityDescriptorDacl(&descriptor, TRUE, acl, FALSE) &&
        SetSecurityDescriptorGroup(&descriptor, admins, FALSE) &&
        SetSecurityDescriptorOwner(&descriptor, admins, FALSE)) {
      GENERIC_MAPPING mapping{1, 2, 0, 3};
      PRIVILEGE_SET privileges{};
      DWORD privilegesSize = sizeof(privileges), granted = 0;
      if (!AccessCheck(&descriptor, token.Get(), 1, &mapping, &privileges, &privilegesSize, &granted, &status)) {
        std::printf("AccessCheck() failed with error %lu\n", GetLastError());
        status = FALSE;
      }
    }
    FreeSid(admins);
  }
  RevertToSelf();
  return status != FALSE;
}

std::string CUtl::GetLanGroupName() {
  CAPIFunction& api = core::SystemFunctions();
  LPBYTE buffer = nullptr;
  if (api.NetWkstaGetInfo(nullptr, 102, &buffer) != 0 || !buffer) return std::string();
  const auto* info = reinterpret_cast<const WKSTA_INFO_102*>(buffer);
  char name[260] = {};
  if (info->wki102_langroup) {
    WideCharToMultiByte(CP_ACP, 0, info->wki102_langroup, -1, name, sizeof(name) - 1, nullptr, nullptr);
  }
  // Freed by the library that allocated it.
  using FreeFn = DWORD(WINAPI*)(LPVOID);
  if (HMODULE netapi = api.NetapiModule()) {
    if (auto release = reinterpret_cast<FreeFn>(reinterpret_cast<void*>(GetProcAddress(netapi, "NetApiBufferFree")))) {
      release(buffer);
    }
  }
  return name;
}

int CUtl::ShowMessageBox(HWND owner, const char* text, const char* caption, UINT style) {
  CPredefinedVariable* env = core::CurrentEnvironment();
  if (env && env->IsRightToLeft()) style |= MB_RTLREADING;
  return fw::ShowMessageBox(owner, text, caption, style);
}

void CUtl::ShowSystemError(DWORD error, const char* caption) {
  ShowMessageBox(nullptr, SystemErrorText(error).c_str(), caption, MB_ICONEXCLAMATION);
}
