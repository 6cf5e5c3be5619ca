// The fuzz build's answers to the two system services the parsers ask for:
// upper case and the ANSI code page. Both keep lengths as the system does for
// a single-byte code page: ASCII letters change case, every other byte stays,
// and a UTF-16 character beyond one byte becomes "?".
#include <cctype>

#include "setup/scriptlib/line_rules.h"
#include "statmon/ansi_text.h"

namespace scriptlib {

std::string UpperCase(const char* text) {
  std::string upper(text ? text : "");
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return upper;
}

}  // namespace scriptlib

namespace sm {

std::string WideToAnsi(const std::u16string& wide) {
  std::string text;
  text.reserve(wide.size());
  for (char16_t c : wide) text += c < 0x100 ? static_cast<char>(c) : '?';
  return text;
}

std::u16string AnsiToWide(const std::string& text) {
  std::u16string wide;
  wide.reserve(text.size());
  for (char c : text) wide += static_cast<char16_t>(static_cast<unsigned char>(c));
  return wide;
}

}  // namespace sm
