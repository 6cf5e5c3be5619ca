#pragma once
// The monitor's view of the printing side: jobs queued for the job's printer,
// and the do-not-show-again choice of the low-toner window.
#include <cstdint>
#include <string>

class CDeviceLink;

namespace sm {

// -1 for an empty name, 0 when the printer cannot be opened, else the job
// count of printer information level 2. A device-monitor library that
// simulates the spooler (its optional job-count entry point) answers first.
int PrinterJobCount(const std::string& printerName, const CDeviceLink* link);

// SMOrderTonerAlreadyChecked under HKLM "Software\QXmMon\<profile key>": a
// missing key or value reads 0; written to an existing key only, failures ignored.
uint32_t ReadOrderTonerChecked(const std::string& profileKey);
void WriteOrderTonerChecked(const std::string& profileKey, uint32_t value);

}  // namespace sm
