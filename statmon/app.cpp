#include "statmon/app.h"

#include <windows.h>
#include <commctrl.h>

#include "framework/trace.h"
#include "statmon/command_line.h"
#include "statmon/language.h"
#include "statmon/main_frame.h"
#include "statmon/messages.h"

namespace {

// The executable's directory and its base name (without extension).
void ModuleLocation(std::string* directory, std::string* baseName) {
  char path[MAX_PATH] = {};
  DWORD n = GetModuleFileNameA(nullptr, path, sizeof(path));
  std::string full(path, n < sizeof(path) ? n : 0);
  size_t slash = full.find_last_of('\\');
  *directory = slash == std::string::npos ? std::string(".") : full.substr(0, slash);
  std::string file = slash == std::string::npos ? full : full.substr(slash + 1);
  *baseName = file.substr(0, file.find('.'));
}

bool FileExists(const std::string& path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

CMFPSMApp::CMFPSMApp() = default;

CMFPSMApp::~CMFPSMApp() {
  mainFrame_.reset();
  CleanupGlobalTable();
}

bool CMFPSMApp::InitInstance() {
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  exitCode_ = kExitFailedStart;

  if (!haveCommandLine_) commandLine_ = GetCommandLineA();
  sm::CommandLineInfo info = sm::ParseStatmonCommandLine(commandLine_);
  haveNames_ = info.haveNames;
  if (haveNames_) {
    pipeName = info.pipeName;
    programName = info.programName;
    copyBuffer = sm::EncodeCopyBuffer(pipeName, programName);
  }
  tonerMode_ = info.tonerMode;
  qx::Trace(tonerMode_ ? "pCmdParam is null and pCommandLine is null..so toner mode" : "It's not a toner mode");

  if (!Initialize()) return false;
  if (config_.modelClass.empty()) {
    // Without Model/Class there is no main window to receive jobs and timers.
    qx::Trace("[CMFPSMApp] Model/Class is empty in %s: the monitor cannot run", configPath_.c_str());
    return false;
  }
  if (HandOverToRunningInstance()) return false;

  mainFrame_ = std::make_unique<CMainFrame>(*this);
  switch (mainFrame_->Open()) {
    case CMainFrame::OpenResult::kOk: break;
    case CMainFrame::OpenResult::kDeviceMonitorFailed:
      qx::Trace("Load Device Monitor fail");
      mainFrame_.reset();
      exitCode_ = 0;
      return false;
    case CMainFrame::OpenResult::kWindowFailed:
      mainFrame_.reset();
      return false;
  }
  if (tonerMode_) mainFrame_->ShowOrderTonerAtStart();
  exitCode_ = 0;
  return true;
}

bool CMFPSMApp::HandOverToRunningInstance() {
  const char* cls = config_.modelClass.c_str();
  HWND running = FindWindowA(cls, cls);
  if (!running) return false;
  // Bounded, so a hung monitor cannot hang its successor too.
  DWORD_PTR answer = 0;
  if (tonerMode_) {
    SendMessageTimeoutA(running, sm::WM_SM_SHOW_ORDER_TONER, 0, 0, SMTO_ABORTIFHUNG, 5000, &answer);
  } else if (haveNames_) {
    COPYDATASTRUCT data{sm::kCopyDataNames, static_cast<DWORD>(copyBuffer.size()), copyBuffer.data()};
    SendMessageTimeoutA(running, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG, 5000, &answer);
  }
  qx::Trace("Vexa Status Monitor is already running..!");
  return true;
}

bool CMFPSMApp::Initialize() {
  std::string baseName, moduleDirectory;
  ModuleLocation(&moduleDirectory, &baseName);
  if (directory_.empty()) directory_ = moduleDirectory;
  name_ = programName.empty() ? baseName : programName;
  configPath_ = directory_ + "\\" + name_ + ".dat";
  config_ = sm::ReadSmConfig(configPath_);

  languageCode_ = sm::GetCurrentNationString(config_.langKey, [&] { return sm::ReadDefaultLang(configPath_); });
  leftToRight_ = sm::IsRightToLeft(languageCode_, sm::CurrentOsVersion(), sm::Get9xResourceLocale) ? 0 : 1;
  background_.Reset(LoadBitmapA(Instance(), MAKEINTRESOURCEA(leftToRight_ ? sm::kBitmapBackground
                                                                          : sm::kBitmapBackgroundRtl)));

  stringFile_ = sm::ChooseStringFile(directory_, languageCode_, FileExists);
  strTable_.Initialize(stringFile_.c_str());  // without texts the windows stay empty

  constexpr DWORD kPhoneBuffer = 4096;
  auto phone = std::make_unique<char[]>(kPhoneBuffer);  // cleared
  DWORD got = GetPrivateProfileSectionA("Phone", phone.get(), kPhoneBuffer, configPath_.c_str());
  (void)got;  // the buffer was cleared: the parser stops at the first empty entry
  sm::ParsePhoneSection(phone.get(), kPhoneBuffer, strTable_, &countries_,
                        &countryNames_);

  std::string table = directory_ + "\\smcode.dat";
  if (!FileExists(table)) {
    qx::Trace("[critical error] smcode.dat file is not found");
    return false;
  }
  statusTable_.SetPath(table);
  statusTable_.ReadFile();  // a refused line leaves the lines before it in force

  LoadBitmaps();
  countryLcid_ = sm::GetDefaultLangID(countries_);
  qx::Trace("Exit Initialize");
  return true;
}

void CMFPSMApp::LoadBitmaps() {
  for (size_t i = 0; i < tonerGauges_.size(); ++i)
    tonerGauges_[i].Reset(LoadBitmapA(Instance(), MAKEINTRESOURCEA(sm::kTonerGaugeBitmaps[i])));
}

HBITMAP CMFPSMApp::GaugeBitmap(int resourceId) const {
  for (size_t i = 0; i < tonerGauges_.size(); ++i)
    if (sm::kTonerGaugeBitmaps[i] == resourceId) return static_cast<HBITMAP>(tonerGauges_[i].Get());
  return nullptr;
}

void CMFPSMApp::DeleteBitmaps() {
  background_.Reset();
  for (auto& gauge : tonerGauges_) gauge.Reset();
}

void CMFPSMApp::CleanupGlobalTable() {
  qx::Trace("Enter CleanupGlobalTable");
  strTable_.Cleanup();
  countries_.clear();
  countryNames_.clear();
}
