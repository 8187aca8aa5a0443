#include <gtest/gtest.h>

#include "common/ini_text.h"

namespace lumora {
namespace {

TEST(IniGet, FindsValuesTheWayTheProfileFunctionsDo) {
  const std::string file =
      "; comment\r\n"
      "[User]\r\n"
      "  SSID =  my net  \r\n"
      "key=\r\n"
      "flag\r\n"
      "quoted=\"a b\"\r\n"
      "half=\"a b\r\n"
      "eq=a=b\r\n"
      "[user]\r\n"
      "other=second section is never read\r\n"
      "[\xC1\xF7\xC1\xBF\xCC\xF5]\n"  // 流量条, LF only
      "\xCA\xC7\xB7\xF1\xBF\xAA=\xCA\xC7\n";
  struct Case {
    const char* section;
    const char* key;
    std::optional<std::string> want;
  } cases[] = {
      {"user", "ssid", "my net"},            // names fold case, blanks trimmed
      {"USER", "Key", ""},                   // empty value is a value
      {"user", "flag", ""},                  // a key without "=" too
      {"user", "quoted", "a b"},             // a matching pair of quotes goes
      {"user", "half", "\"a b"},             // a lone quote stays
      {"user", "eq", "a=b"},                 // only the first "=" splits
      {"user", "other", std::nullopt},       // the first [user] alone counts
      {"user", "missing", std::nullopt},
      {"nosuch", "ssid", std::nullopt},
      {"\xC1\xF7\xC1\xBF\xCC\xF5", "\xCA\xC7\xB7\xF1\xBF\xAA", "\xCA\xC7"},
      {"  \tuser", "\x01ssid", "my net"},    // leading control characters skipped
  };
  for (const Case& c : cases)
    EXPECT_EQ(IniGet(file, c.section, c.key), c.want) << c.section << "/" << c.key;
}

TEST(IniGet, DoubleByteNamesAreNotCaseFolded) {
  // 0x81 0x41 and 0x81 0x61 are different GBK characters whose trail bytes
  // are the ASCII letters "A" and "a".
  const std::string file = "[s]\r\n\x81\x41=upper\r\n\x81\x61=lower\r\n";
  EXPECT_EQ(IniGet(file, "s", "\x81\x61"), "lower");
  EXPECT_EQ(IniGet(file, "s", "\x81\x41"), "upper");
  EXPECT_EQ(IniGet(file, "S", "\x81\x41"), "upper");
}

TEST(IniSet, EditsOnlyWhatChanges) {
  struct Case {
    const char* before;
    const char* section;
    const char* key;
    const char* value;
    const char* after;
  } cases[] = {
      {"", "user", "ssid", "x", "[user]\r\nssid=x\r\n"},
      {"[a]\r\nk=1\r\n", "b", "k", "2", "[a]\r\nk=1\r\n[b]\r\nk=2\r\n"},
      {"[a]\r\nk=1", "b", "k", "2", "[a]\r\nk=1\r\n[b]\r\nk=2\r\n"},
      // rewritten in place, the key keeps its spelling, other lines untouched
      {"; c\r\n[A]\r\n K = 1 \r\nz=9\r\n", "a", "k", "22", "; c\r\n[A]\r\nK=22\r\nz=9\r\n"},
      // a new key goes after the section's last entry, before blank lines
      {"[a]\r\nk=1\r\n\r\n[b]\r\nq=1\r\n", "a", "n", "v",
       "[a]\r\nk=1\r\nn=v\r\n\r\n[b]\r\nq=1\r\n"},
      {"[a]", "a", "n", "v", "[a]\r\nn=v\r\n"},
      {"[a]\nk=1\n", "a", "k", "", "[a]\nk=\n"},
      // a line break in the value would start a new key: cut there
      {"", "s", "k", "one\r\nevil=1", "[s]\r\nk=one\r\n"},
      {"", " s", "\tk", "v", "[s]\r\nk=v\r\n"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(IniSet(c.before, c.section, c.key, c.value), c.after) << c.before;
}

TEST(IniSet, WhatIsWrittenReadsBack) {
  std::string file;
  const char* values[] = {"mylove", "", "a b", "\xCE\xD2\xB5\xC4", "x=y"};
  for (const char* v : values) {
    file = IniSet(file, "user", "ssid", v);
    file = IniSet(file, "other", "ssid", "keep");
    EXPECT_EQ(IniGet(file, "user", "ssid"), v);
    EXPECT_EQ(IniGet(file, "other", "ssid"), "keep");
  }
}

}  // namespace
}  // namespace lumora
