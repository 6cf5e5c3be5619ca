// A process that only waits: the installer's clear run waits for it to end.
// It ends by itself after the given number of milliseconds (at most two minutes).
#include <windows.h>

#include <cstdlib>

int main(int argc, char** argv) {
  long ms = argc > 1 ? std::atol(argv[1]) : 60000;
  if (ms < 0 || ms > 120000) ms = 120000;
  Sleep(static_cast<DWORD>(ms));
  return 0;
}
