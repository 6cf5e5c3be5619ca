#pragma once
// What the sample item program does on the machine: copies a component's
// payload into a destination folder, records each file and folder it created
// in a manifest beside them and the component in the registry, and removes
// exactly that again.
#include <string>

#include "tools/sampleitem/item_rules.h"

namespace sampleitem {

// Registry record of an installed component, below HKEY_LOCAL_MACHINE
// "<registryKey>\<component>": string values "Path" and "Source", DWORD values
// "Files" and "Installed" (1). The item sections of the medium wait for
// "Installed" = 1.
struct ComponentRecord {
  bool present = false;
  std::string path;
  std::string source;
  unsigned long files = 0;
  unsigned long installed = 0;
};

// Each returns an exit code and says in *message what it did or why it failed.
ExitCode InstallComponent(const Request& request, const std::string& mediumRoot, std::string* message);
ExitCode UninstallComponent(const Request& request, std::string* message);
ComponentRecord ReadComponentRecord(const std::string& registryKey, const std::string& component);

}  // namespace sampleitem
