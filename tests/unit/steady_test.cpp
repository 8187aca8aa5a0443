// The long run's verdict on a sampled figure.
#include <gtest/gtest.h>

#include "../bench/steady.h"

namespace lumora::bench {
namespace {

// `count` samples at `base`, with the given ones replaced (index, value).
std::vector<double> Samples(size_t count, double base, std::vector<std::pair<size_t, double>> changed) {
  std::vector<double> v(count, base);
  for (auto [i, value] : changed) v[i] = value;
  return v;
}

TEST(SteadyVerdict, LastAgainstMinuteTenWithinOnePercent) {
  struct Case {
    const char* what;
    std::vector<double> samples;
    size_t reference;  // 0-based
    bool flat;
  } cases[] = {
      {"unchanged for an hour", Samples(62, 14128, {}), 9, true},
      {"start-up growth before minute 10 is not judged", Samples(62, 900, {{0, 300}, {5, 850}}), 9, true},
      {"one percent up is still flat", Samples(62, 200, {{61, 202}}), 9, true},
      {"a creeping leak", Samples(62, 200, {{61, 203}}), 9, false},
      {"shrinking by more than one percent", Samples(62, 200, {{61, 197}}), 9, false},
      {"one handle on a hundred and twenty-eight", Samples(62, 128, {{61, 129}}), 9, true},
      {"two handles on a hundred and twenty-eight", Samples(62, 128, {{61, 130}}), 9, false},
      {"a thread more of one", Samples(62, 1, {{61, 2}}), 9, false},
      {"from none to one", Samples(62, 0, {{61, 1}}), 9, false},
      {"none throughout", Samples(62, 0, {}), 9, true},
      {"six samples: against the second", Samples(6, 50, {{0, 10}, {5, 50.4}}), 1, true},
      {"six samples, leaking from the second", Samples(6, 50, {{5, 52}}), 1, false},
      {"three samples: against the first", Samples(3, 50, {{0, 40}}), 0, false},
      {"one sample", Samples(1, 7, {}), 0, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(ReferenceSample(c.samples.size()), c.reference);
    const Verdict v = Judge(c.samples, 1.0);
    EXPECT_EQ(v.flat, c.flat) << v.change_percent;
    EXPECT_EQ(v.reference, c.samples[c.reference]);
    EXPECT_EQ(v.last, c.samples.back());
  }
}

}  // namespace
}  // namespace lumora::bench
