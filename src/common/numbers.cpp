#include "common/numbers.h"

#include <clocale>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <cstdlib>

namespace lumora {
namespace {

// printf with the decimal point of the process locale turned back into ".":
// the program's texts never depend on a setlocale elsewhere in the process.
// (std::to_chars would do this too, but brings 170 KB of tables with it.)
std::string Chars(double x, const char* format, int precision) {
  if (std::isnan(x)) return "nan";
  if (std::isinf(x)) return x < 0 ? "-inf" : "inf";
  std::string out(64, '\0');
  const int length = std::snprintf(out.data(), out.size(), format, precision, x);
  if (length < 0) return {};
  if (std::size_t(length) >= out.size()) {  // "%.*f" of a large value
    out.resize(std::size_t(length) + 1);
    std::snprintf(out.data(), out.size(), format, precision, x);
  }
  out.resize(std::size_t(length));
  for (char& c : out)
    if (!(c >= '0' && c <= '9') && c != '-' && c != '+' && c != 'e') c = '.';
  return out;
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

// The length of digits [. digits] [e [sign] digits] at the start of `text`
// (an exponent without digits is not part of it); 0 without a digit.
std::size_t NumberLength(std::string_view text) {
  const auto digits = [&](std::size_t i) {
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i;
    return i;
  };
  std::size_t i = digits(0);
  bool any = i > 0;
  if (i < text.size() && text[i] == '.') {
    const std::size_t after = digits(i + 1);
    any = any || after > i + 1;
    i = after;
  }
  if (!any) return 0;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    std::size_t j = i + 1;
    if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
    const std::size_t end = digits(j);
    if (end > j) i = end;
  }
  return i;
}

bool StartsWithNoCase(std::string_view text, std::string_view word) {
  if (text.size() < word.size()) return false;
  for (std::size_t i = 0; i < word.size(); ++i)
    if ((text[i] | 0x20) != word[i]) return false;
  return true;
}

}  // namespace

std::string FormatFixed(double x, int n) {
  if (n < 0) n = 0;
  if (!std::isfinite(x)) return NumberText(x);
  double rounded = RoundHalfAway(x, n);
  if (rounded == 0) rounded = 0;  // -0.001 to 2 decimals is "0.00", not "-0.00"
  std::string text = Chars(rounded, "%.*g", 13);
  // Beyond 1e13 or below 1e-4 "%.13g" switches to an exponent, which padding
  // cannot repair: write such values out in positional form instead.
  if (text.find('e') != std::string::npos) return Chars(rounded, "%.*f", n);
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
  return Chars(x, "%.*g", 13);
}

double ParseLeadingNumber(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  // A second sign ("--5") is no number to strtod.
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) return 0;
  const std::string_view rest = text.substr(i);
  double value = 0;
  if (StartsWithNoCase(rest, "inf")) {
    value = HUGE_VAL;
  } else if (StartsWithNoCase(rest, "nan")) {
    value = std::nan("");
  } else {
    // Only the span scanned here reaches strtod (no hex, no locale's own
    // decimal point); strtod saturates to infinity and underflows to zero.
    std::string number(rest.substr(0, NumberLength(rest)));
    if (number.empty()) return 0;
    const char point = *std::localeconv()->decimal_point;
    for (char& c : number)
      if (c == '.') c = point;
    value = std::strtod(number.c_str(), nullptr);
  }
  return negative ? -value : value;
}

}  // namespace lumora
