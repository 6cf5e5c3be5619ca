#include "setup/ui/my_list_ctrl.h"

#include <windowsx.h>

#include <new>

#include "framework/controls.h"
#include "setup/engine/wizard_page.h"
#include "setup/ui/skin_bitmap.h"

namespace ui {
namespace {
constexpr int kImageSize = 16;
constexpr UINT kTextFlags = DT_END_ELLIPSIS | DT_EXPANDTABS;  // 0x8080 with DT_LEFT and DT_TOP (0)
}  // namespace

// ----------------------------------------------------------------- decisions

int StateImageIndex(int state) {
  switch (state) {
    case kRowChecked: return 1;
    case kRowDisabled: return 2;
    default: return 0;
  }
}

void ApplyRowClick(std::vector<short>& states, int row, bool checkBoxMode) {
  if (row < 0 || row >= static_cast<int>(states.size())) return;
  short& state = states[static_cast<size_t>(row)];
  if (state == kRowUnchecked) {
    if (!checkBoxMode) {
      for (short& other : states) {
        if (other != kRowDisabled && other != kRowFixed) other = kRowUnchecked;
      }
    }
    state = kRowChecked;
  } else if (state == kRowChecked && checkBoxMode) {
    state = kRowUnchecked;
  }
}

void ApplyAllStates(std::vector<short>& states, bool checked) {
  for (short& state : states) {
    if (state != kRowDisabled && state != kRowFixed) state = checked ? kRowChecked : kRowUnchecked;
  }
}

std::string ShownTooltip(const std::string& text) { return text.substr(0, CMyListCtrl::kTooltipChars - 1); }

// ----------------------------------------------------------------- the control

CMyListCtrl::CMyListCtrl() {
  log_.BorrowApplicationLog();
  ReadSystemColours();
}

CMyListCtrl::~CMyListCtrl() {
  Destroy();
  if (images_) ImageList_Destroy(images_);
}

bool CMyListCtrl::Create(HWND page, int id, const RECT& rect) {
  fw::InitCommonControlsOnce();
  page_ = page;
  if (!CreateControl(WC_LISTVIEWA, "",
                     WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL |
                         LVS_NOCOLUMNHEADER | LVS_SHOWSELALWAYS | LVS_SHAREIMAGELISTS,
                     0, rect, page, id)) {
    return false;
  }
  SendMessageA(hwnd_, WM_SETFONT, SendMessageA(page, WM_GETFONT, 0, 0), FALSE);
  fw::ListView(hwnd_).SetExtendedStyle(LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP, LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP);
  return true;
}

bool CMyListCtrl::Initialise(HWND page, int capacity, bool checkBoxMode, bool showStateImages,
                             bool highlightSelection) {
  log_.BorrowApplicationLog();
  page_ = page;
  checkBoxMode_ = checkBoxMode;
  showStateImages_ = showStateImages;
  highlightSelection_ = highlightSelection;
  rows_.clear();
  try {
    rows_.resize(capacity > 0 ? static_cast<size_t>(capacity) : 0);
  } catch (const std::bad_alloc&) {
    rows_.clear();
  }
  if (images_) ImageList_Destroy(images_);
  images_ = ImageList_Create(kImageSize, kImageSize, ILC_COLOR24 | ILC_MASK, 3, 0);
  if (!images_) {
    log_.WriteLog(0, "[CMyListCtrl] Allocate memory for bitmap error... new function fail\n");
    return false;
  }
  LoadStateImages();
  if (hwnd_) fw::ListView(hwnd_).SetImageList(images_, LVSIL_SMALL);
  return true;
}

void CMyListCtrl::LoadStateImages() {
  const char* name = checkBoxMode_ ? "CHECK_BMP" : "RADIO_BMP";
  fw::UniqueGdiObject strip = LoadSkinBitmap(name);
  imagesLoaded_ = strip && ImageList_AddMasked(images_, static_cast<HBITMAP>(strip.Get()), highlight_) >= 0;
  if (!imagesLoaded_) CUtl::Trace("[CMyListCtrl] Load check box bitmap error (%s)\n", name);
}

int CMyListCtrl::RowCount() const { return hwnd_ ? fw::ListView(hwnd_).Count() : 0; }

bool CMyListCtrl::AddRow(void* data, const char* text, const char* column1, const char* column2, int state) {
  if (!text || !hwnd_) return false;
  fw::ListView list(hwnd_);
  int index = list.AddItem(text, reinterpret_cast<LPARAM>(data), imagesLoaded_ ? StateImageIndex(state) : -1);
  if (index < 0) return false;
  if (column1) list.SetItemText(index, 1, column1);
  if (column2) list.SetItemText(index, 2, column2);
  if (HasRecord(index)) {
    ListRow& row = rows_[static_cast<size_t>(index)];
    row.text = text;
    if (column1) row.secondText = column1;
    if (column2) row.secondText = column2;
    row.state = static_cast<short>(state);
    row.data = data;
  }
  return true;
}

ListRow* CMyListCtrl::Row(int index) { return HasRecord(index) ? &rows_[static_cast<size_t>(index)] : nullptr; }

bool CMyListCtrl::SetTooltip(int index, const std::string& text) {
  if (index < 0 || index >= RowCount() || !HasRecord(index)) return false;
  rows_[static_cast<size_t>(index)].tooltip = text;
  return true;
}

bool CMyListCtrl::SetDescription(int index, const std::string& text) {
  if (index < 0 || index >= RowCount() || !HasRecord(index)) return false;
  rows_[static_cast<size_t>(index)].description = text;
  return true;
}

int CMyListCtrl::State(int index) const { return HasRecord(index) ? rows_[static_cast<size_t>(index)].state : -1; }

bool CMyListCtrl::SetState(int index, int state) {
  if (!HasRecord(index)) return false;
  rows_[static_cast<size_t>(index)].state = static_cast<short>(state);
  RedrawRow(index);
  return true;
}

void CMyListCtrl::SetAllStates(bool checked) {
  std::vector<short> states;
  for (const ListRow& row : rows_) states.push_back(row.state);
  ApplyAllStates(states, checked);
  for (size_t i = 0; i < rows_.size(); ++i) {
    if (rows_[i].state == states[i]) continue;
    rows_[i].state = states[i];
    RedrawRow(static_cast<int>(i));
  }
}

void CMyListCtrl::ResetRows() {
  if (hwnd_) fw::ListView(hwnd_).DeleteAll();
  for (ListRow& row : rows_) {
    row.data = nullptr;
    row.state = kRowUnchecked;
    row.text.clear();
    row.secondText.clear();
    row.thirdText.clear();
  }
}

void CMyListCtrl::DeleteAll() {
  rows_.clear();
  rows_.shrink_to_fit();
  if (hwnd_) fw::ListView(hwnd_).DeleteAll();
}

void CMyListCtrl::RedrawRow(int index) {
  if (!hwnd_ || index < 0 || index >= RowCount()) return;
  if (imagesLoaded_ && HasRecord(index)) fw::ListView(hwnd_).SetItemImage(index, StateImageIndex(State(index)));
  SendMessageA(hwnd_, LVM_REDRAWITEMS, static_cast<WPARAM>(index), index);
}

void CMyListCtrl::SendDescription(int index) {
  if (!page_ || !HasRecord(index)) return;
  const std::string& description = rows_[static_cast<size_t>(index)].description;
  if (description.empty()) return;
  SendMessageA(page_, engine::kDescriptionMessage, 0, reinterpret_cast<LPARAM>(description.c_str()));
}

int CMyListCtrl::RowAt(POINT point) const {
  int hit = -1;
  int count = RowCount();
  for (int i = 0; i < count; ++i) {
    RECT r{};
    r.left = LVIR_BOUNDS;
    if (SendMessageA(hwnd_, LVM_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&r)) &&
        PtInRect(&r, point)) {
      hit = i;
    }
  }
  return hit;
}

