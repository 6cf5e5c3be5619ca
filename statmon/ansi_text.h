#pragma once
// Texts between the system's ANSI code page and UTF-16, for the job records
// of NT systems. The only system call the record decoding needs; the decoding
// itself is plain code.
#include <string>

namespace sm {

std::string WideToAnsi(const std::u16string& wide);
std::u16string AnsiToWide(const std::string& text);

}  // namespace sm
