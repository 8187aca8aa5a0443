#include "common/text.h"

#include <gtest/gtest.h>

#include <string>

namespace lumora {
namespace {

constexpr auto npos = std::string_view::npos;

TEST(FindNoCase, FoldsAsciiOnly) {
  struct Case {
    std::string_view text, needle;
    std::size_t from, expected;
  };
  const Case cases[] = {
      {"Hello World", "WORLD", 0, 6},
      {"Hello World", "world", 7, npos},        // starts past the match
      {"abcABC", "abc", 1, 3},                  // second, upper-case copy
      {"abc", "", 3, 3},                        // empty needle at the end
      {"abc", "", 4, npos},                     // from beyond the end
      {"ab", "abc", 0, npos},                   // needle longer than text
      {"x\xC3\xA9y", "\xC3\x89", 0, npos},      // é and É differ: no Unicode folding
      {"MAC 00-1a-2b", "00-1A-2B", 0, 4},
      {"[\\]", "{|}", 0, npos},                 // punctuation 32 apart is not a case pair
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FindNoCase(c.text, c.needle, c.from), c.expected) << c.text << " / " << c.needle;
  }
}

TEST(EqualsNoCase, ComparesWholeText) {
  EXPECT_TRUE(EqualsNoCase("Wi-Fi", "wI-fI"));
  EXPECT_TRUE(EqualsNoCase("", ""));
  EXPECT_FALSE(EqualsNoCase("Wi-Fi", "Wi-Fi "));
  EXPECT_FALSE(EqualsNoCase("@", "`"));
  EXPECT_TRUE(ContainsNoCase("SSID: Lumora", "ssid"));
  EXPECT_FALSE(ContainsNoCase("SSID", "ssids"));
}

TEST(Trim, OnlyTheBlanksAskedForAndOnlyAtTheEnds) {
  EXPECT_EQ(Trim(" \t\r\n\v\fWi Fi\f\v\n\r\t "), "Wi Fi");
  EXPECT_EQ(Trim(" \t\r\n "), "");
  EXPECT_EQ(Trim("//a/b//", "/"), "a/b");
  // Typed values keep a tab or a line end: only spaces go.
  EXPECT_EQ(TrimSpaces("  \tmylove\r\n  "), "\tmylove\r\n");
  EXPECT_EQ(TrimSpaces("   "), "");
  EXPECT_EQ(LowerAscii('Q'), 'q');
  EXPECT_EQ(LowerAscii('\xC3'), '\xC3');
}

TEST(TextBetween, TakesTextBetweenMarkers) {
  struct Case {
    std::string_view text, open, close, expected;
  };
  const Case cases[] = {
      {"<Name>Lumora</Name>", "<name>", "</NAME>", "Lumora"},
      {"</b> x <b>inner</b>", "<b>", "</b>", "inner"},          // close before open is ignored
      {"key=value;", "KEY=", ";", "value"},
      {"<a><b>", "<a>", "<b>", ""},                            // adjacent markers
      {"aXa", "a", "a", "X"},                                  // close searched after the open marker
      {"aa", "aa", "a", ""},                                   // close may not overlap the open marker
      {"no markers", "<", ">", ""},
      {"<open only", "<", ">", ""},
      {"close only>", "<", ">", ""},
      {"first [one] second [two]", "[", "]", "one"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(TextBetween(c.text, c.open, c.close), c.expected) << c.text;
  }
}

TEST(Utf8CharLength, AcceptsOnlyWellFormedCharacters) {
  struct Case {
    std::string_view text;
    std::size_t expected;
  };
  const Case cases[] = {
      {"A", 1},
      {"\xC3\xA9", 2},                 // é
      {"\xE4\xB8\xAD", 3},             // 中
      {"\xF0\x9F\x98\x80", 4},         // emoji
      {"\xF4\x8F\xBF\xBF", 4},         // U+10FFFF
      {"\x80", 0},                     // stray continuation byte
      {"\xC0\xAF", 0},                 // overlong '/'
      {"\xE0\x80\xAF", 0},             // overlong
      {"\xF0\x80\x80\xAF", 0},         // overlong
      {"\xED\xA0\x80", 0},             // surrogate
      {"\xF4\x90\x80\x80", 0},         // above U+10FFFF
      {"\xF5\x80\x80\x80", 0},
      {"\xE4\xB8", 0},                 // cut short
      {"\xE4\x41\xAD", 0},             // ASCII where a continuation belongs
      {"", 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Utf8CharLength(c.text, 0), c.expected) << testing::PrintToString(std::string(c.text));
  }
  EXPECT_EQ(Utf8CharLength("a\xE4\xB8\xAD", 1), 3u);
  EXPECT_EQ(Utf8CharLength("a", 1), 0u);
}

}  // namespace
}  // namespace lumora
