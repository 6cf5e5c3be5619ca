// Stand-in for a program the installer starts: appends its process id and its
// whole command line to the file named by QX_ENGINE_HELPER_OUT and exits with code 1 (the
// default success code of an install item).
#include <windows.h>

#include <cstring>

int main() {
  char path[MAX_PATH] = {};
  if (GetEnvironmentVariableA("QX_ENGINE_HELPER_OUT", path, MAX_PATH) == 0) return 1;
  HANDLE file = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 1;
  const char* line = GetCommandLineA();
  DWORD written = 0;
  char pid[32];
  wsprintfA(pid, "[pid %lu] ", GetCurrentProcessId());
  WriteFile(file, pid, static_cast<DWORD>(std::strlen(pid)), &written, nullptr);
  WriteFile(file, line, static_cast<DWORD>(std::strlen(line)), &written, nullptr);
  WriteFile(file, "\r\n", 2, &written, nullptr);
  CloseHandle(file);
  return 1;
}
