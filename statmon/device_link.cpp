#include "statmon/device_link.h"

#include <windows.h>

#include <cstring>
#include <string>

#include "framework/library_loading.h"
#include "framework/trace.h"
#include "statmon/status.h"

CDeviceLink::CDeviceLink(std::unique_ptr<sm::UsbPrinterBus> bus)
    : bus_(bus ? std::move(bus) : sm::MakeSystemUsbPrinterBus()) {}

CDeviceLink::~CDeviceLink() { UnloadDeviceMonitor(); }

namespace {
template <typename Fn>
bool Resolve(HMODULE module, const char* name, Fn* fn) {
  *fn = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
  return *fn != nullptr;
}
}  // namespace

bool CDeviceLink::LoadDeviceMonitor(const char* libraryName) {
  if (library_) return true;
  // A full path is loaded as it stands; a bare name only from the system folder.
  std::string name = libraryName ? libraryName : "";
  library_.Reset(fw::IsFullPath(name) ? fw::LoadLibraryAtPath(name.c_str())
                 : fw::IsBareName(name) ? fw::LoadSystemLibrary(name.c_str())
                                        : nullptr);
  if (!library_) {
    qx::Trace("Load DevMon Library fail");
    return false;
  }
  HMODULE m = library_.Get();
  bool all = Resolve(m, "PortAcquire", &portAcquire_);
  all = Resolve(m, "DeviceOpen", &deviceOpen_) && all;
  all = Resolve(m, "GetDeviceIoControl", &getDeviceIoControl_) && all;
  all = Resolve(m, "DeviceWrite", &deviceWrite_) && all;
  all = Resolve(m, "DeviceClose", &deviceClose_) && all;
  all = Resolve(m, "PortRelease", &portRelease_) && all;
  if (!all) {
    qx::Trace("DevMon GetProcAddress fail");
    UnloadDeviceMonitor();
    return false;
  }
  Resolve(m, sm::kSimulatedJobCountName, &simulatedJobCount_);  // optional
  return true;
}

bool CDeviceLink::SimulatedJobCount(const char* printerName, int* count) const {
  if (!simulatedJobCount_ || !printerName) return false;
  int jobs = simulatedJobCount_(printerName);
  if (jobs < 0) return false;
  *count = jobs;
  return true;
}

void CDeviceLink::UnloadDeviceMonitor() {
  portAcquire_ = nullptr;
  deviceOpen_ = nullptr;
  getDeviceIoControl_ = nullptr;
  deviceWrite_ = nullptr;
  deviceClose_ = nullptr;
  portRelease_ = nullptr;
  simulatedJobCount_ = nullptr;
  portAcquired_ = false;
  library_.Reset();
}

bool CDeviceLink::AcquirePort() {
  if (!UsesLibrary()) return false;
  if (!portAcquired_) portAcquired_ = portAcquire_(1) != 0;
  return portAcquired_;
}

void CDeviceLink::ReleasePort() {
  if (UsesLibrary() && portAcquired_) {
    qx::Trace("Port Release");
    portRelease_(1);
  }
  portAcquired_ = false;
}

bool CDeviceLink::LibraryStatus(unsigned char out[8]) {
  unsigned char request[3] = {sm::kRequestStatus, 0, 0};
  unsigned long returned = 0;
  if (!deviceOpen_(0, 0, settings_.vendorId, settings_.productId, settings_.model.c_str())) {
    qx::Trace("DeviceOpen fail");
    return false;
  }
  bool ok = getDeviceIoControl_(sm::kIoctlVendorGetCommand, request, 3, out, 8, &returned) != 0;
  if (!ok) qx::Trace("GetDeviceIoControl fail");
  deviceClose_(0);
  return ok;
}

bool CDeviceLink::LibraryServiceTag(unsigned char out[8]) {
  // The read takes the port for itself, except while the job start holds it:
  // releasing it afterwards would drop the job start's hold on the port.
  const bool ownHold = !portAcquired_;
  if (ownHold && !portAcquire_(1)) return false;
  if (!deviceOpen_(0, 0, settings_.vendorId, settings_.productId, settings_.model.c_str())) {
    if (ownHold) portRelease_(1);
    qx::Trace("DeviceOpen fail");
    return false;
  }
  unsigned char request[3] = {sm::kRequestServiceTag, 0, 0};
  unsigned long returned = 0;
  // 7 bytes at most, so the 8-byte buffer always stays a terminated text.
  bool ok = getDeviceIoControl_(sm::kIoctlVendorGetCommand, request, 3, out, 7, &returned) != 0;
  if (!ok) qx::Trace("GetDeviceIoControl fail");
  deviceClose_(0);
  if (ownHold) portRelease_(1);
  return ok;
}

bool CDeviceLink::DirectRequest(unsigned char request, void* out, unsigned long outLength, bool serviceTag) {
  unsigned char block[3] = {request, 0, 0};
  unsigned long returned = 0, error = 0;
  auto result = bus_->Transfer(devicePath_, sm::kIoctlVendorGetCommand, block, 3, out, outLength, &returned, &error);
  if (result == sm::UsbPrinterBus::Transferred::kOpenFailed) {
    std::string found;
    if (!sm::FindUsbPrinter(*bus_, settings_.model, &found)) return false;
    devicePath_ = found;
    result = bus_->Transfer(devicePath_, sm::kIoctlVendorGetCommand, block, 3, out, outLength, &returned, &error);
    if (result == sm::UsbPrinterBus::Transferred::kOpenFailed) return false;
  }
  if (result == sm::UsbPrinterBus::Transferred::kIoFailed) {
    if (serviceTag) qx::Trace("GetDeviceIoControl fail");
    else qx::Trace("DeviceIoControl error %lu", error);
    return false;
  }
  return true;
}

bool CDeviceLink::GetStatusData(unsigned char out[8]) {
  std::memset(out, 0, 8);
  return UsesLibrary() ? LibraryStatus(out) : DirectRequest(sm::kRequestStatus, out, 8, false);
}

bool CDeviceLink::GetServiceTagData(unsigned char out[8]) {
  std::memset(out, 0, 8);
  bool ok = UsesLibrary() ? LibraryServiceTag(out) : DirectRequest(sm::kRequestServiceTag, out, 8, true);
  // Used as a text afterwards: a full 8-byte answer must not run past the buffer.
  out[7] = '\0';
  return ok;
}

bool CDeviceLink::SendPrintCommandToPrinter() {
  unsigned char answer[255] = {};
  return DirectRequest(sm::kRequestPrint, answer, sizeof(answer), false);
}

bool CDeviceLink::SendCancelCommandToPrinter() {
  unsigned char answer[255] = {};
  return DirectRequest(sm::kRequestCancel, answer, sizeof(answer), false);
}

void CDeviceLink::OnGetStatusForOrderToner(CStatus* status) {
  qx::Trace("Enter OnGetStatusForOrderToner");
  unsigned char bytes[8] = {};
  GetStatusData(bytes);
  status->Initialize(bytes, 8);
  qx::Trace("Exit GetStatusForOrderToner");
}
