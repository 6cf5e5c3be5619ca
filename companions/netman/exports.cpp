// qxnetman.dll: the network printer search, answered from the simulated world.
#include <windows.h>

#include "companions/netman/network_printers.h"
#include "companions/world/companion_log.h"

extern "C" __declspec(dllexport) int __stdcall GetNetworkPrinter(PRINTER_ENTRY* table) {
  try {
    if (!table) {
      qx::world::Log("qxnetman", "GetNetworkPrinter: no printer table");
      return 0;
    }
    int n = qx::netman::FillPrinterTable(qx::world::World::Load(), table, qx::contracts::kPrinterTableSize);
    for (int i = 0; i < n; ++i) {
      qx::world::Log("qxnetman", "GetNetworkPrinter: [%d] %s %s %s", i, table[i].name, table[i].address,
                     table[i].description);
    }
    qx::world::Log("qxnetman", "GetNetworkPrinter: %d printer(s) found", n);
    return n;
  } catch (...) {
    return 0;
  }
}
