#include "statmon/status.h"

#include <cstring>

#include "framework/trace.h"
#include "statmon/status_code_table.h"

void CStatus::Initialize(const unsigned char* bytes, size_t length) {
  std::memset(raw_, 0, sizeof(raw_));
  if (bytes) std::memcpy(raw_, bytes, length < sizeof(raw_) ? length : sizeof(raw_));
  // Bit 0 is tested before bit 1, bit 1 before bit 2.
  if (raw_[0] & 0x01) kind_ = 1;
  else if (raw_[0] & 0x02) kind_ = 2;
  else if (raw_[0] & 0x04) kind_ = 4;
  else kind_ = -1;
  tonerLevel_ = raw_[5];
  // Byte 1 = 0: the printer gave no status at all (no cable, no device).
  if (raw_[1] == 0) kind_ = sm::kKindError;
}

std::string CStatus::GetStatusStringIDFromStatus(const CParser& table) const {
  const unsigned char* b = raw_;
  qx::Trace("Enter GetStatusStringIDFromStatus (%x %x %x %x %x %x %x %x", b[0], b[1], b[2], b[3], b[4], b[5], b[6],
            b[7]);
  uint32_t high = (uint32_t{b[0]} << 24) | (uint32_t{b[1]} << 16) | (uint32_t{b[2]} << 8) | b[3];
  uint32_t low = (uint32_t{b[4]} << 24) | (uint32_t{b[5]} << 16) | (uint32_t{b[6]} << 8) | b[7];
  std::string id;
  if (const StatusCodeRecord* record = table.Find(low, high)) id = record->stringId;
  else id = b[1] == 0 ? "SM_USB_CABLE_OFF" : "SM_NONDEFINED_ERROR_SHORT";
  qx::Trace("Current Status : %s", id.c_str());
  return id;
}
