#pragma once
// Number texts shown in the traffic labels and the floating bar.
#include <string>
#include <string_view>

namespace lumora {

// x rounded to n decimals, halves away from zero (with a 1e-12 nudge so that
// 1.005 gives 1.01), printed with "%.13g" and padded to exactly n decimals.
std::string FormatFixed(double x, int n);
// "%.13g": no padding, no trailing zeros.
std::string NumberText(double x);
// The decimal number at the start of the text as strtod reads it in the "C"
// locale (leading blanks skipped, stops at the first character that cannot
// continue the number); 0 when the text does not begin with a number.
double ParseLeadingNumber(std::string_view text);

}  // namespace lumora
