#pragma once
// The one sink for diagnostic traces: texts the released programs never show
// or log. Every trace goes to OutputDebugStringA and, when the environment
// variable QX_TRACE_FILE names a file, is appended to that file too (tests read
// it back). The variable is read on every call so a test can switch it.
#include <cstdarg>

namespace qx {

inline constexpr const char* kTraceFileVariable = "QX_TRACE_FILE";

void Trace(const char* format, ...) __attribute__((format(printf, 1, 2)));
void TraceV(const char* format, va_list args);
void TraceText(const char* text);

}  // namespace qx
