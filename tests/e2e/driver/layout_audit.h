#pragma once
// The layout audit's rules, apart from how the controls are read: what a
// user would see clipped or overlapping on a page. Portable, so the rules
// are tested natively too.
#include <string>
#include <vector>

#include "ui/window_layout.h"

namespace lumora::e2e {

struct AuditedControl {
  std::string name;      // the design name (and a column's or header's title)
  Ctl id = Ctl::kCount;  // its row in the window definition
  int container = 0;     // which window holds it: equal for siblings
  Rect rect;             // screen pixels
  Rect visible;          // the part its containers leave visible, screen pixels
  Size text;             // its text's extent at its font, pixels
  Size chrome;           // what its frame and glyphs take of its room
};

// One line per fault: a text that does not fit the visible part of its
// control, or two siblings that overlap though their design rectangles do not.
std::vector<std::string> AuditLayout(const std::vector<AuditedControl>& controls);

// Where two rectangles overlap; an empty rectangle when they do not.
Rect Intersection(const Rect& a, const Rect& b);

}  // namespace lumora::e2e
