// CPredefinedVariable: start-up discovery of script files, identity,
// directories, operating-system key and companion libraries.
#include "setup/core/predefined_variable.h"

#include <vector>

#include "framework/handles.h"
#include "framework/library_loading.h"
#include "setup/core/core_context.h"
#include "setup/scriptlib/profile.h"

namespace {
constexpr size_t kRegistryNameLimit = 255;

bool OpensForReading(const std::string& path, DWORD* error) {
  fw::UniqueFile file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
  *error = file ? 0 : GetLastError();
  if (!file) return false;
  // A directory opens with backup semantics only; be explicit all the same.
  DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    *error = ERROR_ACCESS_DENIED;
    return false;
  }
  return true;
}

void ForwardToLog(void* context, unsigned long error, const char* text) {
  static_cast<CUtl*>(context)->WriteLog(error, "%s", text);
}

struct LibraryKey {
  const char* key;
  const char* defaultName;
};
const LibraryKey kLibraryKeys[] = {
    {"INSTALLER_DLL", ".\\data\\qxexec.dll"},      {"UNINSTALLER_DLL", ".\\data\\qxexec.dll"},
    {"UTILITY_DLL", ".\\data\\qxutil.dll"},        {"REMOTE_INSTALL_DLL", ".\\data\\qxremote.dll"},
    {"DIAGNOSIS_DLL", ".\\data\\qxdiag.dll"},
};
}  // namespace

CPredefinedVariable::CPredefinedVariable()
    : dataReader_(std::make_unique<CProfile>()),
      stringReader_(std::make_unique<CProfile>()),
      configReader_(std::make_unique<CProfile>()) {}

CPredefinedVariable::~CPredefinedVariable() {
  FreeLibraries();
  if (core::CurrentEnvironment() == this) core::SetCurrentEnvironment(nullptr);
}

void CPredefinedVariable::FreeLibraries() {
  for (HMODULE& module : libraries_) {
    if (module) FreeLibrary(module);
    module = nullptr;
  }
  libraryPaths_ = {};
  libraryTried_ = {};
}

bool CPredefinedVariable::InitEnvironment() {
  char program[MAX_PATH] = {};
  DWORD n = GetModuleFileNameA(nullptr, program, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) {
    log_.BorrowApplicationLog();
    log_.WriteLog(GetLastError(), "[CPredefinedVariable] Get module name fail\n");
    return false;
  }
  return InitEnvironment(program);
}

bool CPredefinedVariable::InitEnvironment(const char* programPath) {
  log_.BorrowApplicationLog();
  api_.Initialize(&ForwardToLog, &log_);
  if (!programPath || !*programPath) {
    log_.WriteLog(0, "[CPredefinedVariable] Get module name fail\n");
    return false;
  }
  FreeLibraries();
  if (!FindScriptFiles(programPath)) return false;

  mfg_ = ProgramInfo("MFG");
  mdl_ = ProgramInfo("MDL");
  vidpid_ = ProgramInfo("VIDPID");
  programName_ = ProgramInfo("PROGRAM_NAME");
  findingStr1_ = ProgramInfo("FINDING_STR1");
  findingStr2_ = ProgramInfo("FINDING_STR2");

  FindDirectories();
  SetRootKeys();

  char temp[MAX_PATH] = {};
  DWORD t = GetTempPathA(MAX_PATH, temp);
  tempDir_ = core::WithoutTrailingBackslash(t && t < MAX_PATH ? temp : "");

  version_ = CUtl::GetScriptString("INFOMATION", "VERSION", (srcDir_ + "\\autorun.inf").c_str(), "", "");

  destDir_ = ExpandVariables(ProgramInfo("DESTINATION_DIR"));
  if (destDir_.empty()) destDir_ = winDir_ + "\\" + mfg_ + "\\" + programName_;
  destDir_ = core::WithoutTrailingBackslash(destDir_);

  manualFilePattern_ = ExpandVariables(ProgramInfo("MANUAL_FILE"));
  manualDirPattern_ = ExpandVariables(ProgramInfo("MANUAL_DIR"));

  SetLanguage(0);
  pageLangAbbr_ = langAbbr_;
  FindOsString();
  WriteEnvironmentLog();
  FindCompanionLibraries();
  rightToLeft_ = IsRightAligned(languageId_);
  return true;
}

std::string CPredefinedVariable::ResolveFile(const std::string& name) {
  std::string path = core::ResolveAgainstSource(srcDir_, name);
  DWORD error = 0;
  if (!OpensForReading(path, &error)) {
    log_.WriteLog(error, "[CPredefinedVariable] the file does not exist [%s]\n", path.c_str());
    return std::string();
  }
  return path;
}

