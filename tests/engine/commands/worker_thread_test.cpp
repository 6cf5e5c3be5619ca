#include "setup/engine/worker_thread.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

struct StackProbe {
  SIZE_T reserved = 0;
  bool grew = false;
};

// Uses 256 KB of stack in 4 KB buffers, as a companion library's nested calls may.
__attribute__((noinline)) int Nest(int depth) {
  volatile char buffer[4096];
  std::memset(const_cast<char*>(buffer), depth, sizeof(buffer));
  return depth == 0 ? buffer[0] : Nest(depth - 1) + buffer[100];
}

DWORD WINAPI Probe(void* block) {
  auto* probe = static_cast<StackProbe*>(block);
  MEMORY_BASIC_INFORMATION info{};
  VirtualQuery(&info, &info, sizeof(info));
  auto* tib = reinterpret_cast<NT_TIB*>(NtCurrentTeb());
  probe->reserved = static_cast<SIZE_T>(static_cast<BYTE*>(tib->StackBase) - static_cast<BYTE*>(info.AllocationBase));
  if (probe->reserved >= 512 * 1024) probe->grew = Nest(64) >= 0;
  return 0;
}

TEST(WorkerThread, StartsSuspendedWithRoomBeyondItsSixteenKilobytes) {
  StackProbe probe;
  DWORD id = 0;
  HANDLE thread = engine::CreateSuspendedWorker(&Probe, &probe, &id);
  ASSERT_NE(thread, nullptr);
  EXPECT_NE(id, 0u);
  EXPECT_EQ(WaitForSingleObject(thread, 0), static_cast<DWORD>(WAIT_TIMEOUT)) << "the worker did not wait to be resumed";
  EXPECT_EQ(ResumeThread(thread), 1u);
  ASSERT_EQ(WaitForSingleObject(thread, 60000), WAIT_OBJECT_0);
  DWORD code = 1;
  GetExitCodeThread(thread, &code);
  CloseHandle(thread);
  EXPECT_EQ(code, 0u);
  // A 16 KB reservation (rounded to 64 KB) would leave companion code no room.
  // Wine 8 gives every thread at least 1 MB, so there only the flags show it.
  EXPECT_EQ(engine::kWorkerCreationFlags & STACK_SIZE_PARAM_IS_A_RESERVATION, 0u);
  EXPECT_GE(probe.reserved, static_cast<SIZE_T>(512 * 1024));
  EXPECT_TRUE(probe.grew);
}

}  // namespace
