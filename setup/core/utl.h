#pragma once
// CUtl: the installer's toolbox. Every component that logs embeds one.
//
// Log ownership: the application's instance creates the log file
// (CreateLogFile) and owns the handle, closing it when destroyed. Every other
// instance borrows that handle (BorrowApplicationLog or SetLogHandle) and
// never closes it. Writes are not locked: the user-interface thread and the
// install worker share the handle, each write is whole.
//
// Apart from the log handle the operations keep no state and are static.
// They never throw; failures give false, the default or the colour sentinel,
// and diagnostic texts go to the debug trace only (qx::Trace), never to the
// log file. Records of created files, directories, keys and values go to the
// install history through core::RecordHistory.
#include <windows.h>

#include <cstdarg>
#include <string>

#include "setup/core/utl_rules.h"

class CUtl {
 public:
  CUtl();
  virtual ~CUtl();
  CUtl(const CUtl&) = delete;
  CUtl& operator=(const CUtl&) = delete;

  // --- log file ---------------------------------------------------------
  // "%s%s.log" of the temporary directory and the program's file name.
  bool CreateLogFile();
  // The same rule with a given temporary directory (ending in a backslash) and
  // program path: lets a test keep its log in its own folder.
  bool CreateLogFile(const char* tempDirectory, const char* programPath);
  void SetLogHandle(HANDLE handle);
  HANDLE GetLogHandle() const { return log_; }
  const std::string& GetLogPath() const { return logPath_; }
  // Borrows the handle of the instance that created the process's log file.
  void BorrowApplicationLog();
  void WriteLog(DWORD error, const char* format, ...) __attribute__((format(printf, 3, 4)));
  void WriteLogV(DWORD error, const char* format, va_list args);

  // --- debug trace ----------------------------------------------------------
  static void Trace(const char* format, ...) __attribute__((format(printf, 1, 2)));
  // "[label]system text of the code\n"
  static void TraceError(DWORD error, const char* label);
  static std::string SystemErrorText(DWORD error);

  // --- script values ----------------------------------------------------------
  static std::string GetScriptString(const char* section, const char* key, const char* scriptFile,
                                     const char* stringsFile, const char* messagesFile);
  static std::string ConvertMessage(const std::string& text, const char* messagesFile);
  static std::string ConvertStrings(const std::string& text, const char* scriptFile, const char* stringsFile);
  static std::string GetStringsValue(const std::string& token, const char* file);
  static COLORREF GetColorValue(const char* section, const char* key, const char* scriptFile);

  // --- system class -------------------------------------------------------------
  static bool GetOSVersion(int* osCode, int* osFamily);
  // The family alone, 0 when the version cannot be read.
  static int OsFamily();

  // --- registry -----------------------------------------------------------------
  static bool WriteRegistryEntry(const char* entry);
  static std::string GetRegString(const char* key, const char* valueName, HKEY root = HKEY_LOCAL_MACHINE,
                                  const char* defaultValue = "");
  static DWORD GetRegDword(const char* key, const char* valueName, HKEY root = HKEY_LOCAL_MACHINE,
                           DWORD defaultValue = 0);
  static bool SetRegString(const char* key, const char* valueName, const char* data, HKEY root = HKEY_LOCAL_MACHINE);
  static bool SetRegDword(const char* key, const char* valueName, DWORD data, HKEY root = HKEY_LOCAL_MACHINE);
  static bool CopyRegKey(const char* source, const char* destination, bool withSubkeys,
                         HKEY root = HKEY_LOCAL_MACHINE);
  static bool DeleteRegKey(const char* key, bool withSubtree, bool deleteEmptyParents,
                           HKEY root = HKEY_LOCAL_MACHINE);
  static bool DeleteRegValue(const char* key, const char* valueName, HKEY root = HKEY_LOCAL_MACHINE);
  static bool SetKeyDaclPermission(const char* key, HKEY root = HKEY_LOCAL_MACHINE);

  // --- files and directories ------------------------------------------------------
  static bool CreateDirectoryTree(const char* path, bool recordHistory);
  static bool CopyOneFile(const char* source, const char* destination, bool recordHistory, bool registerFile);
  static bool CopyDirectoryTree(const char* source, const char* destination, bool recordHistory, bool recursive);
  static bool DeleteDirectoryTree(const char* path, bool recursive);
  static bool DeleteFileAndEmptyParents(const char* path, bool keepDirectories);
  static bool RemoveEmptyDirectories(const char* path);
  static bool DeleteFileOnReboot(const char* path);
  static bool RegisterInstalledFile(const char* path);

  // --- numbers, language, printers, items ---------------------------------------------
  static DWORD StringToNumber(const char* text) { return core::StringToNumber(text); }
  static LANGID MyGetSystemDefaultLangID(bool useRegistryLocale);
  static bool FindPrinterDriver(const char* driverName, bool searchPrinters);
  static bool IsItemInstalled(const char* item, bool isKey, bool readOnly, bool searchPrinters);

  // --- system queries ---------------------------------------------------------------
  static bool IsWindowsMe();
  static bool WaitForPnPIdle();
  static int GetIPAddress(const char* host, std::string* address);
  static bool IsAdministrator();
  static std::string GetLanGroupName();
  static int ShowMessageBox(HWND owner, const char* text, const char* caption, UINT style);
  static void ShowSystemError(DWORD error, const char* caption);

 private:
  HANDLE log_ = INVALID_HANDLE_VALUE;
  bool ownsLog_ = false;
  std::string logPath_;
};
