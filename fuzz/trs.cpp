// A status monitor string file ("SM<code>.trs") read from its bytes, and
// lookups of its IDs into the callers' small buffers.
#include <cstring>

#include "fuzz/harness.h"
#include "statmon/string_table.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  CStrTableList table;
  table.Load(fuzz::AsText(data, size), "fuzz.trs");
  for (const CStrTableList::Entry& entry : table.Entries()) {
    FUZZ_EXPECT(entry.text.size() <= CStrTableList::kMaxText);
    FUZZ_EXPECT(entry.id.find('=') == std::string::npos);
    std::string text;
    FUZZ_EXPECT(table.Lookup(entry.id, &text));
    // The first entry of an ID wins.
    for (const CStrTableList::Entry& first : table.Entries()) {
      if (first.id == entry.id) {
        FUZZ_EXPECT(text == first.text);
        break;
      }
    }
    char small[8];
    std::string id = fuzz::CText(entry.id);
    if (id == entry.id) {
      table.Lookup(id.c_str(), small, sizeof(small));
      FUZZ_EXPECT(std::strlen(small) == std::min(text.size(), sizeof(small) - 1) || text.find('\0') != std::string::npos);
    }
  }
  return 0;
}
