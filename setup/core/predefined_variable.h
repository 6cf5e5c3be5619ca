#pragma once
// CPredefinedVariable: the installer's environment. One instance, a member of
// the application object, made current with core::SetCurrentEnvironment. At
// start it finds the three script files beside the program, reads the product
// identity, the directories, the language, the operating-system key and the
// product's registry root keys, and finds the companion libraries (each is
// loaded when it is first asked for). Later it expands the $...$ variables and
// takes changes of language, destination, install key and printer addresses
// from the pages.
//
// Not locked: the user-interface thread changes it, the install worker only
// reads it. The three script readers are about 33 KB each and live on the heap.
#include <windows.h>

#include <array>
#include <memory>
#include <string>

#include "companions/contracts/printer_entry.h"
#include "setup/core/environment_rules.h"
#include "setup/core/utl.h"
#include "setup/scriptlib/api_function.h"

class CProfile;

class CPredefinedVariable {
 public:
  // Library slots; all loaded ones are freed at destruction.
  enum LibrarySlot { kInstallerDll, kUninstallerDll, kUtilityDll, kRemoteInstallDll, kDiagnosisDll, kSpareDll,
                     kLibrarySlots };

  CPredefinedVariable();
  virtual ~CPredefinedVariable();
  CPredefinedVariable(const CPredefinedVariable&) = delete;
  CPredefinedVariable& operator=(const CPredefinedVariable&) = delete;

  // False when a script file is missing (the log says which).
  bool InitEnvironment();
  // The same for a given program path, as if the program ran from there.
  bool InitEnvironment(const char* programPath);

  std::string ExpandVariables(const std::string& text) const;
  bool SetLanguage(LANGID id);
  // The language page's switch while the installer runs: SetLanguage and the
  // values derived from the language (the pages' abbreviation; the string
  // file, language and manual directories and the reading direction come with
  // SetLanguage). False for 0 or when the language cannot be set.
  bool SwitchLanguage(LANGID id);
  void SetManualLanguage(LANGID id);
  bool IsLanguageListed(LANGID id, const char* listKey);
  core::LanguageMatch MatchLanguage(LANGID id);
  bool IsRightAligned(LANGID id);
  void SetDestDir(const char* directory);
  void SetInstallKey(const char* key);
  bool RecordDestInstallDir();
  void SetIP(const char* address) { ip_ = address ? address : ""; }
  void SetScanIP(const char* address);
  bool LoadScanIP();
  // The printer table of the printer search (200 entries), kept for the whole
  // run: the selection and port pages read it again.
  PRINTER_ENTRY* GetPrinterTable() { return printerTable_.get(); }
  // Names the product without a data file (MFG and program name) and derives
  // the three registry root keys from them; used by runs that work on the
  // product's registry only.
  void SetProductIdentity(const char* mfg, const char* programName);

