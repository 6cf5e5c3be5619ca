// Install history entries read back from the registry: the numbered value
// names of the six lists and the hive-qualified key and value entries.
#include "fuzz/harness.h"
#include "setup/engine/history_rules.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  for (const std::string& line : fuzz::Lines(fuzz::AsText(data, size))) {
    for (int kind = -1; kind <= 6; ++kind) {
      std::optional<unsigned long> number = engine::EntryNumber(kind, line);
      if (!number) continue;
      FUZZ_EXPECT(engine::IsHistoryKind(kind));
      // Only names the writer makes are read: the name comes back, up to case.
      FUZZ_EXPECT(_stricmp(engine::EntryName(kind, *number).c_str(), line.c_str()) == 0);
    }
    if (std::optional<engine::ValueEntry> value = engine::SplitValueEntry(line)) {
      FUZZ_EXPECT(value->key.size() + value->name.size() + 2 <= line.size());
      FUZZ_EXPECT(value->name.find('\\') == std::string::npos);
    }
    if (std::optional<engine::KeyEntry> key = engine::SplitKeyEntry(line)) {
      FUZZ_EXPECT(key->key.size() < line.size());
    }
  }
  return 0;
}
