#include "statmon/country_combo.h"

#include "framework/trace.h"

namespace sm {

std::string CountryItemText(const CountryEntry& entry, const std::string& contactText) {
  return (entry.phone.empty() ? contactText : entry.phone) + " - " + entry.name;
}

bool CountryFromItemText(const std::string& itemText, const std::vector<CountryEntry>& countries, uint32_t* lcid) {
  size_t dash = itemText.find_last_of('-');
  if (dash == std::string::npos || dash < 1) return false;
  std::string name = dash + 2 <= itemText.size() ? itemText.substr(dash + 2) : std::string();
  for (const CountryEntry& entry : countries) {
    if (entry.name != name) continue;
    if (entry.lcid == 0) return false;
    *lcid = entry.lcid;
    return true;
  }
  return false;
}

void ProcessCountry(HWND combo, const std::vector<CountryEntry>& countries, const std::vector<std::string>& names,
                    const std::string& contactText, uint32_t lcid) {
  qx::Trace("Enter ProcessCountry (CurLangID: %u )", static_cast<unsigned>(lcid));
  SendMessageA(combo, CB_RESETCONTENT, 0, 0);
  for (const std::string& name : names) {
    for (const CountryEntry& entry : countries) {
      if (entry.name != name) continue;
      std::string text = CountryItemText(entry, contactText);
      SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
      if (entry.lcid == lcid) SendMessageA(combo, CB_SELECTSTRING, static_cast<WPARAM>(-1),
                                           reinterpret_cast<LPARAM>(text.c_str()));
      break;
    }
  }
}

void SelectCountry(HWND combo, const std::vector<CountryEntry>& countries, const std::string& contactText,
                   uint32_t lcid) {
  for (const CountryEntry& entry : countries) {
    if (entry.lcid != lcid) continue;
    std::string text = CountryItemText(entry, contactText);
    SendMessageA(combo, CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text.c_str()));
    return;
  }
}

bool SelectedCountry(HWND combo, const std::vector<CountryEntry>& countries, uint32_t* lcid) {
  LRESULT index = SendMessageA(combo, CB_GETCURSEL, 0, 0);
  if (index == CB_ERR) return false;
  LRESULT length = SendMessageA(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
  if (length == CB_ERR || length <= 0) return false;
  std::string text(static_cast<size_t>(length) + 1, '\0');
  SendMessageA(combo, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<size_t>(length));
  return CountryFromItemText(text, countries, lcid);
}

}  // namespace sm
