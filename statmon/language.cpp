#include "statmon/language.h"

#include <windows.h>

#include "framework/handles.h"
#include "framework/trace.h"

namespace sm {
namespace {
bool g_haveTestVersion = false;
OsVersion g_testVersion;
}  // namespace

void SetOsVersionForTesting(const OsVersion* version) {
  g_haveTestVersion = version != nullptr;
  if (version) g_testVersion = *version;
}

OsVersion CurrentOsVersion() {
  if (g_haveTestVersion) return g_testVersion;
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof(info);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  GetVersionExA(&info);
#pragma GCC diagnostic pop
  OsVersion v;
  v.platform = info.dwPlatformId == VER_PLATFORM_WIN32_NT        ? OsVersion::kNT
               : info.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS ? OsVersion::kWin9x
                                                                 : OsVersion::kWin32s;
  v.major = static_cast<int>(info.dwMajorVersion);
  v.minor = static_cast<int>(info.dwMinorVersion);
  return v;
}

int32_t HexToLong(std::string_view text) {
  uint32_t value = 0, weight = 1;
  for (size_t i = text.size(); i-- > 0;) {
    char c = text[i];
    uint32_t digit;
    if (c >= '0' && c <= '9') digit = c - '0';
    else if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    else return -1;
    value += digit * weight;  // wraps beyond 8 digits, like the 32-bit original
    weight *= 16;
  }
  return static_cast<int32_t>(value);
}

bool IsRightToLeft(std::string_view languageCode, const OsVersion& os,
                   const std::function<std::string()>& resourceLocale) {
  std::string upper(languageCode);
  for (char& c : upper)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  const bool rtlCode = upper == "AB" || upper == "HB";
  if (os.platform == OsVersion::kNT && os.major <= 4) {
    qx::Trace("### Current is NT so LtoR");
    return false;
  }
  if (os.platform == OsVersion::kWin9x && os.minor >= 10) {
    if (!rtlCode) return false;
    int32_t locale = HexToLong(resourceLocale ? resourceLocale() : std::string());
    if (locale == 0x401 || locale == 0x40D) {
      qx::Trace("### Win9x - RtoL");
      return true;
    }
    return false;
  }
  if (rtlCode) qx::Trace("### RtoL");
  return rtlCode;
}

std::string ChooseStringFile(const std::string& directory, const std::string& code,
                             const std::function<bool(const std::string&)>& exists) {
  std::string own = directory + "\\MulLang\\SM" + code + ".trs";
  if (exists && exists(own)) return own;
  return directory + "\\MulLang\\SMen.trs";
}

std::string Get9xResourceLocale() {
  fw::UniqueRegKey key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop\\ResourceLocale", 0, KEY_READ, key.Put()) !=
      ERROR_SUCCESS)
    return std::string();
  char value[256] = {};
  DWORD size = sizeof(value) - 1, type = 0;
  if (RegQueryValueExA(key.Get(), nullptr, nullptr, &type, reinterpret_cast<BYTE*>(value), &size) != ERROR_SUCCESS ||
      type != REG_SZ)
    return std::string();
  return std::string(value, strnlen(value, size));
}

std::string GetCurrentNationString(const std::string& langKey, const std::function<std::string()>& defaultLang) {
  std::string code;
  bool read = false;
  fw::UniqueRegKey key;
  std::string path = "Software\\QXPrint\\" + langKey;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, key.Put()) == ERROR_SUCCESS) {
    char value[11] = {};  // up to 10 bytes, always terminated
    DWORD size = 10, type = 0;
    // An expandable string is taken as written, like a plain one.
    if (RegQueryValueExA(key.Get(), "SmCntCode", nullptr, &type, reinterpret_cast<BYTE*>(value), &size) ==
            ERROR_SUCCESS &&
        (type == REG_SZ || type == REG_EXPAND_SZ)) {
      code.assign(value, strnlen(value, size));
      read = true;
    }
  }
  // The configuration's default only when the registry gave no value at all.
  if (!read && code.empty() && defaultLang) code = defaultLang();
  qx::Trace("Cur Driver Nation (%s)", code.c_str());
  return code;
}

}  // namespace sm
