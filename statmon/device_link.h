#pragma once
// How the monitor reaches the printer: through the device-monitor library
// named in the configuration (six C-convention entry points), or directly
// through the USB printer interface with vendor requests. Print and cancel
// always go the direct way.
#include <cstdint>
#include <memory>
#include <string>

#include "framework/handles.h"
#include "statmon/usb_bus.h"

class CStatus;

namespace sm {

// The entry points of a device-monitor library, all __cdecl, all arguments 32-bit.
using PortAcquireFn = int(__cdecl*)(int);
using PortReleaseFn = int(__cdecl*)(int);
using DeviceOpenFn = int(__cdecl*)(int, int, int vendorId, int productId, const char* model);
using GetDeviceIoControlFn = int(__cdecl*)(unsigned long code, void* request, unsigned long requestLength, void* out,
                                           unsigned long outLength, unsigned long* returned);
using DeviceWriteFn = int(__cdecl*)(const void* data, unsigned long length, unsigned long* written);
using DeviceCloseFn = int(__cdecl*)(int);
// Optional, ours: the simulated spooler's job count of a printer, -1 when the
// library does not simulate that printer's queue. Real libraries lack it.
using SimulatedJobCountFn = int(__cdecl*)(const char* printerName);
inline constexpr char kSimulatedJobCountName[] = "QxSimulatedJobCount";

inline constexpr unsigned char kRequestStatus = 2;
inline constexpr unsigned char kRequestServiceTag = 3;
inline constexpr unsigned char kRequestPrint = 11;
inline constexpr unsigned char kRequestCancel = 6;

struct DeviceSettings {
  bool useLibrary = false;  // Support/isSupportDevMon nonzero
  uint16_t vendorId = 0;
  uint16_t productId = 0;
  std::string model;        // Model/MDL
};

}  // namespace sm

class CDeviceLink {
 public:
  // `bus` null: the system's USB printer interfaces.
  explicit CDeviceLink(std::unique_ptr<sm::UsbPrinterBus> bus = nullptr);
  ~CDeviceLink();
  CDeviceLink(const CDeviceLink&) = delete;
  CDeviceLink& operator=(const CDeviceLink&) = delete;

  void Configure(const sm::DeviceSettings& settings) { settings_ = settings; }
  const sm::DeviceSettings& Settings() const { return settings_; }

  bool LoadDeviceMonitor(const char* libraryName);
  void UnloadDeviceMonitor();
  bool IsLoaded() const { return static_cast<bool>(library_); }

  // Port held from the first job start to the end of the program.
  bool AcquirePort();
  void ReleasePort();
  bool PortAcquired() const { return portAcquired_; }

  bool GetStatusData(unsigned char out[8]);
  bool GetServiceTagData(unsigned char out[8]);
  bool SendPrintCommandToPrinter();
  bool SendCancelCommandToPrinter();
  void OnGetStatusForOrderToner(CStatus* status);
  // The loaded library's simulated job count; false when it has none for the printer.
  bool SimulatedJobCount(const char* printerName, int* count) const;

  // The USB printer interface path, remembered for the life of the process.
  const std::string& DevicePath() const { return devicePath_; }
  void SetDevicePath(const std::string& path) { devicePath_ = path; }

 private:
  bool LibraryStatus(unsigned char out[8]);
  bool LibraryServiceTag(unsigned char out[8]);
  // Open, vendor request, close; searches the device again after a failed open.
  bool DirectRequest(unsigned char request, void* out, unsigned long outLength, bool serviceTag);
  bool UsesLibrary() const { return settings_.useLibrary && library_; }

  std::unique_ptr<sm::UsbPrinterBus> bus_;
  sm::DeviceSettings settings_;
  std::string devicePath_;
  fw::UniqueModule library_;
  sm::PortAcquireFn portAcquire_ = nullptr;
  sm::DeviceOpenFn deviceOpen_ = nullptr;
  sm::GetDeviceIoControlFn getDeviceIoControl_ = nullptr;
  sm::DeviceWriteFn deviceWrite_ = nullptr;
  sm::DeviceCloseFn deviceClose_ = nullptr;
  sm::PortReleaseFn portRelease_ = nullptr;
  sm::SimulatedJobCountFn simulatedJobCount_ = nullptr;
  bool portAcquired_ = false;
};
