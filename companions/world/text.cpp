#include "companions/world/text.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace qx::world {

std::string Bounded(const char* text, size_t limit) {
  if (!text) return {};
  return std::string(text, strnlen(text, limit));
}

bool CopyOut(char* buffer, size_t size, const std::string& text) {
  if (!buffer || size == 0) return false;
  size_t n = std::min(text.size(), size - 1);
  std::memcpy(buffer, text.data(), n);
  buffer[n] = '\0';
  return n == text.size();
}

std::vector<std::string> SplitAt(const std::string& text, char separator) {
  std::vector<std::string> parts;
  size_t from = 0;
  while (from < text.size()) {
    size_t end = text.find(separator, from);
    if (end == std::string::npos) end = text.size();
    parts.push_back(text.substr(from, end - from));
    from = end + 1;
  }
  return parts;
}

std::string Trim(const std::string& text) {
  const char* blanks = " \t\r\n";
  size_t first = text.find_first_not_of(blanks);
  if (first == std::string::npos) return {};
  size_t last = text.find_last_not_of(blanks);
  return text.substr(first, last - first + 1);
}

std::string Upper(const std::string& text) {
  std::string out = text;
  for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

bool EqualsNoCase(const std::string& a, const std::string& b) { return Upper(a) == Upper(b); }

bool ContainsNoCase(const std::string& text, const std::string& part) {
  return Upper(text).find(Upper(part)) != std::string::npos;
}

std::vector<std::string> SplitList(const std::string& text, const char* separators) {
  std::vector<std::string> parts;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find_first_of(separators, start);
    if (end == std::string::npos) end = text.size();
    std::string part = Trim(text.substr(start, end - start));
    if (!part.empty()) parts.push_back(part);
    start = end + 1;
  }
  return parts;
}

const char* MaskSecret(const std::string& secret) { return secret.empty() ? "(empty)" : "********"; }

}  // namespace qx::world

namespace qx::world {
namespace {

bool NamesSecret(const std::string& token) {
  static const char* const kWords[] = {"PASSWORD", "PASSWD", "PWD", "SECRET", "PASS"};
  std::string upper = Upper(token);
  for (const char* w : kWords) {
    if (upper.find(w) != std::string::npos) return true;
  }
  return false;
}

}  // namespace

std::string MaskCommandLine(const std::string& line) {
  std::string out;
  bool maskNext = false;
  size_t i = 0;
  while (i < line.size()) {
    if (line[i] == ' ' || line[i] == '\t') {
      out += line[i++];
      continue;
    }
    size_t end = i;
    bool quoted = false;
    while (end < line.size() && (quoted || (line[end] != ' ' && line[end] != '\t'))) {
      if (line[end] == '"') quoted = !quoted;
      ++end;
    }
    std::string token = line.substr(i, end - i);
    i = end;
    if (maskNext) {
      out += "********";
      maskNext = false;
      continue;
    }
    size_t sep = token.find_first_of("=:");
    std::string name = sep == std::string::npos ? token : token.substr(0, sep);
    bool option = !name.empty() && (name[0] == '/' || name[0] == '-') ;
    if (NamesSecret(name) && sep != std::string::npos) {
      out += token.substr(0, sep + 1) + "********";
    } else {
      // "/password value" or a bare "PASSWORD value": the next token is the secret.
      if (NamesSecret(name) && (option || Upper(name) == name)) maskNext = true;
      out += token;
    }
  }
  return out;
}

}  // namespace qx::world
