#include "common/gbk.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

namespace lumora {
namespace {

std::string Shown(std::string_view s) { return testing::PrintToString(std::string(s)); }

TEST(Gbk, ConvertsBothWays) {
  const std::pair<std::string_view, std::string_view> cases[] = {  // UTF-8, GBK
      {"\xE4\xB8\xAD\xE6\x96\x87", "\xD6\xD0\xCE\xC4"},            // 中文
      {"Wi-Fi 0-9 ~!@#", "Wi-Fi 0-9 ~!@#"},
      {"a\xE4\xB8\xAD", "a\xD6\xD0"},
      {"", ""},
      {"\r\n", "\r\n"},
  };
  for (const auto& [utf8, gbk] : cases) {
    EXPECT_EQ(Utf8ToGbk(utf8), gbk) << Shown(utf8);
    EXPECT_EQ(GbkToUtf8(gbk), utf8) << Shown(gbk);
  }
}

TEST(Gbk, BadGbkBytesBecomeOneQuestionMarkEach) {
  const std::pair<std::string_view, std::string_view> cases[] = {
      {"\xFF", "?"},
      {"a\xFF" "b", "a?b"},
      {"\xFF\xFF", "??"},
      {"a\xD6", "a?"},                               // lone lead byte at the end
      {"\xD6\xD0\xD6", "\xE4\xB8\xAD?"},
      {"\x81 x", "? x"},                             // lead byte followed by a space
      {"\xFF\xD6\xD0", "?\xE4\xB8\xAD"},             // conversion carries on
  };
  for (const auto& [gbk, utf8] : cases) EXPECT_EQ(GbkToUtf8(gbk), utf8) << Shown(gbk);
}

TEST(Gbk, UnconvertibleUtf8BecomesQuestionMarks) {
  const std::pair<std::string_view, std::string_view> cases[] = {
      {"\xF0\x9F\x98\x80", "?"},                     // emoji: one "?" for the character
      {"a\xF0\x9F\x98\x80" "b", "a?b"},
      {"\xF0\x9F\x98\x80\xE4\xB8\xAD", "?\xD6\xD0"},
      {"\xFF", "?"},                                 // malformed: one "?" per byte
      {"\xE4\xB8", "??"},                            // cut short
      {"\xE4\xB8" "a", "??a"},
      {"\xC0\xAF", "??"},                            // overlong
      {"\xED\xA0\x80", "???"},                       // encoded surrogate
  };
  for (const auto& [utf8, gbk] : cases) EXPECT_EQ(Utf8ToGbk(utf8), gbk) << Shown(utf8);
}

TEST(Gbk, ByteLengthCountsGbkBytes) {
  const std::pair<std::string_view, std::size_t> cases[] = {
      {"", 0}, {"abc", 3}, {"a\xE4\xB8\xAD", 3}, {"\xE4\xB8\xAD\xE6\x96\x87", 4},
      {"\xF0\x9F\x98\x80", 1}, {"\xE7\x83\xAD\xE7\x82\xB9 Lumora", 11},  // 热点 Lumora
  };
  for (const auto& [utf8, length] : cases) EXPECT_EQ(GbkByteLength(utf8), length) << Shown(utf8);
}

TEST(Gbk, CutNeverHalvesACharacter) {
  const std::string zhong = "\xD6\xD0";  // one GBK character
  std::string sixteen;
  for (int i = 0; i < 16; ++i) sixteen += zhong;
  const std::tuple<std::string, std::size_t, std::string> cases[] = {
      {std::string(40, 'a'), 32, std::string(32, 'a')},
      {std::string(32, 'x'), 32, std::string(32, 'x')},
      {std::string(31, 'b') + zhong, 32, std::string(31, 'b')},
      {sixteen + "c", 32, sixteen},
      {"ab\xD6", 8, "ab\xD6"},  // a lone lead byte at the end is one byte
      {"", 0, ""},
  };
  for (const auto& [gbk, max, want] : cases) EXPECT_EQ(CutGbk(gbk, max), want) << gbk.size();
}

TEST(Gbk, LongTextRoundTrips) {
  std::string utf8;
  for (int i = 0; i < 500; ++i) utf8 += "\xE7\x83\xAD\xE7\x82\xB9 Lumora-" + std::to_string(i) + "\r\n";
  const std::string gbk = Utf8ToGbk(utf8);
  EXPECT_EQ(gbk.size(), GbkByteLength(utf8));
  EXPECT_EQ(GbkToUtf8(gbk), utf8);
}

TEST(Gbk, ThreadsConvertIndependently) {
  std::atomic<int> failures{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < 8; ++t) {
    threads.emplace_back([&failures, t] {
      const std::string utf8 = std::string(t + 1, 'x') + "\xE4\xB8\xAD\xF0\x9F\x98\x80\xE6\x96\x87";
      const std::string gbk = std::string(t + 1, 'x') + "\xD6\xD0?\xCE\xC4";
      for (int i = 0; i < 2000; ++i) {
        if (Utf8ToGbk(utf8) != gbk || GbkToUtf8(gbk + "\xFF") != utf8.substr(0, t + 4) + "?\xE6\x96\x87?") {
          ++failures;
        }
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(failures.load(), 0);
}

}  // namespace
}  // namespace lumora
