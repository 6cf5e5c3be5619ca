#pragma once
// The country list of the order window: the "Phone" section of the
// configuration, names from the string table, and the country the user is in.
#include <cstdint>
#include <string>
#include <vector>

class CStrTableList;

struct CountryEntry {
  uint32_t lcid = 0;  // the key read as hexadecimal; 0xFFFFFFFF when it is not
  std::string name;
  std::string phone;
};

namespace sm {

inline constexpr uint32_t kDefaultCountryLcid = 0x0409;

// Reads a profile section buffer (NUL-terminated key=value entries ending in
// an empty one; never read past `size`) into entries and sorted names.
void ParsePhoneSection(const char* buffer, size_t size, const CStrTableList& strings,
                       std::vector<CountryEntry>* countries, std::vector<std::string>* sortedNames);

// The LCID of a Windows nation (GEOID), false when the nation is not listed.
bool LcidForNation(int nation, uint32_t* lcid);

// The decision of GetDefaultLangID: the nation's LCID (or the user default when
// the nation is not listed) when the system knows the nation, else `locale`;
// kept only when some country has it, else 1033.
uint32_t ChooseCountryLcid(uint32_t locale, bool haveNation, int nation, uint32_t userDefault,
                           const std::vector<CountryEntry>& countries);

// Asks the system (thread locale on Windows 2000, the user default otherwise;
// GetUserGeoID when kernel32 has it).
uint32_t GetDefaultLangID(const std::vector<CountryEntry>& countries);

}  // namespace sm
