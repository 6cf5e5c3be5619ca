#include <vector>

#include "companions/exec/item_record.h"
#include "framework/handles.h"

namespace qx::exec {
namespace {

// Item values are paths and command lines; 4 KB is the registry store's limit too.
constexpr DWORD kMaxData = 4096;

std::string ReadString(HKEY key, const char* name) {
  std::vector<char> buffer(kMaxData + 1, '\0');
  DWORD size = kMaxData, type = 0;
  if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &size) != ERROR_SUCCESS)
    return {};
  if (type != REG_SZ && type != REG_EXPAND_SZ) return {};
  return std::string(buffer.data(), strnlen(buffer.data(), size));
}

DWORD ReadDword(HKEY key, const char* name, DWORD fallback) {
  DWORD value = 0, size = sizeof(value), type = 0;
  if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS ||
      type != REG_DWORD)
    return fallback;
  return value;
}

}  // namespace

bool SubkeyNames(const std::string& key, std::vector<std::string>* names) {
  fw::UniqueRegKey list;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, list.Put()) != ERROR_SUCCESS) return false;
  char name[MAX_PATH];
  for (DWORD i = 0;; ++i) {
    DWORD size = MAX_PATH;
    LONG r = RegEnumKeyExA(list.Get(), i, name, &size, nullptr, nullptr, nullptr, nullptr);
    if (r == ERROR_NO_MORE_ITEMS) break;
    if (r == ERROR_SUCCESS) names->emplace_back(name, size);
  }
  return true;
}

bool ReadItemRecord(const std::string& installKey, const std::string& name, ItemRecord* out) {
  std::string path = installKey + "\\Items\\" + name;
  fw::UniqueRegKey key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, key.Put()) != ERROR_SUCCESS) return false;
  HKEY k = key.Get();
  ItemRecord& r = *out;
  r = ItemRecord{};
  r.name = name;
  r.install = ReadDword(k, "Install", 0) != 0;
  r.uninstall = ReadDword(k, "Uninstall", 0) != 0;
  r.command = ReadString(k, "Command");
  r.param = ReadString(k, "Param");
  r.successReturn = ReadDword(k, "Success_Return", 1);
  r.uninstallSuccessReturn = ReadDword(k, "Uninstall_Success_Return", r.successReturn);
  r.waitFile = ReadString(k, "WaitFile");
  r.waitRegKey = ReadString(k, "WaitRegKey");
  r.waitRegValue = ReadString(k, "WaitRegValue");
  r.waitRegData = ReadString(k, "WaitRegData");
  r.waitTimeoutMs = ReadDword(k, "Wait_Timeout", 0);
  r.printer = ReadDword(k, "Printer", 0) != 0;
  r.driverName = ReadString(k, "Driver_Name");
  r.printerName = ReadString(k, "Printer_Name");
  if (r.printerName.empty()) r.printerName = r.driverName;
  r.infPath = ReadString(k, "Inf_Path");
  r.ntInf = ReadString(k, "Win_NT_Inf");
  r.shareName = ReadString(k, "Share_Name");
  r.spoolerName = ReadString(k, "Spooler_Name");
  r.share = ReadDword(k, "Share", 0) != 0;
  r.uninstallValueName = ReadString(k, "Uninstall_Value_Name");
  r.uninstallCmd = ReadString(k, "Uninstall_Cmd");
  r.uninstallParam = ReadString(k, "Uninstall_Param");
  return true;
}

}  // namespace qx::exec
