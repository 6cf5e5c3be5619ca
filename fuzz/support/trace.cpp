// The trace sink of the fuzz build: every trace is formatted (so a bad format
// argument shows under the sanitizers) and dropped.
#include "framework/trace.h"

#include <cstdio>

namespace qx {

void TraceV(const char* format, va_list args) {
  char text[1024];
  std::vsnprintf(text, sizeof(text), format, args);
}

void Trace(const char* format, ...) {
  va_list args;
  va_start(args, format);
  TraceV(format, args);
  va_end(args);
}

void TraceText(const char* text) {
  char copy[1024];
  std::snprintf(copy, sizeof(copy), "%s", text);
}

}  // namespace qx
