#pragma once
// CPrinterSelectDlg: the printer selection page (SELECT_PRINTER.). Searches
// the network (network-management library) and the local ports (utility
// library) on a worker thread, lists the found printers in two columns, and
// on Next records the chosen port (port record, Printer_Port, $IP$) or the
// scan address ($SCANIP$, NetScanIP) before it posts its Next command.
//
// The printer table belongs to the environment and outlives the page. The
// worker writes it while the page does not read it: the page reads it only
// after message 2038, which the worker sends (synchronously) at its end.
#include <windows.h>

#include <string>

#include "companions/contracts/printer_entry.h"
#include "framework/handles.h"
#include "setup/engine/command_record.h"
#include "setup/ui/normal_dlg.h"

namespace pages {

inline constexpr UINT kSearchDoneMessage = 2038;

// What the worker needs, copied on the page's thread before it starts.
struct SearchParam {
  HWND page = nullptr;
  class CPrinterSelectDlg* dialog = nullptr;
  PRINTER_ENTRY* table = nullptr;
  bool searchNetwork = true, searchLocal = true;
  std::string networkLibrary, finding1, finding2, mfg, mdl, vidpid;
  HMODULE utility = nullptr;
  DWORD installType = 0;
  int osFamily = 0;
};
// The search itself (the worker's body, also callable directly).
void RunPrinterSearch(const SearchParam& param);

class CPrinterSelectDlg : public ui::CNormalDlg {
 public:
  static constexpr int kListId = 1301, kAddPrinterId = 1302, kUpdateId = 1303, kNextId = 1304, kServerId = 1305;

  ~CPrinterSelectDlg() override;
  // Starts a search on the worker; false when the thread cannot be made.
  bool StartSearch();
  bool Searching() const { return searching_; }
  int Searches() const { return searchesDone_; }
  bool Next();
  void SetServer(bool server);

  const std::string& SelectedPort() const { return selectedPort_; }
  const std::string& SelectedMac() const { return selectedMac_; }
  bool SelectedIsNetwork() const { return selectedNetwork_; }
  HWND SearchWindow() const { return searchWindow_; }

 protected:
  void CreateFixedControls() override;
  bool InitPage() override;
  bool OnCommand(WORD id, WORD code, HWND control) override;
  bool OnNotify(NMHDR* header, LRESULT* result) override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
  const char* LogTag() const override { return "[CPrinterSelectDlg]"; }

 private:
  void FillList();
  void SelectionChanged();
  void CreateSearchWindow();
  void WaitForWorker();

  HWND list_ = nullptr, addPrinter_ = nullptr, update_ = nullptr, next_button_ = nullptr, server_ = nullptr;
  HWND searchWindow_ = nullptr, searchText_ = nullptr, searchAnimation_ = nullptr;
  std::string fixed_;
  bool columnsMade_ = false, initialised_ = false, searching_ = false;
  bool searchNetwork_ = true, searchLocal_ = true, setPrinterPort_ = true;
  int searchesDone_ = 0;
  std::string selectedPort_, selectedMac_;
  bool selectedNetwork_ = false;
  CommandRecord next_, addPrinterCommand_;
  SearchParam param_;
  fw::UniqueHandle worker_;
};

}  // namespace pages
