#include "setup/pages/printer_select_dlg.h"

#include <commctrl.h>

#include <cstring>

#include "framework/controls.h"
#include "framework/library_loading.h"
#include "setup/core/core_context.h"
#include "setup/core/predefined_variable.h"
#include "setup/core/utl_rules.h"
#include "setup/pages/port_record.h"
#include "setup/pages/printer_rules.h"
#include "setup/ui/script_values.h"

namespace pages {

namespace {

using GetNetworkPrinterFn = int(__stdcall*)(PRINTER_ENTRY*);
using GetDevicePortFn = int(__stdcall*)(const char*, const char*, const char*, char*, int*);

constexpr DWORD kWorkerStack = 16 * 1024;

DWORD WINAPI SearchWorker(LPVOID parameter) {
  auto* param = static_cast<SearchParam*>(parameter);
  if (param->dialog) param->dialog->SetMouseWait(true);
  RunPrinterSearch(*param);
  SendMessageA(param->page, kSearchDoneMessage, 1, 0);
  if (param->dialog) param->dialog->SetMouseWait(false);
  return 1;
}

int NetworkSearch(const SearchParam& param) {
  if (param.networkLibrary.empty()) return 0;
  HMODULE library = fw::LoadLibraryAtPath(param.networkLibrary.c_str());
  if (!library) return 0;
  int returned = 0;
  auto get = reinterpret_cast<GetNetworkPrinterFn>(reinterpret_cast<void*>(GetProcAddress(library, "GetNetworkPrinter")));
  if (get) returned = get(param.table);
  FreeLibrary(library);
  return MarkNetworkEntries(param.table, returned, param.finding1, param.finding2);
}

void LocalSearch(const SearchParam& param, int first) {
  if (!param.utility) return;
  auto get = reinterpret_cast<GetDevicePortFn>(reinterpret_cast<void*>(GetProcAddress(param.utility, "GetDevicePort")));
  if (!get) return;
  std::string port(4096, '\0');
  int count = 0;
  get(param.mfg.c_str(), param.mdl.c_str(), param.vidpid.c_str(), port.data(), &count);
  port.back() = 0;
  port.resize(std::strlen(port.c_str()));
  AddLocalEntries(param.table, first, param.mfg, param.mdl, port, count);
}

}  // namespace

void RunPrinterSearch(const SearchParam& param) {
  if (!param.table) return;
  std::memset(param.table, 0, sizeof(PRINTER_ENTRY) * kPrinterEntries);
  int networkEntries = param.searchNetwork ? NetworkSearch(param) : 0;
  if (param.searchLocal && !(param.installType & 0x04) && param.osFamily != core::kFamilyNtOther) {
    LocalSearch(param, networkEntries);
  }
}

CPrinterSelectDlg::~CPrinterSelectDlg() { WaitForWorker(); }

void CPrinterSelectDlg::WaitForWorker() {
  if (!worker_.Get()) return;
  // The worker ends with a SendMessage to the page: keep taking sent messages.
  HANDLE thread = worker_.Get();
  while (MsgWaitForMultipleObjects(1, &thread, FALSE, INFINITE, QS_SENDMESSAGE) == WAIT_OBJECT_0 + 1) {
    MSG msg;
    PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }
  worker_.Reset();
  searching_ = false;
}

void CPrinterSelectDlg::CreateFixedControls() {
  fw::InitCommonControlsOnce();
  list_ = ui::CreateFixedControl(hwnd_, WC_LISTVIEWA, LVS_REPORT | LVS_SHOWSELALWAYS | WS_BORDER | WS_TABSTOP,
                                 0, kListId);
  fw::ListView(list_).SetExtendedStyle(LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
  addPrinter_ = ui::CreateFixedControl(hwnd_, "BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 0, kAddPrinterId);
  update_ = ui::CreateFixedControl(hwnd_, "BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 0, kUpdateId);
  next_button_ = ui::CreateFixedControl(hwnd_, "BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 0, kNextId);
  server_ = ui::CreateFixedControl(hwnd_, "BUTTON", BS_AUTOCHECKBOX | WS_TABSTOP, 0, kServerId);
  columnsMade_ = initialised_ = false;
  CreateSearchWindow();
}

void CPrinterSelectDlg::CreateSearchWindow() {
  searchWindow_ = CreateWindowExA(WS_EX_TOOLWINDOW, "STATIC", "", WS_POPUP | WS_CAPTION | WS_BORDER, 0, 0, 320, 150,
                                  hwnd_, nullptr, GetModuleHandleA(nullptr), nullptr);
  if (!searchWindow_) return;
  searchAnimation_ = CreateWindowExA(0, ANIMATE_CLASSA, "", WS_CHILD | WS_VISIBLE | ACS_CENTER | ACS_TRANSPARENT, 10,
                                     10, 300, 60, searchWindow_, nullptr, GetModuleHandleA(nullptr), nullptr);
  searchText_ = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE | SS_CENTER, 10, 80, 300, 36, searchWindow_,
                                nullptr, GetModuleHandleA(nullptr), nullptr);
  SendMessageA(searchText_, WM_SETFONT, SendMessageA(hwnd_, WM_GETFONT, 0, 0), FALSE);
}

bool CPrinterSelectDlg::InitPage() {
  fixed_ = FixedSection(nullptr);
  HWND controls[] = {list_, addPrinter_, update_, next_button_, server_};
  if (fixed_.empty()) {
    for (HWND c : controls) ShowWindow(c, SW_HIDE);
    return true;
  }
  PlaceControl(list_, fixed_, "LIST_PRINTER");
  const char* buttons[][2] = {{"BUTTON_ADDPRINTER", nullptr}, {"BUTTON_UPDATE", nullptr}, {"BUTTON_NEXT", nullptr},
                              {"BUTTON_INSTALL_AS_SERVER", nullptr}};
  HWND handles[] = {addPrinter_, update_, next_button_, server_};
  for (int i = 0; i < 4; ++i) {
    PlaceControl(handles[i], fixed_, buttons[i][0]);
    SetControlText(handles[i], fixed_, buttons[i][0]);
    SetControlTooltip(handles[i], fixed_, buttons[i][0]);
  }
  next_ = ReadCommand(fixed_, "BUTTON_NEXT");
  addPrinterCommand_ = ReadCommand(fixed_, "BUTTON_ADDPRINTER");
  searchNetwork_ = config_.DialogValue(fixed_, "SEARCH_NETWORK") != "0";
  searchLocal_ = config_.DialogValue(fixed_, "SEARCH_LOCAL") != "0";
  setPrinterPort_ = config_.DialogValue(fixed_, "SET_PRINTER_PORT") != "0";

  ui::ScriptFiles files = ui::ScriptFiles::FromEnvironment();
  if (searchWindow_) {
    SetWindowTextA(searchWindow_, ui::MessageText(files, "SEARCH_PRINTER_DLG").c_str());
    SetWindowTextA(searchText_, ui::MessageText(files, "SEARCH_PRINTER_MSG").c_str());
    std::string avi = ui::DataValue(files, "PROGRAM_INFO", "SEARCH_AVI_FILE");
    CPredefinedVariable* env = core::CurrentEnvironment();
    if (!avi.empty() && env) avi = core::ResolveAgainstSource(env->GetSrcDir(), avi);
    if (!avi.empty()) SendMessageA(searchAnimation_, ACM_OPENA, 0, reinterpret_cast<LPARAM>(avi.c_str()));
  }

  fw::ListView list(list_);
  if (!columnsMade_) {
    RECT client{};
    GetClientRect(list_, &client);
    int half = (client.right - client.left) / 2;
    std::string name = ui::MessageText(files, config_.DialogValue(fixed_, "COLUMN_PRINTER_NAME"));
    std::string port = ui::MessageText(files, config_.DialogValue(fixed_, "COLUMN_PORT_NAME"));
    list.InsertColumn(0, name.empty() ? "Printer Name" : name.c_str(), half);
    list.InsertColumn(1, port.empty() ? "IP Address/Port Name" : port.c_str(), half);
    columnsMade_ = true;
  }

  CPredefinedVariable* env = core::CurrentEnvironment();
  DWORD type = env ? CUtl::GetRegDword(env->GetInstallKey().c_str(), "Install_Type") : 0;
  fw::Button(server_).SetChecked(IsServerInstallType(type));
  EnableWindow(next_button_, FALSE);
  selectedPort_.clear();
  selectedMac_.clear();
  selectedNetwork_ = false;

  PRINTER_ENTRY* table = env ? env->GetPrinterTable() : nullptr;
  if (!initialised_ && table && table[0].name[0] == 0) {
    initialised_ = true;
    StartSearch();
  } else {
    initialised_ = true;
    if (!searching_) FillList();
  }
  return true;
}

bool CPrinterSelectDlg::StartSearch() {
  CPredefinedVariable* env = core::CurrentEnvironment();
  if (!env || searching_) return false;
  WaitForWorker();
  EnableWindow(update_, FALSE);
  param_ = SearchParam();
  param_.page = hwnd_;
  param_.dialog = this;
  param_.table = env->GetPrinterTable();
  param_.searchNetwork = searchNetwork_;
  param_.searchLocal = searchLocal_;
  param_.networkLibrary = env->GetNetworkLibraryPath();
  param_.finding1 = env->GetFindingStr1();
  param_.finding2 = env->GetFindingStr2();
  param_.mfg = env->GetMfg();
  param_.mdl = env->GetMdl();
  param_.vidpid = env->GetVidPid();
  param_.utility = env->GetLibrary(CPredefinedVariable::kUtilityDll);
  param_.installType = CUtl::GetRegDword(env->GetInstallKey().c_str(), "Install_Type");
  param_.osFamily = CUtl::OsFamily();
  if (searchWindow_) {
    ui::ScriptFiles files = ui::ScriptFiles::FromEnvironment();
    SetWindowTextA(searchText_, ui::MessageText(files, "SEARCH_PRINTER_MSG").c_str());
    ShowWindow(searchWindow_, SW_SHOWNOACTIVATE);
    SendMessageA(searchAnimation_, ACM_PLAY, static_cast<WPARAM>(-1), MAKELPARAM(0, -1));
  }
  HANDLE thread = CreateThread(nullptr, kWorkerStack, SearchWorker, &param_, CREATE_SUSPENDED, nullptr);
  if (!thread) {
    log_.WriteLog(GetLastError(), "[CPrinterSelectDlg] Creat thread error!!\n");
    EnableWindow(update_, TRUE);
    if (searchWindow_) ShowWindow(searchWindow_, SW_HIDE);
    return false;
  }
  worker_.Reset(thread);
  searching_ = true;
  ResumeThread(thread);
  return true;
}

void CPrinterSelectDlg::FillList() {
  fw::ListView list(list_);
  list.DeleteAll();
  CPredefinedVariable* env = core::CurrentEnvironment();
  PRINTER_ENTRY* table = env ? env->GetPrinterTable() : nullptr;
  if (!table) return;
  for (int i = 0; i < kPrinterEntries; ++i) {
    PRINTER_ENTRY& e = table[i];
    if (e.name[0] == 0 || e.listed != 1) continue;
    int row = list.AddItem(e.name, reinterpret_cast<LPARAM>(&e));
    if (row >= 0) list.SetItemText(row, 1, e.address);
  }
}

void CPrinterSelectDlg::SelectionChanged() {
  fw::ListView list(list_);
  for (int row = list.FirstSelected(); row >= 0; row = list.NextSelected(row)) {
    auto* e = reinterpret_cast<PRINTER_ENTRY*>(list.ItemData(row));
    if (!e) continue;
    if (Selectable(*e)) {
      selectedPort_ = e->address;
      selectedMac_ = e->text5;
      selectedNetwork_ = e->network != 0;
      EnableWindow(next_button_, TRUE);
    } else {
      list.Select(row, false);
    }
  }
}

void CPrinterSelectDlg::SetServer(bool server) {
  CPredefinedVariable* env = core::CurrentEnvironment();
  if (!env) return;
  const char* key = env->GetInstallKey().c_str();
  CUtl::SetRegDword(key, "InstallAsServer", server ? 1 : 0);
  CUtl::SetRegDword(key, "Install_Type", ServerInstallType(CUtl::GetRegDword(key, "Install_Type"), server));
}

bool CPrinterSelectDlg::Next() {
  CPredefinedVariable* env = core::CurrentEnvironment();
  if (!env || selectedPort_.empty()) return false;
  const char* key = env->GetInstallKey().c_str();
  if (setPrinterPort_) {
    if (selectedNetwork_) RecordPort(selectedPort_, selectedMac_, "");
    CUtl::SetRegString(key, "Printer_Port", selectedPort_.c_str());
  } else {
    env->SetScanIP(selectedPort_.c_str());
    CUtl::SetRegString(key, "NetScanIP", selectedPort_.c_str());
  }
  PostCommand(next_);
  return true;
}

bool CPrinterSelectDlg::OnCommand(WORD id, WORD code, HWND control) {
  if (code == BN_CLICKED) {
    switch (id) {
      case kNextId: Next(); return true;
      case kUpdateId: StartSearch(); return true;
      case kServerId: SetServer(fw::Button(server_).IsChecked()); return true;
      case kAddPrinterId: PostCommand(addPrinterCommand_); return true;
      default: break;
    }
  }
  return CNormalDlg::OnCommand(id, code, control);
}

bool CPrinterSelectDlg::OnNotify(NMHDR* header, LRESULT* result) {
  if (header->idFrom == kListId && header->code == LVN_ITEMCHANGED) {
    auto* change = reinterpret_cast<NMLISTVIEW*>(header);
    if ((change->uChanged & LVIF_STATE) && (change->uNewState & LVIS_SELECTED)) SelectionChanged();
    *result = 0;
    return true;
  }
  return CNormalDlg::OnNotify(header, result);
}

bool CPrinterSelectDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  if (message == kSearchDoneMessage) {
    FillList();
    if (searchWindow_) {
      SendMessageA(searchAnimation_, ACM_STOP, 0, 0);
      ShowWindow(searchWindow_, SW_HIDE);
    }
    EnableWindow(update_, TRUE);
    searching_ = false;
    ++searchesDone_;
    *result = 0;
    return true;
  }
  if (message == WM_DESTROY) {
    searching_ = false;
    if (searchWindow_) DestroyWindow(searchWindow_);
    searchWindow_ = searchText_ = searchAnimation_ = nullptr;
  }
  return CNormalDlg::OnMessage(message, wParam, lParam, result);
}

}  // namespace pages
