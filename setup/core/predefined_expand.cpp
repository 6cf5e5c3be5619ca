// CPredefinedVariable: variable expansion and the changes the pages ask for.
#include <cstdio>

#include "setup/core/core_context.h"
#include "setup/core/predefined_variable.h"
#include "setup/scriptlib/line_rules.h"

std::string CPredefinedVariable::ExpandVariables(const std::string& text) const {
  char lcid[8];
  std::snprintf(lcid, sizeof(lcid), "%04X", static_cast<unsigned>(languageId_));
  // The order matters: a value put in by an earlier token is seen by the later ones.
  const std::string lcidText = lcid;
  const std::vector<core::VariableToken> tokens = {
      {"$LANG_ABBR$", &langAbbr_},      {"$SRC_DIR$", &srcDir_},
      {"$DEST_DIR$", &destDir_},        {"$WIN_DIR$", &winDir_},
      {"$SYS_DIR$", &sysDir_},          {"$INF_DIR$", &infDir_},
      {"$OS_DIR$", &osDir_},            {"$PROGRAM_FILES_DIR$", &programFilesDir_},
      {"$LANG_DIR$", &langDir_},        {"$DATA_FILE$", &m_cstrDataFile},
      {"$CONFIG_FILE$", &configFile_},  {"$STRING_FILE$", &stringFile_},
      {"$VERSION$", &version_},         {"$IP$", &ip_},
      {"$SCANIP$", &scanIp_},           {"$STRING_FILE_NAME$", &stringFileName_},
      {"$LCID$", &lcidText},            {"$MANUAL_DIR$", &manualDir_},
      {"$MANUAL_FILE$", &manualFile_},
  };
  // A value that holds tokens again could make the text grow with every
  // token: a replacement that would pass the line limit is left out, once traced.
  bool bounded = false;
  std::string result = core::ExpandVariableTable(text, tokens, &bounded);
  if (bounded) CUtl::Trace("[CPredefinedVariable] expansion stopped at its limit (%.80s)\n", text.c_str());
  return result;
}

void CPredefinedVariable::SetDestDir(const char* directory) {
  std::string wanted = directory ? directory : "";
  std::string current = ExpandVariables(destDir_);
  // The previous choice goes when it is left empty.
  if (!current.empty() && scriptlib::UpperCase(current.c_str()) != scriptlib::UpperCase(wanted.c_str())) {
    CUtl::RemoveEmptyDirectories(current.c_str());
  }
  if (wanted.empty()) return;
  destDir_ = core::WithoutTrailingBackslash(wanted);
  CUtl::SetRegString(installKey_.c_str(), "Dest_Dir", destDir_.c_str(), HKEY_LOCAL_MACHINE);
}

void CPredefinedVariable::SetInstallKey(const char* key) { installKey_ = key ? key : ""; }

bool CPredefinedVariable::RecordDestInstallDir() {
  return core::RecordHistory(destDir_ + "\\Install", core::kHistoryDestDir);
}

void CPredefinedVariable::SetScanIP(const char* address) {
  scanIp_ = address ? address : "";
  CUtl::SetRegString(installKey_.c_str(), "NetScanIP", scanIp_.c_str(), HKEY_LOCAL_MACHINE);
}

bool CPredefinedVariable::LoadScanIP() {
  scanIp_ = CUtl::GetRegString(installKey_.c_str(), "NetScanIP", HKEY_LOCAL_MACHINE, "");
  return true;
}
