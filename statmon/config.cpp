#include "statmon/config.h"

#include <windows.h>

#include "framework/trace.h"

namespace sm {
namespace {

std::string Text(const std::string& path, const char* section, const char* key, DWORD size = 255) {
  char buffer[256] = {};
  GetPrivateProfileStringA(section, key, "", buffer, size, path.c_str());
  return buffer;
}

uint16_t Number(const std::string& path, const char* section, const char* key) {
  return static_cast<uint16_t>(GetPrivateProfileIntA(section, key, 0, path.c_str()));
}

}  // namespace

SmConfig ReadSmConfig(const std::string& path) {
  SmConfig c;
  c.modelClass = Text(path, "Model", "Class");
  c.caption = Text(path, "Model", "Caption");
  c.langKey = Text(path, "Language", "LangKey");
  c.tonerLink = Text(path, "WebLink", "Toner");
  c.linkModel = Text(path, "Model", "LinkModel");
  c.mdl = Text(path, "Model", "MDL");
  c.isSupportDevMon = Number(path, "Support", "isSupportDevMon");
  qx::Trace("## m_nIsSupportDevMon (%d)", c.isSupportDevMon);
  if (c.isSupportDevMon) {
    c.devMonName = Text(path, "DevMon", "Name");
    c.vendorId = Number(path, "DevMon", "VID");
    c.productId = Number(path, "DevMon", "PID");
  }
  return c;
}

std::string ReadDefaultLang(const std::string& path) { return Text(path, "Language", "DefaultLang", 10); }

}  // namespace sm
