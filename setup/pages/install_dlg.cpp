#include "setup/pages/install_dlg.h"

#include "setup/pages/finish_dlg.h"

#include <commctrl.h>

#include <cstring>
#include <memory>

#include "framework/controls.h"
#include "framework/handles.h"
#include "framework/library_loading.h"
#include "setup/core/core_context.h"
#include "setup/core/predefined_variable.h"
#include "setup/core/utl_rules.h"
#include "setup/engine/cmd_operator.h"
#include "setup/pages/uninst_items_dlg.h"

namespace pages {
namespace {

constexpr DWORD kUninstallType = 32;
constexpr DWORD kRemoteBit = 0x04;
// Plug-and-play settles within minutes; a system that never reports so does
// not hold the installer for ever.
constexpr DWORD kPnpWaitMs = 5 * 60 * 1000;

DWORD InstallType() {
  CPredefinedVariable* env = core::CurrentEnvironment();
  return env ? CUtl::GetRegDword(env->GetInstallKey().c_str(), "Install_Type") : 0;
}

// What the wait thread works from: window handles only, never the page.
struct WaitBlock {
  HWND page;
  HWND control;
};

void SendCommand(HWND control, const char* type) {
  CommandRecord record(type, "");
  SendMessageA(control, engine::kCommandMessage, 0, reinterpret_cast<LPARAM>(&record));
}

DWORD WINAPI WaitThread(void* parameter) {
  std::unique_ptr<WaitBlock> block(static_cast<WaitBlock*>(parameter));
  CUtl log;
  log.BorrowApplicationLog();
  log.WriteLog(0, "[CInstallDlg] Wait Thread....\n");
  log.WriteLog(0, "[CInstallDlg] Wait Thread - Refresh system....\n");
  SendCommand(block->control, "CT_REFRESH_SYSTEM");
  if (HMODULE setupApi = fw::LoadSystemLibrary("Setupapi.dll")) {
    using WaitFunction = DWORD(WINAPI*)(DWORD);
    auto wait = reinterpret_cast<WaitFunction>(
        reinterpret_cast<void*>(GetProcAddress(setupApi, "CMP_WaitNoPendingInstallEvents")));
    if (wait && wait(0) == WAIT_TIMEOUT) wait(kPnpWaitMs);
    FreeLibrary(setupApi);
  }
  log.WriteLog(0, "[CInstallDlg] Wait Thread - Diagnosis....\n");
  SendCommand(block->control, "CT_DIAGNOSIS");
  SendMessageA(block->page, CInstallDlg::kWaitDoneMessage, 0, 0);
  return 1;
}

std::string ItemName(LPARAM lParam) {
  if (!lParam) return "";
  const char* text = reinterpret_cast<const char*>(lParam);
  return std::string(text, strnlen(text, MAX_PATH));
}

}  // namespace

WorkStart WorkForInstallType(DWORD installType) {
  if (installType == kUninstallType) return {"CT_RUN_UNINSTALL", false, false, false};
  if (installType & kRemoteBit) return {"CT_RUN_REMOTE_INSTALL", true, false, true};
  return {"CT_RUN_INSTALL", true, installType == 0 || installType == 1, false};
}

const char* StateLogFormat(unsigned state) {
  switch (state) {
    case kStateInstallFail: return "[CInstallDlg] STATE_INSTALL_FAIL [%s]!!!!\n";
    case kStateInstallSuccess: return "[CInstallDlg] STATE_INSTALL_SUCCESS [%s]!!!!\n";
    case kStateInstallStart: return "[CInstallDlg] STATE_INSTALL_START [%s]!!!!\n";
    case kStateCopyFileStart: return "[CInstallDlg] STATE_COPY_FILE_START [%s]!!!!\n";
    case kStateCopyFileFail: return "[CInstallDlg] STATE_COPY_FILE_FAIL [%s]!!!!\n";
    case kStateCopyFileSuccess: return "[CInstallDlg] STATE_COPY_FILE_SUCCESS [%s]!!!!\n";
    case kStateFinish: return "[CInstallDlg] STATE_FINISH [%s]!!!!\n";
    default: return "";
  }
}

CInstallDlg::CInstallDlg() : fontColour_(core::kNoColour) {}

CInstallDlg::~CInstallDlg() {
  if (waitThread_) CloseHandle(waitThread_);
  if (labelFont_) DeleteObject(labelFont_);
}

bool CInstallDlg::Load(const char* section) {
  if (!CNormalDlg::Load(section)) return false;
  fixed_ = FixedSection("[CInstallDlg]");
  if (fixed_.empty()) return false;
  next_ = ReadCommand(fixed_, "BUTTON_NEXT");
  std::string key = config_.DialogValue(fixed_, "STATIC_DESC_NAME");
  description_ = key.empty() ? std::string() : config_.StringValue("MESSAGES", key.c_str());
  font_ = LOGFONTA{};
  fontColour_ = core::kNoColour;
  std::string fontSection = config_.DialogValue(fixed_, "STATIC_DESC_FONT");
  if (!fontSection.empty()) {
    config_.Font(&font_, fontSection);
    fontColour_ = config_.Colour(fontSection, "LF_COLOR");
  }
  // The records carry the variables' values of this moment.
  if (items_) items_->RewriteCommands();
  return true;
}

void CInstallDlg::CreateFixedControls() {
  label_ = ui::CreateFixedControl(hwnd_, "STATIC", SS_CENTER | SS_NOPREFIX, 0, kDescriptionId);
  fw::InitCommonControlsOnce();
  progress_ = ui::CreateFixedControl(hwnd_, PROGRESS_CLASSA, PBS_SMOOTH, 0, kProgressId);
  itemLine_ = ui::CreateFixedControl(hwnd_, "STATIC", SS_CENTER | SS_NOPREFIX | SS_ENDELLIPSIS, 0, kItemLineId);
}

bool CInstallDlg::InitPage() {
  if (fixed_.empty()) return true;
  PlaceControl(label_, fixed_, "STATIC_DESC");
  PlaceControl(progress_, fixed_, "PROGRESS");
  PlaceControl(itemLine_, fixed_, "PROGRESS_ITEM");
  if (font_.lfFaceName[0] || font_.lfHeight) {
    if (labelFont_) DeleteObject(labelFont_);
    labelFont_ = CreateFontIndirectA(&font_);
    if (labelFont_) SendMessageA(label_, WM_SETFONT, reinterpret_cast<WPARAM>(labelFont_), TRUE);
  }
  SetWindowTextA(label_, description_.c_str());
  return true;
}

bool CInstallDlg::OnInitDialog() {
  CNormalDlg::OnInitDialog();
  StartWork();
  return true;
}

int CInstallDlg::CountItemsToDo() const {
  CPredefinedVariable* env = core::CurrentEnvironment();
  if (!env) return 0;
  std::string itemsKey = env->GetInstallKey() + "\\Items";
  fw::UniqueRegKey key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, itemsKey.c_str(), 0, KEY_READ, key.Put()) != ERROR_SUCCESS) return 0;
  int count = 0;
  const char* value = installMode_ ? "Install" : "Uninstall";
  for (DWORD i = 0;; ++i) {
    char name[MAX_PATH] = {};
    DWORD size = sizeof(name);
    if (RegEnumKeyExA(key.Get(), i, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    if (CUtl::GetRegDword((itemsKey + "\\" + name).c_str(), value, HKEY_LOCAL_MACHINE, 0) == 1) ++count;
  }
  return count;
}

void CInstallDlg::StartWork() {
  DWORD type = InstallType();
  WorkStart work = WorkForInstallType(type);
  installMode_ = work.installMode;
  local_ = work.local;
  remote_ = work.remote;
  finished_ = false;
  done_ = 0;
  total_ = CountItemsToDo();
  if (progress_) {
    fw::ProgressBar(progress_).SetRange(0, total_ > 0 ? total_ : 1);
    fw::ProgressBar(progress_).SetPosition(0);
  }
  if (!installMode_) {
    log_.WriteLog(0, "[CInstallDlg] Start Uninstalling\n");
  } else if (remote_) {
    blinkOn_ = true;
    timerId_ = SetTimer(hwnd_, kBlinkTimer, kBlinkMs, nullptr);
  } else {
    log_.WriteLog(0, "[CInstallDlg] Start Installing\n");
    // The installation library places the installer's copy in <dest>\Install
    // before the items: recorded now as a destination directory, so that an
    // install that is interrupted can still be removed with that copy inside.
    CPredefinedVariable* env = core::CurrentEnvironment();
    if (env && RegistersUninstall(type)) env->RecordDestInstallDir();
  }
  SendToControl(work.command);
}

void CInstallDlg::SendToControl(const char* type) {
  HWND control = ControlWindow();
  if (!control) {
    log_.WriteLog(0, "[CInstallDlg] No control window for the command [%s]\n", type);
    return;
  }
  SendCommand(control, type);
}

void CInstallDlg::ShowProgress(const std::string& itemLine) {
  if (progress_) fw::ProgressBar(progress_).SetPosition(done_);
  if (itemLine_ && !itemLine.empty()) {
    SetWindowTextA(itemLine_, itemLine.c_str());
    RECT r{};
    GetWindowRect(itemLine_, &r);
    MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&r), 2);
    InvalidateRect(hwnd_, &r, TRUE);
  }
}

