#include "framework/trace.h"

#include <windows.h>

#include <cstdio>
#include <string>

namespace qx {

void TraceText(const char* text) {
  if (!text) return;
  OutputDebugStringA(text);
  char path[MAX_PATH];
  DWORD n = GetEnvironmentVariableA(kTraceFileVariable, path, sizeof(path));
  if (n == 0 || n >= sizeof(path)) return;
  // Opened per line in append mode: several threads and processes may share the
  // file, and a crash never loses what was traced before it.
  HANDLE file = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  std::string line(text);
  if (line.empty() || line.back() != '\n') line += '\n';
  DWORD written = 0;
  WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
  CloseHandle(file);
}

void TraceV(const char* format, va_list args) {
  if (!format) return;
  char buffer[4096];
  int n = vsnprintf(buffer, sizeof(buffer), format, args);
  if (n < 0) return;
  TraceText(buffer);
}

void Trace(const char* format, ...) {
  va_list args;
  va_start(args, format);
  TraceV(format, args);
  va_end(args);
}

}  // namespace qx
