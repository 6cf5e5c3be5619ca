#pragma once
// Input of the substitution harnesses: the text to expand, a NUL, then
// "TOKEN=value" lines that the lookups answer from (the first line of a
// token wins). Values may hold tokens again: nothing may grow without bound.
#include <map>

#include "fuzz/harness.h"
#include "setup/core/utl_rules.h"

namespace fuzz {

struct SubstitutionInput {
  std::string text;
  std::map<std::string, std::string> values;
};

inline SubstitutionInput ReadSubstitutionInput(const uint8_t* data, size_t size) {
  std::vector<std::string> parts = Parts(AsText(data, size), 2);
  SubstitutionInput input{parts[0], {}};
  for (const std::string& line : Lines(parts[1])) {
    size_t equals = line.find('=');
    if (equals != std::string::npos) input.values.emplace(line.substr(0, equals), line.substr(equals + 1));
  }
  return input;
}

// The token layers run with a shorter length limit than the line limit: the
// bound works the same at any length, and a token whose value holds itself
// twice then costs an eighth of the time it takes at the line limit, which is
// what lets a long run reach ten million executions within an hour.
inline constexpr size_t kTokenLayerLimit = 4096;

// What a layer may give: at most the limit, unless the text was longer.
inline void ExpectBoundedResult(const std::string& text, const std::string& result,
                                size_t limit = core::kMaxExpandedLength) {
  FUZZ_EXPECT(result.size() <= std::max(text.size(), limit));
}

}  // namespace fuzz
