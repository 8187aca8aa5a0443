#include "common/lines.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <utility>
#include <vector>

namespace lumora {
namespace {

using Lines = std::vector<std::string>;

TEST(SplitLines, CutsAtCrLfOnly) {
  struct Case {
    std::string_view text;
    Lines lines;
    std::string_view rejoined;  // JoinLines(SplitLines(text))
  };
  const Case cases[] = {
      {"", {}, ""},
      {"a", {"a"}, "a"},
      {"a\r\nb", {"a", "b"}, "a\r\nb"},
      {"a\r\nb\r\n", {"a", "b"}, "a\r\nb"},            // final CRLF dropped
      {"\r\na", {"", "a"}, "\r\na"},                   // leading CRLF keeps an empty line
      {"a\r\n\r\nb", {"a", "", "b"}, "a\r\n\r\nb"},    // double CRLF keeps an empty line
      {"\r\n", {""}, ""},
      {"\r\n\r\n", {"", ""}, "\r\n"},
      {"a\nb\rc", {"a\nb\rc"}, "a\nb\rc"},             // lone LF and CR are text
      {"a\r\r\nb", {"a\r", "b"}, "a\r\r\nb"},
      {"a\n\r\nb", {"a\n", "b"}, "a\n\r\nb"},
  };
  for (const Case& c : cases) {
    const std::string shown = testing::PrintToString(std::string(c.text));
    EXPECT_EQ(SplitLines(c.text), c.lines) << shown;
    EXPECT_EQ(JoinLines(SplitLines(c.text)), c.rejoined) << shown;
  }
}

TEST(JoinLines, PutsCrLfBetweenLines) {
  EXPECT_EQ(JoinLines({}), "");
  EXPECT_EQ(JoinLines({""}), "");
  EXPECT_EQ(JoinLines({"", ""}), "\r\n");
  EXPECT_EQ(JoinLines({"a", "", "b"}), "a\r\n\r\nb");
}

constexpr std::string_view kDevices =
    "Phone|00-1A-2B-3C-4D-5E\r\n"
    "Laptop|aa-bb-cc-dd-ee-ff\r\n"
    "\r\n"
    "Tablet|12-34-56-78-9A-BC\r\n";

// Lines that are no device's record are searched for the text anywhere.
TEST(RecordLineOf, FindsFirstLineCaseInsensitively) {
  struct Case {
    std::string_view text, search;
    int expected;
  };
  const Case cases[] = {
      {kDevices, "AA-BB-CC-DD-EE-FF", 2},   // lower-case MAC in the file
      {kDevices, "00-1a-2b-3c-4d-5e", 1},
      {kDevices, "tablet", 4},
      {kDevices, "|", 1},
      {kDevices, "ff\r\n", 0},              // would only match across a CRLF
      {kDevices, "5E\r\nLaptop", 0},
      {kDevices, "Router", 0},
      {kDevices, "", 0},                    // empty search matches nothing
      {"", "", 0},
      {"", "a", 0},
      {"a\nb", "a\nb", 1},                  // a lone LF is inside the line
  };
  for (const Case& c : cases) {
    EXPECT_EQ(RecordLineOf(c.text, c.search), c.expected) << testing::PrintToString(std::string(c.search));
  }
}

// A device's record is the line its MAC text starts; another record whose
// name holds that text is not it, an odd line (a BOM, blanks) still is.
TEST(RecordLineOf, FindsTheDevicesOwnRecord) {
  const std::string a = "02-11-22-33-44-55", b = "02-11-22-33-44-66";
  const struct {
    std::string text;
    int expected;
  } cases[] = {
      {"\r\n" + b + "+" + a + "的手机\r\n" + a + "+x", 3},
      {b + "+" + a + "的手机\r\n", 0},
      {"\xEF\xBB\xBF" + a + "+bom\r\n", 1},
      {b + "+y\r\n  " + a + "+blanks", 2},
      {"02-11-22-33-44-55+lower\r\n", 1},
  };
  for (const auto& c : cases) EXPECT_EQ(RecordLineOf(c.text, a), c.expected) << c.text;
  EXPECT_EQ(RecordLineOf("x", ""), 0);
}

TEST(LineAt, ReturnsLineOrEmpty) {
  const std::pair<int, std::string_view> cases[] = {
      {1, "Phone|00-1A-2B-3C-4D-5E"}, {2, "Laptop|aa-bb-cc-dd-ee-ff"}, {3, ""},
      {4, "Tablet|12-34-56-78-9A-BC"}, {5, ""}, {0, ""}, {-1, ""}, {INT_MIN, ""},
  };
  for (const auto& [n, line] : cases) EXPECT_EQ(LineAt(kDevices, n), line) << n;
  EXPECT_EQ(LineAt("", 1), "");
}

TEST(OverwriteLine, ReplacesOnlyThatLine) {
  const std::string text = "one\r\ntwo\r\nthree\r\n";
  struct Case {
    int n;
    std::string_view line, expected;
  };
  const Case cases[] = {
      {1, "ONE", "ONE\r\ntwo\r\nthree"},
      {2, "TWO", "one\r\nTWO\r\nthree"},
      {3, "", "one\r\ntwo\r\n"},
      {0, "X", "one\r\ntwo\r\nthree"},   // out of range: lines unchanged
      {4, "X", "one\r\ntwo\r\nthree"},
      {-7, "X", "one\r\ntwo\r\nthree"},
  };
  for (const Case& c : cases) EXPECT_EQ(OverwriteLine(text, c.n, c.line), c.expected) << c.n;
  EXPECT_EQ(OverwriteLine("", 1, "x"), "");
  EXPECT_EQ(OverwriteLine("a\r\n\r\nc", 2, "b"), "a\r\nb\r\nc");
}

TEST(DeleteLine, RemovesOnlyThatLine) {
  const std::string text = "one\r\ntwo\r\nthree\r\n";
  const std::pair<int, std::string_view> cases[] = {
      {1, "two\r\nthree"},
      {2, "one\r\nthree"},
      {3, "one\r\ntwo"},
      {0, "one\r\ntwo\r\nthree"},
      {4, "one\r\ntwo\r\nthree"},
      {-1, "one\r\ntwo\r\nthree"},
  };
  for (const auto& [n, expected] : cases) EXPECT_EQ(DeleteLine(text, n), expected) << n;
  EXPECT_EQ(DeleteLine("only", 1), "");
  EXPECT_EQ(DeleteLine("", 1), "");
  EXPECT_EQ(DeleteLine("\r\nb", 1), "b");
}

}  // namespace
}  // namespace lumora
