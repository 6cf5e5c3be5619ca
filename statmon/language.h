#pragma once
// Language decisions of the status monitor: hexadecimal texts, the reading
// direction by Windows version, the string file to load. The Windows version
// comes through a seam that tests set.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace sm {

struct OsVersion {
  enum Platform { kWin32s = 0, kWin9x = 1, kNT = 2 };
  int platform = kNT;
  int major = 6;
  int minor = 1;
};

// The running system's version, or the one a test set.
OsVersion CurrentOsVersion();
void SetOsVersionForTesting(const OsVersion* version);  // null: the real one again

// Digits from the last to the first, each weighted by a power of 16; any
// character other than 0-9, a-f, A-F gives -1; the empty text gives 0.
int32_t HexToLong(std::string_view text);

// True when the language reads right to left. `resourceLocale` is asked only on
// Windows 98/ME for the codes "AB" and "HB".
bool IsRightToLeft(std::string_view languageCode, const OsVersion& os,
                   const std::function<std::string()>& resourceLocale);

// "<dir>\MulLang\SM<code>.trs" when it exists (code as written), else
// "<dir>\MulLang\SMen.trs".
std::string ChooseStringFile(const std::string& directory, const std::string& code,
                             const std::function<bool(const std::string&)>& exists);

// Windows 98/ME resource locale (HKCU\Control Panel\Desktop\ResourceLocale).
std::string Get9xResourceLocale();
// HKLM\Software\QXPrint\<langKey> "SmCntCode", else what `defaultLang` reads.
std::string GetCurrentNationString(const std::string& langKey, const std::function<std::string()>& defaultLang);

}  // namespace sm
