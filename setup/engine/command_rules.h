#pragma once
// Pure decisions of the command interpreter: trimming, the command-word table,
// command lines of command sections, page selection by section-name prefix,
// the ITEM:PROGRAM split, file-section entries, registry-section values, the
// "/CLEAR" hand-over parameters and the diagnosis port filter. No Win32 calls.
#include <optional>
#include <string>

#include "setup/engine/command_record.h"
#include "setup/engine/wizard_page.h"

namespace engine {

// The command words in the order the dispatcher compares them.
enum class CommandWord : int {
  kOpenDlg, kExeFileWait, kExeFileNoWait, kExeAndTerminate, kRunDll, kRunDllAndTerminate,
  kOpenFileNoWait, kOpenFileWait, kOpenUrl, kOpenBrowse, kAppTerminate, kDlgHelp, kDlgBack,
  kDlgCancel, kFindLocalPrinter, kRunInstall, kAddReg, kWriteItemInfo, kCommand,
  kPrintTestPage, kRunUninstall, kDeleteAll, kRefreshSystem, kDiagnosis, kStartPreventPnp,
  kEndPreventPnp, kCopyFile, kRunRemoteInstall, kOpenFinish, kRemoveHardwareWizardDialog,
  kRemoveDev, kViewLicense, kDeleteFile, kItemExe,
};
inline constexpr int kCommandWords = 34;
const char* CommandWordText(CommandWord word);

// Leading and trailing blanks and tabs removed.
std::string TrimBlanks(const std::string& text);
// Leading and trailing characters of the set removed.
std::string TrimChars(const std::string& text, const char* set);
std::string UpperCase(std::string text);
// Case-insensitive (ASCII) containment.
bool ContainsNoCase(const std::string& text, const std::string& what);

// The first word of the table that equals the trimmed type in any letter
// case; nothing for an unknown or empty word.
std::optional<CommandWord> LookupCommandWord(const std::string& type);

// A command-section line: the whole line upper-cased; the type before the
// first "=" (the whole line without one), the string after it up to the first
// ",", the parameter after that comma.
CommandRecord ParseCommandLine(const std::string& line);

// The page of a CT_OPEN_DLG section name: the first prefix of the table that
// occurs anywhere in the name. Nothing when none does.
std::optional<PageKind> SelectPageKind(const std::string& section);
const char* PagePrefix(PageKind kind);

// "ITEM:PROGRAM", split at the first colon, both parts trimmed of white space.
struct ItemProgram {
  std::string item;
  std::string program;
};
std::optional<ItemProgram> SplitItemProgram(const std::string& text);

// One entry "KIND=ARGUMENTS" of a copy or delete section.
struct FileEntry {
  std::string kind;       // upper-cased
  std::string arguments;  // trimmed of blanks
};
FileEntry SplitFileEntry(const std::string& entry);
enum class FileTarget { kFile, kDirectory, kOther };
// "FILE" anywhere wins over "DIRECTORY"; kinds may be numbered (FILE1, ...).
FileTarget TargetOf(const std::string& kind);

// "SOURCE,DESTINATION[,SAVE]" of a copy entry.
struct CopyArguments {
  std::string source;
  std::string destination;
  std::string rest;          // the text after the first comma (logged)
  bool saveHistory = true;
};
// Nothing without a comma or with an empty destination.
std::optional<CopyArguments> ParseCopyArguments(const std::string& arguments);
// The save field turns history saving off only when it is written as the
// number zero ("0", "00", "0x0"); any other text leaves saving on.
bool IsZeroNumber(const std::string& text);

// "TYPE,NAME,DATA" of a registry section's VALUE_n.
struct RegistryValue {
  std::string type;  // upper-cased
  std::string name;
  std::string data;
  bool isDword = false;  // type contains "REG_DWORD"
};
RegistryValue ParseRegistryValue(const std::string& text);

// "/CLEAR /CLS <program> /REG <uninstall key> /PID 0x<pid>", the pid in
// lower-case hexadecimal.
std::string ClearParameters(const std::string& programName, const std::string& uninstallKey, unsigned long pid);

// Diagnosis runs only for local ports: LPT, USB and FILE ports (prefix, any
// case). Network and empty ports are skipped.
bool DiagnosisPortAccepted(const std::string& port);

// The page a CT_OPEN_FINISH record opens: its parameter when the install type
// has the bit of value 4, else its string.
inline const std::string& FinishSection(const CommandRecord& record, unsigned long installType) {
  return (installType & 4) ? record.cstrParam : record.cstrCmdStr;
}

}  // namespace engine
