#include "statmon/usb_bus.h"

#include <windows.h>
#include <setupapi.h>

#include <vector>

#include "framework/handles.h"
#include "framework/trace.h"

namespace sm {
namespace {

const GUID kUsbPrintInterface = {0x28D78FAD, 0x5A12, 0x11D1, {0xAE, 0x5B, 0x00, 0x00, 0xF8, 0x03, 0xA8, 0xC2}};

class SystemUsbPrinterBus final : public UsbPrinterBus {
 public:
  ~SystemUsbPrinterBus() override { EndSearch(); }

  bool BeginSearch() override {
    EndSearch();
    set_ = SetupDiGetClassDevsA(&kUsbPrintInterface, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
    if (set_ == INVALID_HANDLE_VALUE) {
      // This line goes to the debugger output in every build (the trace sink writes it there).
      qx::Trace("QXUSBOPEN: SetupDiGetClassDevs fail!! (%lu)\n", GetLastError());
      return false;
    }
    return true;
  }

  Enumerated InterfacePath(unsigned index, std::string* path) override {
    SP_DEVICE_INTERFACE_DATA data{};
    data.cbSize = sizeof(data);
    if (!SetupDiEnumDeviceInterfaces(set_, nullptr, &kUsbPrintInterface, index, &data))
      return GetLastError() == ERROR_NO_MORE_ITEMS ? Enumerated::kNoMore : Enumerated::kSkip;
    DWORD size = 0;
    SetupDiGetDeviceInterfaceDetailA(set_, &data, nullptr, 0, &size, nullptr);
    if (size < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A)) return Enumerated::kDetailFailed;
    std::vector<char> buffer(size);
    auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_A*>(buffer.data());
    detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A);
    if (!SetupDiGetDeviceInterfaceDetailA(set_, &data, detail, size, nullptr, nullptr)) return Enumerated::kDetailFailed;
    *path = detail->DevicePath;
    return Enumerated::kOk;
  }

  void EndSearch() override {
    if (set_ != INVALID_HANDLE_VALUE) SetupDiDestroyDeviceInfoList(set_);
    set_ = INVALID_HANDLE_VALUE;
  }

  Transferred Transfer(const std::string& path, unsigned long code, const void* in, unsigned long inLength, void* out,
                       unsigned long outLength, unsigned long* returned, unsigned long* error) override {
    *returned = 0;
    *error = 0;
    if (path.empty()) return Transferred::kOpenFailed;
    fw::UniqueFile device(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!device) return Transferred::kOpenFailed;
    DWORD count = 0;
    if (!DeviceIoControl(device.Get(), code, const_cast<void*>(in), inLength, out, outLength, &count, nullptr)) {
      *error = GetLastError();
      return Transferred::kIoFailed;
    }
    *returned = count;
    return Transferred::kOk;
  }

 private:
  HDEVINFO set_ = INVALID_HANDLE_VALUE;
};

}  // namespace

std::unique_ptr<UsbPrinterBus> MakeSystemUsbPrinterBus() { return std::make_unique<SystemUsbPrinterBus>(); }

bool DeviceIdContainsModel(std::string_view deviceId, std::string_view mdl) {
  return !mdl.empty() && deviceId.find(mdl) != std::string_view::npos;
}

bool FindUsbPrinter(UsbPrinterBus& bus, const std::string& mdl, std::string* path) {
  if (!bus.BeginSearch()) return false;
  bool found = false;
  for (unsigned index = 0;; ++index) {
    std::string candidate;
    UsbPrinterBus::Enumerated e = bus.InterfacePath(index, &candidate);
    if (e == UsbPrinterBus::Enumerated::kNoMore || e == UsbPrinterBus::Enumerated::kDetailFailed) break;
    if (e == UsbPrinterBus::Enumerated::kSkip) continue;
    // One buffer serves as request and answer, as the parallel-class request expects.
    char id[255] = {};
    unsigned long returned = 0, error = 0;
    if (bus.Transfer(candidate, kIoctlQueryDeviceId, id, sizeof(id), id, sizeof(id), &returned, &error) ==
            UsbPrinterBus::Transferred::kOk &&
        returned > 0) {
      std::string_view deviceId(id, returned < sizeof(id) ? returned : sizeof(id));
      qx::Trace("QXUSBOPEN: Device ID = %.*s", static_cast<int>(deviceId.size()), deviceId.data());
      if (DeviceIdContainsModel(deviceId, mdl)) {
        *path = candidate;
        qx::Trace("QXUSBOPEN: Found Model!! (%s) (%.*s) ", mdl.c_str(), static_cast<int>(deviceId.size()),
                  deviceId.data());
        found = true;
        break;
      }
      qx::Trace("QXUSBOPEN: It's not supported Model (%s) (%.*s)", mdl.c_str(), static_cast<int>(deviceId.size()),
                deviceId.data());
    }
  }
  bus.EndSearch();
  return found;
}

}  // namespace sm
