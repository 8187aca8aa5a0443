#pragma once
// Our own theme on the real window: the palette of the hue slider painted on
// the main window, its tab strip, its pages and their controls. Edit boxes,
// combo boxes and list views keep black on white; the floating bar is a
// window of its own and keeps its picture. While Windows runs a
// high-contrast theme the hue steps aside: everything is drawn in the
// system's colours.
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

  // The palette drawn now: the hue's, or the system's in high contrast.
  const Palette& Colours() const { return high_contrast_ ? system_ : palette_; }
  bool HighContrast() const { return high_contrast_; }
  // Windows' colours or its high-contrast setting changed: repaint.
  void SystemColoursChanged();
  // For tests: the answer to "is high contrast on" instead of Windows'.
  void OverrideHighContrast(bool on);

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
  void DrawTab(const DRAWITEMSTRUCT& item, const wchar_t* title, bool selected, bool focused) const;
  void DrawButton(const DRAWITEMSTRUCT& item) const;
  // A picture acting as a button, and a link: their focus shows as a frame.
  void DrawIconButton(const DRAWITEMSTRUCT& item, HICON icon) const;
  void DrawLink(const DRAWITEMSTRUCT& item) const;
  // A list view's custom draw: selected rows stay readable without the focus.
  LRESULT DrawListRow(NMLVCUSTOMDRAW& draw) const;
  // A group box's frame and caption (drawn in OnPage of the asked colour).
  void DrawGroupBox(HDC dc, const RECT& frame, const wchar_t* caption, int caption_len,
                    Colour asked) const;
  // The slider's custom draw: a flat track and a thumb in the accent colour.
  LRESULT DrawSlider(NMCUSTOMDRAW& draw) const;

 private:
  void MakeBrushes();
  void FreeBrushes();
  void Repaint();

  Win32Window& window_;
  Palette palette_;
  Palette system_;  // from the system's colours
  bool high_contrast_ = false;
  int forced_contrast_ = -1;  // a test's answer, or -1
  HBRUSH window_brush_ = nullptr;
  HBRUSH page_brush_ = nullptr;
  HBRUSH strip_brush_ = nullptr;
  HBRUSH white_brush_ = nullptr;
};

}  // namespace lumora
