#pragma once
// The toner order link: the URL built from the configured prefix, the chosen
// country, the printer's service tag, the model and the toner state, and the
// command line that hands it to the registered web browser. Pure code.
#include <cstdint>
#include <string>

namespace sm {

struct TonerState {
  int size = 0;   // status byte 6; sent multiplied by 100
  int level = 0;  // status byte 5
};

// The fresh read where it gives a nonzero value, else the current status; each
// field on its own.
TonerState ChooseTonerState(const TonerState& fresh, const TonerState& current);

// "<prefix>LC=%08X&ST=<tag>&MD=<model>&KTS=<size*100>&KCMY=00&KTL=<level>",
// without the KTS field when the size is 0.
std::string BuildOrderUrl(const std::string& prefix, uint32_t lcid, const std::string& serviceTag,
                          const std::string& model, const TonerState& toner);

// "<browser command> <url>/"; empty when either is empty (nothing is launched).
std::string BrowserCommandLine(const std::string& browserCommand, const std::string& url);

}  // namespace sm
