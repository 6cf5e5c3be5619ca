#include "setup/pages/wizard_pages.h"

#include "setup/engine/cmd_operator.h"

namespace pages {

using engine::PageKind;

WizardPages::WizardPages() {
  selectItems_.SetItems(&items_);
  install_.SetItems(&items_);
}

WizardPages::~WizardPages() { Detach(); }

ui::CNormalDlg* WizardPages::Page(PageKind kind) {
  switch (kind) {
    case PageKind::kNormal: return &normal_;
    case PageKind::kSelectLanguage: return &language_;
    case PageKind::kLicense: return &license_;
    case PageKind::kSelectDriver: return &drivers_;
    case PageKind::kSelectItem: return &selectItems_;
    case PageKind::kUninst: return &uninstItems_;
    case PageKind::kInstall: return &install_;
    case PageKind::kFinish: return &finish_;
    case PageKind::kSelectPrinter: return &printerSelect_;
    case PageKind::kSetPort: return &setPort_;
    case PageKind::kSetPrinters: return &setPrinter_;
    case PageKind::kEnterClientPc: return &clientPc_;
    default: return nullptr;
  }
}

void WizardPages::Attach(CCmdOperator& commandOperator) {
  Detach();
  operator_ = &commandOperator;
  install_.SetInterpreter(operator_);
  for (int i = 0; i < engine::kPageKinds; ++i) {
    auto kind = static_cast<PageKind>(i);
    if (ui::CNormalDlg* page = Page(kind)) {
      page->SetOperator(operator_);
      operator_->SetPage(kind, page);
    }
  }
}

void WizardPages::Detach() {
  if (!operator_) return;
  for (int i = 0; i < engine::kPageKinds; ++i) {
    auto kind = static_cast<PageKind>(i);
    ui::CNormalDlg* page = Page(kind);
    if (!page) continue;
    if (operator_->Page(kind) == page) operator_->SetPage(kind, nullptr);
    page->SetOperator(nullptr);
  }
  install_.SetInterpreter(nullptr);
  operator_ = nullptr;
}

}  // namespace pages
