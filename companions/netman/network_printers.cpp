#include "companions/netman/network_printers.h"

#include <cstring>

#include "companions/world/text.h"

namespace qx::netman {

int FillPrinterTable(const world::World& world, PRINTER_ENTRY* table, int capacity) {
  if (!table || capacity <= 0) return 0;
  int n = 0;
  for (const world::Section* s : world.OfKind("NetworkPrinter")) {
    if (n >= capacity) break;
    if (s->GetNumber("Online", 1) == 0) continue;
    PRINTER_ENTRY& e = table[n++];
    std::memset(&e, 0, sizeof(e));
    std::string ip = s->Get("Ip");
    world::CopyOut(e.name, sizeof(e.name), s->Get("Name", s->name));
    world::CopyOut(e.address, sizeof(e.address), ip);
    world::CopyOut(e.text3, sizeof(e.text3), s->Get("Text3"));
    world::CopyOut(e.text5, sizeof(e.text5), s->Get("Mac"));
    world::CopyOut(e.description, sizeof(e.description), s->Get("Description"));
    e.network = 1;
    e.hasAddress = ip.empty() ? 0 : 1;
  }
  return n;
}

}  // namespace qx::netman
