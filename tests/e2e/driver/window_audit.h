#pragma once
// Reads the page a real main window shows, from a second process, for the
// layout audit: every visible control with its text's extent at the font
// the window definition gives it at `dpi`, the tab headers and the list
// views' column headers.
#include <windows.h>

#include <vector>

#include "layout_audit.h"

namespace lumora::e2e {

std::vector<AuditedControl> ReadShownPage(HWND main, int dpi);

}  // namespace lumora::e2e
