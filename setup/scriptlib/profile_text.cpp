#include "setup/scriptlib/profile_text.h"

#include <algorithm>
#include <cstring>

namespace scriptlib {
namespace {

unsigned char Fold(char c) {
  unsigned char u = static_cast<unsigned char>(c);
  return u >= 'A' && u <= 'Z' ? static_cast<unsigned char>(u + ('a' - 'A')) : u;
}

int FoldCompare(std::string_view a, std::string_view b) {
  size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    unsigned char x = Fold(a[i]), y = Fold(b[i]);
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

std::string_view TrimEnd(std::string_view text) {
  while (!text.empty() && ProfileText::IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

std::string_view TrimStart(std::string_view text) {
  while (!text.empty() && ProfileText::IsBlank(text.front())) text.remove_prefix(1);
  return text;
}

// A name or value is read as a C string: a NUL in it ends it.
std::string_view UpToNul(std::string_view text) { return text.substr(0, text.find('\0')); }

}  // namespace

bool ProfileText::IsBlank(char c) {
  unsigned char u = static_cast<unsigned char>(c);
  return (u >= 0x09 && u <= 0x0D) || u == 0x1A || u == 0x20;
}

std::string_view ProfileText::Trim(std::string_view text) { return TrimEnd(TrimStart(text)); }

bool ProfileText::IsPlainText(std::string_view bytes) {
  auto starts = [&](const char* mark, size_t n) { return bytes.size() >= n && std::memcmp(bytes.data(), mark, n) == 0; };
  return !starts("\xEF\xBB\xBF", 3) && !starts("\xFF\xFE", 2) && !starts("\xFE\xFF", 2);
}

ProfileText::ProfileText(std::string bytes) : text_(std::move(bytes)) {
  Parse();
  BuildIndex();
}

void ProfileText::Parse() {
  // Lines before the first header belong to a section without a name.
  sections_.push_back(Section{std::string_view(), 0, 0, 0});
  std::string_view rest(text_);
  bool previousNamed = true;  // whether the section's previous key has a name; none counts as named
  while (!rest.empty()) {
    size_t end = rest.find_first_of("\r\n");
    std::string_view line = rest.substr(0, end);
    rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
    line = Trim(line);
    if (line.empty()) continue;
    if (line.front() == '[') {
      size_t close = line.rfind(']');
      if (close != std::string_view::npos && close > 0) {
        sections_.push_back(
            Section{UpToNul(Trim(line.substr(1, close - 1))), static_cast<uint32_t>(keys_.size()), 0, 0});
        previousNamed = true;
        continue;
      }
    }
    std::string_view name = line;
    Key key{line, std::string_view(), false};
    size_t equals = line.find('=');
    if (equals != std::string_view::npos) {
      name = TrimEnd(line.substr(0, equals));
      key.value = UpToNul(TrimStart(line.substr(equals + 1)));
      key.hasValue = true;
    }
    key.name = UpToNul(name);
    // After a key without a name ("=value", or one that starts with a NUL),
    // another "=value" line is dropped.
    if (name.empty() && !previousNamed) continue;
    previousNamed = !key.name.empty();
    keys_.push_back(key);
    ++sections_.back().keyCount;
  }
}

void ProfileText::BuildIndex() {
  sectionOrder_.resize(sections_.size());
  for (uint32_t i = 0; i < sectionOrder_.size(); ++i) sectionOrder_[i] = i;
  std::sort(sectionOrder_.begin(), sectionOrder_.end(), [this](uint32_t a, uint32_t b) {
    int c = FoldCompare(sections_[a].name, sections_[b].name);
    return c != 0 ? c < 0 : a < b;
  });
  keyOrder_.resize(keys_.size());
  for (Section& section : sections_) {
    section.firstOrder = section.firstKey;
    auto begin = keyOrder_.begin() + section.firstKey;
    auto end = begin + section.keyCount;
    for (uint32_t i = 0; i < section.keyCount; ++i) begin[i] = section.firstKey + i;
    std::sort(begin, end, [this](uint32_t a, uint32_t b) {
      int c = FoldCompare(keys_[a].name, keys_[b].name);
      return c != 0 ? c < 0 : a < b;
    });
  }
}

bool ProfileText::Find(std::string_view section, std::string_view key, std::string_view* value) const {
  auto s = std::lower_bound(sectionOrder_.begin(), sectionOrder_.end(), section, [this](uint32_t i, std::string_view name) {
    return FoldCompare(sections_[i].name, name) < 0;
  });
  if (s == sectionOrder_.end() || FoldCompare(sections_[*s].name, section) != 0) return false;
  const Section& found = sections_[*s];
  auto begin = keyOrder_.begin() + found.firstOrder;
  auto end = begin + found.keyCount;
  auto k = std::lower_bound(begin, end, key, [this](uint32_t i, std::string_view name) {
    return FoldCompare(keys_[i].name, name) < 0;
  });
  if (k == end || FoldCompare(keys_[*k].name, key) != 0 || !keys_[*k].hasValue) return false;
  if (value) *value = keys_[*k].value;
  return true;
}

unsigned long ProfileText::CopyEntry(std::string_view text, char* buffer, unsigned long size) {
  if (!buffer || size == 0) return 0;
  bool quoted = text.size() >= 2 && (text.front() == '"' || text.front() == '\'') && text.back() == text.front();
  if (quoted) text.remove_prefix(1);
  size_t n = std::min<size_t>(text.size(), size - 1);
  std::memcpy(buffer, text.data(), n);
  if (quoted && size >= text.size() && n > 0) --n;
  buffer[n] = '\0';
  return static_cast<unsigned long>(n);
}

unsigned long ProfileText::GetString(const char* section, const char* key, const char* fallback, char* buffer,
                                     unsigned long size) const {
  if (!buffer || size == 0) return 0;
  if (!section || !key) {
    buffer[0] = '\0';
    return 0;
  }
  std::string_view value;
  if (Find(Trim(section), Trim(key), &value)) return CopyEntry(value, buffer, size);
  // The default loses its trailing spaces (spaces only), but never its first byte.
  std::string_view text(fallback ? fallback : "");
  while (text.size() > 1 && text.back() == ' ') text.remove_suffix(1);
  return CopyEntry(text, buffer, size);
}

size_t ProfileText::MemoryBytes() const {
  return sizeof(*this) + text_.capacity() + sections_.capacity() * sizeof(Section) + keys_.capacity() * sizeof(Key) +
         (sectionOrder_.capacity() + keyOrder_.capacity()) * sizeof(uint32_t);
}

}  // namespace scriptlib
