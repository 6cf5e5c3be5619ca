#pragma once
// The platform's USB printer interfaces, behind a seam: the real one lists the
// interfaces of class GUID_DEVINTERFACE_USBPRINT through SetupAPI and talks to
// them with CreateFile/DeviceIoControl; tests put a simulated bus in its place
// (Wine lists no USB printers).
#include <memory>
#include <string>
#include <string_view>

namespace sm {

class UsbPrinterBus {
 public:
  enum class Enumerated { kOk, kNoMore, kSkip, kDetailFailed };
  enum class Transferred { kOk, kOpenFailed, kIoFailed };

  virtual ~UsbPrinterBus() = default;
  // Takes a snapshot of the present interfaces; false when that fails.
  virtual bool BeginSearch() = 0;
  virtual Enumerated InterfacePath(unsigned index, std::string* path) = 0;
  virtual void EndSearch() = 0;
  // Opens the path (read/write, shared), sends one control request, closes.
  // On kIoFailed, *error holds the system error code.
  virtual Transferred Transfer(const std::string& path, unsigned long code, const void* in, unsigned long inLength,
                               void* out, unsigned long outLength, unsigned long* returned, unsigned long* error) = 0;
};

// The SetupAPI / DeviceIoControl implementation.
std::unique_ptr<UsbPrinterBus> MakeSystemUsbPrinterBus();

// True when `mdl` occurs anywhere in the device ID; an empty model never matches.
bool DeviceIdContainsModel(std::string_view deviceId, std::string_view mdl);

// Walks the interfaces in order and answers the first whose IEEE 1284 device ID
// contains `mdl`.
bool FindUsbPrinter(UsbPrinterBus& bus, const std::string& mdl, std::string* path);

inline constexpr unsigned long kIoctlVendorGetCommand = 0x22003C;  // IOCTL_USBPRINT_VENDOR_GET_COMMAND
inline constexpr unsigned long kIoctlQueryDeviceId = 0x16000C;     // IOCTL_PAR_QUERY_DEVICE_ID

}  // namespace sm
