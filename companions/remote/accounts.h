#pragma once
// Decisions of the remote-installation library over the simulated world:
// accounts (sections "Account") and client computers (sections "Computer").
// Pure functions, no Win32.
#include <string>

#include "companions/world/world.h"

namespace qx::remote {

struct Credentials {
  std::string user, password, domain;
};

// True when an account of that user (case-insensitive) has exactly that
// password, and its domain is empty or equals the given one (case-insensitive).
bool AccountValid(const world::World& world, const Credentials& who);

// The computer section whose Name or Ip equals the text (case-insensitive), or null.
const world::Section* FindComputer(const world::World& world, const std::string& nameOrIp);

enum class AdminCheck { kAccepted, kUnknownComputer, kOffline, kBadAccount, kNotAdmin };
AdminCheck CheckAdmin(const world::World& world, const std::string& computer, const Credentials& who);
const char* AdminCheckText(AdminCheck check);

}  // namespace qx::remote
