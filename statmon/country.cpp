#include "statmon/country.h"

#include <windows.h>
#include <mbstring.h>

#include <algorithm>
#include <cstring>
#include <iterator>

#include "framework/handles.h"
#include "framework/library_loading.h"
#include "statmon/language.h"
#include "statmon/string_table.h"

namespace sm {
namespace {

struct NationRow {
  int nation;
  uint32_t lcid;
};

// Windows nations (GEOID) and the LCID of their language, first match wins.
constexpr NationRow kNations[] = {
    {11, 0x2C0A},  {39, 0x1009},  {46, 0x340A},  {51, 0x240A},  {166, 0x080A}, {187, 0x280A}, {202, 0x500A},
    {246, 0x380A}, {185, 0x3C0A}, {244, 0x0409}, {249, 0x200A}, {308, 0x2409}, {14, 0x0C07},  {4, 0x1401},
    {21, 0x0813},  {61, 0x0406},  {67, 0x0C01},  {77, 0x040B},  {84, 0x040C},  {94, 0x0407},  {68, 0x1809},
    {117, 0x040D}, {118, 0x0410}, {126, 0x2C01}, {136, 0x3401}, {139, 0x3001}, {147, 0x140C}, {176, 0x0413},
    {177, 0x0414}, {164, 0x2001}, {193, 0x0816}, {197, 0x4001}, {203, 0x0419}, {205, 0x0401}, {209, 0x1C09},
    {217, 0x0C0A}, {221, 0x041D}, {223, 0x100C}, {234, 0x1C01}, {235, 0x041F}, {224, 0x3801}, {242, 0x0809},
    {261, 0x2401}, {12, 0x0C09},  {122, 0x0411}, {167, 0x043E}, {183, 0x1409}, {45, 0x0804},  {215, 0x1004},
};
static_assert(std::size(kNations) == 49);

}  // namespace

void ParsePhoneSection(const char* buffer, size_t size, const CStrTableList& strings,
                       std::vector<CountryEntry>* countries, std::vector<std::string>* sortedNames) {
  size_t pos = 0;
  while (buffer && pos < size && buffer[pos] != '\0') {
    size_t length = strnlen(buffer + pos, size - pos);
    std::string_view entry(buffer + pos, length);
    pos += length + 1;
    size_t equals = entry.find('=');
    std::string_view key = entry.substr(0, equals);
    CountryEntry country;
    country.phone = equals == std::string_view::npos ? std::string() : std::string(entry.substr(equals + 1));
    country.name = strings.Text(key);
    country.lcid = static_cast<uint32_t>(HexToLong(key));
    sortedNames->push_back(country.name);
    countries->push_back(std::move(country));
  }
  std::sort(sortedNames->begin(), sortedNames->end(), [](const std::string& a, const std::string& b) {
    return _mbscmp(reinterpret_cast<const unsigned char*>(a.c_str()), reinterpret_cast<const unsigned char*>(b.c_str())) < 0;
  });
}

bool LcidForNation(int nation, uint32_t* lcid) {
  for (const NationRow& row : kNations) {
    if (row.nation == nation) {
      *lcid = row.lcid;
      return true;
    }
  }
  return false;
}

uint32_t ChooseCountryLcid(uint32_t locale, bool haveNation, int nation, uint32_t userDefault,
                           const std::vector<CountryEntry>& countries) {
  uint32_t lcid = locale;
  if (haveNation && !LcidForNation(nation, &lcid)) lcid = userDefault;
  for (const CountryEntry& c : countries)
    if (c.lcid == lcid) return lcid;
  return kDefaultCountryLcid;
}

uint32_t GetDefaultLangID(const std::vector<CountryEntry>& countries) {
  OsVersion os = CurrentOsVersion();
  const uint32_t userDefault = GetUserDefaultLCID();
  uint32_t locale = (os.platform == OsVersion::kNT && os.major == 5 && os.minor == 0) ? GetThreadLocale() : userDefault;
  bool haveNation = false;
  int nation = 0;
  fw::UniqueModule kernel(fw::LoadSystemLibrary("kernel32.dll"));
  if (kernel) {
    using GetUserGeoIdFn = GEOID(WINAPI*)(GEOCLASS);
    auto fn = reinterpret_cast<GetUserGeoIdFn>(reinterpret_cast<void*>(GetProcAddress(kernel.Get(), "GetUserGeoID")));
    if (fn) {
      haveNation = true;
      nation = static_cast<int>(fn(GEOCLASS_NATION));
    }
  }
  return ChooseCountryLcid(locale, haveNation, nation, userDefault, countries);
}

}  // namespace sm
