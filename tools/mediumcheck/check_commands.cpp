// Commands: command records and command sections, the sections and pages they
// name, CT_COMMAND cycles and nesting.
#include <algorithm>

#include "setup/engine/cmd_operator.h"
#include "setup/engine/command_rules.h"
#include "tools/mediumcheck/checker_internal.h"

namespace mediumcheck {

using engine::CommandWord;

void Run::Command(const Place& where, const std::string& type, const std::string& rawStr,
                  const std::string& rawParam, std::vector<std::string>& chain) {
  std::string t = engine::TrimBlanks(type);
  if (t.empty()) return;
  std::optional<CommandWord> word = engine::LookupCommandWord(t);
  if (!word) {
    Error(where, "unknown command word " + t);
    return;
  }
  std::string str = engine::TrimBlanks(rawStr), param = engine::TrimBlanks(rawParam);
  auto needsString = [&](const char* what) {
    if (!str.empty()) return true;
    Error(where, t + " has no CMD_STR (" + what + ")");
    return false;
  };
  switch (*word) {
    case CommandWord::kOpenDlg:
      if (needsString("the page section")) Page(where, str);
      break;
    case CommandWord::kOpenFinish:
      if (needsString("the page section")) Page(where, str);
      if (!param.empty()) Page(where, param);
      break;
    case CommandWord::kFindLocalPrinter:
      if (!str.empty()) Page(where, str);
      if (!param.empty()) Page(where, param);
      break;
    case CommandWord::kCommand:
      if (needsString("the command section")) CommandSection(where, str, chain);
      break;
    case CommandWord::kAddReg:
      if (needsString("the registry section")) RegistrySection(where, str);
      break;
    case CommandWord::kCopyFile:
    case CommandWord::kDeleteFile:
      if (needsString("the file section")) FileSection(where, str, *word == CommandWord::kCopyFile);
      break;
    case CommandWord::kViewLicense:
      if (!needsString("the licence viewer section")) break;
      if (!HasSection(m.config, str)) {
        Error(where, "licence viewer section [" + str + "] is missing from " + m.config.Name());
      } else if (PageFirstTime(str)) {
        CheckPage(engine::PageKind::kLicense, str);
      }
      break;
    case CommandWord::kItemExe: {
      std::optional<engine::ItemProgram> split = engine::SplitItemProgram(str);
      if (!split) {
        Error(where, "CT_ITEM_EXE needs ITEM:PROGRAM, " + str + " has no colon");
        break;
      }
      if (!split->item.empty() && !items.count(Upper(split->item))) {
        Error(where, "CT_ITEM_EXE names the item " + split->item + ", which ITEM_INFO does not list");
      }
      MediumFile(where, split->program, "CT_ITEM_EXE program");
      break;
    }
    case CommandWord::kExeFileWait:
    case CommandWord::kExeFileNoWait:
    case CommandWord::kExeAndTerminate:
    case CommandWord::kOpenFileNoWait:
      if (needsString("the file")) MediumFile(where, str, t + " file");
      break;
    default:
      break;
  }
}

void Run::RecordSection(const Place& where, const std::string& section, std::vector<std::string>& chain,
                        bool paramIsString) {
  if (!HasSection(m.config, section)) {
    Error(where, "command record section [" + section + "] is missing from " + m.config.Name());
    return;
  }
  Visit(m.config, section);
  Place type = DialogKey(section, "CMD_TYPE");
  Place str = DialogKey(section, "CMD_STR");
  Place param = DialogKey(section, "CMD_PARAM");
  Place reg = Key(m.config, section, "ADD_REG");
  (void)reg;
  if (type && !type.Value().empty()) {
    Command(type, type.Value(), str.Value(), param.Value(), chain);
    if (paramIsString && !param.Value().empty()) Command(param, type.Value(), param.Value(), "", chain);
  } else if (str && !str.Value().empty()) {
    Warning(str, "CMD_STR without CMD_TYPE: nothing runs");
  }
}

void Run::CommandSection(const Place& where, const std::string& section, std::vector<std::string>& chain) {
  const Section* s = m.config.Find(section);
  if (!s) {
    Error(where, "command section [" + section + "] is missing from " + m.config.Name());
    return;
  }
  auto same = [&](const std::string& other) { return SameName(other, section); };
  if (std::find_if(chain.begin(), chain.end(), same) != chain.end()) {
    std::string path;
    for (const std::string& c : chain) path += c + " -> ";
    Error(where, "CT_COMMAND sections call each other in a cycle: " + path + section);
    return;
  }
  if (static_cast<int>(chain.size()) >= CCmdOperator::kMaxCommandDepth) {
    Error(where, "CT_COMMAND [" + section + "] is nested deeper than " +
                     std::to_string(CCmdOperator::kMaxCommandDepth) + " sections: a run does not run it");
    return;
  }
  Visit(m.config, section, true);
  if (s->entries.empty()) Warning(SectionPlace(m.config, section), "command section [" + section + "] is empty");
  chain.push_back(s->name);
  for (const Entry& e : s->entries) {
    // A run upper-cases the whole line: TYPE=STRING,PARAMETER.
    CommandRecord record = engine::ParseCommandLine(e.text);
    Command(Place{&m.config, e.line, &e}, record.cstrCmdType, record.cstrCmdStr, record.cstrParam, chain);
  }
  chain.pop_back();
}

void Run::Page(const Place& where, const std::string& section) {
  std::optional<engine::PageKind> kind = engine::SelectPageKind(section);
  if (!kind) {
    Error(where, "page section " + section +
                     " selects no page: its name holds none of NORMAL., SET_PRINTERS., ENTER_CLIENT_PC., "
                     "SET_PORT., SELECT_DRIVER., SELECT_PRINTER., SELECT_LANGUAGE., SELECT_ITEM., INSTALL., "
                     "UNINST., FINISH.");
    return;
  }
  if (!HasSection(m.config, section)) {
    Error(where, "page section [" + section + "] is missing from " + m.config.Name());
    return;
  }
  if (PageFirstTime(section)) CheckPage(*kind, section);
}

void Run::RegistrySection(const Place& where, const std::string& section) {
  if (!HasSection(m.data, section)) {
    Error(where, "registry section [" + section + "] is missing from " + m.data.Name());
    return;
  }
  if (!FirstTime("REG:" + section)) return;
  Visit(m.data, section);
  Key(m.data, section, "ROOTKEY");
  Place name = Key(m.data, section, "KEYNAME");
  if (!name || name.Value().empty()) Error(name, "registry section [" + section + "] has no KEYNAME");
  for (int n = 0;; ++n) {
    Place v = Key(m.data, section, "VALUE_" + std::to_string(n));
    if (!v || v.Value().empty()) break;
    if (SplitList(v.Value()).size() < 3) Warning(v, v.entry->key + " is not TYPE,NAME,DATA");
  }
}

void Run::FileSection(const Place& where, const std::string& section, bool copy) {
  const Section* s = m.data.Find(section);
  if (!s) {
    Error(where, "file section [" + section + "] is missing from " + m.data.Name());
    return;
  }
  if (!FirstTime("FILES:" + section)) return;
  Visit(m.data, section, true);
  for (const Entry& e : s->entries) {
    Place p{&m.data, e.line, &e};
    if (!e.isKey) continue;
    std::string kind = Upper(e.key);
    if (kind == "SUPPORTED_OS") {
      OsList(p, e.profileValue);
      continue;
    }
    engine::FileTarget target = engine::TargetOf(kind);
    if (target == engine::FileTarget::kOther) {
      Warning(p, e.key + " is neither a FILE nor a DIRECTORY entry: it is ignored");
      continue;
    }
    if (!copy) continue;
    std::optional<engine::CopyArguments> args = engine::ParseCopyArguments(Trim(e.value));
    if (!args) {
      Error(p, "copy entry " + e.key + " needs SOURCE,DESTINATION");
      continue;
    }
    MediumFile(p, args->source, "copy source");
  }
}

}  // namespace mediumcheck
