// setup.exe: one installer run per process; the exit code is always 1.
#include <windows.h>

#include "framework/library_loading.h"
#include "framework/message_box.h"
#include "setup/core/qxinst_app.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  fw::HardenLibrarySearch();
  try {
    fw::AnswerMessageBoxesFromEnvironment();
    CQXInstApp app;
    return app.Run();
  } catch (...) {
    return 1;  // an exception from the application object's construction
  }
}
