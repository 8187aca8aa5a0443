#include "traffic/rates.h"

#include <limits>

#include "common/numbers.h"

namespace lumora {
namespace {

constexpr std::int64_t kKilobyte = 1024;

std::string DirectionText(std::uint64_t previous, std::uint64_t current) {
  if (current < previous) return kZeroRate;
  const std::uint64_t moved = current - previous;
  // A second's difference is counted in 32 bits; more than that cannot be
  // a second of any adapter's traffic and is held at the limit.
  constexpr std::uint64_t kMax = std::numeric_limits<std::int32_t>::max();
  return RateText(static_cast<std::int64_t>(moved > kMax ? kMax : moved));
}

}  // namespace

std::string RateText(std::int64_t bytes) {
  if (bytes < 0) bytes = 0;
  const std::int64_t kb = bytes / kKilobyte;
  if (kb <= 999) return FormatFixed(static_cast<double>(kb), 1) + "KB/S";
  return FormatFixed(static_cast<double>(kb) / kKilobyte, 2) + "MB/S";
}

RateTexts RateSampler::Next(const std::string& connection_name,
                            const std::optional<InterfaceCounters>& counters,
                            std::int64_t now_ms) {
  const bool continues = has_base_ && connection_name == name_ &&
                         now_ms - taken_ms_ >= 0 && now_ms - taken_ms_ <= kStaleAfterMs;
  prev_in_ = cur_in_;
  prev_out_ = cur_out_;
  if (!counters) {
    // Nothing read: no figure, and no base to compare the next sample with.
    cur_in_ = cur_out_ = 0;
    has_base_ = false;
    return {kZeroRate, kZeroRate};
  }
  cur_in_ = counters->InOctets;
  cur_out_ = counters->OutOctets;
  has_base_ = true;
  name_ = connection_name;
  taken_ms_ = now_ms;
  if (!continues) return {kZeroRate, kZeroRate};
  return {DirectionText(prev_out_, cur_out_), DirectionText(prev_in_, cur_in_)};
}

}  // namespace lumora
