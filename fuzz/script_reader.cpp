// The script reader's in-memory profile text: every section and key the input
// names is looked up with buffers of several sizes. The answer always fits
// its buffer and ends with a NUL at the returned length; a key that is found
// answers its stored value (a pair of outer quotes aside) in a buffer large
// enough; a key that is missing answers the default.
#include <cstring>

#include "fuzz/harness.h"
#include "setup/scriptlib/profile_text.h"

namespace {

using scriptlib::ProfileText;

void CheckLookup(const ProfileText& text, const std::string& section, const std::string& key) {
  static const unsigned long sizes[] = {1, 2, 3, 4, 5, 16, 4096};
  std::string_view stored;
  const bool found = text.Find(ProfileText::Trim(section), ProfileText::Trim(key), &stored);
  for (unsigned long size : sizes) {
    std::vector<char> buffer(size + 8, '\x7f');
    unsigned long length = text.GetString(section.c_str(), key.c_str(), "dflt", buffer.data(), size);
    FUZZ_EXPECT(length < size);
    FUZZ_EXPECT(buffer[length] == '\0');
    FUZZ_EXPECT(buffer[size] == '\x7f');  // nothing written past the buffer
    if (size != 4096) continue;
    std::string answer(buffer.data(), length);
    if (!found) {
      FUZZ_EXPECT(answer == "dflt");
    } else if (stored.size() < 4000 && stored.find('\0') == std::string_view::npos) {
      std::string expected(stored);
      if (expected.size() >= 2 && (expected[0] == '"' || expected[0] == '\'') && expected.back() == expected[0]) {
        expected = expected.substr(1, expected.size() - 2);
      }
      FUZZ_EXPECT(answer == expected);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string bytes(fuzz::AsText(data, size));
  ProfileText text(bytes);
  FUZZ_EXPECT(text.KeyCount() <= size + 1);
  // The names the input itself holds, and a few it does not.
  std::string section = "";
  int lookups = 0;
  for (const std::string& raw : fuzz::Lines(bytes)) {
    if (++lookups > 64) break;
    std::string line(raw.c_str());  // a NUL ends what the reader is asked
    size_t open = line.find('['), close = line.rfind(']');
    if (open != std::string::npos && close != std::string::npos && close > open) {
      section = line.substr(open + 1, close - open - 1);
      CheckLookup(text, section, "missing key");
      continue;
    }
    size_t eq = line.find('=');
    CheckLookup(text, section, eq == std::string::npos ? line : line.substr(0, eq));
  }
  CheckLookup(text, "no such section", "key");
  return 0;
}
