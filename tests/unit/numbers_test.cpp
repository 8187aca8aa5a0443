#include "common/numbers.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>
#include <string>

namespace lumora {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

TEST(FormatFixed, RoundsHalfAwayAndPads) {
  struct Case {
    double x;
    int n;
    std::string_view expected;
  };
  const Case cases[] = {
      {1.005, 2, "1.01"},           // binary 1.00499999... still rounds up
      {2.675, 2, "2.68"},
      {0, 2, "0.00"},
      {131072 / 1048576.0, 2, "0.13"},
      {1, 2, "1.00"},
      {3.75 * 0.3, 2, "1.13"},
      {999, 1, "999.0"},
      {1000 / 1024.0, 2, "0.98"},
      {1023 / 1024.0, 2, "1.00"},   // rounding carries into the units
      {9.995, 2, "10.00"},
      {0.5, 2, "0.50"},
      {1.2345, 3, "1.235"},
      {12345678901.239, 2, "12345678901.24"},
      {-1.005, 2, "-1.01"},         // halves go away from zero on both sides
      {-2.675, 2, "-2.68"},
      {-1.004, 2, "-1.00"},
      {-0.001, 2, "0.00"},          // no negative zero
      {-0.0, 2, "0.00"},
      {-0.004, 0, "0"},
      {2.5, 0, "3"},                // no decimals: no "."
      {-2.5, 0, "-3"},
      {3.4, 0, "3"},
      {7, -2, "7"},                 // negative decimals read as none
      {1e13, 0, "10000000000000"},  // "%.13g" would say 1e+13
      {1e15, 2, "1000000000000000.00"},
      {-1e15, 1, "-1000000000000000.0"},
      {0.00001, 5, "0.00001"},      // "%.13g" would say 1e-05
      {0.0000123, 6, "0.000012"},
      {kInf, 2, "inf"},
      {-kInf, 2, "-inf"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FormatFixed(c.x, c.n), c.expected) << c.x << " to " << c.n;
  }
}

TEST(NumberText, PrintsThirteenSignificantDigits) {
  const std::pair<double, std::string_view> cases[] = {
      {3.75, "3.75"}, {3, "3"}, {0, "0"}, {-0.0, "0"}, {-2.5, "-2.5"},
      {1.0 / 3, "0.3333333333333"}, {0.1 + 0.2, "0.3"}, {1e15, "1e+15"},
      {123456789012345.0, "1.234567890123e+14"}, {0.0001, "0.0001"}, {0.00001, "1e-05"},
  };
  for (const auto& [x, expected] : cases) EXPECT_EQ(NumberText(x), expected) << x;
}

TEST(ParseLeadingNumber, ReadsLikeStrtodInCLocale) {
  const std::pair<std::string_view, double> cases[] = {
      {"12.34 MB", 12.34}, {"3 MB", 3}, {"abc", 0}, {"", 0}, {"  -1.5x", -1.5},
      {"+2.5", 2.5}, {"\t\n 7", 7}, {".5", 0.5}, {"5.", 5}, {"-.25kB", -0.25},
      {"1e3x", 1000}, {"2E-2", 0.02}, {"1e", 1}, {"1e+", 1}, {"1,5", 1},
      {"--5", 0}, {"+-5", 0}, {"- 5", 0}, {"-", 0}, {".", 0}, {"0x10", 0},
      {"1e999", kInf}, {"-1e999", -kInf}, {"1e-999", 0}, {"1000e-999", 0},
      {"0.0000000001e400", kInf}, {"inf", kInf},
  };
  for (const auto& [text, expected] : cases) {
    EXPECT_EQ(ParseLeadingNumber(text), expected) << text;
  }
}

TEST(ParseLeadingNumber, StopsAtTheEndOfTheView) {
  const char text[] = "12345";
  EXPECT_EQ(ParseLeadingNumber(std::string_view(text, 2)), 12);
  EXPECT_EQ(ParseLeadingNumber(std::string_view("1.5e3", 4)), 1.5);
  EXPECT_EQ(ParseLeadingNumber(std::string_view("  ", 0)), 0);
}

// A decimal comma locale must not change either direction.
TEST(Numbers, IgnoreProcessLocale) {
  const std::string saved = std::setlocale(LC_NUMERIC, nullptr);
  const char* names[] = {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "German_Germany.1252", "de-DE"};
  const char* found = nullptr;
  for (const char* name : names) {
    if (std::setlocale(LC_NUMERIC, name) != nullptr) {
      found = name;
      break;
    }
  }
  if (found == nullptr) GTEST_SKIP() << "no decimal-comma locale installed";
  const std::string fixed = FormatFixed(1.5, 2);
  const std::string text = NumberText(3.75);
  const double parsed = ParseLeadingNumber("12.34 MB");
  std::setlocale(LC_NUMERIC, saved.c_str());
  EXPECT_EQ(fixed, "1.50") << found;
  EXPECT_EQ(text, "3.75") << found;
  EXPECT_EQ(parsed, 12.34) << found;
}

}  // namespace
}  // namespace lumora
