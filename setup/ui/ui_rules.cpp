#include "setup/ui/ui_rules.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace ui {
namespace {

std::vector<std::string> SplitCommas(const std::string& text) {
  std::vector<std::string> parts;
  size_t start = 0;
  while (true) {
    size_t comma = text.find(',', start);
    parts.push_back(text.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  return parts;
}

std::string Trim(const std::string& text) {
  size_t b = text.find_first_not_of(" \t");
  if (b == std::string::npos) return std::string();
  size_t e = text.find_last_not_of(" \t");
  return text.substr(b, e - b + 1);
}

// A whole decimal number in 0..kMaxCoordinate.
std::optional<int> Coordinate(const std::string& field) {
  std::string text = Trim(field);
  if (text.empty()) return std::nullopt;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
  }
  if (text.size() > 6) return std::nullopt;
  long value = std::strtol(text.c_str(), nullptr, 10);
  if (value > kMaxCoordinate) return std::nullopt;
  return static_cast<int>(value);
}

}  // namespace

std::optional<ObjectKind> ObjectKindOf(const std::string& name) {
  static const struct {
    const char* word;
    ObjectKind kind;
  } kWords[] = {{"LINK", ObjectKind::kLink},     {"STATIC", ObjectKind::kStatic}, {"BITMAP", ObjectKind::kBitmap},
                {"BUTTON", ObjectKind::kButton}, {"LINE", ObjectKind::kLine},     {"RECTANGLE", ObjectKind::kRectangle}};
  for (const auto& w : kWords) {
    if (name.find(w.word) != std::string::npos) return w.kind;
  }
  return std::nullopt;
}

std::optional<NumberPair> ParsePair(const std::string& text) {
  if (Trim(text).empty()) return NumberPair{};
  std::vector<std::string> parts = SplitCommas(text);
  if (parts.size() < 2) return std::nullopt;
  std::optional<int> a = Coordinate(parts[0]);
  std::optional<int> b = Coordinate(parts[1]);
  if (!a || !b) return std::nullopt;
  return NumberPair{*a, *b};
}

RECT ParseFixedRect(const std::string& text) {
  std::vector<std::string> parts = SplitCommas(text);
  int v[4] = {0, 0, 0, 0};
  for (size_t i = 0; i < 4 && i < parts.size(); ++i) v[i] = Coordinate(parts[i]).value_or(0);
  return RECT{v[0], v[1], v[2], v[3]};  // x, y, width, height
}

bool IsShown(const std::string& showValue) {
  std::string text = Trim(showValue);
  if (text.empty()) return true;
  return std::atoi(text.c_str()) != 0;
}

int ObjectCount(const std::string& text, bool* clipped) {
  *clipped = false;
  std::string t = Trim(text);
  if (t.empty()) return 0;
  errno = 0;
  char* end = nullptr;
  long value = std::strtol(t.c_str(), &end, 10);
  if (end == t.c_str() || value < 0) {
    *clipped = true;
    return 0;
  }
  if (errno == ERANGE || value > kMaxObjects) {
    *clipped = true;
    return kMaxObjects;
  }
  return static_cast<int>(value);
}

bool IsVersionToken(const std::string& text) { return _stricmp(text.c_str(), "$VERSION$") == 0; }

SIZE AutoSize(SIZE text, bool withBitmap, SIZE bitmap) {
  if (!withBitmap) return text;
  bool hasText = text.cx > 0 || text.cy > 0;
  if (!hasText) return bitmap;
  return SIZE{text.cx + bitmap.cx + 10, text.cy > bitmap.cy ? text.cy : bitmap.cy};
}

int CountLines(const std::string& text) {
  int lines = 1;
  for (size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at + 2)) ++lines;
  return lines;
}

LANGID LanguageIdOfEntry(const std::string& entry) {
  std::string id = Trim(entry.substr(0, entry.find('=')));
  if (id.size() > 2 && id[0] == '0' && (id[1] == 'X' || id[1] == 'x')) id = id.substr(2);
  return static_cast<LANGID>(std::strtoul(id.c_str(), nullptr, 16) & 0xFFFF);
}

}  // namespace ui
