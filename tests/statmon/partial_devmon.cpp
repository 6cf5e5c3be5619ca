// A device-monitor library that lacks "PortRelease": the monitor must refuse it.
extern "C" {
__declspec(dllexport) int __cdecl PortAcquire(int) { return 1; }
__declspec(dllexport) int __cdecl DeviceOpen(int, int, int, int, const char*) { return 1; }
__declspec(dllexport) int __cdecl GetDeviceIoControl(unsigned long, void*, unsigned long, void*, unsigned long,
                                                     unsigned long*) {
  return 1;
}
__declspec(dllexport) int __cdecl DeviceWrite(const void*, unsigned long, unsigned long*) { return 1; }
__declspec(dllexport) int __cdecl DeviceClose(int) { return 1; }
}
