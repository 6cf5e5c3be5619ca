#pragma once
// The diagnosis verdict for one printer, from the simulated world. Pure.
#include <string>

#include "companions/world/world.h"

namespace qx::diag {

struct Verdict {
  bool deviceFound = false;  // a present USB printer of the model, or a network printer of that name
  std::string result;        // "OK" or what is wrong
};

// The "Diagnosis" section may give a result per printer or model name (key =
// the name) and a "Default"; without one the verdict follows from what exists:
// "OK" (device and printer), "printer not installed" or "no device".
Verdict Diagnose(const world::World& world, const std::string& mfg, const std::string& name, const std::string& mdl,
                 const std::string& vidpid, bool printerInstalled);

}  // namespace qx::diag
