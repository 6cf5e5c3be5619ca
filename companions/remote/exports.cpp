// qxremote.dll: account checks and remote installation on client computers,
// answered from the simulated world. Passwords are compared, never logged.
#include <windows.h>

#include <string>

#include "companions/contracts/remote_install_param.h"
#include "companions/remote/accounts.h"
#include "companions/world/companion_log.h"
#include "companions/world/text.h"
#include "companions/world/world.h"

using qx::world::Bounded;
using qx::world::Log;
using qx::world::MaskSecret;

namespace {

constexpr const char* kTag = "qxremote";
constexpr size_t kField = sizeof(RemoteInstallParam::userName);

// The block's fields, read within their 256 bytes even when a caller forgot the NUL.
struct Block {
  std::string computer, localIp, sourceDir, registryFile, commandLine;
  qx::remote::Credentials who;
};

Block Read(const RemoteInstallParam* p) {
  Block b;
  b.computer = Bounded(p->remoteComputer, kField);
  b.localIp = Bounded(p->localIp, kField);
  b.who = {Bounded(p->userName, kField), Bounded(p->password, kField), Bounded(p->domain, kField)};
  b.sourceDir = Bounded(p->sourceDir, kField);
  b.registryFile = Bounded(p->registryFile, kField);
  b.commandLine = Bounded(p->commandLine, kField);
  return b;
}

bool Exists(const std::string& path) {
  return !path.empty() && GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace

extern "C" {

__declspec(dllexport) BOOL __stdcall CheckLogonUser(RemoteInstallParam* param) {
  try {
    if (!param) {
      Log(kTag, "CheckLogonUser: no parameter block");
      return FALSE;
    }
    Block b = Read(param);
    bool ok = qx::remote::AccountValid(qx::world::World::Load(), b.who);
    Log(kTag, "CheckLogonUser: user %s, password %s, domain %s: %s", b.who.user.c_str(), MaskSecret(b.who.password),
        b.who.domain.c_str(), ok ? "valid" : "not valid");
    return ok;
  } catch (...) {
    return FALSE;
  }
}

__declspec(dllexport) BOOL __stdcall CheckRemoteAdmin(RemoteInstallParam* param) {
  try {
    if (!param) {
      Log(kTag, "CheckRemoteAdmin: no parameter block");
      return FALSE;
    }
    Block b = Read(param);
    auto check = qx::remote::CheckAdmin(qx::world::World::Load(), b.computer, b.who);
    Log(kTag, "CheckRemoteAdmin: computer %s, user %s, password %s, domain %s: %s", b.computer.c_str(),
        b.who.user.c_str(), MaskSecret(b.who.password), b.who.domain.c_str(), qx::remote::AdminCheckText(check));
    return check == qx::remote::AdminCheck::kAccepted;
  } catch (...) {
    return FALSE;
  }
}

// Installs on one client computer: the account must be an administrator there,
// the source directory and registry file must exist here, and the computer's
// own answer (InstallResult, default 1) decides. A success is recorded in the
// world (Installed=1, InstallCount, LastCommand) so a test or the demo sees it.
__declspec(dllexport) BOOL __stdcall DoRemoteInstall(RemoteInstallParam* param) {
  try {
    if (!param) {
      Log(kTag, "DoRemoteInstall: no parameter block");
      return FALSE;
    }
    Block b = Read(param);
    Log(kTag, "DoRemoteInstall: computer %s, local IP %s, user %s, password %s, domain %s, source %s, registry %s, command %s",
        b.computer.c_str(), b.localIp.c_str(), b.who.user.c_str(), MaskSecret(b.who.password), b.who.domain.c_str(),
        b.sourceDir.c_str(), b.registryFile.c_str(), b.commandLine.c_str());
    qx::world::World world = qx::world::World::Load();
    auto check = qx::remote::CheckAdmin(world, b.computer, b.who);
    if (check != qx::remote::AdminCheck::kAccepted) {
      Log(kTag, "DoRemoteInstall %s: %s", b.computer.c_str(), qx::remote::AdminCheckText(check));
      return FALSE;
    }
    if (!Exists(b.sourceDir) || !Exists(b.registryFile)) {
      Log(kTag, "DoRemoteInstall %s: source directory or registry file missing", b.computer.c_str());
      return FALSE;
    }
    const qx::world::Section* pc = qx::remote::FindComputer(world, b.computer);
    if (pc->GetNumber("InstallResult", 1) == 0) {
      Log(kTag, "DoRemoteInstall %s: installation failed on the computer", b.computer.c_str());
      return FALSE;
    }
    std::string count = std::to_string(pc->GetNumber("InstallCount", 0) + 1);
    qx::world::WriteWorldValue(pc->name, "Installed", "1");
    qx::world::WriteWorldValue(pc->name, "InstallCount", count.c_str());
    qx::world::WriteWorldValue(pc->name, "LastCommand", b.commandLine.c_str());
    Log(kTag, "DoRemoteInstall %s: installed", b.computer.c_str());
    return TRUE;
  } catch (...) {
    return FALSE;
  }
}

}  // extern "C"
