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


void WriteItemString(const std::string& installKey, const std::string& item, const char* name,
                     const std::string& value) {
  fw::UniqueRegKey key;
  std::string path = installKey + "\\Items\\" + item;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_SET_VALUE, key.Put()) != ERROR_SUCCESS) return;
  RegSetValueExA(key.Get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                 static_cast<DWORD>(value.size() + 1));
}

// The spooler's level-2 description of a printer, kept with its buffer.
struct PrinterInfo {
  std::vector<BYTE> buffer;
  PRINTER_INFO_2A* info() { return reinterpret_cast<PRINTER_INFO_2A*>(buffer.data()); }
};

bool ReadPrinterInfo(HANDLE printer, PrinterInfo* out) {
  DWORD needed = 0;
  GetPrinterA(printer, 2, nullptr, 0, &needed);
  if (needed < sizeof(PRINTER_INFO_2A)) return false;
  out->buffer.assign(needed, 0);
  return GetPrinterA(printer, 2, out->buffer.data(), needed, &needed) != FALSE;
}

const char* Text(const char* text) { return text ? text : ""; }

// Adds the printer under its new name with what the old one had, then deletes the old one.
bool RenameSpoolerPrinter(const std::string& from, const std::string& to) {
  UniquePrinter old;
  PRINTER_DEFAULTSA access{nullptr, nullptr, PRINTER_ALL_ACCESS};
  PrinterInfo current;
  if (!OpenPrinterA(const_cast<char*>(from.c_str()), old.Put(), &access) || !ReadPrinterInfo(old.Get(), &current)) {
    world::Log(kTag, "Rename printer (%s to %s): the printer cannot be read (%lu)", from.c_str(), to.c_str(),
               GetLastError());
    return false;
  }
  PRINTER_INFO_2A info{};
  PRINTER_INFO_2A* was = current.info();
  info.pPrinterName = const_cast<char*>(to.c_str());
  info.pPortName = was->pPortName;
  info.pDriverName = was->pDriverName;
  info.pPrintProcessor = was->pPrintProcessor ? was->pPrintProcessor : const_cast<char*>("WinPrint");
  info.pDatatype = was->pDatatype ? was->pDatatype : const_cast<char*>("RAW");
  info.pComment = was->pComment;
  info.pLocation = was->pLocation;
  UniquePrinter added(AddPrinterA(nullptr, 2, reinterpret_cast<BYTE*>(&info)));
  if (!added) {
    world::Log(kTag, "Rename printer (%s to %s) failed (%lu)", from.c_str(), to.c_str(), GetLastError());
    return false;
  }
  bool deleted = DeletePrinter(old.Get()) != FALSE;
  world::Log(kTag, "Rename printer (%s to %s on %s): %s", from.c_str(), to.c_str(), Text(was->pPortName),
             deleted ? "done" : "the old printer stays");
  return true;
}

bool SetSharing(const std::string& printerName, bool share, const std::string& shareName) {
  UniquePrinter printer;
  PRINTER_DEFAULTSA access{nullptr, nullptr, PRINTER_ALL_ACCESS};
  PrinterInfo current;
  if (!OpenPrinterA(const_cast<char*>(printerName.c_str()), printer.Put(), &access) ||
      !ReadPrinterInfo(printer.Get(), &current)) {
    return false;
  }
  PRINTER_INFO_2A* info = current.info();
  bool shared = (info->Attributes & PRINTER_ATTRIBUTE_SHARED) != 0;
  if (shared == share && (!share || shareName == Text(info->pShareName))) return true;
  if (share) {
    info->Attributes |= PRINTER_ATTRIBUTE_SHARED;
    info->pShareName = const_cast<char*>(shareName.c_str());
  } else {
    info->Attributes &= ~static_cast<DWORD>(PRINTER_ATTRIBUTE_SHARED);
  }
  bool ok = SetPrinterA(printer.Get(), 2, current.buffer.data(), 0) != FALSE;
  world::Log(kTag, "%s printer (%s%s%s): %s", share ? "Share" : "Unshare", printerName.c_str(), share ? " as " : "",
             share ? shareName.c_str() : "", ok ? "done" : "failed");
  return ok;
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
  WriteItemString(installKey, item.name, "Spooler_Name", item.printerName);
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
  const std::string& name = item.spoolerName.empty() ? item.printerName : item.spoolerName;
  if (!name.empty() && OpenPrinterA(const_cast<char*>(name.c_str()), printer.Put(), &access)) {
    bool deleted = DeletePrinter(printer.Get());
    world::Log(kTag, "DeletePrinter (%s): %s", name.c_str(), deleted ? "deleted" : "failed");
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

bool NeedsRename(const std::string& spoolerName, const std::string& recordName) {
  return !spoolerName.empty() && !recordName.empty() && _stricmp(spoolerName.c_str(), recordName.c_str()) != 0;
}

bool ApplyPrinterSettings(const std::string& installKey) {
  std::vector<std::string> names;
  if (!SubkeyNames(installKey + "\\Items", &names)) {
    world::Log(kTag, "ApplyPrinterSettings: no item records under %s", installKey.c_str());
    return false;
  }
  std::string defaultPrinter = ReadInstallString(installKey, "Default_Printer");
  bool ok = true;
  for (const std::string& name : names) {
    ItemRecord item;
    if (!ReadItemRecord(installKey, name, &item) || !item.printer || item.spoolerName.empty()) continue;
    std::string current = item.spoolerName;
    if (NeedsRename(current, item.printerName)) {
      if (RenameSpoolerPrinter(current, item.printerName)) {
        current = item.printerName;
        WriteItemString(installKey, item.name, "Spooler_Name", current);
      } else {
        ok = false;
      }
    }
    if (!SetSharing(current, item.share && !item.shareName.empty(), item.shareName)) ok = false;
    if (!defaultPrinter.empty() && _stricmp(defaultPrinter.c_str(), current.c_str()) == 0) {
      bool done = SetDefaultPrinterA(current.c_str()) != FALSE;
      world::Log(kTag, "SetDefaultPrinter (%s): %s", current.c_str(), done ? "done" : "failed");
      if (!done) ok = false;
    }
  }
  return ok;
}

}  // namespace qx::exec
