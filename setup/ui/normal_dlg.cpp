#include "setup/ui/normal_dlg.h"

#include "framework/handles.h"
#include "setup/core/core_context.h"
#include "setup/core/predefined_variable.h"
#include "setup/engine/cmd_operator.h"
#include "setup/scriptlib/profile_cache.h"
#include "setup/ui/skin_bitmap.h"
#include "setup/ui/ui_rules.h"

namespace ui {
namespace {
// Commands handed on and not yet run are few; older ones have long run.
constexpr size_t kKeptCommands = 64;
constexpr DWORD kPageStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPSIBLINGS | DS_MODALFRAME;

bool IsStaticControl(HWND hwnd) {
  char name[16] = {};
  GetClassNameA(hwnd, name, sizeof(name));
  return _stricmp(name, "Static") == 0;
}
}  // namespace

CNormalDlg::CNormalDlg() { log_.BorrowApplicationLog(); }

CNormalDlg::~CNormalDlg() {
  // The objects' windows go before the page's.
  config_.Clear();
  fixedTips_.clear();
}

HWND CNormalDlg::ControlWindow() const {
  if (operator_ && operator_->ControlWindow()) return operator_->ControlWindow();
  return controlWindow_;
}

void CNormalDlg::Reset() {
  ClearDescription();
  loadedSection_.clear();
}

bool CNormalDlg::Load(const char* section) {
  if (!LoadDescription(section)) return false;
  loadedSection_ = section ? section : "";
  return true;
}

bool CNormalDlg::LoadDescription(const char* section) {
  log_.BorrowApplicationLog();
  if (!config_.Load(this, section)) {
    log_.WriteLog(0, "%s Get Dialog information fail!\n", LogTag());
    return false;
  }
  return true;
}

bool CNormalDlg::ClearDescription() {
  config_.Clear();
  return true;
}

INT_PTR CNormalDlg::RunModal(HWND owner) {
  fw::DialogTemplate page("", kPageStyle, 0, 0, 200, 120);
  return DoModal(page, owner);
}

bool CNormalDlg::CreatePage(HWND owner) {
  fw::DialogTemplate page("", kPageStyle, 0, 0, 200, 120);
  return CreateModeless(page, owner);
}

void CNormalDlg::ApplyReadingDirection() {
  CPredefinedVariable* env = core::CurrentEnvironment();
  bool rtl = env && env->IsRightToLeft();
  LONG_PTR ex = GetWindowLongPtrA(hwnd_, GWL_EXSTYLE);
  LONG_PTR wanted = rtl ? (ex | WS_EX_LAYOUTRTL) : (ex & ~static_cast<LONG_PTR>(WS_EX_LAYOUTRTL));
  if (wanted != ex) {
    SetWindowLongPtrA(hwnd_, GWL_EXSTYLE, wanted);
    SetWindowPos(hwnd_, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  }
}

bool CNormalDlg::OnInitDialog() {
  scriptlib::ProfileReadScope oneVersion;
  ApplyReadingDirection();
  log_.BorrowApplicationLog();
  CreateFixedControls();
  Refresh();
  return true;
}

void CNormalDlg::Refresh() {
  if (!hwnd_) return;
  scriptlib::ProfileReadScope oneVersion;
  // Also when the window already exists: the language may have changed since.
  ApplyReadingDirection();
  config_.Apply();
  InitPage();
  SetWindowPos(hwnd_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  if (HWND control = ControlWindow()) SetForegroundWindow(control);
  InvalidateRect(hwnd_, nullptr, TRUE);
}

void CNormalDlg::PaintPage(HDC dc) {
  RECT client{};
  GetClientRect(hwnd_, &client);
  // Where no bitmap covers the page: the dialog's background.
  HBRUSH background = reinterpret_cast<HBRUSH>(SendMessageA(hwnd_, WM_CTLCOLORDLG, reinterpret_cast<WPARAM>(dc),
                                                           reinterpret_cast<LPARAM>(hwnd_)));
  FillRect(dc, &client, background ? background : GetSysColorBrush(COLOR_BTNFACE));
  std::string name = config_.PaintedBitmap();
  HBITMAP bitmap = SharedSkinBitmap(name);
  if (!bitmap) {
    if (!name.empty()) log_.WriteLog(0, "%s Load Background bitmap Error!! (%s)\n", LogTag(), name.c_str());
  } else {
    // A mirrored page mirrors what it copies; the right-to-left background
    // is already drawn the way such a page shows it, so it keeps its sides.
    const DWORD layout = GetLayout(dc);
    const bool keepSides = (layout & LAYOUT_RTL) && !config_.BackBitmapRight().empty() &&
                           name == config_.BackBitmapRight();
    if (keepSides) SetLayout(dc, layout | LAYOUT_BITMAPORIENTATIONPRESERVED);
    DrawBitmap(dc, 0, 0, client.right, client.bottom, bitmap);
    if (keepSides) SetLayout(dc, layout);
  }
  config_.DrawShapes(dc);
}

void CNormalDlg::SetMouseWait(bool on) {
  if (on) {
    CUtl::Trace("[CNormalDlg] Set mouse wait...\n");
    // Disabled first: disabling a window cancels its mouse capture.
    EnableWindow(hwnd_, FALSE);
    SetCapture(hwnd_);
    HCURSOR previous = SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_WAIT)));
    if (!mouseWait_) savedCursor_ = previous;
    mouseWait_ = true;
  } else {
    CUtl::Trace("[CNormalDlg] Release mouse wait...\n");
    ReleaseCapture();
    if (savedCursor_) SetCursor(savedCursor_);
    savedCursor_ = nullptr;
    EnableWindow(hwnd_, TRUE);
    SetForegroundWindow(hwnd_);
    mouseWait_ = false;
  }
}

