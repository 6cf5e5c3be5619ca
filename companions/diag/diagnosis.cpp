#include "companions/diag/diagnosis.h"

#include "companions/world/text.h"

namespace qx::diag {

using world::EqualsNoCase;

Verdict Diagnose(const world::World& world, const std::string& mfg, const std::string& name, const std::string& mdl,
                 const std::string& vidpid, bool printerInstalled) {
  Verdict v;
  for (const world::Section* s : world.OfKind("UsbPrinter")) {
    if (s->GetNumber("Present", 1) == 0) continue;
    bool model = EqualsNoCase(s->Get("Mfg"), mfg) && EqualsNoCase(s->Get("Model"), mdl);
    bool id = !vidpid.empty() && EqualsNoCase(s->Get("VidPid"), vidpid);
    if (model || id) v.deviceFound = true;
  }
  for (const world::Section* s : world.OfKind("NetworkPrinter")) {
    if (s->GetNumber("Online", 1) != 0 && !name.empty() && EqualsNoCase(s->Get("Name"), name)) v.deviceFound = true;
  }
  if (const world::Section* d = world.Find("Diagnosis")) {
    v.result = name.empty() ? std::string() : d->Get(name);
    if (v.result.empty()) v.result = d->Get("Default");
  }
  if (v.result.empty()) {
    v.result = !v.deviceFound ? "no device" : printerInstalled ? "OK" : "printer not installed";
  }
  return v;
}

}  // namespace qx::diag
