#include "statmon/pipe_reader.h"

#include <windows.h>

#include <memory>

#include "framework/handles.h"

namespace sm {

bool ReadJobFromPipe(const std::string& pipeName, JobInfo* job, unsigned long waitMs) {
  if (pipeName.empty()) return false;
  // Overlapped, so that a server that connects and never writes cannot freeze
  // the monitor's only thread: the read gives up after `waitMs`.
  fw::UniqueFile pipe(CreateFileA(pipeName.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_OVERLAPPED, nullptr));
  if (!pipe) return false;
  fw::UniqueHandle event(CreateEventA(nullptr, TRUE, FALSE, nullptr));
  if (!event) return false;
  auto record = std::make_unique<char[]>(kJobRecordSize);  // cleared
  OVERLAPPED overlapped{};
  overlapped.hEvent = event.Get();
  DWORD got = 0;
  if (!ReadFile(pipe.Get(), record.get(), kJobRecordSize, &got, &overlapped)) {
    DWORD error = GetLastError();
    if (error == ERROR_IO_PENDING) {
      if (WaitForSingleObject(event.Get(), waitMs) != WAIT_OBJECT_0) {
        CancelIo(pipe.Get());
        GetOverlappedResult(pipe.Get(), &overlapped, &got, TRUE);
        return false;
      }
      if (!GetOverlappedResult(pipe.Get(), &overlapped, &got, FALSE) && GetLastError() != ERROR_MORE_DATA) return false;
    } else if (error != ERROR_MORE_DATA) {
      return false;
    } else {
      GetOverlappedResult(pipe.Get(), &overlapped, &got, TRUE);
    }
  }
  if (got == 0) return false;
  // A short record is taken as far as it goes: the rest of the buffer is zero.
  DecodeJobRecord(record.get(), kJobRecordSize, job);
  return true;
}

}  // namespace sm
