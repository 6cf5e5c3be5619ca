#include "statmon/order_url.h"

#include <cstdio>

namespace sm {

TonerState ChooseTonerState(const TonerState& fresh, const TonerState& current) {
  return {fresh.size != 0 ? fresh.size : current.size, fresh.level != 0 ? fresh.level : current.level};
}

std::string BuildOrderUrl(const std::string& prefix, uint32_t lcid, const std::string& serviceTag,
                          const std::string& model, const TonerState& toner) {
  char lc[16];
  std::snprintf(lc, sizeof(lc), "%08X", static_cast<unsigned>(lcid));
  std::string url = prefix + "LC=" + lc + "&ST=" + serviceTag + "&MD=" + model;
  if (toner.size != 0) url += "&KTS=" + std::to_string(toner.size * 100);
  url += "&KCMY=00&KTL=" + std::to_string(toner.level);
  return url;
}

std::string BrowserCommandLine(const std::string& browserCommand, const std::string& url) {
  if (browserCommand.empty() || url.empty()) return std::string();
  return browserCommand + " " + url + "/";
}

}  // namespace sm
