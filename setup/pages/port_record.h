#pragma once
// The port record "<install root>\Port" that the printer installation reads:
// Name, IP, MAC, SnmpFile, Monitor, MonitorFile (all strings). Written by the
// printer selection and port setup pages; recording also sets $IP$.
#include <string>

namespace pages {

void RecordPort(const std::string& ip, const std::string& mac, const std::string& name);

}  // namespace pages
