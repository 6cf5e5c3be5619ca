#pragma once
// WizardPages: one object per page kind built so far, owned for the whole run
// and handed to the command interpreter (Attach), which shows them by section
// prefix. Detach takes them back before the pages go.
#include "setup/pages/finish_dlg.h"
#include "setup/pages/install_dlg.h"
#include "setup/pages/license_dlg.h"
#include "setup/pages/printer_drivers_dlg.h"
#include "setup/pages/printer_select_dlg.h"
#include "setup/pages/set_port_dlg.h"
#include "setup/pages/set_printer_dlg.h"
#include "setup/pages/enter_client_pc_dlg.h"
#include "setup/pages/select_items_dlg.h"
#include "setup/pages/select_language_dlg.h"
#include "setup/pages/uninst_items_dlg.h"
#include "setup/engine/my_items.h"
#include "setup/ui/normal_dlg.h"

class CCmdOperator;

namespace pages {

class WizardPages {
 public:
  WizardPages();
  ~WizardPages();
  WizardPages(const WizardPages&) = delete;
  WizardPages& operator=(const WizardPages&) = delete;

  // The object of a page kind, or null for a kind not built yet.
  ui::CNormalDlg* Page(engine::PageKind kind);
  void Attach(CCmdOperator& commandOperator);
  void Detach();

  ui::CNormalDlg& Normal() { return normal_; }
  CSelectLanguageDlg& Language() { return language_; }
  CLicenseDlg& License() { return license_; }
  CPrinterDriversDlg& Drivers() { return drivers_; }
  CSelectItems& SelectItems() { return selectItems_; }
  CUninstItemsDlg& UninstItems() { return uninstItems_; }
  CInstallDlg& Install() { return install_; }
  CFinishDlg& Finish() { return finish_; }
  CPrinterSelectDlg& PrinterSelect() { return printerSelect_; }
  CSetPortDlg& PortSetup() { return setPort_; }
  CSetPrinterDlg& PrinterSettings() { return setPrinter_; }
  CEnterClientPCDlg& ClientComputers() { return clientPc_; }
  // The run's install items model, shared by the item and install pages.
  CMyItems& Items() { return items_; }

 private:
  CMyItems items_;
  ui::CNormalDlg normal_;
  CSelectLanguageDlg language_;
  CLicenseDlg license_;
  CPrinterDriversDlg drivers_;
  CSelectItems selectItems_;
  CUninstItemsDlg uninstItems_;
  CInstallDlg install_;
  CFinishDlg finish_;
  CPrinterSelectDlg printerSelect_;
  CSetPortDlg setPort_;
  CSetPrinterDlg setPrinter_;
  CEnterClientPCDlg clientPc_;
  CCmdOperator* operator_ = nullptr;
};

}  // namespace pages
