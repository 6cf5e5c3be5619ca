#include "tests/support/trace_capture.h"

#include <windows.h>

#include "framework/trace.h"

namespace qx::test {

TraceCapture::TraceCapture() : path_(dir_.File("trace.txt")) {
  char old[MAX_PATH];
  DWORD n = GetEnvironmentVariableA(kTraceFileVariable, old, sizeof(old));
  hadPrevious_ = n > 0 && n < sizeof(old);
  if (hadPrevious_) previous_ = old;
  SetEnvironmentVariableA(kTraceFileVariable, path_.c_str());
}

TraceCapture::~TraceCapture() {
  SetEnvironmentVariableA(kTraceFileVariable, hadPrevious_ ? previous_.c_str() : nullptr);
}

std::string TraceCapture::Text() const { return TempDir::Read(path_); }

void TraceCapture::Clear() const { DeleteFileA(path_.c_str()); }

}  // namespace qx::test
