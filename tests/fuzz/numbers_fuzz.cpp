// Number texts: ParseLeadingNumber against the C library's strtod, and
// FormatFixed's figures read back within half a unit of their last decimal.
#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

#include "common/numbers.h"
#include "fuzz_check.h"

using namespace lumora;

namespace {

// strtod also reads hexadecimal ("0x1A"); a label's figure is decimal only.
bool StartsHex(const std::string& text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  return i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X');
}

bool Same(double a, double b) {
  return (std::isnan(a) && std::isnan(b)) || (a == b && std::signbit(a) == std::signbit(b)) ||
         (a == 0 && b == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  const double x = in.ConsumeFloatingPoint<double>();
  const int decimals = in.ConsumeIntegralInRange<int>(-2, 12);
  const std::string text = in.ConsumeRemainingBytesAsString();

  // strtod stops at a NUL; so does the copy it reads.
  const std::string c_text = text.substr(0, text.find('\0'));
  if (!StartsHex(c_text)) {
    const double expected = std::strtod(c_text.c_str(), nullptr);
    const double got = ParseLeadingNumber(c_text);
    if (!Same(got, expected)) {
      std::fprintf(stderr, "text \"%s\": %.17g, strtod %.17g\n", c_text.c_str(), got, expected);
      FUZZ_CHECK(false);
    }
  }

  const std::string fixed = FormatFixed(x, decimals);
  const std::string plain = NumberText(x);
  FUZZ_CHECK(!fixed.empty() && !plain.empty() && fixed.size() < 400);
  if (std::isfinite(x)) {
    const int n = decimals < 0 ? 0 : decimals;
    const std::size_t point = fixed.find('.');
    FUZZ_CHECK(n == 0 ? point == std::string::npos : fixed.size() - point - 1 >= std::size_t(n));
    const double back = ParseLeadingNumber(fixed);
    // Half a unit of the last decimal, or the double's own precision.
    const double slack = std::max(0.5 * std::pow(10.0, -n), std::fabs(x) * 1e-12) * 1.000001;
    if (!(std::fabs(back - x) <= slack)) {
      std::fprintf(stderr, "FormatFixed(%.17g, %d) = %s\n", x, decimals, fixed.c_str());
      FUZZ_CHECK(false);
    }
  }
  return 0;
}
