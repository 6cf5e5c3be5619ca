#pragma once
// CSelectItems: the item selection page (SELECT_ITEM.). Lists the optional
// items of the current install type in a check-box list, shows the
// description of the item pointed at, shows the destination folder with a
// Browse button, and on Next marks the items, writes the item, shortcut and
// copy records and hands its Next command to the control window.
#include <windows.h>

#include <memory>
#include <string>

#include "setup/engine/command_record.h"
#include "setup/engine/my_items.h"
#include "setup/ui/my_list_ctrl.h"
#include "setup/ui/normal_dlg.h"

namespace pages {

// The row state of an item's check number; -1: the item is not listed
// (0 and 1, and numbers above 5). A check number 3 shows the item's default tick.
int RowStateOfCheckNumber(unsigned checkNumber, bool defaultTicked);
// Whether a listed item is installed after Next.
inline bool MarkedForInstall(int rowState, unsigned checkNumber) { return rowState == 1 || checkNumber == 4; }

class CSelectItems : public ui::CNormalDlg {
 public:
  static constexpr int kListId = 1020, kDestinationPathId = 1021, kBrowseId = 1022, kDescriptorId = 1036,
                       kDestinationHeadingId = 1037, kDescriptionHeadingId = 1038, kFolderIconId = 1042,
                       kPathCaptionId = 1043, kNextId = 1004;

  CSelectItems();
  ~CSelectItems() override;
  // The application's items model (not owned); without one the page keeps its own.
  void SetItems(CMyItems* items) { sharedItems_ = items; }
  CMyItems* Items();

  bool Load(const char* section) override;
  // Next: marks the items, writes the records, posts the Next command.
  bool Next();
  // Browse: runs the folder browser; a chosen folder becomes the destination.
  bool Browse();

  ui::CMyListCtrl& List() { return list_; }
  const std::string& DescriptionText() const { return description_; }
  const std::string& DestinationText() const { return destination_; }
  const CommandRecord& NextCommand() const { return next_; }
  const CommandRecord& SentCommand() const { return sent_; }

 protected:
  void CreateFixedControls() override;
  bool InitPage() override;
  bool OnCommand(WORD id, WORD code, HWND control) override;
  bool OnNotify(NMHDR* header, LRESULT* result) override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
  const char* LogTag() const override { return "[CSelectItems]"; }

 private:
  bool ApplyFixedItems();
  void FillList();
  void UpdateBrowse(bool withInstalledTest);
  void ShowTexts();

  CMyItems* sharedItems_ = nullptr;
  std::unique_ptr<CMyItems> ownItems_;
  ui::CMyListCtrl list_;
  HWND descriptionHeading_ = nullptr, descriptor_ = nullptr, destinationHeading_ = nullptr, folderIcon_ = nullptr,
       pathCaption_ = nullptr, destinationPath_ = nullptr, browse_ = nullptr, next_button_ = nullptr;
  fw::UniqueGdiObject boldFont_;  // Next in bold
  HICON folder_ = nullptr;
  std::string description_, destination_;
  bool listFilled_ = false;
  CommandRecord next_, sent_;
};

}  // namespace pages
