#pragma once
// Network printers of the simulated world (sections "NetworkPrinter"), as the
// network library delivers them. Pure, no Win32.
#include <vector>

#include "companions/contracts/printer_entry.h"
#include "companions/world/world.h"

namespace qx::netman {

// Fills at most capacity entries from the first, in file order, skipping
// printers with Online=0; returns the number filled. Each filled entry is
// cleared first; entries past the count are not touched.
int FillPrinterTable(const world::World& world, PRINTER_ENTRY* table, int capacity);

}  // namespace qx::netman
