#include "companions/world/companion_log.h"

#include <cstdarg>
#include <cstdio>

#include "framework/trace.h"

namespace qx::world {

void Log(const char* library, const char* format, ...) {
  // Heap-free but small: 2 KB is safe on the 16 KB worker stacks.
  char line[2048];
  int used = std::snprintf(line, sizeof(line), "[%s] ", library ? library : "companion");
  if (used < 0 || used >= static_cast<int>(sizeof(line))) used = 0;
  va_list args;
  va_start(args, format);
  std::vsnprintf(line + used, sizeof(line) - used, format, args);
  va_end(args);
  qx::TraceText(line);
}

}  // namespace qx::world
