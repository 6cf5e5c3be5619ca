#include "companions/util/devices.h"

#include "companions/world/text.h"

namespace qx::util {

using world::EqualsNoCase;

std::vector<LocalDevice> MatchingDevices(const world::World& world, const std::string& mfg, const std::string& model,
                                         const std::string& vidpid) {
  std::vector<LocalDevice> found;
  for (const world::Section* s : world.OfKind("UsbPrinter")) {
    if (s->GetNumber("Present", 1) == 0) continue;
    LocalDevice d{s->Get("Mfg"), s->Get("Model"), s->Get("VidPid"), s->Get("Port", "USB001"), s->name};
    bool mfgOk = mfg.empty() || EqualsNoCase(d.mfg, mfg);
    bool modelOk = model.empty() || EqualsNoCase(d.model, model) || EqualsNoCase(d.mfg + d.model, model);
    bool idOk = vidpid.empty() || d.vidpid.empty() || EqualsNoCase(d.vidpid, vidpid);
    // Nothing asked for means nothing matches: an empty query is not a wildcard.
    if (mfg.empty() && model.empty() && vidpid.empty()) continue;
    if (mfgOk && modelOk && idOk) found.push_back(d);
  }
  return found;
}

std::vector<std::string> MatchingUnknownDevices(const world::World& world, const std::string& modelText,
                                                const std::string& vidpid) {
  std::vector<std::string> found;
  for (const world::Section* s : world.OfKind("UnknownDevice")) {
    std::string id = s->Get("VidPid");
    std::string name = s->Get("Name");
    bool byId = !vidpid.empty() && !id.empty() && EqualsNoCase(id, vidpid);
    bool byName = !modelText.empty() && world::ContainsNoCase(name, modelText);
    if (byId || byName) found.push_back(s->name);
  }
  return found;
}

std::vector<std::string> WizardTitles(const world::World& world) {
  const world::Section* pnp = world.Find("PnP");
  std::string titles = pnp ? pnp->Get("WizardTitles") : std::string();
  if (titles.empty()) titles = "Found New Hardware Wizard|Found New Hardware";
  return world::SplitList(titles, "|");
}

bool PreventionAllowed(const world::World& world) {
  const world::Section* pnp = world.Find("PnP");
  return !pnp || pnp->GetNumber("Prevent", 1) != 0;
}

}  // namespace qx::util
