#pragma once
// CMyListCtrl: the item list of the item selection and uninstall pages. A
// report-style list view whose rows carry a check box (several rows) or a
// radio button (one row) drawn from the bitmap strip CHECK_BMP or RADIO_BMP,
// a state per row that the page reads back (0 unchecked, 1 checked,
// 2 disabled, 3 fixed), a tooltip and a description. It draws every cell
// itself, toggles a row on a click anywhere on it, and sends the page the
// description of the row pointed at or clicked (message 2036).
//
// The list view sends its drawing notifications to the page: the page hands
// them to HandleNotify. Rows beyond the capacity given at initialisation have
// no record; clicks, drawing and tooltips ignore them.
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "setup/core/utl.h"
#include "setup/ui/subclassed_control.h"

namespace ui {

enum RowState : short { kRowUnchecked = 0, kRowChecked = 1, kRowDisabled = 2, kRowFixed = 3 };

// The list's decisions, apart from its window.
// The image of a state in the strip: unchecked, checked, disabled; fixed rows
// show the unchecked image.
int StateImageIndex(int state);
// The states after a click on a row (out of range: unchanged). Radio mode
// clears every other changeable row when an unchecked row is clicked.
void ApplyRowClick(std::vector<short>& states, int row, bool checkBoxMode);
// The states after "set all": rows in states 2 and 3 stay as they are.
void ApplyAllStates(std::vector<short>& states, bool checked);
// A tooltip as shown: at most 79 characters.
std::string ShownTooltip(const std::string& text);
// The tool identifier of a cell.
inline int CellToolId(int row, int column) { return row * 1000 + column + 1; }

struct ListRow {
  void* data = nullptr;
  short state = kRowUnchecked;
  std::string text, secondText, thirdText, tooltip, description;
};

class CMyListCtrl : public SubclassedControl {
 public:
  static constexpr size_t kTooltipChars = 80;  // with the terminating zero

  CMyListCtrl();
  ~CMyListCtrl() override;
  // Makes the list view as a child of the page (report view, one row selected at a time).
  bool Create(HWND page, int id, const RECT& rect);
  // Allocates the row records, loads the state strip; false when the image
  // list cannot be made.
  bool Initialise(HWND page, int capacity, bool checkBoxMode, bool showStateImages, bool highlightSelection);

  bool AddRow(void* data, const char* text, const char* column1, const char* column2, int state);
  ListRow* Row(int index);
  int RowCount() const;
  int Capacity() const { return static_cast<int>(rows_.size()); }
  bool SetTooltip(int index, const std::string& text);
  bool SetDescription(int index, const std::string& text);
  // The check state of a row (-1 without a record); SetState redraws it.
  int State(int index) const;
  bool SetState(int index, int state);
  void SetAllStates(bool checked);
  // Deletes every row and clears the records (tooltips and descriptions stay).
  void ResetRows();
  // Frees the records and deletes every row.
  void DeleteAll();
  bool ImagesLoaded() const { return imagesLoaded_; }
  bool CheckBoxMode() const { return checkBoxMode_; }
  HIMAGELIST Images() const { return images_; }

  // The row whose whole rectangle holds the point (client coordinates), else -1.
  int RowAt(POINT point) const;
  // A click at the point: the row's new state, the description to the page.
  void Click(POINT point);
  // The tooltip of the cell at the point ("" for none); sends its row's
  // description to the page.
  std::string TipAt(POINT point, int* toolId = nullptr);
  // Custom drawing and info tips the page receives from the list (WM_NOTIFY).
  bool HandleNotify(NMHDR* header, LRESULT* result);
  void ReadSystemColours();

 protected:
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

 private:
  bool HasRecord(int index) const { return index >= 0 && index < static_cast<int>(rows_.size()); }
  void SendDescription(int index);
  void RedrawRow(int index);
  LRESULT CustomDraw(NMLVCUSTOMDRAW* draw);
  void DrawCell(NMLVCUSTOMDRAW* draw, int row, int column);
  void LoadStateImages();

  CUtl log_;
  HWND page_ = nullptr;
  HIMAGELIST images_ = nullptr;
  bool imagesLoaded_ = false;
  bool checkBoxMode_ = true;
  bool showStateImages_ = true;
  bool highlightSelection_ = true;
  std::vector<ListRow> rows_;
  COLORREF grayText_ = 0, highlight_ = 0, highlightText_ = 0, window_ = 0, windowText_ = 0;
};

}  // namespace ui
