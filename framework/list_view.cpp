#include <vector>

#include "framework/controls.h"

namespace fw {

void ListView::SetReportMode() const {
  LONG style = GetWindowLongA(hwnd_, GWL_STYLE);
  SetWindowLongA(hwnd_, GWL_STYLE, (style & ~LVS_TYPEMASK) | LVS_REPORT);
}

int ListView::InsertColumn(int index, const char* text, int width, int format) const {
  LVCOLUMNA column{};
  column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
  column.fmt = format;
  column.cx = width;
  column.pszText = const_cast<char*>(text ? text : "");
  column.iSubItem = index;
  return static_cast<int>(Send(LVM_INSERTCOLUMNA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&column)));
}

int ListView::ColumnCount() const {
  HWND header = reinterpret_cast<HWND>(Send(LVM_GETHEADER));
  return header ? static_cast<int>(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
}

int ListView::InsertItem(int index, const char* text, LPARAM data, int image) const {
  LVITEMA item{};
  item.mask = LVIF_TEXT | LVIF_PARAM | (image >= 0 ? LVIF_IMAGE : 0);
  item.iItem = index;
  item.pszText = const_cast<char*>(text ? text : "");
  item.lParam = data;
  item.iImage = image;
  return static_cast<int>(Send(LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
}

bool ListView::SetItemText(int item, int column, const char* text) const {
  LVITEMA row{};
  row.iSubItem = column;
  row.pszText = const_cast<char*>(text ? text : "");
  return Send(LVM_SETITEMTEXTA, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&row)) != FALSE;
}

std::string ListView::ItemText(int item, int column) const {
  // The control reports only how much it copied: grow until the text fits.
  for (size_t size = 256; size <= (1u << 20); size *= 4) {
    std::vector<char> buffer(size, '\0');
    LVITEMA row{};
    row.iSubItem = column;
    row.pszText = buffer.data();
    row.cchTextMax = static_cast<int>(size);
    LRESULT copied = Send(LVM_GETITEMTEXTA, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&row));
    if (copied < 0) return {};
    if (static_cast<size_t>(copied) < size - 1) return std::string(buffer.data(), static_cast<size_t>(copied));
  }
  return {};
}

LPARAM ListView::ItemData(int item) const {
  LVITEMA row{};
  row.mask = LVIF_PARAM;
  row.iItem = item;
  return Send(LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&row)) ? row.lParam : 0;
}

bool ListView::SetItemImage(int item, int image) const {
  LVITEMA row{};
  row.mask = LVIF_IMAGE;
  row.iItem = item;
  row.iImage = image;
  return Send(LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&row)) != FALSE;
}

int ListView::ItemImage(int item) const {
  LVITEMA row{};
  row.mask = LVIF_IMAGE;
  row.iItem = item;
  return Send(LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&row)) ? row.iImage : -1;
}

bool ListView::SetItemState(int item, UINT state, UINT mask) const {
  LVITEMA row{};
  row.state = state;
  row.stateMask = mask;
  return Send(LVM_SETITEMSTATE, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&row)) != FALSE;
}

bool ListView::Select(int item, bool selected) const {
  return SetItemState(item, selected ? LVIS_SELECTED : 0, LVIS_SELECTED);
}

}  // namespace fw
