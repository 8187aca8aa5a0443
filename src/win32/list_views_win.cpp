#include "win32/list_views_win.h"

#include <commctrl.h>

#include "win32/window/main_window.h"

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

ListHit Win32ListViews::HitAtPointer(Ctl list) const {
  const HWND view = handle_(list);
  POINT pointer{};
  if (!view || !GetCursorPos(&pointer) || !ScreenToClient(view, &pointer)) return {};
  LVHITTESTINFO info{};
  info.pt = pointer;
  SendMessageW(view, LVM_SUBITEMHITTEST, 0, LPARAM(&info));
  if (info.iItem < 0) return {-1, info.iSubItem};
  return {info.iItem, info.iSubItem};
}

// Places and widths in design units, as the window port's places are: the
// list actions add them to a control's bounds.
Point Win32ListViews::ItemPosition(Ctl list, int row) const {
  POINT place{};
  const HWND view = handle_(list);
  if (!view) return {};
  SendMessageW(view, LVM_GETITEMPOSITION, WPARAM(row), LPARAM(&place));
  const int dpi = Win32Window::DpiOfWindowHolding(view);
  return {DesignUnits(int(place.x), dpi), DesignUnits(int(place.y), dpi)};
}

int Win32ListViews::ColumnWidth(Ctl list, int column) const {
  const HWND view = handle_(list);
  if (!view) return 0;
  const int width = int(SendMessageW(view, LVM_GETCOLUMNWIDTH, WPARAM(column), 0));
  return DesignUnits(width, Win32Window::DpiOfWindowHolding(view));
}

void Win32ListViews::Focus(Ctl control) {
  if (const HWND window = handle_(control)) SetFocus(window);
}

}  // namespace lumora
