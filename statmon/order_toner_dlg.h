#pragma once
// COrderTonerDlg: where to buy toner. A telephone number by country and a web
// link whose order URL (order_url.h) opens in the registered web browser.
#include <string>

#include "statmon/status_dialogs.h"

class COrderTonerDlg : public CSmDialog {
 public:
  using CSmDialog::CSmDialog;
  // Shown at the user's request: it may take the focus.
  void ShowWindowAndSelect(bool show);
  // Topmost and back, restored, then the foreground window.
  void BringToForeground();
  void Paint(HDC dc, const RECT& client) override;
  const RECT& LinkRect() const { return link_; }
  const std::string& ServiceTag() const { return serviceTag_; }
  // What a click on the link does: the URL, handed to the browser.
  std::string CurrentOrderUrl();

 protected:
  fw::DialogTemplate Template() const override;
  bool OnInitDialog() override;
  bool OnCommand(WORD id, WORD code, HWND control) override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
  void OnDestroy() override;

 private:
  bool InLink(POINT client) const;
  void ReadServiceTag();
  void OnLinkClicked();

  RECT link_{};
  std::string serviceTag_;
  fw::UniqueGdiObject phone_, web_;
};

namespace sm {
// HKEY_CLASSES_ROOT "http\shell\open\command", default value; empty when unreadable.
std::string GetDefaultWebBrowser();
// Starts "<browser> <url>/"; false (traced) when nothing could be started.
bool LaunchOrderUrl(const std::string& url);
}  // namespace sm
