#pragma once
// One record of the printer table that the network library fills directly:
// the layout is shared across a DLL boundary, so widths and order are fixed.
#include <cstddef>

struct PRINTER_ENTRY {
  char name[260];         // display name; empty = free slot
  char address[260];      // IP address (network) or port name (local)
  char text3[260];        // network library text; share name on the settings page
  char text4[260];        // registry path of the owning install item
  char text5[260];        // hardware (MAC) address of a network printer
  char description[260];  // device description from the network library
  unsigned char network;     // 1 = found on the network
  unsigned char hasAddress;  // 1 = address holds an IP address
  unsigned char isDefault;
  unsigned char shared;
  unsigned char listed;      // 1 = shown on the selection page
};

static_assert(sizeof(PRINTER_ENTRY) == 6 * 260 + 5, "PRINTER_ENTRY must have no padding");
static_assert(offsetof(PRINTER_ENTRY, address) == 260);
static_assert(offsetof(PRINTER_ENTRY, text3) == 520);
static_assert(offsetof(PRINTER_ENTRY, text4) == 780);
static_assert(offsetof(PRINTER_ENTRY, text5) == 1040);
static_assert(offsetof(PRINTER_ENTRY, description) == 1300);
static_assert(offsetof(PRINTER_ENTRY, network) == 1560);
static_assert(offsetof(PRINTER_ENTRY, hasAddress) == 1561);
static_assert(offsetof(PRINTER_ENTRY, isDefault) == 1562);
static_assert(offsetof(PRINTER_ENTRY, shared) == 1563);
static_assert(offsetof(PRINTER_ENTRY, listed) == 1564);

namespace qx::contracts {
inline constexpr int kPrinterTableSize = 200;
}
