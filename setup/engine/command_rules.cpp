#include "setup/engine/command_rules.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>

namespace engine {
namespace {

constexpr const char* kWords[kCommandWords] = {
    "CT_OPEN_DLG", "CT_EXE_FILE_WAIT", "CT_EXE_FILE_NOWAIT", "CT_EXE_AND_TERMINATE", "CT_RUNDLL",
    "CT_RUNDLL_AND_TERMINATE", "CT_OPEN_FILE_NOWAIT", "CT_OPEN_FILE_WAIT", "CT_OPEN_URL", "CT_OPEN_BROWSE",
    "CT_APP_TERMINATE", "CT_DLG_HELP", "CT_DLG_BACK", "CT_DLG_CANCEL", "CT_FIND_LOCAL_PRINTER",
    "CT_RUN_INSTALL", "CT_ADDREG", "CT_WRITE_ITEM_INFO", "CT_COMMAND", "CT_PRINT_TEST_PAGE",
    "CT_RUN_UNINSTALL", "CT_DELETE_ALL", "CT_REFRESH_SYSTEM", "CT_DIAGNOSIS", "CT_START_PREVENT_PNP",
    "CT_END_PREVENT_PNP", "CT_COPY_FILE", "CT_RUN_REMOTE_INSTALL", "CT_OPEN_FINISH",
    "CT_REMOVEHARDWAREWIZARDDIALOG", "CT_REMOVE_DEV", "CT_VIEW_LICESNE", "CT_DELETE_FILE", "CT_ITEM_EXE",
};

constexpr const char* kPrefixes[kWizardPageKinds] = {
    "NORMAL.",        "SET_PRINTERS.",  "ENTER_CLIENT_PC.", "SET_PORT.", "SELECT_DRIVER.", "SELECT_PRINTER.",
    "SELECT_LANGUAGE.", "SELECT_ITEM.", "INSTALL.",         "UNINST.",   "FINISH.",
};

char Upper(char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); }

}  // namespace

const char* CommandWordText(CommandWord word) {
  int index = static_cast<int>(word);
  return index >= 0 && index < kCommandWords ? kWords[index] : "";
}

std::string TrimChars(const std::string& text, const char* set) {
  size_t first = text.find_first_not_of(set);
  if (first == std::string::npos) return std::string();
  size_t last = text.find_last_not_of(set);
  return text.substr(first, last - first + 1);
}

std::string TrimBlanks(const std::string& text) { return TrimChars(text, " \t"); }

std::string UpperCase(std::string text) {
  for (char& c : text) c = Upper(c);
  return text;
}

bool ContainsNoCase(const std::string& text, const std::string& what) {
  return UpperCase(text).find(UpperCase(what)) != std::string::npos;
}

std::optional<CommandWord> LookupCommandWord(const std::string& type) {
  std::string word = UpperCase(TrimBlanks(type));
  if (word.empty()) return std::nullopt;
  for (int i = 0; i < kCommandWords; ++i) {
    if (word == kWords[i]) return static_cast<CommandWord>(i);
  }
  return std::nullopt;
}

CommandRecord ParseCommandLine(const std::string& line) {
  std::string text = UpperCase(line);
  CommandRecord record;
  size_t equals = text.find('=');
  if (equals == std::string::npos) {
    record.cstrCmdType = text;
    return record;
  }
  record.cstrCmdType = text.substr(0, equals);
  std::string rest = text.substr(equals + 1);
  size_t comma = rest.find(',');
  record.cstrCmdStr = rest.substr(0, comma);
  if (comma != std::string::npos) record.cstrParam = rest.substr(comma + 1);
  return record;
}

std::optional<PageKind> SelectPageKind(const std::string& section) {
  for (int i = 0; i < kWizardPageKinds; ++i) {
    if (section.find(kPrefixes[i]) != std::string::npos) return static_cast<PageKind>(i);
  }
  return std::nullopt;
}

const char* PagePrefix(PageKind kind) {
  int index = static_cast<int>(kind);
  return index >= 0 && index < kWizardPageKinds ? kPrefixes[index] : "";
}

std::optional<ItemProgram> SplitItemProgram(const std::string& text) {
  size_t colon = text.find(':');
  if (colon == std::string::npos) return std::nullopt;
  const char* white = " \t\r\n";
  return ItemProgram{TrimChars(text.substr(0, colon), white), TrimChars(text.substr(colon + 1), white)};
}

FileEntry SplitFileEntry(const std::string& entry) {
  size_t equals = entry.find('=');
  if (equals == std::string::npos) return FileEntry{UpperCase(entry), std::string()};
  return FileEntry{UpperCase(entry.substr(0, equals)), TrimChars(entry.substr(equals + 1), " ")};
}

FileTarget TargetOf(const std::string& kind) {
  if (kind.find("FILE") != std::string::npos) return FileTarget::kFile;
  if (kind.find("DIRECTORY") != std::string::npos) return FileTarget::kDirectory;
  return FileTarget::kOther;
}

bool IsZeroNumber(const std::string& text) {
  std::string t = UpperCase(TrimBlanks(text));
  if (t.rfind("0X", 0) == 0) t = t.substr(2);
  return !t.empty() && std::all_of(t.begin(), t.end(), [](char c) { return c == '0'; });
}

std::optional<CopyArguments> ParseCopyArguments(const std::string& arguments) {
  size_t comma = arguments.find(',');
  if (comma == std::string::npos) return std::nullopt;
  CopyArguments result;
  const char* quotesAndBlanks = "\" \t";
  result.source = TrimChars(arguments.substr(0, comma), quotesAndBlanks);
  result.rest = arguments.substr(comma + 1);
  size_t second = result.rest.find(',');
  result.destination = TrimChars(result.rest.substr(0, second), quotesAndBlanks);
  if (result.destination.empty()) return std::nullopt;
  if (second != std::string::npos) {
    std::string save = TrimBlanks(result.rest.substr(second + 1));
    if (!save.empty() && IsZeroNumber(save)) result.saveHistory = false;
  }
  return result;
}

RegistryValue ParseRegistryValue(const std::string& text) {
  RegistryValue value;
  size_t first = text.find(',');
  value.type = UpperCase(text.substr(0, first));
  if (first != std::string::npos) {
    size_t second = text.find(',', first + 1);
    value.name = text.substr(first + 1, second == std::string::npos ? std::string::npos : second - first - 1);
    if (second != std::string::npos) value.data = text.substr(second + 1);
  }
  value.isDword = value.type.find("REG_DWORD") != std::string::npos;
  return value;
}

std::string ClearParameters(const std::string& programName, const std::string& uninstallKey, unsigned long pid) {
  char number[16];
  std::snprintf(number, sizeof(number), "0x%lx", pid);
  return "/CLEAR /CLS " + programName + " /REG " + uninstallKey + " /PID " + number;
}

bool DiagnosisPortAccepted(const std::string& port) {
  std::string upper = UpperCase(TrimBlanks(port));
  for (const char* prefix : {"LPT", "USB", "FILE"}) {
    if (upper.rfind(prefix, 0) == 0) return true;
  }
  return false;
}

}  // namespace engine
