// qxutil.dll: system refresh, device clean-up, plug-and-play prevention,
// registry export and the local printer port search, answered from the
// simulated world. Every export catches everything: nothing may cross the DLL
// boundary.
#include <windows.h>

#include <atomic>
#include <string>

#include "companions/util/devices.h"
#include "companions/util/reg_file.h"
#include "companions/world/companion_log.h"
#include "companions/world/text.h"
#include "companions/world/world.h"

using qx::world::Bounded;
using qx::world::Log;

namespace {

constexpr const char* kTag = "qxutil";
// Texts from the installer: model names, ids and paths are far shorter.
constexpr size_t kTextLimit = 1024;
// The smaller of the two buffers callers hand to GetDevicePort.
constexpr size_t kPortBufferSize = 260;

std::atomic<bool> g_preventing{false};

struct WizardSearch {
  std::vector<std::string> titles;
  int closed = 0;
};

BOOL CALLBACK CloseWizard(HWND hwnd, LPARAM param) {
  auto* search = reinterpret_cast<WizardSearch*>(param);
  char title[256] = {};
  GetWindowTextA(hwnd, title, sizeof(title));
  for (const std::string& t : search->titles) {
    if (qx::world::EqualsNoCase(title, t)) {
      PostMessageA(hwnd, WM_CLOSE, 0, 0);
      ++search->closed;
      break;
    }
  }
  return TRUE;
}

}  // namespace

extern "C" {

__declspec(dllexport) BOOL __stdcall SystemRefresh(const char* model, const char* vidpid) {
  try {
    std::string m = Bounded(model, kTextLimit), id = Bounded(vidpid, kTextLimit);
    auto devices = qx::util::MatchingDevices(qx::world::World::Load(), "", m, id);
    Log(kTag, "SystemRefresh (%s, %s): %u matching device(s) present", m.c_str(), id.c_str(),
        static_cast<unsigned>(devices.size()));
    return TRUE;
  } catch (...) {
    return FALSE;
  }
}

__declspec(dllexport) BOOL __stdcall RemoveHardwareWizardDialog() {
  try {
    WizardSearch search{qx::util::WizardTitles(qx::world::World::Load()), 0};
    EnumWindows(CloseWizard, reinterpret_cast<LPARAM>(&search));
    Log(kTag, "RemoveHardwareWizardDialog: %d wizard window(s) closed", search.closed);
    return TRUE;
  } catch (...) {
    return FALSE;
  }
}

__declspec(dllexport) BOOL __stdcall RemoveUnknownDev(const char* model, const char* vidpid) {
  try {
    std::string m = Bounded(model, kTextLimit), id = Bounded(vidpid, kTextLimit);
    auto sections = qx::util::MatchingUnknownDevices(qx::world::World::Load(), m, id);
    int removed = 0;
    for (const std::string& s : sections) {
      // The device is gone from this simulated machine: drop its section.
      if (qx::world::WriteWorldValue(s, nullptr, nullptr)) {
        ++removed;
        Log(kTag, "RemoveUnknownDev: removed unknown device [%s]", s.c_str());
      } else {
        Log(kTag, "RemoveUnknownDev: cannot remove unknown device [%s]", s.c_str());
      }
    }
    Log(kTag, "RemoveUnknownDev (%s, %s): %d device(s) removed", m.c_str(), id.c_str(), removed);
    return removed == static_cast<int>(sections.size());
  } catch (...) {
    return FALSE;
  }
}

__declspec(dllexport) BOOL __stdcall StartPreventPnP(const char* model) {
  try {
    std::string m = Bounded(model, kTextLimit);
    if (m.empty()) {
      Log(kTag, "StartPreventPnP: no model given");
      return FALSE;
    }
    if (!qx::util::PreventionAllowed(qx::world::World::Load())) {
      Log(kTag, "StartPreventPnP (%s): refused by the system", m.c_str());
      return FALSE;
    }
    g_preventing = true;
    Log(kTag, "StartPreventPnP (%s): started", m.c_str());
    return TRUE;
  } catch (...) {
    return FALSE;
  }
}

__declspec(dllexport) BOOL __stdcall EndPreventPnP(const char* model) {
  try {
    std::string m = Bounded(model, kTextLimit);
    bool was = g_preventing.exchange(false);
    Log(kTag, "EndPreventPnP (%s): %s", m.c_str(), was ? "ended" : "was not started");
    return was ? TRUE : FALSE;
  } catch (...) {
    return FALSE;
  }
}

// The key is in the local machine hive; the third argument is reserved (0).
__declspec(dllexport) BOOL __stdcall SaveFile(const char* file, const char* key, int reserved) {
  try {
    std::string f = Bounded(file, MAX_PATH), k = Bounded(key, MAX_PATH);
    if (f.empty() || k.empty() || f.size() >= MAX_PATH || k.size() >= MAX_PATH) {
      Log(kTag, "SaveFile: bad arguments");
      return FALSE;
    }
    DWORD r = qx::util::SaveKeyTree(f, HKEY_LOCAL_MACHINE, k);
    Log(kTag, "SaveFile (%s -> %s, %d): %s (%lu)", k.c_str(), f.c_str(), reserved, r == 0 ? "saved" : "failed", r);
    return r == 0;
  } catch (...) {
    return FALSE;
  }
}

// Our own addition, not used by the installer: loads a file that SaveFile wrote.
__declspec(dllexport) BOOL __stdcall LoadFile(const char* file) {
  try {
    std::string f = Bounded(file, MAX_PATH);
    if (f.empty() || f.size() >= MAX_PATH) return FALSE;
    DWORD r = qx::util::LoadKeyTrees(f);
    Log(kTag, "LoadFile (%s): %s (%lu)", f.c_str(), r == 0 ? "loaded" : "failed", r);
    return r == 0;
  } catch (...) {
    return FALSE;
  }
}

__declspec(dllexport) int __stdcall GetDevicePort(const char* mfg, const char* mdl, const char* vidpid, char* port,
                                                  int* count) {
  try {
    if (count) *count = 0;
    if (port) port[0] = '\0';
    std::string m = Bounded(mfg, kTextLimit), d = Bounded(mdl, kTextLimit), id = Bounded(vidpid, kTextLimit);
    auto devices = qx::util::MatchingDevices(qx::world::World::Load(), m, d, id);
    int n = static_cast<int>(devices.size());
    if (!devices.empty() && port) qx::world::CopyOut(port, kPortBufferSize, devices.front().port);
    if (count) *count = n;
    Log(kTag, "GetDevicePort (%s, %s, %s): %d device(s), port %s", m.c_str(), d.c_str(), id.c_str(), n,
        devices.empty() ? "(none)" : devices.front().port.c_str());
    return n;
  } catch (...) {
    if (count) *count = 0;
    return 0;
  }
}

}  // extern "C"