std::string CPredefinedVariable::ReadDataValue(const char* key, size_t size) {
  std::vector<char> buffer(size, '\0');
  if (dataReader_->GetString("PROGRAM_INFO", key, buffer.data(), static_cast<unsigned long>(size), false) !=
      ERROR_SUCCESS) {
    return std::string();
  }
  return buffer.data();
}

std::string CPredefinedVariable::ProgramInfo(const char* key) const { return DataScript("PROGRAM_INFO", key); }

std::string CPredefinedVariable::DataScript(const std::string& section, const std::string& key) const {
  return CUtl::GetScriptString(section.c_str(), key.c_str(), m_cstrDataFile.c_str(), "", "");
}

bool CPredefinedVariable::FindScriptFiles(const std::string& programPath) {
  srcDir_ = core::SourceDirectoryOf(programPath);
  m_cstrDataFile = core::DataFileOf(programPath);
  DWORD error = 0;
  if (!OpensForReading(m_cstrDataFile, &error) ||
      dataReader_->Create(m_cstrDataFile.c_str(), nullptr, false) != ERROR_SUCCESS) {
    log_.WriteLog(error ? error : ERROR_OPEN_FAILED, "[CPredefinedVariable] m_cstrDataFile file does not exist [%s]\n",
                  m_cstrDataFile.c_str());
    return false;
  }

  std::string configName = ReadDataValue("CONFIGURE_FILE", MAX_PATH);
  if (configName.empty()) {
    log_.WriteLog(0, "[CPredefinedVariable] Get Configure file name fail\n");
    return false;
  }
  configFile_ = ResolveFile(configName);
  if (!configFile_.empty() && _strnicmp(configFile_.c_str(), (srcDir_ + "\\").c_str(), srcDir_.size() + 1) != 0) {
    // Allowed (".." and drive paths are documented forms), but worth a note.
    CUtl::Trace("[CPredefinedVariable] Configure file is outside the installation medium [%s]\n",
                configFile_.c_str());
  }
  if (configFile_.empty() || configReader_->Create(configFile_.c_str(), nullptr, false) != ERROR_SUCCESS) {
    log_.WriteLog(0, "[CPredefinedVariable] Get Configure file fail [%s]\n", configName.c_str());
    configFile_.clear();
    return false;
  }

  std::string format = ReadDataValue("STRING_FILE_FORMAT", MAX_PATH);
  if (format.empty()) {
    log_.WriteLog(0, "[CPredefinedVariable] Get String file foramt fail\n");
    return false;
  }
  // The file does not exist yet as a pattern; only its place is decided here.
  stringFileFormat_ = core::ResolveAgainstSource(srcDir_, format);

  std::string resource = ReadDataValue("RESOURCE_DLL", MAX_PATH);
  if (resource.empty()) {
    log_.WriteLog(0, "[CPredefinedVariable] Get resource file name fail\n");
  } else {
    resourceDll_ = ResolveFile(resource);
  }
  return true;
}

void CPredefinedVariable::FindDirectories() {
  char buffer[MAX_PATH] = {};
  char system[MAX_PATH] = {};
  UINT systemLength = GetSystemDirectoryA(system, MAX_PATH);
  OSVERSIONINFOEXA version{};
  version.dwOSVersionInfoSize = sizeof(version);
  bool terminalServer = GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&version)) &&
                        version.dwPlatformId == VER_PLATFORM_WIN32_NT && version.wProductType != 0 &&
                        (version.wSuiteMask & VER_SUITE_TERMINAL);
  winDir_.clear();
  if (terminalServer) {
    // A terminal server gives each user a Windows directory of their own; the
    // system's one is wanted.
    winDir_ = CUtl::GetRegString("Software\\Microsoft\\Windows NT\\CurrentVersion", "SystemRoot",
                                 HKEY_LOCAL_MACHINE, "");
    if (winDir_.empty() && systemLength > 0 && systemLength < MAX_PATH) {
      winDir_ = core::SourceDirectoryOf(system);
    }
  } else {
    UINT n = GetWindowsDirectoryA(buffer, MAX_PATH);
    if (n > 0 && n < MAX_PATH) winDir_ = buffer;
  }
  if (winDir_.empty()) log_.WriteLog(GetLastError(), "[CPredefinedVariable] Get Windows directory fail\n");
  infDir_ = winDir_ + "\\Inf";

  if (systemLength > 0 && systemLength < MAX_PATH) {
    sysDir_ = system;
  } else {
    sysDir_.clear();
    log_.WriteLog(GetLastError(), "[CPredefinedVariable] Get Windows System directory fail\n");
  }
  programFilesDir_ = CUtl::GetRegString("Software\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir",
                                        HKEY_LOCAL_MACHINE, "");
}

