#pragma once
// A generic page opened (without a modal loop) on a medium the test writes,
// with a stand-in control window.
#include <memory>
#include <string>

#include "setup/ui/normal_dlg.h"
#include "tests/ui/ui_test_support.h"

namespace uitest {

struct OpenPage {
  explicit OpenPage(const MediumFiles& files, const std::string& section = "NORMAL.PAGE")
      : medium(files) {
    page.SetControlWindow(sink.Handle());
    loaded = page.Load(section.c_str());
    if (loaded) created = page.CreatePage(nullptr);
  }
  ~OpenPage() {
    // QX_UI_PICTURES names a folder for a picture of every page a test made.
    static int pictures = 0;
    if (const char* dir = getenv("QX_UI_PICTURES"); dir && page.Window()) {
      Picture(page.Window()).SaveBmp(std::string(dir) + "\\page" + std::to_string(++pictures) + ".bmp");
    }
    if (page.Window()) page.End(0);
  }
  HWND Window() const { return page.Window(); }
  ui::CDlgConfig& Config() { return page.Description(); }
  SIZE Client() const {
    RECT r{};
    GetClientRect(page.Window(), &r);
    return SIZE{r.right, r.bottom};
  }

  PageMedium medium;
  CommandSink sink;
  ui::CNormalDlg page;
  bool loaded = false, created = false;
};

}  // namespace uitest
