#include "tests/companions/dll_support.h"

#include <cstdio>

namespace qx::test {

std::string ExeDir() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string text = path;
  return text.substr(0, text.find_last_of('\\'));
}

WorldFile::WorldFile(const std::string& text) : path_(dir_.File("world.ini")) {
  Rewrite(text);
  SetEnvironmentVariableA("QX_WORLD_FILE", path_.c_str());
}

WorldFile::~WorldFile() { SetEnvironmentVariableA("QX_WORLD_FILE", nullptr); }

void WorldFile::Rewrite(const std::string& text) const { dir_.Write("world.ini", text); }

NoWorld::NoWorld() { SetEnvironmentVariableA("QX_WORLD_FILE", dir_.File("absent.ini").c_str()); }
NoWorld::~NoWorld() { SetEnvironmentVariableA("QX_WORLD_FILE", nullptr); }

ReportWindow::ReportWindow() {
  static const char* kClass = "QxCompanionReportWindow";
  WNDCLASSA wc{};
  wc.lpfnWndProc = Proc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = kClass;
  RegisterClassA(&wc);  // a second registration fails harmlessly
  hwnd_ = CreateWindowExA(0, kClass, "reports", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr,
                          GetModuleHandleA(nullptr), this);
}

ReportWindow::~ReportWindow() {
  if (hwnd_) DestroyWindow(hwnd_);
}

std::string ReportWindow::Sequence() const {
  std::string text;
  for (const auto& [state, name] : reports_) {
    if (!text.empty()) text += ' ';
    text += std::to_string(state) + ":" + name;
  }
  return text;
}

LRESULT CALLBACK ReportWindow::Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    auto* cs = reinterpret_cast<CREATESTRUCTA*>(lParam);
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
  }
  if (msg == 2037) {
    auto* self = reinterpret_cast<ReportWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (self) self->reports_.emplace_back(static_cast<unsigned>(wParam), lParam ? reinterpret_cast<const char*>(lParam) : "");
    return 0;
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

namespace {
struct WorkerCall {
  const std::function<BOOL()>* call;
  BOOL result;
};
DWORD WINAPI Worker(void* p) {
  auto* w = static_cast<WorkerCall*>(p);
  w->result = (*w->call)();
  return 0;
}
}  // namespace

BOOL RunOnWorker(const std::function<BOOL()>& call) {
  WorkerCall w{&call, FALSE};
  HANDLE thread = CreateThread(nullptr, 16 * 1024, Worker, &w, CREATE_SUSPENDED | STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
  if (!thread) return FALSE;
  ResumeThread(thread);
  for (;;) {
    DWORD r = MsgWaitForMultipleObjects(1, &thread, FALSE, INFINITE, QS_ALLINPUT | QS_SENDMESSAGE);
    if (r == WAIT_OBJECT_0) break;
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
  CloseHandle(thread);
  return w.result;
}

void SetString(HKEY hive, const std::string& key, const char* name, const std::string& value) {
  HKEY k = nullptr;
  if (RegCreateKeyExA(hive, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &k, nullptr) != ERROR_SUCCESS) return;
  RegSetValueExA(k, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()), static_cast<DWORD>(value.size() + 1));
  RegCloseKey(k);
}

void SetDword(HKEY hive, const std::string& key, const char* name, DWORD value) {
  HKEY k = nullptr;
  if (RegCreateKeyExA(hive, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &k, nullptr) != ERROR_SUCCESS) return;
  RegSetValueExA(k, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), 4);
  RegCloseKey(k);
}

std::string GetString(HKEY hive, const std::string& key, const char* name) {
  char buffer[4097] = {};
  DWORD size = 4096, type = 0;
  if (RegGetValueA(hive, key.c_str(), name, RRF_RT_REG_SZ, &type, buffer, &size) != ERROR_SUCCESS) return {};
  return buffer;
}

DWORD GetDword(HKEY hive, const std::string& key, const char* name, DWORD fallback) {
  DWORD value = 0, size = 4;
  if (RegGetValueA(hive, key.c_str(), name, RRF_RT_REG_DWORD, nullptr, &value, &size) != ERROR_SUCCESS) return fallback;
  return value;
}

}  // namespace qx::test
