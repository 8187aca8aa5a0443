#include "extras/countdown.h"

#include <cmath>

#include "common/numbers.h"

namespace lumora {

std::string TwoDigits(int v) {
  std::string text = std::to_string(v);
  if (v <= 9) text.insert(text.begin(), '0');
  return text;
}

std::string CountdownText(const ShutdownCountdown& c) {
  return TwoDigits(c.Hours) + "时" + TwoDigits(c.Minutes) + "分" + TwoDigits(c.Seconds) +
         "秒后关机";
}

std::optional<ShutdownCountdown> CountdownFromHoursText(std::string_view hours) {
  const double h = ParseLeadingNumber(hours);
  if (!std::isfinite(h) || h <= 0 || h > kMaxCountdownHours) return std::nullopt;
  const long long total = static_cast<long long>(h * 3600);  // toward zero
  if (total < 1) return std::nullopt;
  ShutdownCountdown c;
  long long minutes = total / 60;
  c.Seconds = int(total % 60);
  if (minutes >= 60) {
    c.Hours = int(minutes / 60);
    minutes %= 60;
  }
  c.Minutes = int(minutes);
  return c;
}

TickResult TakeOneSecond(ShutdownCountdown& c) {
  if (c.Seconds > 0) {
    --c.Seconds;
  } else if (c.Minutes > 0) {
    --c.Minutes;
    c.Seconds = 59;
  } else if (c.Hours > 0) {
    --c.Hours;
    c.Minutes = c.Seconds = 59;
  } else {
    c.Seconds = 59;
    return TickResult::kWrapped;
  }
  if (c.Hours == 0 && c.Minutes == 0) {
    if (c.Seconds == 45) return TickResult::kWarning;
    if (c.Seconds == 1) return TickResult::kEnd;
  }
  return TickResult::kRunning;
}

}  // namespace lumora
