#include "companions/exec/spooler.h"

#include <windows.h>
#include <winspool.h>

#include <vector>

#include "companions/world/companion_log.h"
#include "framework/handles.h"

namespace qx::exec {
namespace {

constexpr const char* kTag = "qxexec";

struct PrinterTraits {
  static HANDLE Invalid() { return nullptr; }
  static void Close(HANDLE h) { ClosePrinter(h); }
};
using UniquePrinter = fw::Unique<HANDLE, PrinterTraits>;

std::string ReadInstallString(const std::string& installKey, const char* name) {
  char buffer[MAX_PATH] = {};
  DWORD size = sizeof(buffer) - 1, type = 0;
  fw::UniqueRegKey key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, installKey.c_str(), 0, KEY_READ, key.Put()) != ERROR_SUCCESS) return {};
  if (RegQueryValueExA(key.Get(), name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) != ERROR_SUCCESS ||
      type != REG_SZ)
    return {};
  return std::string(buffer, strnlen(buffer, size));
}

bool UnderWine() {
  HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

bool AddDriver(const std::string& name) {
  char systemDir[MAX_PATH] = {}, driverDir[MAX_PATH] = {};
  GetSystemDirectoryA(systemDir, MAX_PATH);
  DWORD needed = 0;
  GetPrinterDriverDirectoryA(nullptr, nullptr, 1, reinterpret_cast<BYTE*>(driverDir), sizeof(driverDir), &needed);
  DriverFiles files = ChooseDriverFiles(UnderWine(), systemDir, driverDir);
  DRIVER_INFO_3A info{};
  info.cVersion = 3;
  info.pName = const_cast<char*>(name.c_str());
  info.pDriverPath = const_cast<char*>(files.driver.c_str());
  info.pDataFile = const_cast<char*>(files.data.c_str());
  info.pConfigFile = const_cast<char*>(files.config.c_str());
  if (AddPrinterDriverExA(nullptr, 3, reinterpret_cast<BYTE*>(&info), APD_COPY_NEW_FILES)) {
    world::Log(kTag, "AddPrinterDriverEx (%s, %s): added", name.c_str(), files.driver.c_str());
    return true;
  }
  DWORD error = GetLastError();
  world::Log(kTag, "AddPrinterDriverEx (%s, %s) failed (%lu)", name.c_str(), files.driver.c_str(), error);
  return error == ERROR_PRINTER_DRIVER_ALREADY_INSTALLED;
}

bool AddSpoolerPrinter(const ItemRecord& item, const std::string& port) {
  PRINTER_INFO_2A info{};
  info.pPrinterName = const_cast<char*>(item.printerName.c_str());
  info.pPortName = const_cast<char*>(port.c_str());
  info.pDriverName = const_cast<char*>(item.driverName.c_str());
  info.pPrintProcessor = const_cast<char*>("WinPrint");
  info.pDatatype = const_cast<char*>("RAW");
  UniquePrinter printer(AddPrinterA(nullptr, 2, reinterpret_cast<BYTE*>(&info)));
  if (printer) {
    world::Log(kTag, "AddPrinter (%s on %s): added", item.printerName.c_str(), port.c_str());
    return true;
  }
  DWORD error = GetLastError();
  world::Log(kTag, "AddPrinter (%s on %s) failed (%lu)", item.printerName.c_str(), port.c_str(), error);
  return error == ERROR_PRINTER_ALREADY_EXISTS;
}

void SharePrinter(const ItemRecord& item) {
  UniquePrinter printer;
  PRINTER_DEFAULTSA access{nullptr, nullptr, PRINTER_ALL_ACCESS};
  if (!OpenPrinterA(const_cast<char*>(item.printerName.c_str()), printer.Put(), &access)) return;
  DWORD needed = 0;
  GetPrinterA(printer.Get(), 2, nullptr, 0, &needed);
  if (needed == 0) return;
  std::vector<BYTE> buffer(needed);
  if (!GetPrinterA(printer.Get(), 2, buffer.data(), needed, &needed)) return;
  auto* info = reinterpret_cast<PRINTER_INFO_2A*>(buffer.data());
  info->Attributes |= PRINTER_ATTRIBUTE_SHARED;
  info->pShareName = const_cast<char*>(item.shareName.c_str());
  bool ok = SetPrinterA(printer.Get(), 2, buffer.data(), 0);
  world::Log(kTag, "Share printer (%s as %s): %s (%lu)", item.printerName.c_str(), item.shareName.c_str(),
             ok ? "shared" : "failed", ok ? 0 : GetLastError());
}

}  // namespace

DriverFiles ChooseDriverFiles(bool underWine, const std::string& systemDir, const std::string& driverDir) {
  if (underWine) {
    std::string ps = systemDir + "\\wineps.drv";
    return {ps, ps, ps};
  }
  return {driverDir + "\\3\\UNIDRV.DLL", driverDir + "\\3\\UNIRES.DLL", driverDir + "\\3\\UNIDRVUI.DLL"};
}

bool RegisterPrinter(const ItemRecord& item, const std::string& installKey) {
  if (item.driverName.empty()) {
    world::Log(kTag, "Printer item %s has no driver name", item.name.c_str());
    return false;
  }
  if (!AddDriver(item.driverName)) return false;
  std::string port = ReadInstallString(installKey, "Printer_Port");
  bool added = !port.empty() && AddSpoolerPrinter(item, port);
  if (!added) {
    if (!port.empty()) world::Log(kTag, "Port %s refused, the printer goes to FILE:", port.c_str());
    added = AddSpoolerPrinter(item, "FILE:");
  }
  if (!added) return false;
  if (item.share && !item.shareName.empty()) SharePrinter(item);
  std::string defaultPrinter = ReadInstallString(installKey, "Default_Printer");
  if (!defaultPrinter.empty() && defaultPrinter == item.printerName) {
    bool ok = SetDefaultPrinterA(item.printerName.c_str());
    world::Log(kTag, "SetDefaultPrinter (%s): %s", item.printerName.c_str(), ok ? "done" : "failed");
  }
  return true;
}

bool UnregisterPrinter(const ItemRecord& item) {
  bool ok = true;
  UniquePrinter printer;
  PRINTER_DEFAULTSA access{nullptr, nullptr, PRINTER_ALL_ACCESS};
  if (!item.printerName.empty() && OpenPrinterA(const_cast<char*>(item.printerName.c_str()), printer.Put(), &access)) {
    bool deleted = DeletePrinter(printer.Get());
    world::Log(kTag, "DeletePrinter (%s): %s", item.printerName.c_str(), deleted ? "deleted" : "failed");
    ok = deleted;
  }
  printer.Reset();
  if (!item.driverName.empty()) {
    bool deleted = DeletePrinterDriverA(nullptr, nullptr, const_cast<char*>(item.driverName.c_str()));
    DWORD error = deleted ? 0 : GetLastError();
    world::Log(kTag, "DeletePrinterDriver (%s): %s (%lu)", item.driverName.c_str(), deleted ? "deleted" : "failed",
               error);
    if (!deleted && error != ERROR_UNKNOWN_PRINTER_DRIVER) ok = false;
  }
  return ok;
}

}  // namespace qx::exec
