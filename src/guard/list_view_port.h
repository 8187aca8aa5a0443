#pragma once
// What the list actions need of the list views beyond the window port:
// the selection, the column at the mouse pointer, where a row is drawn, and the
// keyboard focus. Called on the window thread only.
#include <vector>

#include "ui/window_layout.h"

namespace lumora {

class ListViewPort {
 public:
  virtual ~ListViewPort() = default;
  // The selected rows, ascending.
  virtual std::vector<int> SelectedRows(Ctl list) const = 0;
  // The column under the mouse pointer (LVM_SUBITEMHITTEST); -1 when none.
  virtual int ColumnAtPointer(Ctl list) const = 0;
  // The upper-left corner of the row's item, in list view coordinates
  // (LVM_GETITEMPOSITION).
  virtual Point ItemPosition(Ctl list, int row) const = 0;
  // The width of the column as it is now (the user may have dragged it).
  virtual int ColumnWidth(Ctl list, int column) const = 0;
  // Gives the control the keyboard focus.
  virtual void Focus(Ctl control) = 0;
};

}  // namespace lumora
