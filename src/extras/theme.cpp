#include "extras/theme.h"

#include <cmath>

namespace lumora {
namespace {

double Linear(unsigned char channel) {
  const double c = channel / 255.0;
  return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

unsigned char Channel(double v) {
  if (v <= 0) return 0;
  if (v >= 1) return 255;
  return static_cast<unsigned char>(std::lround(v * 255));
}

// Hue in degrees, saturation and lightness 0-1.
Colour Hsl(int angle, double s, double l) {
  const double c = (1 - std::fabs(2 * l - 1)) * s;
  const double h = angle / 60.0;
  const double x = c * (1 - std::fabs(std::fmod(h, 2.0) - 1));
  double r = 0, g = 0, b = 0;
  switch (int(h) % 6) {
    case 0: r = c; g = x; break;
    case 1: r = x; g = c; break;
    case 2: g = c; b = x; break;
    case 3: g = x; b = c; break;
    case 4: r = x; b = c; break;
    default: r = c; b = x; break;
  }
  const double m = l - c / 2;
  return {Channel(r + m), Channel(g + m), Channel(b + m)};
}

Colour Mix(Colour from, Colour to, int step, int steps) {
  auto mix = [&](unsigned char a, unsigned char b) {
    return static_cast<unsigned char>(a + (int(b) - int(a)) * step / steps);
  };
  return {mix(from.r, to.r), mix(from.g, to.g), mix(from.b, to.b)};
}

constexpr Colour kBlack{0, 0, 0}, kWhite{255, 255, 255};

// Places on the colour wheel: the default hue 150 gives a calm blue.
constexpr int kAngleOffset = 60;

}  // namespace

double RelativeLuminance(Colour c) {
  return 0.2126 * Linear(c.r) + 0.7152 * Linear(c.g) + 0.0722 * Linear(c.b);
}

double ContrastRatio(Colour a, Colour b) {
  double la = RelativeLuminance(a), lb = RelativeLuminance(b);
  if (la < lb) std::swap(la, lb);
  return (la + 0.05) / (lb + 0.05);
}

Colour ReadableOn(Colour fore, Colour back) {
  if (ContrastRatio(fore, back) >= kMinTextContrast) return fore;
  // Black or white reads on any background (one of them reaches 4.58 at
  // least): move towards the better of the two, no further than needed.
  const Colour target =
      ContrastRatio(kBlack, back) >= ContrastRatio(kWhite, back) ? kBlack : kWhite;
  constexpr int kSteps = 1000;
  int low = 0, high = kSteps;  // the mix at `high` always reads
  while (low + 1 < high) {
    const int mid = (low + high) / 2;
    if (ContrastRatio(Mix(fore, target, mid, kSteps), back) >= kMinTextContrast) high = mid;
    else low = mid;
  }
  return Mix(fore, target, high, kSteps);
}

Palette HuePalette(int hue) {
  Palette p;
  p.hue = hue;
  p.angle = ((hue + kAngleOffset) % 360 + 360) % 360;
  const int a = p.angle;

  p.window_background = Hsl(a, 0.30, 0.86);
  p.page_background = Hsl(a, 0.35, 0.95);
  const Colour ink = Hsl(a, 0.35, 0.15);
  p.window_text = ReadableOn(ink, p.window_background);
  p.page_text = ReadableOn(ink, p.page_background);
  p.link_text = ReadableOn(Hsl(a, 0.80, 0.35), p.page_background);

  p.tab_strip = Hsl(a, 0.40, 0.78);
  p.tab_text = ReadableOn(ink, p.tab_strip);
  p.tab_selected = p.page_background;
  p.tab_selected_text = ReadableOn(Hsl(a, 0.60, 0.25), p.tab_selected);

  // White captions on the accent: the face is darkened until they read.
  p.button_face = ReadableOn(Hsl(a, 0.55, 0.42), kWhite);
  p.button_text = ReadableOn(kWhite, p.button_face);
  p.button_border = Hsl(a, 0.55, 0.28);
  p.slider_accent = Hsl(a, 0.60, 0.45);

  for (std::size_t i = 0; i < p.captions.size(); ++i)
    p.captions[i] = {kGroupCaptions[i].group, p.OnPage(kGroupCaptions[i].colour)};
  return p;
}

}  // namespace lumora
