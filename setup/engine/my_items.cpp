// CMyItems: loading the model from the data file.
#include "setup/engine/my_items.h"

#include <cstdlib>
#include <new>

#include "setup/core/core_context.h"
#include "setup/core/predefined_variable.h"
#include "setup/engine/command_rules.h"
#include "setup/engine/item_rules.h"
#include "setup/engine/section_reader.h"

CMyItems::CMyItems() { log_.BorrowApplicationLog(); }

CMyItems::~CMyItems() = default;

CMyItem* CMyItems::Item(int index) const {
  return index >= 0 && index < Count() ? items_[static_cast<size_t>(index)].get() : nullptr;
}

void CMyItems::Clear() {
  items_.clear();
  factory_ = false;
}

std::string CMyItems::Value(const std::string& section, const char* key) const {
  return CUtl::GetScriptString(section.c_str(), key, dataFile_.c_str(), stringFile_.c_str(), stringFile_.c_str());
}

std::string CMyItems::Message(const std::string& key) const {
  return CUtl::GetScriptString("MESSAGES", key.c_str(), stringFile_.c_str(), "", "");
}

std::string CMyItems::Expanded(const std::string& text) const {
  CPredefinedVariable* env = core::CurrentEnvironment();
  return remote_ || !env ? text : env->ExpandVariables(text);
}

std::vector<std::string> CMyItems::SectionLines(const char* section) const {
  std::vector<std::string> lines;
  CPredefinedVariable* env = core::CurrentEnvironment();
  if (!env || engine::ReadSectionLines(env->GetDataReader(), section, &lines) != 0) lines.clear();
  return lines;
}

// COUNTS: decimal (beyond the long range it is cut to the largest long) or
// "0x" hexadecimal as the utilities read numbers; a minus sign means none.
long CMyItems::CountValue(const std::string& text) {
  if (text.empty() || text[0] == '-') return -1;
  if (engine::UpperCase(text).find("0X") != std::string::npos) return static_cast<long>(CUtl::StringToNumber(text.c_str()));
  unsigned long long value = std::strtoull(text.c_str(), nullptr, 10);
  return value > 0x7FFFFFFFull ? 0x7FFFFFFFl : static_cast<long>(value);
}

// COUNTS is taken as a signed number: a negative count reads nothing. A count
// beyond the highest ITEM_n key of the section is cut to it, so a mistyped
// huge count cannot keep the loop reading missing keys for minutes.
long CMyItems::ItemLimit(long counts) {
  if (counts <= 0) return 0;
  long highest = -1;
  for (const std::string& line : SectionLines(infoSection_.c_str())) {
    std::string upper = engine::UpperCase(line);
    if (upper.rfind("ITEM_", 0) != 0) continue;
    char* end = nullptr;
    long number = std::strtol(upper.c_str() + 5, &end, 10);
    std::string rest = end ? engine::TrimBlanks(end) : std::string();
    if (end != upper.c_str() + 5 && number >= 0 && !rest.empty() && rest[0] == '=' && number > highest) {
      highest = number;
    }
  }
  if (highest + 1 < counts) {
    log_.WriteLog(0, "[CMyItems] Item counts %ld but the last item key is ITEM_%ld\n", counts, highest);
    return highest + 1;
  }
  return counts;
}

bool CMyItems::Load(const char* infoSection, bool factory) {
  CPredefinedVariable* env = core::CurrentEnvironment();
  if (!env) {
    log_.WriteLog(0, "[CMyItems] No environment for the items\n");
    return false;
  }
  configFile_ = env->GetConfigFile();
  dataFile_ = env->GetDataFile();
  stringFile_ = env->GetStringFile();
  installKey_ = env->GetInstallKey();
  if (infoSection && *infoSection) infoSection_ = infoSection;
  factory_ = factory;
  installType_ = CUtl::GetRegDword(installKey_.c_str(), "Install_Type", HKEY_LOCAL_MACHINE, 0);
  remote_ = engine::IsRemoteInstallType(installType_);

  std::string counts = Value(infoSection_, "COUNTS");
  if (counts.empty()) {
    log_.WriteLog(0, "[CMyItems] Get Item counts fail");
    return false;
  }
  long n = ItemLimit(CountValue(engine::TrimBlanks(counts)));
  std::string osString = engine::UpperCase(env->GetOsString());

  for (long i = 0; i < n; ++i) {
    std::string key = "ITEM_" + std::to_string(i);
    std::string section = Value(infoSection_, key.c_str());
    if (section.empty()) {
      log_.WriteLog(0, "[CMyItems] Get Item Section fail [%s]", key.c_str());
      continue;
    }
    // An empty OS string (a system the data file does not name) is in no list.
    if (!remote_ && !osString.empty() &&
        engine::UpperCase(Value(section, "UNSUPPORTED_OS")).find(osString) != std::string::npos) {
      log_.WriteLog(0, "[CMyItems] %s item is not supported in this os\n", section.c_str());
      continue;
    }
    std::unique_ptr<CMyItem> item = ReadItem(section);
    if (!item) {
      log_.WriteLog(0, "[CMyItems] Allocate memory fail... new function\n");
      return false;
    }
    items_.push_back(std::move(item));
  }
  return true;
}

