#include "common/mac_text.h"

#include <gtest/gtest.h>

namespace lumora {
namespace {

TEST(MacText, TwoUpperCaseHexDigitsPerByte) {
  struct Case {
    unsigned char bytes[6];
    const char* expected;
  };
  const Case cases[] = {
      {{0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E}, "00-1A-2B-3C-4D-5E"},
      {{0x01, 0x02, 0x03, 0x0A, 0x0B, 0x0F}, "01-02-03-0A-0B-0F"},  // single-digit bytes keep the 0
      {{0x00, 0x00, 0x00, 0x00, 0x00, 0x00}, "00-00-00-00-00-00"},
      {{0xFF, 0xEE, 0xA0, 0x9B, 0x10, 0xC7}, "FF-EE-A0-9B-10-C7"},
  };
  for (const Case& c : cases) {
    const std::string text = MacText(c.bytes);
    EXPECT_EQ(text, c.expected);
    EXPECT_EQ(text.size(), 17u);
  }
}

}  // namespace
}  // namespace lumora
