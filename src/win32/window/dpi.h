#pragma once
// The screen's DPI as a window sees it. The functions that tell it per
// monitor came with Windows 10; on Windows 7 and 8 every window has the
// system's DPI, which the screen's device context gives.
#include <windows.h>

#include "ui/window_layout.h"

// Declared for Windows 10 only; the messages are sent there alone.
#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif
#ifndef WM_DPICHANGED_AFTERPARENT
#define WM_DPICHANGED_AFTERPARENT 0x02E3
#endif

namespace lumora {

// The DPI of the monitor `window` is on (the system's where that is unknown).
int DpiOf(HWND window);
// The system's DPI: the primary monitor's when the program started.
int SystemDpi();
// GetSystemMetrics for a screen of `dpi`.
int MetricForDpi(int index, int dpi);
// A font of the window definition at `dpi`; the caller deletes it.
HFONT FontForDpi(Font font, int dpi);
// Whether Windows runs a high-contrast theme.
bool HighContrastOn();

}  // namespace lumora
