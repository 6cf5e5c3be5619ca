#pragma once
// CMFPSMApp: the status monitor's application object. It parses the command
// line, reads the model's configuration, decides language and reading
// direction, loads the string table, the status code table and the country
// list, keeps one running monitor per model window class, and creates the
// hidden main frame.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/app.h"
#include "framework/handles.h"
#include "statmon/config.h"
#include "statmon/country.h"
#include "statmon/job_record.h"
#include "statmon/status.h"
#include "statmon/status_code_table.h"
#include "statmon/string_table.h"

class CMainFrame;

class CMFPSMApp : public fw::App {
 public:
  static constexpr int kExitFailedStart = 1;

  CMFPSMApp();
  ~CMFPSMApp() override;

  bool InitInstance() override;
  bool Initialize();
  void CleanupGlobalTable();

  // Seams for tests: the process command line and the executable's directory.
  void SetCommandLineForTesting(const std::string& line) { commandLine_ = line; haveCommandLine_ = true; }
  void SetDirectoryForTesting(const std::string& directory) { directory_ = directory; }

  const std::string& Directory() const { return directory_; }
  const std::string& Name() const { return name_; }
  const std::string& ConfigPath() const { return configPath_; }
  const std::string& LanguageCode() const { return languageCode_; }
  const std::string& StringFile() const { return stringFile_; }
  uint32_t LeftToRight() const { return leftToRight_; }
  bool TonerMode() const { return tonerMode_; }
  const sm::SmConfig& Config() const { return config_; }
  const CStrTableList& Strings() const { return strTable_; }
  const CParser& StatusTable() const { return statusTable_; }
  const std::vector<CountryEntry>& Countries() const { return countries_; }
  const std::vector<std::string>& CountryNames() const { return countryNames_; }
  uint32_t CountryLcid() const { return countryLcid_; }
  // The one country choice of the three country combo boxes.
  void SetCountryLcid(uint32_t lcid) { countryLcid_ = lcid; }
  HBITMAP BackgroundBitmap() const { return static_cast<HBITMAP>(background_.Get()); }
  // A toner gauge by its resource number (null for another number or after DeleteBitmaps).
  HBITMAP GaugeBitmap(int resourceId) const;
  void DeleteBitmaps();
  CMainFrame* MainFrame() const { return mainFrame_.get(); }

  // Names of the pipe and the program: from the command line or a second instance.
  std::string pipeName;
  std::string programName;
  std::array<char, sm::kCopyBufferSize> copyBuffer{};
  JobInfo jobInfo;
  CStatus currentStatus;

 private:
  bool HandOverToRunningInstance();
  void LoadBitmaps();

  std::string commandLine_;
  bool haveCommandLine_ = false;
  std::string directory_;
  std::string name_;
  std::string configPath_;
  std::string languageCode_;
  std::string stringFile_;
  sm::SmConfig config_;
  uint32_t leftToRight_ = 1;
  bool tonerMode_ = false;
  bool haveNames_ = false;
  CStrTableList strTable_;
  CParser statusTable_;
  std::vector<CountryEntry> countries_;
  std::vector<std::string> countryNames_;
  uint32_t countryLcid_ = sm::kDefaultCountryLcid;
  fw::UniqueGdiObject background_;
  std::array<fw::UniqueGdiObject, 7> tonerGauges_;
  std::unique_ptr<CMainFrame> mainFrame_;
};
