#pragma once
// Helpers shared by the harnesses: a failed expectation aborts with its text,
// so libFuzzer keeps the input as a crash; input is split into lines or into
// a few parts at NUL bytes.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#define FUZZ_EXPECT(condition)                                                          \
  do {                                                                                  \
    if (!(condition)) {                                                                 \
      std::fprintf(stderr, "%s:%d: expectation failed: %s\n", __FILE__, __LINE__, #condition); \
      std::abort();                                                                     \
    }                                                                                   \
  } while (0)

namespace fuzz {

inline std::string_view AsText(const uint8_t* data, size_t size) {
  return std::string_view(reinterpret_cast<const char*>(data), size);
}

// Lines at LF; a CR before the LF stays with the line, as a raw reader sees it.
inline std::vector<std::string> Lines(std::string_view text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) {
      if (start < text.size()) lines.emplace_back(text.substr(start));
      break;
    }
    lines.emplace_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

// Up to `count` parts separated by NUL bytes; the last part takes the rest
// (NULs included), missing parts are empty.
inline std::vector<std::string> Parts(std::string_view text, size_t count) {
  std::vector<std::string> parts;
  while (parts.size() + 1 < count) {
    size_t nul = text.find('\0');
    if (nul == std::string_view::npos) break;
    parts.emplace_back(text.substr(0, nul));
    text.remove_prefix(nul + 1);
  }
  parts.emplace_back(text);
  parts.resize(count);
  return parts;
}

// A C string of the text up to its first NUL, as a C caller would pass it.
inline std::string CText(std::string_view text) { return std::string(text.substr(0, text.find('\0'))); }

}  // namespace fuzz
