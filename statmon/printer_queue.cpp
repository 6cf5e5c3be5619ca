#include "statmon/printer_queue.h"

#include <windows.h>
#include <winspool.h>

#include <memory>

#include "framework/handles.h"
#include "statmon/device_link.h"

namespace sm {
namespace {

std::string ChoiceKey(const std::string& profileKey) { return "Software\\QXmMon\\" + profileKey; }

}  // namespace

int PrinterJobCount(const std::string& printerName, const CDeviceLink* link) {
  if (printerName.empty()) return -1;
  int simulated = 0;
  if (link && link->SimulatedJobCount(printerName.c_str(), &simulated)) return simulated;
  HANDLE printer = nullptr;
  if (!OpenPrinterA(const_cast<char*>(printerName.c_str()), &printer, nullptr) || !printer) return 0;
  DWORD needed = 0;
  GetPrinterA(printer, 2, nullptr, 0, &needed);
  int jobs = 0;
  if (needed >= sizeof(PRINTER_INFO_2A)) {
    auto buffer = std::make_unique<BYTE[]>(needed);
    if (GetPrinterA(printer, 2, buffer.get(), needed, &needed))
      jobs = static_cast<int>(reinterpret_cast<PRINTER_INFO_2A*>(buffer.get())->cJobs);
  }
  ClosePrinter(printer);
  return jobs;
}

uint32_t ReadOrderTonerChecked(const std::string& profileKey) {
  fw::UniqueRegKey key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, ChoiceKey(profileKey).c_str(), 0, KEY_READ, key.Put()) != ERROR_SUCCESS)
    return 0;
  DWORD value = 0, size = sizeof(value), type = 0;
  if (RegQueryValueExA(key.Get(), "SMOrderTonerAlreadyChecked", nullptr, &type, reinterpret_cast<BYTE*>(&value),
                       &size) != ERROR_SUCCESS ||
      type != REG_DWORD)
    return 0;
  return value;
}

void WriteOrderTonerChecked(const std::string& profileKey, uint32_t value) {
  fw::UniqueRegKey key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, ChoiceKey(profileKey).c_str(), 0, KEY_WRITE, key.Put()) != ERROR_SUCCESS)
    return;
  DWORD data = value;
  RegSetValueExA(key.Get(), "SMOrderTonerAlreadyChecked", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data),
                 sizeof(data));
}

}  // namespace sm
