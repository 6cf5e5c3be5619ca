#include "setup/engine/section_reader.h"

#include <cstring>

#include "setup/scriptlib/profile.h"

namespace engine {

unsigned long ReadSectionLines(CProfile& reader, const char* section, std::vector<std::string>* lines) {
  lines->clear();
  if (!section || !*section) return 87;
  for (unsigned long size = kSectionBufferStart;; size *= 2) {
    std::vector<char> buffer(size, '\0');
    unsigned long result = reader.GetAllKey(section, buffer.data(), size, false);
    if (result == 14 && size < kSectionBufferLimit) continue;
    if (result != 0) return result;
    for (const char* entry = buffer.data(); *entry && entry < buffer.data() + size; entry += std::strlen(entry) + 1) {
      lines->emplace_back(entry);
    }
    return 0;
  }
}

}  // namespace engine
