#pragma once
// The timed power-off's countdown: hours, minutes and seconds left, the text
// of the label 标签关机 and the rules for one tick.
#include <optional>
#include <string>
#include <string_view>

namespace lumora {

struct ShutdownCountdown {
  int Hours = 0;
  int Minutes = 0;    // 0-59
  int Seconds = 0;    // 0-59
  friend bool operator==(const ShutdownCountdown&, const ShutdownCountdown&) = default;
};

// Longest countdown accepted from the hours box: the whole seconds must fit
// a 32-bit count (about 68 years).
inline constexpr double kMaxCountdownHours = 596523.0;

// Two digits below 10 ("05"), the plain decimal text above (120 stays "120").
std::string TwoDigits(int v);
// "01时00分00秒后关机".
std::string CountdownText(const ShutdownCountdown& c);

// The countdown for the text of the hours box: its leading decimal number of
// hours, cut to whole seconds. Empty when that is not at least one second
// (no number, zero, negative) or too long: such a text must never switch the
// computer off.
std::optional<ShutdownCountdown> CountdownFromHoursText(std::string_view hours);

enum class TickResult {
  kRunning,  // one second less
  kWarning,  // 45 seconds left: the main window comes forward
  kEnd,      // one second left: the hotspot goes and the power-off follows
  kWrapped,  // it stood at zero and turned to 59 seconds; nothing else this tick
};
// Takes one second off and says what this tick brings.
TickResult TakeOneSecond(ShutdownCountdown& c);

}  // namespace lumora
