#include "companions/remote/accounts.h"

#include "companions/world/text.h"

namespace qx::remote {

using world::EqualsNoCase;

bool AccountValid(const world::World& world, const Credentials& who) {
  if (who.user.empty()) return false;
  for (const world::Section* s : world.OfKind("Account")) {
    if (!EqualsNoCase(s->Get("User"), who.user)) continue;
    std::string domain = s->Get("Domain");
    if (s->Get("Password") == who.password && (domain.empty() || EqualsNoCase(domain, who.domain))) return true;
  }
  return false;
}

const world::Section* FindComputer(const world::World& world, const std::string& nameOrIp) {
  if (nameOrIp.empty()) return nullptr;
  for (const world::Section* s : world.OfKind("Computer")) {
    if (EqualsNoCase(s->Get("Name"), nameOrIp) || EqualsNoCase(s->Get("Ip"), nameOrIp)) return s;
  }
  return nullptr;
}

AdminCheck CheckAdmin(const world::World& world, const std::string& computer, const Credentials& who) {
  const world::Section* pc = FindComputer(world, computer);
  if (!pc) return AdminCheck::kUnknownComputer;
  if (pc->GetNumber("Online", 1) == 0) return AdminCheck::kOffline;
  if (!AccountValid(world, who)) return AdminCheck::kBadAccount;
  for (const std::string& admin : world::SplitList(pc->Get("Admins"))) {
    if (EqualsNoCase(admin, who.user)) return AdminCheck::kAccepted;
  }
  return AdminCheck::kNotAdmin;
}

const char* AdminCheckText(AdminCheck check) {
  switch (check) {
    case AdminCheck::kAccepted: return "accepted";
    case AdminCheck::kUnknownComputer: return "unknown computer";
    case AdminCheck::kOffline: return "computer not reachable";
    case AdminCheck::kBadAccount: return "account not valid";
    case AdminCheck::kNotAdmin: return "account is no administrator there";
  }
  return "?";
}

}  // namespace qx::remote
