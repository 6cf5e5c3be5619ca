#pragma once
// The country combo boxes of the order toner, low-toner and large windows:
// one shared country choice (the application's country LCID). The item texts
// and their reading back are pure; ProcessCountry fills a real combo box.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "statmon/country.h"

namespace sm {

// "<phone> - <name>", or "<contact text> - <name>" for a country without a number.
std::string CountryItemText(const CountryEntry& entry, const std::string& contactText);
// The LCID of the country named after the last "- " of an item text; false
// when there is no such dash (or only at the start), no such country, or its
// LCID is 0.
bool CountryFromItemText(const std::string& itemText, const std::vector<CountryEntry>& countries, uint32_t* lcid);

// Fills the combo box in the order of the sorted names and selects the item of `lcid`.
void ProcessCountry(HWND combo, const std::vector<CountryEntry>& countries, const std::vector<std::string>& names,
                    const std::string& contactText, uint32_t lcid);
// Selects the item of the first country (in "Phone" order) that has `lcid`.
void SelectCountry(HWND combo, const std::vector<CountryEntry>& countries, const std::string& contactText,
                   uint32_t lcid);
// The selected item's country, as CountryFromItemText reads it.
bool SelectedCountry(HWND combo, const std::vector<CountryEntry>& countries, uint32_t* lcid);

}  // namespace sm