std::unique_ptr<CMyItem> CMyItems::ReadItem(const std::string& section) {
  std::unique_ptr<CMyItem> item(new (std::nothrow) CMyItem);
  if (!item) return item;
  CMyItem& it = *item;
  it.name = section;
  it.printer = section.find("PRINTER") != std::string::npos;
  it.command = Value(section, "INST_CMDSTR");
  it.param = engine::JoinParameters(
      [&](int i) { return Value(section, ("INST_PARAM_" + std::to_string(i)).c_str()); });
  std::string success = Value(section, "SUCCESS_RETURN");
  it.successReturn = success.empty() ? 1 : CUtl::StringToNumber(success.c_str());
  bool installDefault = CUtl::StringToNumber(Value(section, "INSTALL_DEFAULT").c_str()) != 0;
  it.displayName = section;
  std::string displayKey = Value(section, "DISPLAY_NAME");
  if (!displayKey.empty()) {
    std::string text = Message(displayKey);
    if (!text.empty()) it.displayName = text;
  }
  std::string descriptionKey = Value(section, "DESCRIPTION");
  if (!descriptionKey.empty()) it.description = Message(descriptionKey);
  std::string tooltipKey = Value(section, "TOOLTIP");
  if (!tooltipKey.empty()) it.tooltip = Message(tooltipKey);
  bool factoryTick = CUtl::StringToNumber(Value(section, "FACTORY_INSTALL").c_str()) != 0;
  unsigned numbers[6];
  for (int i = 0; i < 6; ++i) {
    std::string value = Value(section, engine::kCheckKeys[i]);
    numbers[i] = value.empty() ? engine::kCheckEmpty : CUtl::StringToNumber(value.c_str());
  }
  it.checkValue = engine::PackCheckTable(numbers);
  it.waitFile = Value(section, "WAIT_FILE");
  it.waitRegKey = Value(section, "WAIT_REGKEY");
  it.waitRegValue = Value(section, "WAIT_REGVALUE");
  it.waitRegData = Value(section, "WAIT_REGDATA");
  it.share = CUtl::GetRegDword(installKey_.c_str(), "InstallAsServer", HKEY_LOCAL_MACHINE, 0) != 0;

  if (factory_) {
    it.install = factoryTick;
  } else {
    engine::TickState state = engine::ApplyCheckNumber(ItemState(it), installDefault);
    it.install = state.ticked;
    it.alreadyInstalled = state.alreadyInstalled;
  }

  if (it.printer) {
    it.driverName = Value(section, "DRIVER_NAME");
    it.printerName = Value(section, "PRINTER_NAME");
    if (it.printerName.empty()) it.printerName = it.driverName;
    it.infFile = Value(section, "INF_FILE");
    it.inf9x = Value(section, "INF_9X");
    it.infNt = Value(section, "INF_NT");
    it.inf2k = Value(section, "INF_2K");
    it.shareName = Value(section, "SHARE_NAME");
    it.signedOs = Value(section, "SIGNED_OS");
    const char* defaultKey = installType_ <= 1 ? "DEFAULT_PRINTER" : "DEFAULT_PRINTER_NET";
    it.defaultPrinter = CUtl::StringToNumber(Value(section, defaultKey).c_str()) != 0;
  }
  return item;
}

// 5 for a non-printer item that is found installed (local install types),
// else the check number the install type selects.
unsigned CMyItems::ItemState(const CMyItem& item) const {
  if (!remote_ && !item.name.empty() && Value(item.name, "DRIVER_NAME").empty() &&
      CUtl::IsItemInstalled(item.name.c_str(), false, false, true)) {
    return engine::kCheckInstalled;
  }
  return engine::SelectCheckNumber(item.checkValue, installType_);
}

bool CMyItems::IsItemInstalled(const char* nameOrKey, bool isKey, bool recordOnly, bool driverCheck) {
  return CUtl::IsItemInstalled(nameOrKey, isKey, recordOnly, driverCheck);
}

bool CMyItems::DeleteItemRecord(const char* name) {
  if (!name || !*name) return false;
  CPredefinedVariable* env = core::CurrentEnvironment();
  if (installKey_.empty() && env) installKey_ = env->GetInstallKey();
  if (installKey_.empty()) return false;
  return CUtl::DeleteRegKey((installKey_ + "\\Items\\" + name).c_str(), true, false, HKEY_LOCAL_MACHINE);
}
