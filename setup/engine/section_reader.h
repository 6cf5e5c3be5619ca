#pragma once
// Whole-section reads through a script reader. Sections are read into a buffer
// that starts at the documented 4096 bytes and grows while the reader answers
// "too small", so a long section is read whole instead of failing.
#include <string>
#include <vector>

class CProfile;

namespace engine {

inline constexpr unsigned long kSectionBufferStart = 4096;
inline constexpr unsigned long kSectionBufferLimit = 4ul * 1024 * 1024;

// Every line of the section (key lines whole, list lines too), in file order.
// Returns the reader's result: 0 on success, 2 for a missing section, 87 for
// an empty name, 14 when even the largest buffer is too small.
unsigned long ReadSectionLines(CProfile& reader, const char* section, std::vector<std::string>* lines);

}  // namespace engine
