#pragma once
// Our own theme on the real window: the palette of the hue slider painted on
// the main window, its tab strip, its pages and their controls. Edit boxes,
// combo boxes and list views keep black on white; the floating bar is a
// window of its own and keeps its picture.
#include <windows.h>

#include <commctrl.h>

#include "extras/theme.h"
#include "ui/window_layout.h"

namespace lumora {

class Win32Window;

class ThemePainter : public ThemePort {
 public:
  explicit ThemePainter(Win32Window& window);
  ~ThemePainter() override;
  ThemePainter(const ThemePainter&) = delete;
  ThemePainter& operator=(const ThemePainter&) = delete;

  // ThemePort: takes the palette and repaints every window of the main
  // window at once.
  void ApplyPalette(const Palette& palette) override;
  void LeaveBarUnthemed() override;

  const Palette& Colours() const { return palette_; }

  // The window's drawing, on the window thread.
  // Background of the main window around the tab control.
  void FillWindow(HDC dc, const RECT& r) const;
  // Background of a page or a group box.
  void FillPage(HDC dc, const RECT& r) const;
  // Behind the tab headers.
  void FillTabStrip(HDC dc, const RECT& r) const;
  // WM_CTLCOLORSTATIC / WM_CTLCOLORBTN of a control of `kind`; `asked` is
  // the text colour set for it, if any.
  HBRUSH ControlColours(HDC dc, ControlKind kind, const Colour* asked, bool enabled) const;
  // An owner-drawn tab header (its title) and push button.
  void DrawTab(const DRAWITEMSTRUCT& item, const wchar_t* title, bool selected) const;
  void DrawButton(const DRAWITEMSTRUCT& item) const;
  // A group box's frame and caption (drawn in OnPage of the asked colour).
  void DrawGroupBox(HDC dc, const RECT& frame, const wchar_t* caption, int caption_len,
                    Colour asked) const;
  // The slider's custom draw: a flat track and a thumb in the accent colour.
  LRESULT DrawSlider(NMCUSTOMDRAW& draw) const;

 private:
  void MakeBrushes();
  void FreeBrushes();

  Win32Window& window_;
  Palette palette_;
  HBRUSH window_brush_ = nullptr;
  HBRUSH page_brush_ = nullptr;
  HBRUSH strip_brush_ = nullptr;
  HBRUSH white_brush_ = nullptr;
};

}  // namespace lumora
