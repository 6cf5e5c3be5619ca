#pragma once
// Decisions of the utility library over the simulated world: which local USB
// printers match a model, which unknown devices belong to it, whether
// plug-and-play prevention is possible. Pure functions, no Win32.
#include <string>
#include <vector>

#include "companions/world/world.h"

namespace qx::util {

struct LocalDevice {
  std::string mfg, model, vidpid, port, section;
};

// USB printers present in the world that match: the manufacturer and model
// compare case-insensitively (the model also matches when the world's model
// text is the manufacturer and model joined, as the installer passes them),
// and the VIDPID must equal when both sides give one.
std::vector<LocalDevice> MatchingDevices(const world::World& world, const std::string& mfg, const std::string& model,
                                         const std::string& vidpid);

// Unknown devices (sections "UnknownDevice") that belong to the model: same
// VIDPID, or a name that contains the model text.
std::vector<std::string> MatchingUnknownDevices(const world::World& world, const std::string& modelText,
                                                const std::string& vidpid);

// Window titles of the new-hardware wizard that RemoveHardwareWizardDialog closes.
std::vector<std::string> WizardTitles(const world::World& world);

// Whether the world lets plug-and-play prevention start (PnP: Prevent, default 1).
bool PreventionAllowed(const world::World& world);

}  // namespace qx::util
