#pragma once
// Pieces of the floating traffic bar's window for the Windows layer that
// builds it and implements BarPort: the outline cut from a picture, the
// hover tip, dragging by the body, and reporting moves.
#include <windows.h>

#include <string_view>

#include "traffic/bar_port.h"

namespace lumora {

inline constexpr COLORREF kBarCutColour = RGB(255, 0, 255);

// The region of the picture's pixels that are not `cut`; for SetWindowRgn,
// which then owns it. Null when the picture cannot be read.
HRGN OutlineRegion(HBITMAP outline, COLORREF cut = kBarCutColour);

// A plain hover tip (TTS_ALWAYSTIP | TTS_NOPREFIX, not a balloon) on `tool`,
// a child of `owner`, centred under it and broken at its line breaks.
// Returns the tooltip window, destroyed with its owner.
HWND AttachHoverTooltip(HWND owner, HWND tool, std::string_view text);

// The system moves `window` with the mouse, as if its caption had been
// grabbed; call it when the left button goes down on the bar.
void BeginCaptionDrag(HWND window);

// WM_MOVE of the bar: reports the outer left and top. (WM_MOVE's own
// figures are the client area's, and 16 bits each.)
void ReportBarMoved(HWND bar, BarEvents& events);

// SM_CXSCREEN x SM_CYSCREEN.
Size PrimaryScreenSize();

}  // namespace lumora
