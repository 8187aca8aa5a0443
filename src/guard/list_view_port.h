#pragma once
// What the list actions need of the list views beyond the window port:
// the selection, where the mouse pointer is, where a row is drawn, and the
// keyboard focus. Called on the window thread only.
#include <vector>

#include "ui/window_layout.h"

namespace lumora {

struct ListHit {
  int row = -1;     // -1 when the point is on no row
  int column = -1;  // -1 when it is on no column
};

class ListViewPort {
 public:
  virtual ~ListViewPort() = default;
  // The selected rows, ascending.
  virtual std::vector<int> SelectedRows(Ctl list) const = 0;
  // The row and column under the mouse pointer (LVM_SUBITEMHITTEST).
  virtual ListHit HitAtPointer(Ctl list) const = 0;
  // The upper-left corner of the row's item, in list view coordinates
  // (LVM_GETITEMPOSITION).
  virtual Point ItemPosition(Ctl list, int row) const = 0;
  // The width of the column as it is now (the user may have dragged it).
  virtual int ColumnWidth(Ctl list, int column) const = 0;
  // Gives the control the keyboard focus.
  virtual void Focus(Ctl control) = 0;
};

}  // namespace lumora
