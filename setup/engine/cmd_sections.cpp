// CCmdOperator: the commands that work through script sections: command
// sections, registry sections, item records, copy and delete sections.
#include "setup/core/core_context.h"
#include "setup/core/predefined_variable.h"
#include "setup/engine/cmd_operator.h"
#include "setup/engine/my_items.h"
#include "setup/engine/section_reader.h"
#include "setup/scriptlib/profile.h"

bool CCmdOperator::RunCommandSection(CommandRecord& record) {
  if (record.cstrCmdStr.empty()) {
    log_.WriteLog(0, "[CCmdOperator] Get Command section error!\n");
    return false;
  }
  if (commandDepth_ >= kMaxCommandDepth) {
    log_.WriteLog(0, "[CCmdOperator] Command section [%s] not run: sections nested deeper than %d\n",
                  record.cstrCmdStr.c_str(), kMaxCommandDepth);
    return false;
  }
  CPredefinedVariable* env = core::CurrentEnvironment();
  std::vector<std::string> lines;
  if (!env || engine::ReadSectionLines(env->GetConfigReader(), record.cstrCmdStr.c_str(), &lines) != 0) {
    log_.WriteLog(0, "[CCmdOperator] Command section fail [%s] (%s) ==> (%s)!!", record.cstrCmdStr.c_str(),
                  configFile_.c_str(), "");
    return false;
  }
  ++commandDepth_;
  for (const std::string& line : lines) RunCommandLine(ExpandScript(line));
  --commandDepth_;
  return true;
}

bool CCmdOperator::AddRegistrySection(CommandRecord& record) {
  const std::string& section = record.cstrCmdStr;
  if (section.empty()) {
    log_.WriteLog(0, "[CCmdOperator] Get Add registry section error!\n");
    return false;
  }
  HKEY root = engine::UpperCase(ScriptValue(dataFile_, section, "ROOTKEY")).find("HKCU") != std::string::npos
                  ? HKEY_CURRENT_USER
                  : HKEY_LOCAL_MACHINE;
  std::string keyName = ScriptValue(dataFile_, section, "KEYNAME");
  if (keyName.empty()) {
    log_.WriteLog(0, "[CCmdOperator] Get Add registry Key Name error!\n");
    return false;
  }
  CPredefinedVariable* env = core::CurrentEnvironment();
  for (int n = 0;; ++n) {
    std::string text = ScriptValue(dataFile_, section, ("VALUE_" + std::to_string(n)).c_str());
    if (text.empty()) break;
    engine::RegistryValue value = engine::ParseRegistryValue(text);
    if (value.name.empty()) continue;
    if (value.isDword) {
      CUtl::SetRegDword(keyName.c_str(), value.name.c_str(), CUtl::StringToNumber(value.data.c_str()), root);
    } else {
      std::string data = env ? env->ExpandVariables(value.data) : value.data;
      CUtl::SetRegString(keyName.c_str(), value.name.c_str(), data.c_str(), root);
    }
  }
  return true;
}

bool CCmdOperator::WriteItemInfo() {
  // The model is about a few hundred bytes per item; it lives on the heap.
  auto items = std::make_unique<CMyItems>();
  if (!items->Load("ITEM_INFO", false)) return false;
  items->WriteItemRecords();
  items->WriteShortcutRecords();
  items->WriteCopyRecords();
  return true;
}

bool CCmdOperator::FileSection(CommandRecord& record, bool copy) {
  const std::string& section = record.cstrCmdStr;
  if (section.empty()) {
    log_.WriteLog(0, "[CCmdOperator] Copy file fail.....Invalid section name!!!");
    return false;
  }
  CPredefinedVariable* env = core::CurrentEnvironment();
  std::string supported = engine::UpperCase(ScriptValue(dataFile_, section, "SUPPORTED_OS"));
  if (!supported.empty() && env && supported.find(engine::UpperCase(env->GetOsString())) == std::string::npos) {
    return true;
  }
  log_.WriteLog(0, copy ? "[CCmdOperator] Copy file %s" : "[CCmdOperator] Delete file %s", section.c_str());
  std::vector<std::string> lines;
  if (!env || engine::ReadSectionLines(env->GetDataReader(), section.c_str(), &lines) != 0) {
    log_.WriteLog(0,
                  copy ? "[CCmdOperator] Get copy file information fail!! [%s] (%s)"
                       : "[CCmdOperator] Get Delete file information fail!! [%s] (%s)",
                  section.c_str(), dataFile_.c_str());
    return false;
  }
  for (const std::string& line : lines) {
    std::string entry = ExpandScript(line);
    log_.WriteLog(0, "[CCmdOperator] Copy Command = %s\n", entry.c_str());
    engine::FileEntry parts = engine::SplitFileEntry(entry);
    engine::FileTarget target = engine::TargetOf(parts.kind);
    if (!copy) {
      log_.WriteLog(0, "[CCmdOperator] Delete Type = %s, Target = %s\n", parts.kind.c_str(), parts.arguments.c_str());
      if (target == engine::FileTarget::kFile) CUtl::DeleteFileOnReboot(parts.arguments.c_str());
      else if (target == engine::FileTarget::kDirectory) CUtl::DeleteDirectoryTree(parts.arguments.c_str(), true);
      continue;
    }
    std::optional<engine::CopyArguments> arguments = engine::ParseCopyArguments(parts.arguments);
    if (!arguments) {
      log_.WriteLog(0, "[CCmdOperator] Invalid copy command (%s)\n", parts.arguments.c_str());
      continue;
    }
    log_.WriteLog(0, "   Buffer = %s\n", arguments->rest.c_str());
    log_.WriteLog(0, "[CCmdOperator] Copy Type = %s, Src = %s, Dest = %s , Save history = %d\n", parts.kind.c_str(),
                  arguments->source.c_str(), arguments->destination.c_str(), arguments->saveHistory ? 1 : 0);
    bool copied = true;
    if (target == engine::FileTarget::kFile) {
      copied = CUtl::CopyOneFile(arguments->source.c_str(), arguments->destination.c_str(), arguments->saveHistory,
                                 false);
    } else if (target == engine::FileTarget::kDirectory) {
      copied = CUtl::CopyDirectoryTree(arguments->source.c_str(), arguments->destination.c_str(),
                                       arguments->saveHistory, true);
    }
    if (!copied) {
      log_.WriteLog(GetLastError(), "[CCmdOperator] Copy fail (%s ==> %s)\n", arguments->source.c_str(),
                    arguments->destination.c_str());
    }
  }
  return true;
}
