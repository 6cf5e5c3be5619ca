#pragma once
// The model's configuration file "<dir>\<name>.dat", read with the system's
// private-profile functions; a missing file or key gives the defaults.
#include <cstdint>
#include <string>

namespace sm {

struct SmConfig {
  std::string modelClass;  // Model/Class: window class and title of the main frame
  std::string caption;     // Model/Caption
  std::string langKey;     // Language/LangKey
  std::string tonerLink;   // WebLink/Toner
  std::string linkModel;   // Model/LinkModel
  std::string mdl;         // Model/MDL
  uint16_t isSupportDevMon = 0;
  std::string devMonName;  // DevMon/Name, VID, PID: read only with isSupportDevMon
  uint16_t vendorId = 0;
  uint16_t productId = 0;
};

// Reads the keys in their documented order.
SmConfig ReadSmConfig(const std::string& path);
std::string ReadDefaultLang(const std::string& path);

}  // namespace sm
