// Loads the library named on its command line the plain way (LoadLibraryA,
// the normal search). Tests run it beside planted libraries to show that a
// plain load would take them. Exit code 0 when the library loaded.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR arguments, int) {
  return arguments && *arguments && LoadLibraryA(arguments) ? 0 : 1;
}
