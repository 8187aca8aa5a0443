#pragma once
// The program's own theme: one palette per hue, computed here and painted by
// the Windows layer. Every text colour of a palette reads against its
// background with a contrast ratio of at least 4.5 : 1 at every hue.
#include <array>

#include "extras/extras_ports.h"
#include "ui/controls.h"
#include "ui/window_port.h"

namespace lumora {

inline constexpr double kMinTextContrast = 4.5;

// Relative luminance of an sRGB colour, 0 (black) to 1 (white).
double RelativeLuminance(Colour c);
// (lighter + 0.05) / (darker + 0.05): 1 to 21.
double ContrastRatio(Colour a, Colour b);
// `fore` itself when it reads on `back`; otherwise the nearest colour of the
// same hue, darkened (on a light background) or lightened (on a dark one),
// that reaches kMinTextContrast.
Colour ReadableOn(Colour fore, Colour back);

struct GroupCaption {
  Ctl group;
  Colour colour;  // drawn on Palette::page_background
};

// The caption colours each group box asks for (分组框2, 5, 1, 3 red, 分组框4
// and 6 green), as set through WindowPort::SetCaptionColour at creation.
inline constexpr Colour kCaptionRed{255, 0, 0};
inline constexpr Colour kCaptionGreen{9, 124, 37};
inline constexpr GroupCaption kGroupCaptions[] = {
    {Ctl::分组框2, kCaptionRed},   {Ctl::分组框5, kCaptionRed},   {Ctl::分组框1, kCaptionRed},
    {Ctl::分组框3, kCaptionRed},   {Ctl::分组框4, kCaptionGreen}, {Ctl::分组框6, kCaptionGreen},
};

struct Palette {
  int hue = 0;                 // as given (slider position − 160)
  int angle = 0;               // the tint's place on the colour wheel, 0-359
  Colour window_background;    // main window around the tab control
  Colour window_text;
  Colour page_background;      // the five pages: labels, check boxes, group boxes, slider
  Colour page_text;
  Colour link_text;            // hyperlinks on a page
  Colour tab_strip;            // behind the tab headers
  Colour tab_text;
  Colour tab_selected;         // header of the page shown
  Colour tab_selected_text;
  Colour button_face;          // push buttons
  Colour button_text;
  Colour button_border;
  Colour slider_accent;        // the slider's thumb and its filled track
  // Group box captions: the asked colour made readable on page_background.
  std::array<GroupCaption, 6> captions;

  // The colour to draw a text on a page with when `asked` was set for it (a
  // group box's caption colour, a label's text colour): readable on
  // page_background.
  Colour OnPage(Colour asked) const { return ReadableOn(asked, page_background); }
};

// The palette for a hue. Any whole number is accepted: the wheel wraps
// (stored values outside the slider's range reach here as they are).
Palette HuePalette(int hue);

// Paints the palette on the windows (the Windows layer implements it).
class ThemePort {
 public:
  virtual ~ThemePort() = default;
  // Repaints the main window and its pages with the palette.
  virtual void ApplyPalette(const Palette& palette) = 0;
  // The floating bar keeps its own picture and outline.
  virtual void LeaveBarUnthemed() = 0;
};

// The hue seam on top of our own theme: each hue becomes a palette.
class PaletteSkin : public SkinPort {
 public:
  explicit PaletteSkin(ThemePort& theme) : theme_(theme) {}
  void ApplySkinHue(int hue) override { theme_.ApplyPalette(HuePalette(hue)); }
  void DetachSkin() override { theme_.LeaveBarUnthemed(); }

 private:
  ThemePort& theme_;
};

}  // namespace lumora
