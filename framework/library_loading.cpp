#include "framework/library_loading.h"

#include "framework/trace.h"

namespace fw {
namespace {

// Not in every SDK's headers; the values are those of the system.
constexpr DWORD kSearchDllLoadDir = 0x00000100;  // LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR
constexpr DWORD kSearchSystem32 = 0x00000800;    // LOAD_LIBRARY_SEARCH_SYSTEM32

FARPROC KernelFunction(const char* name) {
  HMODULE kernel = GetModuleHandleA("kernel32.dll");  // always mapped: no search happens
  return kernel ? GetProcAddress(kernel, name) : nullptr;
}

// The search flags of LoadLibraryEx came with the same update as
// AddDllDirectory; a system without that export rejects them.
bool SearchFlagsSupported() {
  static const bool supported = KernelFunction("AddDllDirectory") != nullptr;
  return supported;
}

HMODULE Refuse() {
  SetLastError(ERROR_INVALID_PARAMETER);
  return nullptr;
}

}  // namespace

bool IsFullPath(const std::string& path) {
  if (path.size() >= 3 && path[1] == ':' && (path[2] == '\\' || path[2] == '/')) {
    char drive = path[0];
    return (drive >= 'A' && drive <= 'Z') || (drive >= 'a' && drive <= 'z');
  }
  // A UNC or device path; "\\" alone names nothing.
  return path.size() > 2 && (path[0] == '\\' || path[0] == '/') && (path[1] == '\\' || path[1] == '/');
}

bool IsBareName(const std::string& name) {
  return !name.empty() && name.find_first_of("\\/:") == std::string::npos && name != "." && name != "..";
}

std::string SystemLibraryPath(const std::string& systemFolder, const std::string& name) {
  if (systemFolder.empty() || !IsBareName(name)) return std::string();
  std::string path = systemFolder;
  if (path.back() != '\\') path += '\\';
  return path + name;
}

SearchHardening HardenLibrarySearch() {
  using SetDefaultDirsFn = BOOL(WINAPI*)(DWORD);
  using SetDllDirectoryFn = BOOL(WINAPI*)(LPCSTR);
  // Libraries that the system's own libraries load by bare name on first use
  // of a drawing function, seen to be searched beside the program even after
  // the default directories are set (Wine): loaded once from the system
  // folder now, so that a later load by name finds them loaded. Kept for the
  // life of the process.
  for (const char* name : {"msimg32.dll"}) LoadSystemLibrary(name);
  if (auto setDefault = reinterpret_cast<SetDefaultDirsFn>(
          reinterpret_cast<void*>(KernelFunction("SetDefaultDllDirectories")))) {
    // Neither the program's folder nor the current folder nor PATH: the
    // programs load nothing by bare name from anywhere but the system.
    if (setDefault(kSearchSystem32)) return SearchHardening::kDefaultDirectories;
    qx::Trace("[fw] SetDefaultDllDirectories failed (%lu)", GetLastError());
  }
  if (auto setDirectory =
          reinterpret_cast<SetDllDirectoryFn>(reinterpret_cast<void*>(KernelFunction("SetDllDirectoryA")))) {
    if (setDirectory("")) return SearchHardening::kNoCurrentFolder;
  }
  return SearchHardening::kNone;
}

HMODULE LoadSystemLibrary(const char* name) {
  if (!name || !IsBareName(name)) return Refuse();
  if (SearchFlagsSupported()) {
    if (HMODULE module = LoadLibraryExA(name, nullptr, kSearchSystem32)) return module;
    if (GetLastError() != ERROR_INVALID_PARAMETER) return nullptr;
  }
  // Older systems: the full path in the system folder; the altered search
  // makes the library's own dependencies come from that folder first.
  char folder[MAX_PATH] = {};
  UINT length = GetSystemDirectoryA(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return nullptr;
  std::string path = SystemLibraryPath(folder, name);
  return LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

HMODULE LoadLibraryAtPath(const char* path) {
  if (!path || !IsFullPath(path)) return Refuse();
  if (SearchFlagsSupported()) {
    if (HMODULE module = LoadLibraryExA(path, nullptr, kSearchDllLoadDir | kSearchSystem32)) return module;
    if (GetLastError() != ERROR_INVALID_PARAMETER) return nullptr;
  }
  return LoadLibraryExA(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

}  // namespace fw