void CInstallDlg::OnState(unsigned state, const char* item) {
  const char* format = StateLogFormat(state);
  if (!*format) {
    log_.WriteLog(0, "[CInstallDlg] Unknown state %u [%s]\n", state, item);
    return;
  }
  log_.WriteLog(0, format, item);
  std::string display = item;
  if (*item) {
    CPredefinedVariable* env = core::CurrentEnvironment();
    std::string name = env ? CUtl::GetRegString((env->GetInstallKey() + "\\Items\\" + item).c_str(), "DisplayName",
                                                HKEY_LOCAL_MACHINE, "")
                           : std::string();
    if (!name.empty()) display = name;
  }
  switch (state) {
    case kStateInstallStart: ShowProgress(display); return;
    case kStateInstallSuccess:
    case kStateInstallFail:
      if (done_ < total_) ++done_;
      ShowProgress(std::string());
      return;
    case kStateFinish: break;
    default: return;
  }
  done_ = total_;
  ShowProgress(std::string());
  if (installMode_) {
    SendToControl("CT_END_PREVENT_PNP");
    log_.WriteLog(0, "[CInstallDlg] PnP Wait....\n");
    if (local_ && StartWaitThread()) return;
  } else if (!CUninstItemsDlg::AnyItemInstalled()) {
    log_.WriteLog(0, "[CInstallDlg] Delete All....\n");
    SendToControl("CT_DELETE_ALL");
  }
  SetFinished();
  if (!next_.cstrCmdType.empty() && !next_.cstrCmdStr.empty()) PostCommand(next_);
}

