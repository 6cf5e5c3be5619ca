// The script reader's line rules over the lines of a file in memory: cleaning,
// section headers, key lines and comma fields.
#include <cstring>

#include "fuzz/harness.h"
#include "setup/scriptlib/line_rules.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  for (const std::string& raw : fuzz::Lines(fuzz::AsText(data, size))) {
    std::string text = fuzz::CText(raw);
    if (text.size() >= scriptlib::kLineBufferSize) text.resize(scriptlib::kLineBufferSize - 1);
    // A buffer of exactly the line's size: a write past it shows.
    std::vector<char> line(text.begin(), text.end());
    line.push_back('\0');
    bool content = scriptlib::CleanLine(line.data());
    std::string cleaned(line.data());
    FUZZ_EXPECT(cleaned.size() <= text.size());
    FUZZ_EXPECT(content == !cleaned.empty());
    if (!cleaned.empty()) {
      FUZZ_EXPECT(!IsBlank(cleaned.front()));
      FUZZ_EXPECT(!IsBlank(cleaned.back()));
      FUZZ_EXPECT(cleaned.compare(0, 2, "//") != 0);
    }

    for (const char* candidate : {text.c_str(), static_cast<const char*>(line.data())}) {
      std::string name;
      if (scriptlib::ParseHeader(candidate, &name)) {
        FUZZ_EXPECT(candidate[0] == '[');
        FUZZ_EXPECT(name.size() < scriptlib::kSectionNameSize);
        FUZZ_EXPECT(name.find(']') == std::string::npos);
      }
      std::string key, value;
      if (scriptlib::ParseKeyLine(candidate, &key, &value)) {
        FUZZ_EXPECT(std::strlen(candidate) >= 4);
        FUZZ_EXPECT(key.size() + value.size() < std::strlen(candidate));
        FUZZ_EXPECT(key.empty() || !IsBlank(key.back()));
        FUZZ_EXPECT(value.empty() || !IsBlank(value.front()));
      }
      size_t total = 0;
      for (const std::string& field : scriptlib::SplitFields(candidate)) {
        FUZZ_EXPECT(!field.empty());
        FUZZ_EXPECT(field.find(',') == std::string::npos);
        total += field.size();
      }
      FUZZ_EXPECT(total <= std::strlen(candidate));
    }
  }
  return 0;
}
