#pragma once
// CLicenseDlg: the licence viewer, a modal skinned dialog showing a text file
// in a read-only edit field with one OK button. Opened by CT_VIEW_LICESNE.
#include <windows.h>

#include <string>

#include "setup/ui/normal_dlg.h"

namespace pages {

class CLicenseDlg : public ui::CNormalDlg {
 public:
  static constexpr int kEditId = 1101;
  static constexpr int kOkId = IDOK;

  // The text shown for a file's bytes: NUL bytes (a binary file) become
  // blanks so that the whole file shows; line ends stay as they are.
  static std::string ShownText(std::string bytes);

 protected:
  void CreateFixedControls() override;
  bool InitPage() override;
  bool OnCommand(WORD id, WORD code, HWND control) override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
  const char* LogTag() const override { return "[CLicenseDlg]"; }

 private:
  bool ReadLicense(const std::string& path, std::string* text);
  HWND edit_ = nullptr, ok_ = nullptr;
};

}  // namespace pages