void CInstallDlg::SetFinished() {
  finished_ = true;
  if (interpreter_) interpreter_->SetInstallationFinished(true);
}

bool CInstallDlg::StartWaitThread() {
  auto block = std::make_unique<WaitBlock>(WaitBlock{hwnd_, ControlWindow()});
  HANDLE thread = CreateThread(nullptr, CCmdOperator::kWorkerStack, WaitThread, block.get(),
                               CREATE_SUSPENDED | STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
  if (!thread) {
    log_.WriteLog(GetLastError(), "[CInstallDlg] Creat thread error!!\n");
    return false;
  }
  block.release();
  if (waitThread_) CloseHandle(waitThread_);
  waitThread_ = thread;
  ResumeThread(thread);
  return true;
}

void CInstallDlg::OnWaitDone() {
  log_.WriteLog(0, "[CInstallDlg] User End Wait\n");
  if (timerId_) {
    KillTimer(hwnd_, kBlinkTimer);
    timerId_ = 0;
  }
  ShowWindow(hwnd_, SW_HIDE);
  if (next_.cstrCmdType.empty() || next_.cstrCmdStr.empty()) return;
  PostCommand(next_);
  log_.WriteLog(0, "[CInstallDlg] Send Next\n");
}

void CInstallDlg::OnTimer(UINT_PTR id) {
  if (id != kBlinkTimer) return;
  if (blinkOn_) {
    blinkOn_ = false;
    SetWindowTextA(label_, description_.c_str());
  } else {
    blinkOn_ = true;
    SetWindowTextA(label_, "");
  }
  RECT r{};
  GetWindowRect(label_, &r);
  MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&r), 2);
  InvalidateRect(hwnd_, &r, TRUE);
}

bool CInstallDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  switch (message) {
    case kStateMessage:
      OnState(static_cast<unsigned>(wParam), ItemName(lParam).c_str());
      *result = 1;
      return true;
    case kWaitDoneMessage:
      OnWaitDone();
      *result = 1;
      return true;
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) == SC_CLOSE && IsWindowVisible(hwnd_)) {
        *result = 0;  // no closing while the work runs
        return true;
      }
      return CNormalDlg::OnMessage(message, wParam, lParam, result);
    case WM_CTLCOLORSTATIC:
      if (remote_ && reinterpret_cast<HWND>(lParam) == label_ && fontColour_ != core::kNoColour) {
        HDC dc = reinterpret_cast<HDC>(wParam);
        SetTextColor(dc, fontColour_);
        SetBkMode(dc, TRANSPARENT);
        *result = reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
        return true;
      }
      return CNormalDlg::OnMessage(message, wParam, lParam, result);
    default:
      return CNormalDlg::OnMessage(message, wParam, lParam, result);
  }
}

}  // namespace pages
