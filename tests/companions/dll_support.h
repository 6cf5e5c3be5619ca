#pragma once
// Helpers for the tests that use the companion DLLs as the installer does:
// loaded by file name, answered from a world file the test writes, reporting
// to a real window while the call runs on a 16 KB worker thread.
#include <windows.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/temp_dir.h"

namespace qx::test {

// Folder of the test program (the DLLs and the item helper are copied there).
std::string ExeDir();

class Dll {
 public:
  explicit Dll(const char* fileName) : module_(LoadLibraryA(fileName)) {}
  ~Dll() {
    if (module_) FreeLibrary(module_);
  }
  Dll(const Dll&) = delete;
  Dll& operator=(const Dll&) = delete;
  bool Loaded() const { return module_ != nullptr; }
  template <typename F>
  F Fn(const char* name) const {
    return module_ ? reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module_, name))) : nullptr;
  }

 private:
  HMODULE module_;
};

// A world file of the test, named by QX_WORLD_FILE while the object lives.
class WorldFile {
 public:
  explicit WorldFile(const std::string& text);
  ~WorldFile();
  WorldFile(const WorldFile&) = delete;
  WorldFile& operator=(const WorldFile&) = delete;
  void Rewrite(const std::string& text) const;
  std::string Text() const { return TempDir::Read(path_); }
  const std::string& Path() const { return path_; }

 private:
  TempDir dir_;
  std::string path_;
};

// Points QX_WORLD_FILE at a file that does not exist: a machine without hardware.
class NoWorld {
 public:
  NoWorld();
  ~NoWorld();
  NoWorld(const NoWorld&) = delete;
  NoWorld& operator=(const NoWorld&) = delete;

 private:
  TempDir dir_;
};

// A top-level window that records every message 2037 in arrival order.
class ReportWindow {
 public:
  ReportWindow();
  ~ReportWindow();
  ReportWindow(const ReportWindow&) = delete;
  ReportWindow& operator=(const ReportWindow&) = delete;
  HWND Handle() const { return hwnd_; }
  const std::vector<std::pair<unsigned, std::string>>& Reports() const { return reports_; }
  // "2:A 1:A 6:" - state and item name of each report.
  std::string Sequence() const;

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  HWND hwnd_ = nullptr;
  std::vector<std::pair<unsigned, std::string>> reports_;
};

// Runs the call on a new thread with a 16 KB stack, as the installer's
// workers do, and pumps this thread's messages until it ends.
BOOL RunOnWorker(const std::function<BOOL()>& call);

void SetString(HKEY hive, const std::string& key, const char* name, const std::string& value);
void SetDword(HKEY hive, const std::string& key, const char* name, DWORD value);
// Empty when absent.
std::string GetString(HKEY hive, const std::string& key, const char* name);
// fallback when absent.
DWORD GetDword(HKEY hive, const std::string& key, const char* name, DWORD fallback);

}  // namespace qx::test
