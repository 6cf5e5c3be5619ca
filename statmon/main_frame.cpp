#include "statmon/main_frame.h"

#include "framework/library_loading.h"
#include "framework/module.h"
#include "framework/trace.h"
#include "statmon/app.h"
#include "statmon/language.h"
#include "statmon/messages.h"
#include "statmon/pipe_reader.h"

namespace {

bool FileExists(const std::string& path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

CMainFrame::CMainFrame(CMFPSMApp& app)
    : app_(app),
      logic_(*this, app.currentStatus, app.StatusTable(), app.Strings()),
      endProcess_([] { ExitProcess(0); }) {}

CMainFrame::~CMainFrame() {
  // The windows go before the frame's own window.
  orderToner_.reset();
  small_.reset();
  lowToner_.reset();
  big_.reset();
  memOver_.reset();
}

CMainFrame::OpenResult CMainFrame::Open() {
  const sm::SmConfig& config = app_.Config();
  device_.Configure({config.isSupportDevMon != 0, config.vendorId, config.productId, config.mdl});
  if (config.isSupportDevMon) {
    // A bare name: beside the program, where the model's files are, else the
    // system folder (the printing side may install it there); never the
    // current folder or PATH. A relative path is taken from the program's folder.
    std::string library = config.devMonName;
    if (!library.empty() && !fw::IsFullPath(library)) {
      std::string beside = app_.Directory() + "\\" + library;
      if (FileExists(beside) || !fw::IsBareName(library)) library = beside;
    }
    if (!device_.LoadDeviceMonitor(library.c_str())) return OpenResult::kDeviceMonitorFailed;
  }
  // The class carries the monitor's icon; the framework finds it registered.
  const char* cls = config.modelClass.c_str();
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof(wc);
  wc.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
  wc.lpfnWndProc = &fw::Window::WindowProc;
  wc.hInstance = fw::CodeModule();
  wc.hIcon = LoadIconA(app_.Instance(), MAKEINTRESOURCEA(sm::kIconMain));
  wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = cls;
  RegisterClassExA(&wc);
  if (!fw::Window::Create(cls, cls, WS_OVERLAPPEDWINDOW, 0, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                          CW_USEDEFAULT, nullptr, nullptr, wc.style))
    return OpenResult::kWindowFailed;
  return OpenResult::kOk;
}

bool CMainFrame::OnCreate(CREATESTRUCTA*) {
  if (!app_.pipeName.empty()) StartPipeTimer();
  return true;
}

void CMainFrame::StartPipeTimer() {
  ::SetTimer(hwnd_, sm::PIPE_TIMER_ID, sm::kPipeTimerPeriod, nullptr);
  pipeTimer_ = true;
}

void CMainFrame::StopPipeTimer() {
  ::KillTimer(hwnd_, sm::PIPE_TIMER_ID);
  pipeTimer_ = false;
}

bool CMainFrame::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  switch (message) {
    case WM_COPYDATA:
      OnCopyData(reinterpret_cast<HWND>(wParam), reinterpret_cast<const COPYDATASTRUCT*>(lParam));
      return false;  // then the default processing, as for every WM_COPYDATA
    case sm::WM_SM_JOB_STARTED:
      OnJobStarted();
      *result = 0;
      return true;
    case sm::WM_SM_WINDOW_CLOSED:
      logic_.OnWindowClosed();
      *result = 0;
      return true;
    case sm::WM_SM_ORDER_TONER_CLOSED:
      logic_.OnOrderTonerClosed();
      *result = 0;
      return true;
    case sm::WM_SM_SHOW_ORDER_TONER:
      OnShowOderTonerWhenSMLaunched();
      *result = 0;
      return true;
    case sm::WM_SM_KILL:
      logic_.OnSMExit();
      *result = 0;
      return true;
    case WM_POWERBROADCAST:
      logic_.OnPowerBroadcast(static_cast<unsigned>(wParam));
      *result = TRUE;
      return true;
    default:
      return false;
  }
}

void CMainFrame::OnJobStarted() {
  app_.jobInfo.displayText = sm::DisplayName(app_.jobInfo.displayText);
  logic_.OnJobStarted();
}

void CMainFrame::OnCopyData(HWND, const COPYDATASTRUCT* data) {
  if (!data) return;
  if (data->dwData == sm::kCopyDataNames) {
    std::string pipe, program;
    if (!sm::DecodeCopyBuffer(data->lpData, data->cbData, &pipe, &program)) {
      qx::Trace("[CMainFrame] WM_COPYDATA 500 of %lu bytes refused: the names need %u", data->cbData,
                static_cast<unsigned>(sm::kCopyBufferSize));
      return;
    }
    app_.pipeName = pipe;
    app_.programName = program;
    if (!pipe.empty()) StartPipeTimer();
    return;
  }
  if (data->dwData == sm::kCopyDataJob) {
    JobInfo job;
    switch (sm::DecodeJobCopyData(data->lpData, data->cbData, sm::CurrentOsVersion(), &job)) {
      case sm::JobCopyData::kCopied:
        app_.jobInfo = job;
        qx::Trace("##**&& %s, %s, %s, %s", job.printerName.c_str(), job.secondText.c_str(), job.displayText.c_str(),
                  job.profileKey.c_str());
        break;
      case sm::JobCopyData::kTooShort:
        qx::Trace("[CMainFrame] WM_COPYDATA 1000 of %lu bytes refused: shorter than the job record", data->cbData);
        return;
      case sm::JobCopyData::kEmpty:
      case sm::JobCopyData::kNotThisSystem:
        break;
    }
    PostMessageA(hwnd_, sm::WM_SM_JOB_STARTED, 0, 0);
  }
}

void CMainFrame::OnTimer(UINT_PTR id) {
  if (id == sm::PIPE_TIMER_ID) OnPipeTimer();
  else logic_.OnTimer(static_cast<unsigned>(id));
}

void CMainFrame::OnPipeTimer() {
  JobInfo job;
  if (!sm::ReadJobFromPipe(app_.pipeName, &job)) {
    qx::Trace("ReadFile fail");
    return;  // tried again at the next tick
  }
  app_.jobInfo = job;
  qx::Trace("##**&& %s, %s, %s, %s", job.printerName.c_str(), job.secondText.c_str(), job.displayText.c_str(),
            job.profileKey.c_str());
  StopPipeTimer();
  PostMessageA(hwnd_, sm::WM_SM_JOB_STARTED, 0, 0);
}

void CMainFrame::OnShowOderTonerWhenSMLaunched() {
  if (!orderToner_ && !CreateOrderToner()) return;
  if (orderToner_->Visible()) {
    orderToner_->BringToForeground();
  } else {
    qx::Trace("ordertonerdlg ShowWindow (show) <== manually launched");
    orderToner_->ShowWindowAndSelect(true);
    orderToner_->BringToForeground();
  }
}

void CMainFrame::ShowOrderTonerAtStart() {
  if (!orderToner_ && !CreateOrderToner()) return;
  qx::Trace("Show OrderTonerDlg in App");
  orderToner_->ShowWindowAndSelect(true);
}

// The rest of OnSMExit, after the logic stopped its timers.
void CMainFrame::EndMonitor() {
  if (ended_) return;
  ended_ = true;
  if (app_.Config().isSupportDevMon) device_.ReleasePort();
  if (pipeTimer_) StopPipeTimer();
  small_.reset();
  big_.reset();
  lowToner_.reset();
  memOver_.reset();
  app_.DeleteBitmaps();
  orderToner_.reset();
  Destroy();
  endProcess_();
}

void CMainFrame::OnDestroy() {
  if (app_.Config().isSupportDevMon) {
    device_.ReleasePort();
    device_.UnloadDeviceMonitor();
    qx::Trace("unload devmon!!!");
  }
  app_.CleanupGlobalTable();
  PostQuitMessage(0);
}