  // Accessors.
  const std::string& GetMfg() const { return mfg_; }
  const std::string& GetMdl() const { return mdl_; }
  const std::string& GetVidPid() const { return vidpid_; }
  const std::string& GetProgramName() const { return programName_; }
  const std::string& GetFindingStr1() const { return findingStr1_; }
  const std::string& GetFindingStr2() const { return findingStr2_; }
  const std::string& GetDataFile() const { return m_cstrDataFile; }
  const std::string& GetConfigFile() const { return configFile_; }
  const std::string& GetStringFile() const { return stringFile_; }
  const std::string& GetStringFileName() const { return stringFileName_; }
  const std::string& GetStringFileFormat() const { return stringFileFormat_; }
  const std::string& GetResourceDll() const { return resourceDll_; }
  const std::string& GetSrcDir() const { return srcDir_; }
  const std::string& GetDestDir() const { return destDir_; }
  const std::string& GetWinDir() const { return winDir_; }
  const std::string& GetSysDir() const { return sysDir_; }
  const std::string& GetInfDir() const { return infDir_; }
  const std::string& GetOsDir() const { return osDir_; }
  const std::string& GetOsString() const { return osString_; }
  const std::string& GetProgramFilesDir() const { return programFilesDir_; }
  const std::string& GetLangDir() const { return langDir_; }
  const std::string& GetLangAbbr() const { return langAbbr_; }
  const std::string& GetPageLangAbbr() const { return pageLangAbbr_; }
  void SetPageLangAbbr(const char* abbreviation) { pageLangAbbr_ = abbreviation ? abbreviation : ""; }
  LANGID GetLanguageId() const { return languageId_; }
  const std::string& GetVersion() const { return version_; }
  const std::string& GetManualDir() const { return manualDir_; }
  const std::string& GetManualFile() const { return manualFile_; }
  const std::string& GetInstallKey() const { return installKey_; }
  const std::string& GetUninstallKey() const { return uninstallKey_; }
  const std::string& GetUninstallInfoKey() const { return uninstallInfoKey_; }
  const std::string& GetTempDir() const { return tempDir_; }
  const std::string& GetIP() const { return ip_; }
  const std::string& GetScanIP() const { return scanIp_; }
  const std::string& GetNetworkLibraryPath() const { return networkLibrary_; }
  bool IsRightToLeft() const { return rightToLeft_; }
  bool IsInstallMode() const { return installMode_; }
  void SetInstallMode(bool install) { installMode_ = install; }
  // A companion library, loaded at its first use (the start-up resolves the
  // paths only: the first page needs none of the libraries). A failed load is
  // logged once; null then and for a slot without a library. Called on the
  // user-interface thread.
  HMODULE GetLibrary(LibrarySlot slot);
  CAPIFunction& GetAPIFunction() { return api_; }
  CProfile& GetDataReader() { return *dataReader_; }
  CProfile& GetStringReader() { return *stringReader_; }
  CProfile& GetConfigReader() { return *configReader_; }
  CUtl& Log() { return log_; }

 private:
  bool FindScriptFiles(const std::string& programPath);
  std::string ResolveFile(const std::string& name);
  std::string ReadDataValue(const char* key, size_t size);  // the data reader, PROGRAM_INFO
  std::string ProgramInfo(const char* key) const;           // GetScriptString, PROGRAM_INFO
  std::string DataScript(const std::string& section, const std::string& key) const;
  std::string LanguageDirectory(LANGID id, const std::string& fallback);
  void FindDirectories();
  void FindOsString();
  void WriteEnvironmentLog();
  void FindCompanionLibraries();
  void FreeLibraries();
  void SetRootKeys();

  CUtl log_;
  CAPIFunction api_;
  std::unique_ptr<CProfile> dataReader_;
  std::unique_ptr<CProfile> stringReader_;
  std::unique_ptr<CProfile> configReader_;
  bool rightToLeft_ = false;
  bool installMode_ = true;
  std::string mfg_, mdl_, vidpid_;
  std::string programName_ = "Tarquen Printer Installer Program";
  std::string findingStr1_, findingStr2_;
  std::string m_cstrDataFile, configFile_, stringFile_, stringFileFormat_, stringFileName_, resourceDll_;
  std::string manualFilePattern_, manualDirPattern_, manualFile_, manualDir_;
  LANGID languageId_ = 9;
  std::string langAbbr_ = "EN", pageLangAbbr_ = "EN";
  std::string srcDir_, destDir_, winDir_, sysDir_, infDir_, osDir_, programFilesDir_, langDir_, version_;
  std::string osString_;
  std::string installKey_, uninstallKey_, uninstallInfoKey_;
  std::string tempDir_;
  std::string ip_, scanIp_;
  std::unique_ptr<PRINTER_ENTRY[]> printerTable_ = std::make_unique<PRINTER_ENTRY[]>(qx::contracts::kPrinterTableSize);
  std::string networkLibrary_;
  std::array<std::string, kLibrarySlots> libraryPaths_;  // resolved at start-up, empty when missing
  std::array<bool, kLibrarySlots> libraryTried_{};
  std::array<HMODULE, kLibrarySlots> libraries_{};
};
