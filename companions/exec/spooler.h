#pragma once
// Registration of a printer item's driver and printer with the spooler.
#include <string>

#include "companions/exec/item_record.h"

namespace qx::exec {

// Adds the driver (AddPrinterDriverExA) and the printer (AddPrinterA) on the
// port recorded under the install key ("Printer_Port"; "FILE:" when none or
// when the spooler refuses that port), shares it when the record says so and
// makes it the default when "Default_Printer" names it. True when both the
// driver and the printer are registered (an existing one counts).
bool RegisterPrinter(const ItemRecord& item, const std::string& installKey);

// Deletes the printer (by the name the spooler knows it by) and then its
// driver; a printer or driver that is not there counts as removed.
bool UnregisterPrinter(const ItemRecord& item);

// Brings the spooler in line with the printer records the printer settings
// page wrote after the installation: a printer whose record names it
// differently is renamed (added under the new name on the same port and
// driver, then the old one deleted: the spooler cannot rename in place
// everywhere), shared or unshared as the record says, and made the default
// when "Default_Printer" names it. Only printers this library registered
// (Spooler_Name) are touched. False when any change failed.
bool ApplyPrinterSettings(const std::string& installKey);

// Whether the spooler's printer needs renaming for its record: a different
// name, ignoring case as the spooler does. Pure.
bool NeedsRename(const std::string& spoolerName, const std::string& recordName);

// The driver files registered for a driver. The item records name no driver
// files (only an INF), so the driver is registered on the system's generic
// driver: under Wine its PostScript driver wineps.drv (the driver Wine gives
// every printer it takes over from CUPS), on Windows the universal printer
// driver in the printer-driver directory. Pure.
struct DriverFiles {
  std::string driver, data, config;
};
DriverFiles ChooseDriverFiles(bool underWine, const std::string& systemDir, const std::string& driverDir);

}  // namespace qx::exec
