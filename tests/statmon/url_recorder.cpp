// smurlrecord.exe: stands in for the web browser in the order link test. It
// writes its whole command line to the file its first argument names.
#include <windows.h>

#include <string>

int main() {
  std::string line = GetCommandLineA();
  // The first argument: a quoted path after the (quoted) program path.
  size_t open = line.find('"', line.find('"', 1) + 1);
  size_t close = open == std::string::npos ? open : line.find('"', open + 1);
  if (close == std::string::npos) return 2;
  std::string file = line.substr(open + 1, close - open - 1);
  HANDLE out = CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (out == INVALID_HANDLE_VALUE) return 3;
  DWORD written = 0;
  WriteFile(out, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
  CloseHandle(out);
  return 0;
}
