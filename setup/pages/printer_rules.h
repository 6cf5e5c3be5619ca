#pragma once
// The decisions of the printer pages over the printer table, apart from their
// windows: what the searches put into the table, which entries are offered,
// the install-type rewriting of the install-as-server box, addresses, and the
// characters the name fields refuse.
#include <windows.h>

#include <array>
#include <optional>
#include <string>

#include "companions/contracts/printer_entry.h"

namespace pages {

inline constexpr int kPrinterEntries = qx::contracts::kPrinterTableSize;

// Terminates every text field: a library may fill a field to its last byte.
void TerminateTexts(PRINTER_ENTRY& entry);
// A count a library returned, bounded to the table (a negative count is none).
int BoundedCount(int count);
// After the network search: the first `returned` entries are network entries;
// those whose upper-cased description holds both (upper-cased) finding
// strings are listed. The has-address flag is set only for an address that
// is an IP address. Returns the number of network entries kept.
int MarkNetworkEntries(PRINTER_ENTRY* table, int returned, const std::string& finding1, const std::string& finding2);
// The local devices after the network entries: "%s %s (%d)" of MFG, MDL and
// the device number, the port as address. Returns the entries added (as many
// as fit).
int AddLocalEntries(PRINTER_ENTRY* table, int first, const std::string& mfg, const std::string& mdl,
                    const std::string& port, int count);
// Whether an entry may be chosen: a local entry, or a network entry with an address.
inline bool Selectable(const PRINTER_ENTRY& e) { return !e.network || e.hasAddress; }
// The install type after the install-as-server box changed (2 <-> 0x12, 4 <-> 0x14).
DWORD ServerInstallType(DWORD type, bool server);
inline bool IsServerInstallType(DWORD type) { return (type & 0xF0) != 0; }
// Four dot-separated decimal numbers; nothing when fewer parts are found.
std::optional<std::array<int, 4>> SplitAddress(const std::string& text);
// Four dot-separated numbers of 0..255 and nothing else.
bool IsIpAddress(const std::string& text);
// The text without any of the characters; *removed tells whether one was there.
std::string RemoveChars(const std::string& text, const char* chars, bool* removed);

}  // namespace pages

namespace pages {
// A message with one %s filled with a text the user typed; nothing else in
// the message is taken as a format ("%%" gives "%").
std::string FormatWithText(const std::string& format, const std::string& text);
}  // namespace pages
