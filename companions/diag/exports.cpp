// qxdiag.dll: diagnosis of an installed printer. The spooler is asked for the
// printer itself; what the hardware would say comes from the simulated world.
#include <windows.h>
#include <winspool.h>

#include "companions/diag/diagnosis.h"
#include "companions/world/companion_log.h"
#include "companions/world/text.h"

namespace {

bool PrinterInstalled(const std::string& name) {
  if (name.empty()) return false;
  HANDLE printer = nullptr;
  if (!OpenPrinterA(const_cast<char*>(name.c_str()), &printer, nullptr)) return false;
  ClosePrinter(printer);
  return true;
}

}  // namespace

// Non-zero when the verdict is "OK".
extern "C" __declspec(dllexport) BOOL __stdcall Diagnosis(const char* mfg, const char* name, const char* mdl,
                                                          const char* vidpid) {
  try {
    constexpr size_t kLimit = 1024;
    std::string m = qx::world::Bounded(mfg, kLimit), n = qx::world::Bounded(name, kLimit),
                d = qx::world::Bounded(mdl, kLimit), id = qx::world::Bounded(vidpid, kLimit);
    bool installed = PrinterInstalled(n);
    auto v = qx::diag::Diagnose(qx::world::World::Load(), m, n, d, id, installed);
    qx::world::Log("qxdiag", "Diagnosis (%s, %s, %s, %s): printer %s, device %s, result %s", m.c_str(), n.c_str(),
                   d.c_str(), id.c_str(), installed ? "installed" : "not installed", v.deviceFound ? "found" : "not found",
                   v.result.c_str());
    return qx::world::EqualsNoCase(v.result, "OK");
  } catch (...) {
    return FALSE;
  }
}
