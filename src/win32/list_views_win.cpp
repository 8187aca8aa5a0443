#include "win32/list_views_win.h"

#include <commctrl.h>

namespace lumora {

std::vector<int> Win32ListViews::SelectedRows(Ctl list) const {
  std::vector<int> rows;
  const HWND view = handle_(list);
  if (!view) return rows;
  int row = -1;
  while ((row = int(SendMessageW(view, LVM_GETNEXTITEM, WPARAM(row), LVNI_SELECTED))) >= 0)
    rows.push_back(row);
  return rows;
}

int Win32ListViews::ColumnAtPointer(Ctl list) const {
  const HWND view = handle_(list);
  POINT pointer{};
  if (!view || !GetCursorPos(&pointer) || !ScreenToClient(view, &pointer)) return -1;
  LVHITTESTINFO info{};
  info.pt = pointer;
  SendMessageW(view, LVM_SUBITEMHITTEST, 0, LPARAM(&info));
  return info.iSubItem;
}

Point Win32ListViews::ItemPosition(Ctl list, int row) const {
  POINT place{};
  const HWND view = handle_(list);
  if (view) SendMessageW(view, LVM_GETITEMPOSITION, WPARAM(row), LPARAM(&place));
  return {int(place.x), int(place.y)};
}

int Win32ListViews::ColumnWidth(Ctl list, int column) const {
  const HWND view = handle_(list);
  return view ? int(SendMessageW(view, LVM_GETCOLUMNWIDTH, WPARAM(column), 0)) : 0;
}

void Win32ListViews::Focus(Ctl control) {
  if (const HWND window = handle_(control)) SetFocus(window);
}

}  // namespace lumora
