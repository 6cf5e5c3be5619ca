// smdevmon.dll: our device-monitor library. It answers the monitor's vendor
// requests from the simulated world (world.h): the file named by QX_WORLD_FILE,
// else world.ini beside this library; without one, no printer is attached.
// Every entry point is __cdecl, catches everything, and traces what it did.
#include <windows.h>

#include <cstring>
#include <string>

#include "companions/devmon/world.h"
#include "framework/trace.h"

namespace {

constexpr unsigned long kVendorGetCommand = 0x22003C;

HMODULE g_module = nullptr;
// The device opened by DeviceOpen (empty: none) and whether the port is held.
// The monitor is single-threaded; so are these.
std::string g_openPrinter;
bool g_portHeld = false;

std::string WorldPath() {
  char path[MAX_PATH];
  DWORD n = GetEnvironmentVariableA("QX_WORLD_FILE", path, sizeof(path));
  if (n > 0 && n < sizeof(path)) return path;
  n = GetModuleFileNameA(g_module, path, sizeof(path));
  if (n == 0 || n >= sizeof(path)) return std::string();
  std::string p(path, n);
  size_t slash = p.find_last_of("\\/");
  return (slash == std::string::npos ? std::string() : p.substr(0, slash + 1)) + "world.ini";
}

devmon::World LoadWorld() {
  std::string path = WorldPath();
  HANDLE file = path.empty() ? INVALID_HANDLE_VALUE
                             : CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                           nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return {};
  std::string bytes;
  char chunk[4096];
  DWORD got = 0;
  while (ReadFile(file, chunk, sizeof(chunk), &got, nullptr) && got > 0) bytes.append(chunk, got);
  CloseHandle(file);
  return devmon::ParseWorld(bytes);
}

const devmon::SimPrinter* OpenPrinter(const devmon::World& world) {
  for (const devmon::SimPrinter& p : world.printers)
    if (p.attached && p.name == g_openPrinter) return &p;
  return nullptr;
}

int Answer(unsigned long code, const void* request, unsigned long requestLength, void* out, unsigned long outLength,
           unsigned long* returned) {
  if (returned) *returned = 0;
  devmon::World world = LoadWorld();
  if (world.Fails("GetDeviceIoControl")) return 0;
  const devmon::SimPrinter* printer = OpenPrinter(world);
  if (!printer || code != kVendorGetCommand || !request || requestLength < 1) return 0;
  unsigned char what = static_cast<const unsigned char*>(request)[0];
  unsigned long n = 0;
  switch (what) {
    case 2:  // status bytes
      if (!printer->statusValid || !out) return 0;
      n = outLength < 8 ? outLength : 8;
      std::memcpy(out, printer->status, n);
      qx::Trace("devmon: status of %s read", printer->name.c_str());
      break;
    case 3:  // service tag, as many bytes as the caller's buffer takes
      if (!out) return 0;
      n = printer->serviceTag.size() < outLength ? printer->serviceTag.size() : outLength;
      std::memcpy(out, printer->serviceTag.data(), n);
      qx::Trace("devmon: service tag of %s read", printer->name.c_str());
      break;
    case 11:
      qx::Trace("devmon: print command to %s", printer->name.c_str());
      break;
    case 6:
      qx::Trace("devmon: cancel command to %s", printer->name.c_str());
      break;
    default:
      qx::Trace("devmon: unknown request %u", what);
      return 0;
  }
  if (returned) *returned = n;
  return 1;
}

}  // namespace

extern "C" {

__declspec(dllexport) int __cdecl PortAcquire(int port) {
  try {
    if (LoadWorld().Fails("PortAcquire")) {
      qx::Trace("devmon: PortAcquire(%d) refused", port);
      return 0;
    }
    g_portHeld = true;
    qx::Trace("devmon: PortAcquire(%d)", port);
    return 1;
  } catch (...) {
    return 0;
  }
}

__declspec(dllexport) int __cdecl PortRelease(int port) {
  try {
    g_portHeld = false;
    qx::Trace("devmon: PortRelease(%d)", port);
    return 1;
  } catch (...) {
    return 0;
  }
}

__declspec(dllexport) int __cdecl DeviceOpen(int, int, int vendorId, int productId, const char* model) {
  try {
    devmon::World world = LoadWorld();
    g_openPrinter.clear();
    if (world.Fails("DeviceOpen")) return 0;
    const devmon::SimPrinter* p = devmon::SelectPrinter(world, model ? model : "", static_cast<uint16_t>(vendorId),
                                                        static_cast<uint16_t>(productId));
    if (!p) {
      qx::Trace("devmon: DeviceOpen(%04X, %04X, %s): no such printer attached", vendorId & 0xFFFF,
                productId & 0xFFFF, model ? model : "");
      return 0;
    }
    g_openPrinter = p->name;
    qx::Trace("devmon: DeviceOpen -> %s", p->name.c_str());
    return 1;
  } catch (...) {
    return 0;
  }
}

__declspec(dllexport) int __cdecl GetDeviceIoControl(unsigned long code, void* request, unsigned long requestLength,
                                                     void* out, unsigned long outLength, unsigned long* returned) {
  try {
    return Answer(code, request, requestLength, out, outLength, returned);
  } catch (...) {
    return 0;
  }
}

// Sends data to the open device; the simulated printer takes everything.
__declspec(dllexport) int __cdecl DeviceWrite(const void*, unsigned long length, unsigned long* written) {
  try {
    if (g_openPrinter.empty()) return 0;
    if (written) *written = length;
    qx::Trace("devmon: DeviceWrite %lu bytes to %s", length, g_openPrinter.c_str());
    return 1;
  } catch (...) {
    return 0;
  }
}

__declspec(dllexport) int __cdecl DeviceClose(int) {
  try {
    g_openPrinter.clear();
    return 1;
  } catch (...) {
    return 0;
  }
}

// Ours, beside the six: the simulated spooler. Wine's spooler reports no jobs
// for a printer on a FILE: port, so the monitor asks here first; -1 means the
// world has no queue for the printer and the real spooler answers.
__declspec(dllexport) int __cdecl QxSimulatedJobCount(const char* printerName) {
  try {
    int jobs = LoadWorld().JobCount(printerName ? printerName : "");
    qx::Trace("devmon: job count of %s: %d", printerName ? printerName : "", jobs);
    return jobs;
  } catch (...) {
    return -1;
  }
}

}  // extern "C"

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) g_module = instance;
  return TRUE;
}
