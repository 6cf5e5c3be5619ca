#pragma once
// CMyItems: the install items of the data file. Load reads the items named in
// ITEM_INFO, drops those the running system does not support (local install
// types only), decides each item's ticked state for the current install type
// and keeps the model; the Write* operations put the item, shortcut and copy
// records under the current installation root key, where the installation
// library, the uninstall page and the installed test read them.
//
// Needs the current environment (core::CurrentEnvironment). The items are
// owned by the model. Not for worker threads.
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "setup/core/utl.h"

struct CMyItem {
  std::string name;  // item section name
  std::string command, param;
  DWORD successReturn = 1;
  bool install = false;  // ticked
  std::string displayName, description, tooltip;
  unsigned checkValue = 0;  // the packed check table
  std::string waitFile, waitRegKey, waitRegValue, waitRegData;
  bool printer = false;
  std::string driverName, printerName, infFile, inf9x, infNt, inf2k, shareName, signedOs;
  bool defaultPrinter = false;
  bool share = false;
  bool alreadyInstalled = false;
};

class CMyItems {
 public:
  CMyItems();
  virtual ~CMyItems();
  CMyItems(const CMyItems&) = delete;
  CMyItems& operator=(const CMyItems&) = delete;

  // Reads the items named in the info section (ITEM_INFO). False only when
  // COUNTS is missing or there is no environment.
  bool Load(const char* infoSection, bool factory);
  int Count() const { return static_cast<int>(items_.size()); }
  CMyItem* Item(int index) const;
  void Clear();

  bool WriteItemRecords();
  bool WriteShortcutRecords();
  bool WriteCopyRecords();
  void RewriteCommands();
  bool DeleteItemRecord(const char* name);
  static bool IsItemInstalled(const char* nameOrKey, bool isKey, bool recordOnly, bool driverCheck);

  // The check number of the item for the current install type (5 for an
  // item found installed).
  unsigned CheckNumber(const CMyItem& item) const { return ItemState(item); }
  bool IsRemote() const { return remote_; }
  bool IsFactory() const { return factory_; }
  unsigned long InstallType() const { return installType_; }

 private:
  std::string Value(const std::string& section, const char* key) const;   // script value of the data file
  std::string Message(const std::string& key) const;                      // MESSAGES text of a key
  std::string Expanded(const std::string& text) const;                    // unless remote
  std::unique_ptr<CMyItem> ReadItem(const std::string& section);
  unsigned ItemState(const CMyItem& item) const;
  long ItemLimit(long counts);
  static long CountValue(const std::string& text);
  void WriteItemRecord(const CMyItem& item);
  void WriteUninstallValues(const CMyItem& item, const std::string& key);
  std::vector<std::string> SectionLines(const char* section) const;
  bool ReadInfoSection(const char* section, std::vector<std::string>* lines) const;

  CUtl log_;
  std::string configFile_, dataFile_, stringFile_, installKey_;
  std::string infoSection_ = "ITEM_INFO";
  unsigned long installType_ = 0;
  bool remote_ = false;
  bool factory_ = false;
  std::vector<std::unique_ptr<CMyItem>> items_;
};
