#pragma once
// The second half of the main job: the install and the uninstall through the
// wizard, page by page, as a person would click through them (a choice of
// items, a destination typed into the folder browser, the test page, then
// the uninstall pages and the hand-over to the clear run), with a picture of
// every page it passes and a check that nothing of the install is left.
#include <string>

namespace demo {

struct WizardProduct {
  std::string medium;      // the medium folder
  std::string productKey;  // HKLM Software\<mfg>\<program>
  std::string installKey;
  std::string uninstallKey;
};

// Pictures go to `pictureDir` as NN-name.bmp (none when it is empty or the
// display gives no pictures). True when every page came and nothing is left.
bool RunWizardDemo(const WizardProduct& product, const std::string& pictureDir);

}  // namespace demo
