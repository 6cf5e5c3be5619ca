// The strings layer: "%TOKEN%" answered from a STRINGS section; a token the
// section lacks is answered with itself, as the script lookup does.
#include "fuzz/substitution.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::SubstitutionInput input = fuzz::ReadSubstitutionInput(data, size);
  int lookups = 0;
  bool bounded = false;
  std::string result = core::ExpandPercentTokens(
      input.text,
      [&](const std::string& token) {
        ++lookups;
        FUZZ_EXPECT(token.size() >= 2 && token.front() == '%' && token.back() == '%');
        auto found = input.values.find(token);
        return found == input.values.end() ? token : found->second;
      },
      &bounded, fuzz::kTokenLayerLimit);
  FUZZ_EXPECT(lookups <= 1000);
  fuzz::ExpectBoundedResult(input.text, result, fuzz::kTokenLayerLimit);
  if (input.text.find('%') == std::string::npos) FUZZ_EXPECT(lookups == 0);
  return 0;
}
