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

// Truncated, not deleted: a deleted file that a running program is still appending to stays
// "delete pending" for a moment, and a line another program writes in that moment is lost.
void TraceCapture::Clear() const {
  HANDLE file = CreateFileA(path_.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, TRUNCATE_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
}

}  // namespace qx::test
