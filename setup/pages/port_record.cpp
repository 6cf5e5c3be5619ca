#include "setup/pages/port_record.h"

#include "setup/core/core_context.h"
#include "setup/core/predefined_variable.h"
#include "setup/core/utl.h"
#include "setup/core/utl_rules.h"
#include "setup/ui/script_values.h"

namespace pages {

void RecordPort(const std::string& ip, const std::string& mac, const std::string& name) {
  CPredefinedVariable* env = core::CurrentEnvironment();
  if (!env) return;
  ui::ScriptFiles files = ui::ScriptFiles::FromEnvironment();
  auto info = [&](const char* key) { return ui::DataValue(files, "PROGRAM_INFO", key); };
  std::string key = env->GetInstallKey() + "\\Port";
  const char* k = key.c_str();
  CUtl::SetRegString(k, "Name", name.c_str());
  CUtl::SetRegString(k, "IP", ip.c_str());
  CUtl::SetRegString(k, "MAC", mac.c_str());
  CUtl::SetRegString(k, "SnmpFile", info("SNMPFILE").c_str());
  CUtl::SetRegString(k, "Monitor", info("NETWORK_MONITOR_NAME").c_str());
  bool nineX = CUtl::OsFamily() == core::kFamily9x;
  CUtl::SetRegString(k, "MonitorFile", info(nineX ? "NETWORK_MONITOR_FILE_9X" : "NETWORK_MONITOR_FILE_NT").c_str());
  env->SetIP(ip.c_str());
}

}  // namespace pages