bool CNormalDlg::PostCommand(const CommandRecord& record) {
  if (record.cstrCmdType.empty() && record.cstrCmdStr.empty()) return false;
  HWND control = ControlWindow();
  if (!control) {
    log_.WriteLog(0, "%s No control window for the command [%s] [%s]\n", LogTag(), record.cstrCmdType.c_str(),
                  record.cstrCmdStr.c_str());
    return false;
  }
  // The control window runs the record later, and running it may reset this
  // page (and free its objects): hand on a copy that outlives that.
  posted_.push_back(record);
  while (posted_.size() > kKeptCommands) posted_.pop_front();
  return PostMessageA(control, engine::kCommandMessage, 0, reinterpret_cast<LPARAM>(&posted_.back())) != FALSE;
}

bool CNormalDlg::OnCommand(WORD id, WORD, HWND) {
  // Enter and Esc never close a page.
  return id == IDOK || id == IDCANCEL;
}

bool CNormalDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  switch (message) {
    case WM_PAINT: {
      fw::PaintDC dc(hwnd_);
      PaintPage(dc.Get());
      *result = 0;
      return true;
    }
    case WM_PRINTCLIENT:
      PaintPage(reinterpret_cast<HDC>(wParam));
      *result = 0;
      return true;
    case WM_ERASEBKGND:
      *result = 1;  // PaintPage covers the whole client area
      return true;
    case WM_CTLCOLORSTATIC:
      if (IsStaticControl(reinterpret_cast<HWND>(lParam))) {
        SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
        *result = reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
        return true;
      }
      return false;
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) == SC_CLOSE && IsWindowVisible(hwnd_)) {
        if (HWND control = ControlWindow()) PostMessageA(control, engine::kPageClosedMessage, 0, 0);
        *result = 0;
        return true;
      }
      return false;
    case WM_CLOSE:
      ClearDescription();
      return false;
    case engine::kCommandMessage:
      if (lParam) PostCommand(*reinterpret_cast<const CommandRecord*>(lParam));
      *result = 1;
      return true;
    case engine::kDescriptionMessage:
      *result = 1;
      return true;
    default:
      return false;
  }
}

// ----------------------------------------------------------------- fixed items

