// The settings file: any bytes as the file, one of the program's keys set to
// a fuzzed value. The value reads back as written, every other key keeps
// its value, and the store hands out UTF-8 whatever the file holds.
#include <fuzzer/FuzzedDataProvider.h>

#include <optional>
#include <string>

#include "common/gbk.h"
#include "common/ini_text.h"
#include "common/settings.h"
#include "fakes/memory_files.h"
#include "fuzz_check.h"

namespace {

using namespace lumora;

std::string_view TrimBlanks(std::string_view s) {
  constexpr std::string_view kBlanks = " \t\r\n\v\f";
  const std::size_t first = s.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return {};
  return s.substr(first, s.find_last_not_of(kBlanks) - first + 1);
}

// What a value written with IniSet reads back as.
std::string AsReadBack(std::string_view value) {
  value = TrimBlanks(value.substr(0, value.find_first_of("\r\n")));
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front())
    value = value.substr(1, value.size() - 2);
  return std::string(value);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  constexpr std::size_t kKeys = std::size(setting::kAll);
  const SettingKey& target = setting::kAll[in.ConsumeIntegralInRange<std::size_t>(0, kKeys - 1)];
  const std::string value = in.ConsumeRandomLengthString(64);
  const std::string file = in.ConsumeRemainingBytesAsString();

  const std::string section = Utf8ToGbk(target.section), key = Utf8ToGbk(target.key);
  std::optional<std::string> before[kKeys];
  for (std::size_t i = 0; i < kKeys; ++i)
    before[i] = IniGet(file, Utf8ToGbk(setting::kAll[i].section), Utf8ToGbk(setting::kAll[i].key));

  const std::string after = IniSet(file, section, key, value);
  const std::optional<std::string> read = IniGet(after, section, key);
  FUZZ_CHECK(read && *read == AsReadBack(value));
  for (std::size_t i = 0; i < kKeys; ++i) {
    const SettingKey& other = setting::kAll[i];
    if (&other == &target) continue;
    FUZZ_CHECK(IniGet(after, Utf8ToGbk(other.section), Utf8ToGbk(other.key)) == before[i]);
  }

  // The store over the same bytes: GBK in the file, UTF-8 out, within the limit.
  fakes::MemoryFiles files;
  files.files[kSettingsPath] = file;
  SettingsStore store(files);
  const std::string shown = store.Read(target);
  FUZZ_CHECK(fuzz::IsUtf8(shown));
  return 0;
}
