// The status code table "smcode.dat" read from its bytes; the first eight
// input bytes are also a status to look up, which must find the record that
// a plain walk over the records finds.
#include <cstring>

#include "fuzz/harness.h"
#include "statmon/status_code_table.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  CParser parser;
  parser.ReadText(fuzz::AsText(data, size));
  for (const StatusCodeRecord& record : parser.Records()) {
    FUZZ_EXPECT(strnlen(record.stringId, sizeof(record.stringId)) < sizeof(record.stringId));
    FUZZ_EXPECT(strnlen(record.text, sizeof(record.text)) < sizeof(record.text));
    FUZZ_EXPECT(std::strchr(record.text, '"') == nullptr);
  }
  uint8_t status[8] = {};
  std::memcpy(status, data, size < 8 ? size : 8);
  uint32_t high = static_cast<uint32_t>(status[0]) << 24 | status[1] << 16 | status[2] << 8 | status[3];
  uint32_t low = static_cast<uint32_t>(status[4]) << 24 | status[5] << 16 | status[6] << 8 | status[7];
  const uint64_t raw = static_cast<uint64_t>(high) << 32 | low;
  const StatusCodeRecord* expected = nullptr;
  for (const StatusCodeRecord& record : parser.Records()) {
    if ((raw & record.mask) == (record.code & record.mask)) {
      expected = &record;
      break;
    }
  }
  FUZZ_EXPECT(parser.Find(low, high) == expected);
  return 0;
}
