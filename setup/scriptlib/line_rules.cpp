#include "setup/scriptlib/line_rules.h"

#include <cctype>
#include <cstdlib>
#include <cstring>

namespace scriptlib {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Position of the first case-insensitive occurrence of an ASCII word, or npos.
size_t FindNoCase(const std::string& text, const char* word) {
  size_t n = std::strlen(word);
  for (size_t i = 0; i + n <= text.size(); ++i) {
    size_t j = 0;
    while (j < n && std::toupper(static_cast<unsigned char>(text[i + j])) == word[j]) ++j;
    if (j == n) return i;
  }
  return std::string::npos;
}

// Whether the "//" at `slash` directly follows the first occurrence of a URL scheme.
bool FollowsScheme(const std::string& line, size_t slash) {
  for (const char* scheme : {"HTTP:", "HTTPS:", "FTP:"}) {
    size_t at = FindNoCase(line, scheme);
    if (at != std::string::npos && at + std::strlen(scheme) == slash) return true;
  }
  return false;
}

// Whether `slash` lies inside a pair of double quotes, pairs counted from the first quote.
bool IsQuoted(const std::string& line, size_t slash) {
  size_t open = line.find('"');
  while (open != std::string::npos && open < slash) {
    size_t close = line.find('"', open + 1);
    if (close == std::string::npos) return false;  // an unclosed quote protects nothing
    if (close > slash) return true;
    open = line.find('"', close + 1);
  }
  return false;
}

}  // namespace

bool CleanLine(char* line) {
  if (!line) return false;
  size_t start = 0;
  while (IsBlank(line[start])) ++start;
  size_t end = std::strlen(line);
  while (end > start && (IsBlank(line[end - 1]) || line[end - 1] == '\r' || line[end - 1] == '\n')) --end;
  std::string text(line + start, end - start);

  if (text.empty() || text.compare(0, 2, "//") == 0) {
    line[0] = '\0';
    return false;
  }
  size_t slash = text.find("//");
  if (slash != std::string::npos && !FollowsScheme(text, slash) && !IsQuoted(text, slash)) {
    size_t cut = slash;
    while (cut > 0 && IsBlank(text[cut - 1])) --cut;
    text.resize(cut);
  }
  std::memcpy(line, text.c_str(), text.size() + 1);
  return !text.empty();
}

bool ParseHeader(const char* line, std::string* name) {
  if (!line || line[0] != '[') return false;
  const char* close = std::strchr(line + 1, ']');
  if (!close) return false;
  size_t length = static_cast<size_t>(close - (line + 1));
  if (length > kSectionNameSize - 1) length = kSectionNameSize - 1;
  if (name) name->assign(line + 1, length);
  return true;
}

bool ParseKeyLine(const char* line, std::string* key, std::string* value) {
  if (!line || std::strlen(line) < 4) return false;
  const char* equals = std::strchr(line, '=');
  if (!equals || equals == line) return false;
  const char* keyEnd = equals;
  while (keyEnd > line && IsBlank(keyEnd[-1])) --keyEnd;
  const char* valueStart = equals + 1;
  while (IsBlank(*valueStart)) ++valueStart;
  if (key) key->assign(line, static_cast<size_t>(keyEnd - line));
  if (value) value->assign(valueStart);
  return true;
}

unsigned long StringToDword(const char* text) {
  if (!text) return 0;
  std::string upper = UpperCase(text);
  if (upper.find("0X") == std::string::npos) {
    // atoi's rules; out-of-range numbers wrap to their low 32 bits.
    return static_cast<unsigned long>(std::strtoll(upper.c_str(), nullptr, 10));
  }
  std::string digits;
  for (size_t i = 0; i < upper.size();) {
    if (upper.compare(i, 2, "0X") == 0) {
      i += 2;
    } else {
      digits += upper[i++];
    }
  }
  unsigned long result = 0;
  int shift = 0;
  for (size_t i = digits.size(); i > 0 && shift < 32; --i, shift += 4) {
    char c = digits[i - 1];
    unsigned long nibble = 0;
    if (c >= '0' && c <= '9') nibble = static_cast<unsigned long>(c - '0');
    else if (c >= 'A' && c <= 'F') nibble = static_cast<unsigned long>(c - 'A' + 10);
    result |= nibble << shift;
  }
  return result;
}

std::vector<std::string> SplitFields(const char* text) {
  std::vector<std::string> fields;
  if (!text) return fields;
  const char* p = text;
  while (*p) {
    while (*p == ',') ++p;
    if (!*p) break;
    const char* start = p;
    while (*p && *p != ',') ++p;
    fields.emplace_back(start, static_cast<size_t>(p - start));
  }
  return fields;
}

bool NumberFields(const char* text, size_t count, std::vector<long>* fields) {
  std::vector<std::string> texts = SplitFields(text);
  if (texts.size() < count) return false;
  for (size_t i = 0; i < count; ++i) fields->push_back(static_cast<long>(StringToDword(texts[i].c_str())));
  return true;
}

unsigned long ColourFromFields(long red, long green, long blue) {
  return static_cast<unsigned long>((red & 0xFF) | (green & 0xFF) << 8 | (blue & 0xFF) << 16);
}

}  // namespace scriptlib
