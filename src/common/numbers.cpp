#include "common/numbers.h"

#include <charconv>
#include <cmath>
#include <cstddef>
#include <system_error>

namespace lumora {
namespace {

// to_chars, unlike printf, ignores the process locale: the decimal point stays
// "." even after setlocale.
std::string Chars(double x, std::chars_format format, int precision) {
  std::string out(32, '\0');
  for (;;) {
    const auto result = std::to_chars(out.data(), out.data() + out.size(), x, format, precision);
    if (result.ec == std::errc()) {
      out.resize(static_cast<std::size_t>(result.ptr - out.data()));
      return out;
    }
    out.resize(out.size() * 2);
  }
}

double PowerOfTen(int n) {
  double p = 1;
  for (int i = 0; i < n; ++i) p *= 10;  // exact up to 1e22, which is all that matters
  return p;
}

double RoundHalfAway(double x, int n) {
  if (x == 0) return 0;
  const double scale = PowerOfTen(n);
  // The nudge turns 1.005 (really 1.00499999...) into a half that rounds up.
  const double m = std::fabs(x) * scale + 1e-12;
  // From 2^52 on a double holds no fraction: there is nothing left to round.
  if (!(m < 4503599627370496.0)) return x;
  double i;
  const double f = std::modf(m, &i);
  const double magnitude = (f >= 0.5 ? i + 1 : i) / scale;
  return x < 0 ? -magnitude : magnitude;
}

// Scans digits [. digits] [e [sign] digits] and says whether the value is too
// large (rather than too small) for a double.
bool TooLarge(std::string_view number) {
  long long order = 0;  // decimal order of the first significant digit
  bool significant = false, point = false;
  std::size_t i = 0;
  for (; i < number.size(); ++i) {
    const char c = number[i];
    if (c == '.') { point = true; continue; }
    if (c < '0' || c > '9') break;
    if (c != '0') significant = true;
    if (!point && significant) ++order;
    if (point && !significant) --order;
  }
  long long exponent = 0;
  if (i < number.size() && (number[i] == 'e' || number[i] == 'E')) {
    ++i;
    const bool negative = i < number.size() && number[i] == '-';
    if (i < number.size() && (number[i] == '-' || number[i] == '+')) ++i;
    for (; i < number.size() && number[i] >= '0' && number[i] <= '9'; ++i) {
      if (exponent < 100000000) exponent = exponent * 10 + (number[i] - '0');
    }
    if (negative) exponent = -exponent;
  }
  return order + exponent > 0;
}

}  // namespace

std::string FormatFixed(double x, int n) {
  if (n < 0) n = 0;
  if (!std::isfinite(x)) return NumberText(x);
  double rounded = RoundHalfAway(x, n);
  if (rounded == 0) rounded = 0;  // -0.001 to 2 decimals is "0.00", not "-0.00"
  std::string text = Chars(rounded, std::chars_format::general, 13);
  // Beyond 1e13 or below 1e-4 "%.13g" switches to an exponent, which padding
  // cannot repair: write such values out in positional form instead.
  if (text.find('e') != std::string::npos) return Chars(rounded, std::chars_format::fixed, n);
  if (n == 0) return text;
  const std::size_t point = text.find('.');
  if (point == std::string::npos) {
    text += '.';
    text.append(static_cast<std::size_t>(n), '0');
  } else {
    const std::size_t decimals = text.size() - point - 1;
    if (decimals < static_cast<std::size_t>(n)) text.append(static_cast<std::size_t>(n) - decimals, '0');
  }
  return text;
}

std::string NumberText(double x) {
  if (x == 0) x = 0;  // no "-0" in a label
  return Chars(x, std::chars_format::general, 13);
}

double ParseLeadingNumber(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  // from_chars would accept a second '-' ("--5"); strtod does not.
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) return 0;
  const char* first = text.data() + i;
  const char* last = text.data() + text.size();
  double value = 0;
  const auto result = std::from_chars(first, last, value, std::chars_format::general);
  if (result.ec == std::errc::invalid_argument) return 0;
  if (result.ec == std::errc::result_out_of_range) {
    // from_chars leaves the value alone here; strtod saturates or underflows.
    const std::string_view number(first, static_cast<std::size_t>(result.ptr - first));
    value = TooLarge(number) ? HUGE_VAL : 0.0;
  }
  return negative ? -value : value;
}

}  // namespace lumora
