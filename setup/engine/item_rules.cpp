#include "setup/engine/item_rules.h"

namespace engine {

unsigned PackCheckTable(const unsigned numbers[6]) {
  unsigned value = 0;
  for (int i = 0; i < 6; ++i) value |= (numbers[i] & 0xFu) << (4 * i);
  return value;
}

unsigned SelectCheckNumber(unsigned checkValue, unsigned long installType) {
  int shift = 0;
  switch (installType) {
    case 1: shift = 4; break;
    case 2: shift = 8; break;
    case 18: shift = 12; break;
    case 4: shift = 16; break;
    case 20: shift = 20; break;
    default: shift = 0; break;
  }
  return (checkValue >> shift) & 0xFu;
}

TickState ApplyCheckNumber(unsigned number, bool installDefault) {
  if (number == kCheckTicked) return {true, false};
  if (number == kCheckInstalled) return {false, true};
  return {installDefault, false};
}

std::string JoinParameters(const std::function<std::string(int)>& valueAt, int limit) {
  std::string joined;
  for (int i = 0; i < limit; ++i) {
    std::string value = valueAt(i);
    if (value.empty()) break;
    joined += value;
    joined += ' ';
  }
  return joined;
}

}  // namespace engine
