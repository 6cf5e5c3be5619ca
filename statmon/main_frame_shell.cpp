// The main frame as its logic's shell: real windows, real timers, the device
// link, the spooler and the registry.
#include <algorithm>

#include "framework/trace.h"
#include "statmon/app.h"
#include "statmon/main_frame.h"
#include "statmon/messages.h"
#include "statmon/printer_queue.h"

CSmDialog* CMainFrame::Window(sm::StatusWindow window) { return const_cast<CSmDialog*>(WindowOf(window)); }

const CSmDialog* CMainFrame::WindowOf(sm::StatusWindow window) const {
  switch (window) {
    case sm::StatusWindow::kSmall: return small_.get();
    case sm::StatusWindow::kLowToner: return lowToner_.get();
    case sm::StatusWindow::kBig: return big_.get();
    case sm::StatusWindow::kMemOver: return memOver_.get();
  }
  return nullptr;
}

bool CMainFrame::Exists(sm::StatusWindow window) const {
  const CSmDialog* w = WindowOf(window);
  return w && w->Handle();
}

void CMainFrame::Create(sm::StatusWindow window) {
  switch (window) {
    case sm::StatusWindow::kSmall: small_ = std::make_unique<CMFPSMDlg>(app_, *this); small_->Open(); return;
    case sm::StatusWindow::kLowToner: lowToner_ = std::make_unique<CLowTonerDlg>(app_, *this); lowToner_->Open(); return;
    case sm::StatusWindow::kBig: big_ = std::make_unique<CSMBigDlg>(app_, *this); big_->Open(); return;
    case sm::StatusWindow::kMemOver: memOver_ = std::make_unique<CMemOverDlg>(app_, *this); memOver_->Open(); return;
  }
}

bool CMainFrame::IsVisible(sm::StatusWindow window) const {
  const CSmDialog* w = WindowOf(window);
  return w && w->Visible();
}

void CMainFrame::Show(sm::StatusWindow window, const sm::Placement* place) {
  if (CSmDialog* w = Window(window)) w->ShowNoActivate(place);
}

void CMainFrame::Hide(sm::StatusWindow window) {
  if (CSmDialog* w = Window(window)) w->Hide();
}

void CMainFrame::Repaint(sm::StatusWindow window) {
  if (CSmDialog* w = Window(window)) w->Repaint();
}

void CMainFrame::SetOfferOrderToner(bool offer) {
  if (small_) small_->SetOffer(offer);
}

bool CMainFrame::CreateOrderToner() {
  orderToner_ = std::make_unique<COrderTonerDlg>(app_, *this);
  if (orderToner_->Open()) return true;
  orderToner_.reset();
  return false;
}

void CMainFrame::PrepareOrderToner() {
  if (orderToner_) {
    qx::Trace("OrderTonerDlg Showwindow (hide)");
    orderToner_->ShowWindowAndSelect(false);
  } else {
    CreateOrderToner();
  }
}

void CMainFrame::SetTimer(unsigned id, unsigned ms) { ::SetTimer(hwnd_, id, ms, nullptr); }
void CMainFrame::KillTimer(unsigned id) { ::KillTimer(hwnd_, id); }

bool CMainFrame::NeedsPort() const { return app_.Config().isSupportDevMon && !device_.PortAcquired(); }
bool CMainFrame::AcquirePort() { return device_.AcquirePort(); }

void CMainFrame::ReadStatus(unsigned char out[8]) {
  if (!device_.GetStatusData(out)) std::fill(out, out + 8, 0);
}

int CMainFrame::JobCount() {
  return jobCount_ ? jobCount_() : sm::PrinterJobCount(app_.jobInfo.printerName, &device_);
}

uint32_t CMainFrame::ReadOrderTonerChecked() { return sm::ReadOrderTonerChecked(app_.jobInfo.profileKey); }
void CMainFrame::WriteOrderTonerChecked(uint32_t value) { sm::WriteOrderTonerChecked(app_.jobInfo.profileKey, value); }

sm::WorkArea CMainFrame::GetWorkArea() {
  RECT r{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &r, 0);
  return {r.left, r.top, r.right, r.bottom};
}

void CMainFrame::ShowOrderTonerWindow() {
  if (!orderToner_ && !CreateOrderToner()) return;
  if (orderToner_->Visible()) {
    orderToner_->BringToForeground();
  } else {
    orderToner_->ShowWindowAndSelect(true);
  }
}

void CMainFrame::OnLowTonerNotAgain() { WriteOrderTonerChecked(1); }

void CMainFrame::OnMemOverAnswered(int command) {
  logic_.OnMemOverDismissed();
  if (command == sm::kIdMemPrint) device_.SendPrintCommandToPrinter();
  else if (command == sm::kIdMemCancel) device_.SendCancelCommandToPrinter();
}

void CMainFrame::OnOrderTonerClosed() { SendMessageA(hwnd_, sm::WM_SM_ORDER_TONER_CLOSED, 0, 0); }