void CMyListCtrl::Click(POINT point) {
  int row = RowAt(point);
  if (!HasRecord(row)) return;
  std::vector<short> states;
  for (const ListRow& r : rows_) states.push_back(r.state);
  short before = rows_[static_cast<size_t>(row)].state;
  ApplyRowClick(states, row, checkBoxMode_);
  for (size_t i = 0; i < rows_.size(); ++i) {
    if (rows_[i].state == states[i]) continue;
    rows_[i].state = states[i];
    RedrawRow(static_cast<int>(i));
  }
  if (before == kRowUnchecked) fw::ListView(hwnd_).Select(row);
  SendDescription(row);
  RedrawRow(row);
}

std::string CMyListCtrl::TipAt(POINT point, int* toolId) {
  LVHITTESTINFO hit{};
  hit.pt = point;
  SendMessageA(hwnd_, LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit));
  int row = hit.iItem >= 0 ? hit.iItem : RowAt(point);
  if (!HasRecord(row) || row >= RowCount()) return "";
  if (toolId) *toolId = CellToolId(row, hit.iSubItem);
  SendDescription(row);
  return ShownTooltip(rows_[static_cast<size_t>(row)].tooltip);
}

void CMyListCtrl::ReadSystemColours() {
  grayText_ = GetSysColor(COLOR_GRAYTEXT);
  highlight_ = GetSysColor(COLOR_HIGHLIGHT);
  highlightText_ = GetSysColor(COLOR_HIGHLIGHTTEXT);
  window_ = GetSysColor(COLOR_WINDOW);
  windowText_ = GetSysColor(COLOR_WINDOWTEXT);
}

// ----------------------------------------------------------------- drawing

