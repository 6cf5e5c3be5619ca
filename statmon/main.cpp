// statmon.exe: the printer status monitor. Everything lives in statmon_core;
// this is the entry point alone.
#include <windows.h>

#include "framework/library_loading.h"
#include "statmon/app.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  fw::HardenLibrarySearch();
  CMFPSMApp app;
  return app.Run();
}
