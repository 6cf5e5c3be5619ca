#include "setup/pages/wizard_pages.h"

#include <utility>

#include "setup/engine/cmd_operator.h"

namespace pages {

using engine::PageKind;

WizardPages::~WizardPages() { Detach(); }

void WizardPages::Attach(CCmdOperator& commandOperator) {
  Detach();
  operator_ = &commandOperator;
  const std::pair<PageKind, ui::CNormalDlg*> pages[] = {{PageKind::kNormal, &normal_},
                                                        {PageKind::kSelectLanguage, &language_},
                                                        {PageKind::kLicense, &license_},
                                                        {PageKind::kSelectDriver, &drivers_}};
  for (const auto& [kind, page] : pages) {
    page->SetOperator(operator_);
    operator_->SetPage(kind, page);
  }
}

void WizardPages::Detach() {
  if (!operator_) return;
  const std::pair<PageKind, ui::CNormalDlg*> pages[] = {{PageKind::kNormal, &normal_},
                                                        {PageKind::kSelectLanguage, &language_},
                                                        {PageKind::kLicense, &license_},
                                                        {PageKind::kSelectDriver, &drivers_}};
  for (const auto& [kind, page] : pages) {
    if (operator_->Page(kind) == page) operator_->SetPage(kind, nullptr);
    page->SetOperator(nullptr);
  }
  operator_ = nullptr;
}

}  // namespace pages
