#pragma once
// The list views' selection, hit test, item places and column widths, and
// the keyboard focus, for the client guard's list actions. Window thread only.
#include <windows.h>

#include <functional>

#include "guard/list_view_port.h"

namespace lumora {

class Win32ListViews : public ListViewPort {
 public:
  // `handle` gives the window of a control by its design name.
  explicit Win32ListViews(std::function<HWND(Ctl)> handle) : handle_(std::move(handle)) {}

  std::vector<int> SelectedRows(Ctl list) const override;
  int ColumnAtPointer(Ctl list) const override;
  Point ItemPosition(Ctl list, int row) const override;
  int ColumnWidth(Ctl list, int column) const override;
  void Focus(Ctl control) override;

 private:
  std::function<HWND(Ctl)> handle_;
};

}  // namespace lumora
