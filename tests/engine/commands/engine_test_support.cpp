#include "tests/engine/commands/engine_test_support.h"

#include "companions/contracts/install_states.h"
#include "framework/message_box.h"
#include "setup/core/core_context.h"

namespace enginetest {

std::string ExeDir() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string text = path;
  return text.substr(0, text.find_last_of('\\'));
}

std::string HelperPath() { return ExeDir() + "\\engine_helper.exe"; }

namespace {
int Answerer(HWND, const char* text, const char*, UINT) {
  MessageBoxAnswer::Texts().push_back(text ? text : "");
  return MessageBoxAnswer::Answer();
}
}  // namespace

MessageBoxAnswer::MessageBoxAnswer(int answer) {
  Answer() = answer;
  Texts().clear();
  fw::SetMessageBoxHook(&Answerer);
}
MessageBoxAnswer::~MessageBoxAnswer() { fw::SetMessageBoxHook(nullptr); }
int& MessageBoxAnswer::Answer() {
  static int answer = IDCANCEL;
  return answer;
}
std::vector<std::string>& MessageBoxAnswer::Texts() {
  static std::vector<std::string> texts;
  return texts;
}

Medium::Medium(const std::string& data, const std::string& config, const std::string& strings)
    // Replays (CT_APP_TERMINATE, the clear run) remove this identity's vendor key, not the machine's.
    : previousVendor_(CHistoryManager::SetVendorKey(id_.Root() + "\\Vendor\\ZKPrinter")) {
  std::string info = "[PROGRAM_INFO]\r\nMFG=" + id_.Mfg() + "\r\nMDL=Laser 9000\r\nVIDPID=VID_2B2B&PID_0101\r\n" +
                     "PROGRAM_NAME=" + id_.Program() + "\r\nCONFIGURE_FILE=.\\config.ini\r\n" +
                     "STRING_FILE_FORMAT=.\\str%s.ini\r\nRESOURCE_DLL=res.dll\r\nSUPPORTED_LANG=SUPPORTED\r\n" +
                     "DESTINATION_DIR=$SRC_DIR$\\dest\r\n";
  std::string common =
      "[SUPPORTED]\r\n0x0409 English\r\n[OS_DEFINE]\r\n0X00020500=W2K\r\n[OS_DIR]\r\nW2K=win2000\r\n";
  dir_.Write("medium\\setup.dat", info + common + data);
  dir_.Write("medium\\config.ini", "[DLG_COMMON]\r\nX=1\r\n" + config);
  dir_.Write("medium\\strEN.ini", "[MESSAGES]\r\nHELLO=Hello\r\n" + strings);
  dir_.Write("medium\\res.dll", "not a library");
  log_.CreateLogFile((dir_.Path() + "\\").c_str(), "setup.exe");
  ok_ = env_.InitEnvironment((SrcDir() + "\\setup.exe").c_str());
  previousEnv_ = core::SetCurrentEnvironment(&env_);
  previousRecorder_ = core::SetHistoryRecorder(&history_);
  SetEnvironmentVariableA("QX_ENGINE_HELPER_OUT", HelperOutput().c_str());
}

Medium::~Medium() {
  CHistoryManager::SetVendorKey(previousVendor_);
  SetEnvironmentVariableA("QX_ENGINE_HELPER_OUT", nullptr);
  core::SetHistoryRecorder(previousRecorder_);
  core::SetCurrentEnvironment(previousEnv_);
}

std::string Medium::HelperOutput() const { return dir_.Path() + "\\helper.txt"; }

std::string Medium::Log() {
  FlushFileBuffers(log_.GetLogHandle());
  return coretest::ReadAll(log_.GetLogPath());
}

int Medium::CountInLog(const std::string& text) {
  std::string log = Log();
  int count = 0;
  for (size_t at = log.find(text); at != std::string::npos; at = log.find(text, at + text.size())) ++count;
  return count;
}

void Medium::SetInstallType(DWORD type) { SetDword(HKEY_LOCAL_MACHINE, InstallKey(), "Install_Type", type); }

INT_PTR TestPage::RunModal(HWND owner) {
  ++runs;
  fw::DialogTemplate page(name_.c_str(), WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE, 10, 10, 160, 80);
  return DoModal(page, owner);
}

bool TestPage::OnInitDialog() {
  PostMessageA(hwnd_, WM_APP + 1, 0, 0);
  return true;
}

bool TestPage::OnMessage(UINT message, WPARAM wParam, LPARAM, LRESULT* result) {
  if (message == WM_APP + 1) {
    if (!onStart.empty()) {
      std::function<void()> action = std::move(onStart.front());
      onStart.pop_front();
      action();
    }
    *result = 0;
    return true;
  }
  if (message == qx::contracts::kInstallStateMessage) {
    reports.push_back(static_cast<unsigned>(wParam));
    if (endOnFinish && wParam == qx::contracts::kStateFinish) PostMessageA(hwnd_, WM_APP + 2, 0, 0);
    *result = 0;
    return true;
  }
  if (message == WM_APP + 2) {
    End(IDOK);
    *result = 0;
    return true;
  }
  return false;
}

ControlWindow::ControlWindow() { CreateFrame("QxEngineTestControl", "control", false); }

bool ControlWindow::TakeDestroy() {
  MSG msg;
  return PeekMessageA(&msg, hwnd_, WM_DESTROY, WM_DESTROY, PM_REMOVE) != FALSE;
}

bool PumpUntil(const std::function<bool()>& condition, DWORD deadlineMs) {
  DWORD start = GetTickCount();
  while (!condition()) {
    if (GetTickCount() - start > deadlineMs) return false;
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
  }
  return true;
}

std::string ReadFile(const std::string& path) { return coretest::ReadAll(path); }

void SetString(HKEY hive, const std::string& key, const char* name, const std::string& value) {
  HKEY h = nullptr;
  if (RegCreateKeyExA(hive, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &h, nullptr) != ERROR_SUCCESS) return;
  RegSetValueExA(h, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()), static_cast<DWORD>(value.size() + 1));
  RegCloseKey(h);
}

void SetDword(HKEY hive, const std::string& key, const char* name, DWORD value) {
  HKEY h = nullptr;
  if (RegCreateKeyExA(hive, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &h, nullptr) != ERROR_SUCCESS) return;
  RegSetValueExA(h, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
  RegCloseKey(h);
}

std::string GetString(HKEY hive, const std::string& key, const char* name) {
  char buffer[4096] = {};
  DWORD size = sizeof(buffer) - 1, type = 0;
  HKEY h = nullptr;
  if (RegOpenKeyExA(hive, key.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) return std::string();
  LONG r = RegQueryValueExA(h, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
  RegCloseKey(h);
  return r == ERROR_SUCCESS && type == REG_SZ ? std::string(buffer) : std::string();
}

DWORD GetDword(HKEY hive, const std::string& key, const char* name, DWORD fallback) {
  DWORD value = 0, size = sizeof(value), type = 0;
  HKEY h = nullptr;
  if (RegOpenKeyExA(hive, key.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) return fallback;
  LONG r = RegQueryValueExA(h, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
  RegCloseKey(h);
  return r == ERROR_SUCCESS && type == REG_DWORD ? value : fallback;
}

bool ValueExists(HKEY hive, const std::string& key, const char* name) {
  HKEY h = nullptr;
  if (RegOpenKeyExA(hive, key.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) return false;
  LONG r = RegQueryValueExA(h, name, nullptr, nullptr, nullptr, nullptr);
  RegCloseKey(h);
  return r == ERROR_SUCCESS;
}

}  // namespace enginetest
