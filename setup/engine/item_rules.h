#pragma once
// Pure decisions of the install items: the packed check table and its
// selection by install type, the ticked state, parameter joining. No Win32.
#include <functional>
#include <string>

namespace engine {

// The six check-table keys, lowest nibble first.
inline constexpr const char* kCheckKeys[6] = {"CHK_LC_TYPICAL",    "CHK_LC_CUSTOM",     "CHK_NW_LC_PRINTER",
                                              "CHK_NW_LC_SERVER", "CHK_NW_RT_PRINTER", "CHK_NW_RT_SERVER"};
inline constexpr unsigned kCheckEmpty = 3;    // an empty key: INSTALL_DEFAULT stays in force
inline constexpr unsigned kCheckTicked = 1;
inline constexpr unsigned kCheckInstalled = 5;

// Packs six numbers of 4 bits each (higher bits of a number are dropped).
unsigned PackCheckTable(const unsigned numbers[6]);
// The nibble the install type selects: 0 -> bits 0-3, 1 -> 4-7, 2 -> 8-11,
// 18 -> 12-15, 4 -> 16-19, 20 -> 20-23, anything else bits 0-3.
unsigned SelectCheckNumber(unsigned checkValue, unsigned long installType);
// Install types 4 and 20 install for remote client computers.
inline bool IsRemoteInstallType(unsigned long installType) { return installType == 4 || installType == 20; }

// Ticked and already-installed state from the selected check number.
struct TickState {
  bool ticked;
  bool alreadyInstalled;
};
TickState ApplyCheckNumber(unsigned number, bool installDefault);

// Values read in order from index 0 until the first empty one, at most
// `limit`; each followed by one blank.
std::string JoinParameters(const std::function<std::string(int)>& valueAt, int limit = 20);

}  // namespace engine
