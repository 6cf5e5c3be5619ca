#pragma once
// Worker threads of the interpreter: created suspended with a 16 KB stack,
// then resumed by the caller.
#include <windows.h>

namespace engine {

inline constexpr SIZE_T kWorkerStackCommit = 16 * 1024;
inline constexpr DWORD kWorkerCreationFlags = CREATE_SUSPENDED;

// The 16 KB are the stack the thread starts with (its commit), as the classic
// framework passes them; the reservation stays the program's default, so
// companion code with a few 4 KB buffers on its stack has room to grow.
// (STACK_SIZE_PARAM_IS_A_RESERVATION would make 16 KB, rounded to 64 KB, the
// whole stack.) Null on failure, with the system's error left.
HANDLE CreateSuspendedWorker(LPTHREAD_START_ROUTINE routine, void* block, DWORD* id);

}  // namespace engine
