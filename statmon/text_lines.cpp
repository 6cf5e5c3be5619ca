#include "statmon/text_lines.h"

#include <cstdio>
#include <memory>

namespace sm {

std::string_view Trim(std::string_view text) {
  size_t first = 0;
  while (first < text.size() && IsWhite(text[first])) ++first;
  size_t last = text.size();
  while (last > first && IsWhite(text[last - 1])) --last;
  return text.substr(first, last - first);
}

bool ReadWholeFile(const std::string& path, std::string* bytes) {
  bytes->clear();
  std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
  if (!file) return false;
  char chunk[4096];
  size_t n;
  while ((n = std::fread(chunk, 1, sizeof(chunk), file.get())) > 0) bytes->append(chunk, n);
  // A read error ends the reading like the end of the file; what came before stands.
  return true;
}

}  // namespace sm
