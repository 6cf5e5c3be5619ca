// The message layer: "@NAME@" answered from a MESSAGES section; a missing
// message is empty, as the script lookup gives it.
#include "fuzz/substitution.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::SubstitutionInput input = fuzz::ReadSubstitutionInput(data, size);
  int lookups = 0;
  bool bounded = false;
  std::string result = core::ExpandMessageReferences(
      input.text,
      [&](const std::string& token) {
        ++lookups;
        FUZZ_EXPECT(token.size() >= 2 && token.front() == '@' && token.back() == '@');
        auto found = input.values.find(token.substr(1, token.size() - 2));
        return found == input.values.end() ? std::string() : found->second;
      },
      &bounded, fuzz::kTokenLayerLimit);
  FUZZ_EXPECT(lookups <= 1000);
  fuzz::ExpectBoundedResult(input.text, result, fuzz::kTokenLayerLimit);
  if (input.text.find('@') == std::string::npos) FUZZ_EXPECT(lookups == 0);
  return 0;
}
