#pragma once
// Whether a figure sampled over a long run ended flat: the last sample
// against the one at minute 10, once start-up and the first passes are over.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

namespace lumora::bench {

// The sample the last one is judged against: the tenth, or a third of the
// way into runs shorter than thirty samples (the first, at worst).
inline size_t ReferenceSample(size_t count) {
  return std::min<size_t>(10, std::max<size_t>(1, count / 3)) - 1;
}

struct Verdict {
  double reference = 0, last = 0, change_percent = 0;
  bool flat = true;
};

// A figure that was 0 and is no longer has grown by all of itself: 100 %.
inline Verdict Judge(const std::vector<double>& samples, double tolerance_percent) {
  Verdict v;
  if (samples.empty()) return v;
  v.reference = samples[ReferenceSample(samples.size())];
  v.last = samples.back();
  v.change_percent = v.reference ? 100.0 * (v.last - v.reference) / v.reference : (v.last ? 100.0 : 0.0);
  v.flat = std::fabs(v.change_percent) <= tolerance_percent;
  return v;
}

}  // namespace lumora::bench
