#pragma once
// Text helpers for the companion libraries. Callers across the DLL boundary
// may hand us null, unterminated or huge texts: every read here is bounded.
#include <cstddef>
#include <string>
#include <vector>

namespace qx::world {

// The caller's text, read up to limit bytes; null gives "".
std::string Bounded(const char* text, size_t limit);
// Copies text into a buffer of size bytes, always NUL-terminated, cut if needed.
// False when the buffer is null/empty or the text had to be cut.
bool CopyOut(char* buffer, size_t size, const std::string& text);

std::string Trim(const std::string& text);
std::string Upper(const std::string& text);
bool EqualsNoCase(const std::string& a, const std::string& b);
bool ContainsNoCase(const std::string& text, const std::string& part);
// Splits at any of the separators, trims each part and drops empty parts.
std::vector<std::string> SplitList(const std::string& text, const char* separators = ",;");
// The parts between separators, as reading with getline would give them: a
// separator at the very end adds no empty last part. Lines keep a "\r".
std::vector<std::string> SplitAt(const std::string& text, char separator = '\n');
// What a log may show of a secret: whether one was given, never its text.
const char* MaskSecret(const std::string& secret);

}  // namespace qx::world

namespace qx::world {

// A command line fit for a log: the value of any option whose name mentions a
// password or secret ("/password=x", "-pwd:x", "PASSWORD x") is replaced by
// "********"; everything else stays.
std::string MaskCommandLine(const std::string& line);

}  // namespace qx::world
