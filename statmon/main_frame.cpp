#include "statmon/main_frame.h"

#include "framework/module.h"
#include "framework/trace.h"
#include "statmon/app.h"
#include "statmon/language.h"
#include "statmon/messages.h"
#include "statmon/pipe_reader.h"

CMainFrame::CMainFrame(CMFPSMApp& app) : app_(app), endProcess_([] { ExitProcess(0); }) {}

CMainFrame::~CMainFrame() = default;

CMainFrame::OpenResult CMainFrame::Open() {
  const sm::SmConfig& config = app_.Config();
  device_.Configure({config.isSupportDevMon != 0, config.vendorId, config.productId, config.mdl});
  if (config.isSupportDevMon) {
    // A bare name is looked up beside the executable first, where the model's files are.
    std::string library = config.devMonName;
    if (!library.empty() && library.find_first_of("\\/:") == std::string::npos)
      library = app_.Directory() + "\\" + library;
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
  if (!Create(cls, cls, WS_OVERLAPPEDWINDOW, 0, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr,
              nullptr, wc.style))
    return OpenResult::kWindowFailed;
  return OpenResult::kOk;
}

bool CMainFrame::OnCreate(CREATESTRUCTA*) {
  if (!app_.pipeName.empty()) StartPipeTimer();
  return true;
}

void CMainFrame::StartPipeTimer() {
  SetTimer(hwnd_, sm::PIPE_TIMER_ID, sm::kPipeTimerPeriod, nullptr);
  pipeTimer_ = true;
}

void CMainFrame::StopPipeTimer() {
  KillTimer(hwnd_, sm::PIPE_TIMER_ID);
  pipeTimer_ = false;
}

bool CMainFrame::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  switch (message) {
    case WM_COPYDATA:
      OnCopyData(reinterpret_cast<HWND>(wParam), reinterpret_cast<const COPYDATASTRUCT*>(lParam));
      return false;  // then the default processing, as for every WM_COPYDATA
    case sm::WM_SM_JOB_STARTED:
      qx::Trace("Enter OnJobStarted... m_bSMPopupedTimerSetted(%d)", 0);
      *result = 0;
      return true;
    case sm::WM_SM_SHOW_ORDER_TONER:
      qx::Trace("[CMainFrame] WM_SM_SHOW_ORDER_TONER: a toner-mode start reached this monitor");
      *result = 0;
      return true;
    case sm::WM_SM_KILL:
      OnSMExit();
      *result = 0;
      return true;
    default:
      return false;
  }
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

void CMainFrame::OnSMExit() {
  if (exiting_) return;
  exiting_ = true;
  qx::Trace("Enter OnSMExit()");
  device_.ReleasePort();
  if (pipeTimer_) StopPipeTimer();
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