bool CMyListCtrl::HandleNotify(NMHDR* header, LRESULT* result) {
  if (!header || !hwnd_ || header->hwndFrom != hwnd_) return false;
  if (header->code == NM_CUSTOMDRAW) {
    *result = CustomDraw(reinterpret_cast<NMLVCUSTOMDRAW*>(header));
    return true;
  }
  if (header->code == LVN_GETINFOTIPA || header->code == LVN_GETINFOTIPW) {
    auto* tip = reinterpret_cast<NMLVGETINFOTIPA*>(header);
    int row = tip->iItem;
    if (HasRecord(row) && tip->pszText && tip->cchTextMax > 0) {
      SendDescription(row);
      std::string text = ShownTooltip(rows_[static_cast<size_t>(row)].tooltip);
      if (header->code == LVN_GETINFOTIPA) {
        lstrcpynA(tip->pszText, text.c_str(), tip->cchTextMax);
      } else {
        auto* wide = reinterpret_cast<NMLVGETINFOTIPW*>(header);
        MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide->pszText, wide->cchTextMax);
        wide->pszText[wide->cchTextMax - 1] = 0;
      }
    }
    *result = 0;
    return true;
  }
  return false;
}

LRESULT CMyListCtrl::CustomDraw(NMLVCUSTOMDRAW* draw) {
  switch (draw->nmcd.dwDrawStage) {
    case CDDS_PREPAINT: return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT: return CDRF_NOTIFYSUBITEMDRAW;
    case CDDS_ITEMPREPAINT | CDDS_SUBITEM: {
      int row = static_cast<int>(draw->nmcd.dwItemSpec);
      if (!HasRecord(row)) return CDRF_DODEFAULT;
      DrawCell(draw, row, draw->iSubItem);
      return CDRF_SKIPDEFAULT;
    }
    default: return CDRF_DODEFAULT;
  }
}

void CMyListCtrl::DrawCell(NMLVCUSTOMDRAW* draw, int row, int column) {
  HDC dc = draw->nmcd.hdc;
  const ListRow& record = rows_[static_cast<size_t>(row)];
  COLORREF text = record.state == kRowDisabled ? grayText_ : windowText_;
  COLORREF back = window_;
  bool selected = (SendMessageA(hwnd_, LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_SELECTED) & LVIS_SELECTED) != 0;
  if (selected && highlightSelection_) {
    text = highlightText_;
    back = highlight_;
  }
  std::string cellText = fw::ListView(hwnd_).ItemText(row, column);
  int oldMode = SetBkMode(dc, TRANSPARENT);
  COLORREF oldColour = SetTextColor(dc, text);
  HBRUSH brush = CreateSolidBrush(back);
  RECT cell{};
  if (column == 0 && showStateImages_) {
    RECT icon{};
    icon.left = LVIR_ICON;
    SendMessageA(hwnd_, LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&icon));
    RECT whole{};
    whole.left = LVIR_BOUNDS;
    SendMessageA(hwnd_, LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&whole));
    RECT left{whole.left, whole.top, icon.left, whole.bottom};
    FillRect(dc, &left, brush);
    RECT iconArea{icon.left, whole.top, icon.right, whole.bottom};
    FillRect(dc, &iconArea, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
    if (imagesLoaded_) {
      int y = icon.top + (icon.bottom - icon.top - kImageSize) / 2;
      ImageList_Draw(images_, StateImageIndex(record.state), dc, icon.left, y, ILD_TRANSPARENT);
    }
    cell.left = LVIR_LABEL;
    SendMessageA(hwnd_, LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&cell));
  } else {
    cell.top = column;
    cell.left = column == 0 ? LVIR_LABEL : LVIR_BOUNDS;
    SendMessageA(hwnd_, LVM_GETSUBITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&cell));
  }
  FillRect(dc, &cell, brush);
  RECT textArea = cell;
  textArea.left += 2;
  DrawTextA(dc, cellText.c_str(), -1, &textArea, kTextFlags);
  DeleteObject(brush);
  SetTextColor(dc, oldColour);
  SetBkMode(dc, oldMode);
}

// ----------------------------------------------------------------- messages

bool CMyListCtrl::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  switch (message) {
    case WM_LBUTTONDOWN:
      Click(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
      *result = Default(message, wParam, lParam);
      return true;
    case WM_SYSCOLORCHANGE:
      ReadSystemColours();
      return false;
    case WM_NOTIFY: {
      auto* header = reinterpret_cast<NMHDR*>(lParam);
      if (header && (header->code == TTN_NEEDTEXTA || header->code == TTN_NEEDTEXTW)) {
        POINT cursor{};
        GetCursorPos(&cursor);
        ScreenToClient(hwnd_, &cursor);
        std::string text = TipAt(cursor);
        if (header->code == TTN_NEEDTEXTA) {
          auto* info = reinterpret_cast<NMTTDISPINFOA*>(header);
          lstrcpynA(info->szText, text.c_str(), sizeof(info->szText));
          info->lpszText = info->szText;
        } else {
          auto* info = reinterpret_cast<NMTTDISPINFOW*>(header);
          MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, info->szText, 80);
          info->szText[79] = 0;
          info->lpszText = info->szText;
        }
        *result = 0;
        return true;
      }
      return false;
    }
    case WM_DESTROY:
      if (images_) {
        ImageList_Destroy(images_);
        images_ = nullptr;
        imagesLoaded_ = false;
      }
      return false;
    default:
      return false;
  }
}

}  // namespace ui
