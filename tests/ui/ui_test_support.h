#pragma once
// Helpers of the page tests: a medium the test writes (data file, configuration,
// English, Hebrew and German string files, the sample skin library as the
// resource library) with its environment made current, a stand-in control
// window that keeps the commands it receives, and rendering a page with its
// objects into a memory bitmap whose pixels a test reads.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "framework/frame_window.h"
#include "framework/handles.h"
#include "setup/core/predefined_variable.h"
#include "setup/engine/command_record.h"
#include "tests/core/core_test_support.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_identity.h"

namespace uitest {

enum class Library { kSkins, kMissing, kNotADll };

struct MediumFiles {
  std::string config;        // after [DLG_COMMON]'s own lines
  std::string common;        // lines of [DLG_COMMON]
  std::string messagesEn, messagesHb, messagesGr;  // MESSAGES lines
  std::string data;          // further data-file sections
  std::string programInfo;   // further PROGRAM_INFO lines
  Library library = Library::kSkins;
  LANGID language = 0x0409;
};

class PageMedium {
 public:
  explicit PageMedium(const MediumFiles& files);
  ~PageMedium();
  PageMedium(const PageMedium&) = delete;
  PageMedium& operator=(const PageMedium&) = delete;

  bool ok() const { return ok_; }
  CPredefinedVariable& Env() { return env_; }
  const qx::test::TempDir& Dir() const { return dir_; }
  std::string SrcDir() const { return dir_.Path() + "\\medium"; }
  std::string InstallKey() const { return id_.InstallKey(); }
  HMODULE LibraryModule() const { return library_.Get(); }
  std::string Log();
  int CountInLog(const std::string& text);

 private:
  qx::test::TempDir dir_;
  qx::test::TestIdentity id_;
  CUtl log_;
  coretest::ScopedVersion version_{VER_PLATFORM_WIN32_NT, 5, 0};
  coretest::ScopedSystemLanguage language_;
  CPredefinedVariable env_;
  fw::UniqueModule library_;
  CPredefinedVariable* previousEnv_ = nullptr;
  HMODULE previousLibrary_ = nullptr;
  bool ok_ = false;
};

// A hidden window in place of the installer's control window: it keeps a copy
// of every command record (2035) and counts the close requests (2039).
class CommandSink : public fw::FrameWindow {
 public:
  CommandSink();
  std::vector<CommandRecord> commands;
  std::vector<const CommandRecord*> received;  // as handed over, to read later
  int closes = 0;

 protected:
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
};

// A 32-bit picture of a window: the page through WM_PRINTCLIENT, then each
// visible child at its place.
class Picture {
 public:
  explicit Picture(HWND window);
  COLORREF At(int x, int y) const;
  int Width() const { return width_; }
  int Height() const { return height_; }
  // Counts the pixels of a colour inside a rectangle.
  int Count(const RECT& area, COLORREF colour) const;
  bool SaveBmp(const std::string& path) const;

 private:
  int width_ = 0, height_ = 0;
  std::vector<DWORD> pixels_;  // top-down, 0x00RRGGBB
};

// A pixel of a skin bitmap as the pages load it (resource library first):
// tests compare what they render with the skin, whatever it looks like.
COLORREF SkinPixel(const char* bitmap, int x, int y);

// A child's rectangle in its parent's client coordinates.
RECT ChildRect(HWND child);
bool PumpUntil(const std::function<bool()>& condition, DWORD deadlineMs = 10000);
void PumpPending();
// The process's GDI and USER object counts. Where the system does not count
// them (Wine), the GDI objects of the process's handle table and the windows
// of this thread.
DWORD GdiObjects();
DWORD UserObjects();

}  // namespace uitest