void CPredefinedVariable::SetRootKeys() {
  std::string root = "Software\\" + mfg_ + "\\" + programName_;
  installKey_ = root + "\\Install";
  uninstallKey_ = root + "\\Uninstall";
  uninstallInfoKey_ = root + "\\UninstallInfo";
  if (mfg_.empty() || programName_.empty()) {
    log_.WriteLog(0, "[CPredefinedVariable] MFG or PROGRAM_NAME is empty: the registry root keys are incomplete\n");
  }
  if (mfg_.size() > kRegistryNameLimit || programName_.size() > kRegistryNameLimit) {
    log_.WriteLog(0, "[CPredefinedVariable] MFG or PROGRAM_NAME longer than %u characters: no registry key can hold it\n",
                  static_cast<unsigned>(kRegistryNameLimit));
  }
}

void CPredefinedVariable::SetProductIdentity(const char* mfg, const char* programName) {
  mfg_ = mfg ? mfg : "";
  programName_ = programName ? programName : "";
  SetRootKeys();
}

void CPredefinedVariable::FindOsString() {
  osString_.clear();
  osDir_.clear();
  core::OsVersionRecord record;
  if (!core::QueryOsVersion(&record)) return;
  std::string key = core::OsKey(record.platformId, record.major, record.minor);
  if (key == "0X0001040A" && CUtl::IsWindowsMe()) key = "0X0001045A";
  osString_ = DataScript("OS_DEFINE", key);
  if (osString_.empty()) osString_ = DataScript("OS_DEFINE", core::OsFallbackKey(record.platformId, record.major));
  if (!osString_.empty()) osDir_ = DataScript("OS_DIR", osString_);
}

void CPredefinedVariable::WriteEnvironmentLog() {
  log_.WriteLog(0, "[CPredefinedVariable] m_cstrDataFile file name is [%s]\n", m_cstrDataFile.c_str());
  log_.WriteLog(0, "[CPredefinedVariable] Configure file Name is [%s] \n", configFile_.c_str());
  log_.WriteLog(0, "[CPredefinedVariable] String file Name is [%s] \n", stringFile_.c_str());
  log_.WriteLog(0, "[CPredefinedVariable] Source Directroy = %s\n", srcDir_.c_str());
  log_.WriteLog(0, "[CPredefinedVariable] Destination Directroy = %s\n", destDir_.c_str());
  log_.WriteLog(0, "[CPredefinedVariable] Inf Directroy = %s\n", infDir_.c_str());
  log_.WriteLog(0, "[CPredefinedVariable] Language Abbreviation = %s\n", langAbbr_.c_str());
  log_.WriteLog(0, "[CPredefinedVariable] Language directory = %s\n", langDir_.c_str());
  log_.WriteLog(0, "[CPredefinedVariable] OS Directroy = %s\n", osDir_.c_str());
  log_.WriteLog(0, "[CPredefinedVariable] OS String = %s\n", osString_.c_str());
  log_.WriteLog(0, "[CPredefinedVariable] System Directroy = %s\n", sysDir_.c_str());
  log_.WriteLog(0, "[CPredefinedVariable] Windows Directroy = %s\n", winDir_.c_str());
  log_.WriteLog(0, "[CPredefinedVariable] Language ID = 0x%04X\n", languageId_);
  log_.WriteLog(0, "[CPredefinedVariable] Program files directory = %s\n", programFilesDir_.c_str());
  log_.WriteLog(0, "[CPredefinedVariable] Current Installation registry root key = %s\n", installKey_.c_str());
  log_.WriteLog(0, "[CPredefinedVariable] Current Uninstallation registry root key = %s\n", uninstallKey_.c_str());
  log_.WriteLog(0, "[CPredefinedVariable] Temporary directory = %s\n", tempDir_.c_str());
}

void CPredefinedVariable::FindCompanionLibraries() {
  for (size_t slot = 0; slot < std::size(kLibraryKeys); ++slot) {
    std::string name = ProgramInfo(kLibraryKeys[slot].key);
    if (name.empty()) name = kLibraryKeys[slot].defaultName;
    libraryPaths_[slot] = ResolveFile(name);
  }
  std::string network = ProgramInfo("NETWORKMAN_DLL");
  networkLibrary_ = ResolveFile(network.empty() ? ".\\data\\qxnetman.dll" : network);
}

HMODULE CPredefinedVariable::GetLibrary(LibrarySlot slot) {
  if (slot < 0 || slot >= kLibrarySlots) return nullptr;
  if (!libraryTried_[slot]) {
    // Tried once: a library that failed is not tried (and logged) again.
    libraryTried_[slot] = true;
    const std::string& path = libraryPaths_[slot];
    if (!path.empty()) {
      libraries_[slot] = fw::LoadLibraryAtPath(path.c_str());
      if (!libraries_[slot]) log_.WriteLog(GetLastError(), "[CPredefinedVariable] LoadLibrary fail (%s)", path.c_str());
    }
  }
  return libraries_[slot];
}
