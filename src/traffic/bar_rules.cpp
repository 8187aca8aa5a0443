#include "traffic/bar_rules.h"

#include <cmath>
#include <limits>

#include "common/numbers.h"

namespace lumora {
namespace {

constexpr int kAnchorDx = 77;     // the horizontal middle of the bar
constexpr int kBelowBarDy = 22;   // the bar's picture is 22 pixels high
constexpr int kBottomBand = 130;  // a bar this close to the bottom opens upward

int WholeNumber(std::string_view part) {
  const double value = std::trunc(ParseLeadingNumber(part));
  if (std::isnan(value)) return 0;
  constexpr double kMin = std::numeric_limits<int>::min();
  constexpr double kMax = std::numeric_limits<int>::max();
  if (value < kMin) return std::numeric_limits<int>::min();
  if (value > kMax) return std::numeric_limits<int>::max();
  return static_cast<int>(value);
}

}  // namespace

std::optional<Point> ParseBarPosition(std::string_view stored) {
  const std::size_t bar = stored.find('|');
  if (bar == std::string_view::npos) return std::nullopt;
  const std::string_view left = stored.substr(0, bar), top = stored.substr(bar + 1);
  if (top.find('|') != std::string_view::npos) return std::nullopt;
  return Point{WholeNumber(left), WholeNumber(top)};
}

std::string BarPositionText(Point top_left) {
  return std::to_string(top_left.x) + "|" + std::to_string(top_left.y);
}

BarPopup PopupFor(Point bar, Size screen) {
  BarPopup popup;
  popup.anchor.x = bar.x + kAnchorDx;
  // top − (height − 130) > 1e-7 on whole numbers: strictly inside the band.
  const long long band_top = static_cast<long long>(screen.height) - kBottomBand;
  popup.upward = bar.y > band_top;
  popup.placement = popup.upward ? 10 : 1;
  popup.anchor.y = popup.upward ? bar.y : bar.y + kBelowBarDy;
  return popup;
}

Rect PopupRect(const BarPopup& popup, Size content) {
  Rect r;
  r.width = content.width;
  r.height = content.height;
  r.left = popup.anchor.x - content.width / 2;
  r.top = popup.upward ? popup.anchor.y - content.height : popup.anchor.y;
  return r;
}

}  // namespace lumora
