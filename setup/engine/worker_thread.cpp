#include "setup/engine/worker_thread.h"

namespace engine {

HANDLE CreateSuspendedWorker(LPTHREAD_START_ROUTINE routine, void* block, DWORD* id) {
  DWORD ignored = 0;
  return CreateThread(nullptr, kWorkerStackCommit, routine, block, kWorkerCreationFlags, id ? id : &ignored);
}

}  // namespace engine
