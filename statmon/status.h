#pragma once
// One decoded printer status: the 8 raw bytes, the kind that byte 0 gives
// (4 = error, anything else counts as normal), the toner level (byte 5) and
// the string ID the status code table assigns.
#include <cstddef>
#include <cstdint>
#include <string>

class CParser;

namespace sm {
inline constexpr int kKindError = 4;
}

class CStatus {
 public:
  void Initialize(const unsigned char* bytes, size_t length);
  int GetTonerLevel() const { return tonerLevel_; }
  int Kind() const { return kind_; }
  bool IsError() const { return kind_ == sm::kKindError; }
  int Byte(int index) const { return raw_[index]; }
  const unsigned char* Raw() const { return raw_; }
  // The table's string ID for the raw bytes, else "SM_USB_CABLE_OFF" when byte 1
  // is 0 and "SM_NONDEFINED_ERROR_SHORT" otherwise.
  std::string GetStatusStringIDFromStatus(const CParser& table) const;

 private:
  int kind_ = -1;
  int tonerLevel_ = 0;
  unsigned char raw_[8] = {};
};
