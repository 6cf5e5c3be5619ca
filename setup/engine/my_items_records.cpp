// CMyItems: the item, shortcut and copy records in the registry.
#include "setup/core/core_context.h"
#include "setup/core/predefined_variable.h"
#include "setup/engine/command_rules.h"
#include "setup/engine/section_reader.h"
#include "setup/engine/item_rules.h"
#include "setup/engine/my_items.h"

namespace {

void PutString(const std::string& key, const char* name, const std::string& value) {
  CUtl::SetRegString(key.c_str(), name, value.c_str(), HKEY_LOCAL_MACHINE);
}
void PutStringIfSet(const std::string& key, const char* name, const std::string& value) {
  if (!value.empty()) PutString(key, name, value);
}
void PutDword(const std::string& key, const char* name, DWORD value) {
  CUtl::SetRegDword(key.c_str(), name, value, HKEY_LOCAL_MACHINE);
}

}  // namespace

bool CMyItems::ReadInfoSection(const char* section, std::vector<std::string>* lines) const {
  CPredefinedVariable* env = core::CurrentEnvironment();
  return env && engine::ReadSectionLines(env->GetDataReader(), section, lines) == 0;
}

bool CMyItems::WriteItemRecords() {
  for (const auto& item : items_) {
    if (item->name.empty()) {
      log_.WriteLog(0, "[CMyItems] WriteItemInfo fail!!\n");
      continue;
    }
    WriteItemRecord(*item);
  }
  return true;
}

void CMyItems::WriteItemRecord(const CMyItem& item) {
  std::string key = installKey_ + "\\Items\\" + item.name;
  PutString(key, "DisplayName", item.displayName);
  PutDword(key, "Install", item.install ? 1 : 0);
  PutDword(key, "Install_OK", item.alreadyInstalled ? 1 : 0);
  PutStringIfSet(key, "Item_Name", item.name);
  PutStringIfSet(key, "Command", Expanded(item.command));
  PutStringIfSet(key, "Param", Expanded(item.param));
  PutDword(key, "Success_Return", item.successReturn);
  // The wait and uninstall values are expanded like the command: the
  // installation library reads them literally, so a "$DEST_DIR$" left in a
  // wait file would never be found (remote installs expand them later, on
  // the client, as they do the command).
  PutStringIfSet(key, "WaitFile", Expanded(item.waitFile));
  PutStringIfSet(key, "WaitRegKey", Expanded(item.waitRegKey));
  PutStringIfSet(key, "WaitRegValue", item.waitRegValue);
  PutStringIfSet(key, "WaitRegData", item.waitRegData);
  PutDword(key, "Printer", item.printer ? 1 : 0);
  if (item.printer) {
    PutStringIfSet(key, "Inf_Path", Expanded(item.infFile));
    PutStringIfSet(key, "Win_9x_Inf", Expanded(item.inf9x));
    PutStringIfSet(key, "Win_NT_Inf", Expanded(item.infNt));
    PutStringIfSet(key, "Driver_Name", item.driverName);
    PutStringIfSet(key, "Printer_Name", item.printerName);
    PutStringIfSet(key, "Share_Name", item.shareName);
    PutDword(key, "Share", item.share ? 1 : 0);
    if (item.defaultPrinter && !item.printerName.empty()) PutString(installKey_, "Default_Printer", item.printerName);
  }
  WriteUninstallValues(item, key);
}

void CMyItems::WriteUninstallValues(const CMyItem& item, const std::string& key) {
  if (item.name.empty()) {
    log_.WriteLog(0, "[CMyItems] Get Item section name fail!! [%s]\n", key.c_str());
    return;
  }
  PutString(key, "Uninstall_Value_Name", Value(item.name, "UNINST_VALUE_NAME"));
  PutString(key, "Uninstall_Cmd", Expanded(Value(item.name, "UNINST_CMDSTR")));
  PutString(key, "Uninstall_Param", Expanded(engine::JoinParameters([&](int i) {
              return Value(item.name, ("UNINST_PARAM_" + std::to_string(i)).c_str());
            })));
}

void CMyItems::RewriteCommands() {
  for (const auto& item : items_) {
    std::string key = installKey_ + "\\Items\\" + item->name;
    if (!item->command.empty()) {
      std::string command = Expanded(item->command);
      log_.WriteLog(0, "Write [%s] Item Command CMD = %s", item->name.c_str(), command.c_str());
      PutString(key, "Command", command);
    }
    if (!item->param.empty()) {
      std::string param = Expanded(item->param);
      log_.WriteLog(0, "Write [%s] Item Command PARAM = %s", item->name.c_str(), param.c_str());
      PutString(key, "Param", param);
    }
  }
}

bool CMyItems::WriteShortcutRecords() {
  std::vector<std::string> sections;
  if (!ReadInfoSection("SHORTCUT_INFO", &sections)) {
    log_.WriteLog(0, "[CMyItems] Get Shortcut information fail!!");
    return false;
  }
  for (const std::string& section : sections) {
    std::string name = Value(section, "NAME");
    if (name.empty()) {
      log_.WriteLog(0, "[CMyItems] Get shortcut name fail. section: [%s]\n", section.c_str());
      continue;
    }
    std::string key = installKey_ + "\\Shortcut\\" + section;
    PutString(key, "Name", name);
    PutString(key, "Target", Expanded(Value(section, "TARGET")));
    PutString(key, "Argument", Expanded(Value(section, "ARGUMENT")));
    PutString(key, "Icon_File", Expanded(Value(section, "ICON_FILE")));
    PutString(key, "Folder_Name", Value(section, "FOLDER_NAME"));
    PutDword(key, "Icon_Index", CUtl::StringToNumber(Value(section, "ICON_INDEX").c_str()));
    PutDword(key, "Permission", CUtl::StringToNumber(Value(section, "PERMISSION").c_str()));
    PutDword(key, "Group", engine::UpperCase(engine::TrimBlanks(Value(section, "GROUP"))) == "DESKTOP" ? 1 : 0);
    PutString(key, "Icon_Description", Value(section, "DESCRIPTION"));
  }
  return true;
}

bool CMyItems::WriteCopyRecords() {
  std::vector<std::string> sections;
  if (!ReadInfoSection("COPY_FILE_INFO", &sections)) {
    log_.WriteLog(0, "[CMyItems] Get copy file information fail!!");
    return false;
  }
  for (const std::string& section : sections) {
    std::string source = Value(section, "SOURCE");
    if (source.empty()) {
      log_.WriteLog(0, "[CMyItems] Get src directory fail. section: [%s]\n", section.c_str());
      continue;
    }
    std::string destination = Value(section, "DESTINATION");
    if (destination.empty()) {
      log_.WriteLog(0, "[CMyItems] Get dest directory fail. section: [%s]\n", section.c_str());
      continue;
    }
    std::string key = installKey_ + "\\CopyFiles\\" + section;
    PutString(key, "Src", Expanded(source));
    PutString(key, "Dest", Expanded(destination));
    std::string subdir = Value(section, "COPY_SUBDIR");
    PutDword(key, "CopySubDir", subdir.empty() || CUtl::StringToNumber(subdir.c_str()) != 0 ? 1 : 0);
  }
  return true;
}
