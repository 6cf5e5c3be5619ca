// Benchmark of the install history: replaying a history of many files and
// keys. Modes (run by run.sh, which also times the plain removal with rm -rf
// and reg delete for comparison):
//   history_bench prepare <tree> <files> <keys> [history]
//       makes <files> files in folders of 100 under <tree> and <keys> keys
//       under HKLM\Software\QxBench\Keys; with "history" also records all of
//       them in the install history of the product QxBench/History.
//   history_bench replay
//       replays that history and prints the time it took.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "setup/core/core_context.h"
#include "setup/core/predefined_variable.h"
#include "setup/core/utl.h"
#include "setup/engine/history_manager.h"

namespace {
constexpr const char* kKeyRoot = "Software\\QxBench\\Keys";

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

int Prepare(const std::string& tree, int files, int keys, bool record, CHistoryManager& history) {
  if (!CUtl::CreateDirectoryTree(tree.c_str(), false)) {
    std::fprintf(stderr, "cannot create %s\n", tree.c_str());
    return 1;
  }
  // Parents are recorded before their children, as the directory creator does.
  if (record) history.AddEntry(tree.c_str(), core::kHistoryDir);
  std::string folder;
  for (int i = 0; i < files; ++i) {
    if (i % 100 == 0) {
      folder = tree + "\\d" + std::to_string(i / 100);
      CreateDirectoryA(folder.c_str(), nullptr);
      if (record) history.AddEntry(folder.c_str(), core::kHistoryDir);
    }
    std::string path = folder + "\\f" + std::to_string(i) + ".txt";
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
      std::fprintf(stderr, "cannot create %s\n", path.c_str());
      return 1;
    }
    DWORD written = 0;
    WriteFile(file, path.data(), static_cast<DWORD>(path.size()), &written, nullptr);
    CloseHandle(file);
    if (record) history.AddEntry(path.c_str(), core::kHistoryFile);
  }
  for (int i = 0; i < keys; ++i) {
    std::string key = std::string(kKeyRoot) + "\\K" + std::to_string(i);
    HKEY handle = nullptr;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &handle, nullptr) !=
        ERROR_SUCCESS) {
      std::fprintf(stderr, "cannot create key %s\n", key.c_str());
      return 1;
    }
    DWORD value = static_cast<DWORD>(i);
    RegSetValueExA(handle, "N", 0, REG_DWORD, reinterpret_cast<BYTE*>(&value), sizeof(value));
    RegCloseKey(handle);
    if (record) history.AddEntry(("HKEY_LOCAL_MACHINE\\" + key).c_str(), core::kHistoryKey);
  }
  return 0;
}
}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: history_bench prepare <tree> <files> <keys> [history] | replay\n");
    return 2;
  }
  CPredefinedVariable env;
  env.SetProductIdentity("QxBench", "History");
  core::SetCurrentEnvironment(&env);
  CHistoryManager history;
  core::SetHistoryRecorder(&history);
  std::string mode = argv[1];
  int result = 2;
  if (mode == "prepare" && argc >= 5) {
    bool record = argc >= 6 && std::string(argv[5]) == "history";
    result = Prepare(argv[2], std::atoi(argv[3]), std::atoi(argv[4]), record, history);
  } else if (mode == "replay") {
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    history.Replay(env.GetUninstallKey().c_str());
    QueryPerformanceCounter(&end);
    bool keysLeft = false;
    HKEY handle = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kKeyRoot, 0, KEY_READ, &handle) == ERROR_SUCCESS) {
      DWORD subkeys = 0;
      RegQueryInfoKeyA(handle, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, nullptr, nullptr, nullptr,
                       nullptr, nullptr);
      keysLeft = subkeys != 0;
      RegCloseKey(handle);
    }
    std::printf("replay_seconds=%.3f keys_left=%d\n", Seconds(start, end), keysLeft ? 1 : 0);
    // The benchmark's own parent keys are not in the history.
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, kKeyRoot);
    CUtl::DeleteRegKey("Software\\QxBench", true, false);
    result = keysLeft ? 1 : 0;
  }
  core::SetHistoryRecorder(nullptr);
  core::SetCurrentEnvironment(nullptr);
  return result;
}
