// The HTML view's parser over any markup: runs of well-formed UTF-8 text,
// links that point into the document's list, sizes within 1 to 7, and no
// more text than the markup could give. The first line is also read as a
// colour.
#include <cstdio>
#include <string>

#include "fuzz_check.h"
#include "updates/html.h"

using namespace lumora;

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
  const std::string_view markup = fuzz::Bytes(data, size);
  const HtmlDocument doc = ParseHtml(markup);
  std::size_t total = 0;
  for (const HtmlRun& run : doc.runs) {
    FUZZ_CHECK(!run.text.empty());
    FUZZ_CHECK(fuzz::IsUtf8(run.text));
    FUZZ_CHECK(run.link >= -1 && run.link < static_cast<int>(doc.links.size()));
    FUZZ_CHECK(run.style.size >= kHtmlMinSize && run.style.size <= kHtmlMaxSize);
    total += run.text.size();
  }
  // A byte gives at most U+FFFD (3 bytes); a paragraph's "<p>" two breaks.
  FUZZ_CHECK(total <= 3 * markup.size() + 2);

  // A colour "#rrggbb" or "#rgb", HTML blanks around it allowed, reads as
  // its digits ("#1a2" as #11aa22).
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\f'; };
  std::string_view first = markup.substr(0, markup.find('\n'));
  while (!first.empty() && blank(first.front())) first.remove_prefix(1);
  while (!first.empty() && blank(first.back())) first.remove_suffix(1);
  Colour colour;
  if (ParseHtmlColour(first, colour) && (first.size() == 7 || first.size() == 4) && first[0] == '#') {
    std::string digits(first.substr(1));
    if (digits.size() == 3) digits = {digits[0], digits[0], digits[1], digits[1], digits[2], digits[2]};
    char hex[8];
    std::snprintf(hex, sizeof hex, "%02x%02x%02x", colour.r, colour.g, colour.b);
    FUZZ_CHECK(EqualsNoCase(digits, hex));
  }
  return 0;
}