std::string CNormalDlg::FixedSection(const char* classTag) {
  std::string section = config_.DialogValue(loadedSection_.empty() ? config_.Section() : loadedSection_, "FIXED_ITEM");
  if (section.empty()) {
    log_.WriteLog(0, "%s Get Fixed item setting section name fail (%s)\n", classTag ? classTag : LogTag(),
                  loadedSection_.c_str());
  }
  return section;
}

bool CNormalDlg::PlaceControl(HWND control, const std::string& fixed, const std::string& prefix, bool withShowKey) {
  if (!control) return false;
  bool shown = withShowKey ? IsShown(config_.DialogValue(fixed, (prefix + "_SHOW").c_str())) : true;
  std::string rectText = fixed.empty() ? std::string() : config_.DialogValue(fixed, (prefix + "_RECT").c_str());
  if (rectText.empty()) {
    ShowWindow(control, SW_HIDE);
    return false;
  }
  RECT r = ParseFixedRect(rectText);
  LONG_PTR ex = GetWindowLongPtrA(control, GWL_EXSTYLE);
  bool rtl = (GetWindowLongPtrA(hwnd_, GWL_EXSTYLE) & WS_EX_LAYOUTRTL) != 0;
  SetWindowLongPtrA(control, GWL_EXSTYLE, rtl ? (ex | WS_EX_LAYOUTRTL) : (ex & ~static_cast<LONG_PTR>(WS_EX_LAYOUTRTL)));
  SetWindowPos(control, nullptr, r.left, r.top, r.right, r.bottom,
               SWP_NOZORDER | SWP_NOACTIVATE | (shown ? SWP_SHOWWINDOW : 0));
  if (!shown) ShowWindow(control, SW_HIDE);
  return true;
}

void CNormalDlg::SetControlText(HWND control, const std::string& fixed, const std::string& prefix) {
  if (!control) return;
  std::string key = fixed.empty() ? std::string() : config_.DialogValue(fixed, (prefix + "_NAME").c_str());
  std::string text = key.empty() ? std::string() : config_.StringValue("MESSAGES", key.c_str());
  SetWindowTextA(control, text.c_str());
}

bool CNormalDlg::SetControlTooltip(HWND control, const std::string& fixed, const std::string& prefix) {
  if (!control || fixed.empty()) return false;
  std::string key = config_.DialogValue(fixed, (prefix + "_TOOLTIP").c_str());
  if (key.empty()) return false;
  std::unique_ptr<ControlTooltip>& tip = fixedTips_[control];
  if (!tip) tip = std::make_unique<ControlTooltip>();
  return tip->Set(control, config_.StringValue("MESSAGES", key.c_str()), false);
}

CommandRecord CNormalDlg::ReadCommand(const std::string& fixed, const std::string& prefix) {
  CommandRecord record;
  if (fixed.empty()) return record;
  std::string section = config_.DialogValue(fixed, (prefix + "_COMMAND").c_str());
  if (section.empty()) return record;
  record.cstrCmdType = config_.DialogValue(section, "CMD_TYPE");
  record.cstrCmdStr = config_.DialogValue(section, "CMD_STR");
  record.cstrParam = config_.DialogValue(section, "CMD_PARAM");
  return record;
}

HWND CreateFixedControl(HWND page, const char* className, DWORD style, DWORD exStyle, int id) {
  HWND control = CreateWindowExA(exStyle, className, "", WS_CHILD | style, 0, 0, 10, 10, page,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr), nullptr);
  if (control) SendMessageA(control, WM_SETFONT, SendMessageA(page, WM_GETFONT, 0, 0), FALSE);
  return control;
}

void SetBoldFont(HWND control, fw::UniqueGdiObject* font) {
  if (!*font) {
    LOGFONTA bold{};
    HFONT current = reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0));
    if (!current || !GetObjectA(current, sizeof(bold), &bold)) {
      GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof(bold), &bold);
    }
    bold.lfWeight = FW_BOLD;
    font->Reset(CreateFontIndirectA(&bold));
  }
  if (*font) SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font->Get()), TRUE);
}

}  // namespace ui
