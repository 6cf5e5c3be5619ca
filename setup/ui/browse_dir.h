#pragma once
// CBrowseDir: the destination folder chooser. The system's folder browser
// with a field above the tree where a path can be typed; OK takes the typed
// path, offers to create it when it does not exist, and closes the browser
// only for a folder that exists. Title and question come from the scripts.
#include <windows.h>

#include <string>

#include "setup/core/utl.h"

namespace ui {

// The browser's decisions, apart from its windows.
// A selected tree item with a file-system path is usable when it is a drive path.
bool IsDrivePath(const char* path);

class CBrowseDir {
 public:
  static constexpr size_t kPathChars = 260;

  CBrowseDir();
  // Reads the title and the folder-not-found question from the section of the
  // configuration file, and starts from the environment's destination.
  bool SetUp(const char* section);
  // 1 when the user confirmed a folder that exists (Path() has it), else -1.
  int Run(HWND owner);

  const std::string& Path() const { return path_; }
  const std::string& Title() const { return title_; }
  const std::string& NotFoundMessage() const { return notFound_; }
  // Tests start elsewhere than the environment's destination.
  void SetPath(const std::string& path) { path_ = path.substr(0, kPathChars - 1); }

 private:
  static int CALLBACK BrowseCallback(HWND window, UINT message, LPARAM lParam, LPARAM data);
  static LRESULT CALLBACK BrowserProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void OnInitialised(HWND browser);
  void OnSelectionChanged(HWND browser, LPARAM itemList);
  // OK in the browser: true when the typed folder is accepted.
  bool Confirm(HWND browser);
  std::string ReadMessage(const char* section, const char* key, const char* missingKeyLine,
                          const char* missingTextLine);

  CUtl log_;
  std::string path_;
  std::string title_;
  std::string notFound_;
  bool confirmed_ = false;
  HWND edit_ = nullptr;
  WNDPROC browserProc_ = nullptr;
};

}  // namespace ui
