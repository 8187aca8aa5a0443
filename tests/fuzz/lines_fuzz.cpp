// The list files and the name book: CRLF records of MAC text, "+", name.
// Any bytes as the file; the line helpers keep every line they do not
// touch, and a name recorded for a MAC text is the one found for it.
#include <fuzzer/FuzzedDataProvider.h>

#include <cctype>
#include <string>

#include "common/gbk.h"
#include "common/lines.h"
#include "common/mac_text.h"
#include "fakes/memory_files.h"
#include "fuzz_check.h"
#include "guard/device_files.h"
#include "guard/name_book.h"

using namespace lumora;

// A line that starts with a MAC text other than `mac`.
static bool IsOtherRecord(const std::string& line, const std::string& mac) {
  if (line.size() < 17 || EqualsNoCase(std::string_view(line).substr(0, 17), mac)) return false;
  for (std::size_t i = 0; i < 17; ++i)
    if (i % 3 == 2 ? line[i] != '-' : !std::isxdigit(static_cast<unsigned char>(line[i]))) return false;
  return true;
}

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  unsigned char mac_bytes[6];
  for (unsigned char& b : mac_bytes) b = in.ConsumeIntegral<unsigned char>();
  const std::string mac = MacText(mac_bytes);
  const std::string name = in.ConsumeRandomLengthString(40);
  const int n = in.ConsumeIntegralInRange<int>(-1, 8);
  const std::string text = in.ConsumeRemainingBytesAsString();

  const std::vector<std::string> lines = SplitLines(text);
  std::string without_final = text;
  if (without_final.ends_with("\r\n")) without_final.resize(without_final.size() - 2);
  FUZZ_CHECK(JoinLines(lines) == without_final);
  FUZZ_CHECK(WithFinalCrLf(JoinLines(lines)).size() <= text.size() + 2);

  const int found = RecordLineOf(text, mac);
  FUZZ_CHECK(found >= 0 && static_cast<std::size_t>(found) <= lines.size());
  if (found > 0) FUZZ_CHECK(ContainsNoCase(LineAt(text, found), mac));

  const std::size_t count = lines.size();
  const bool in_range = n >= 1 && static_cast<std::size_t>(n) <= count;
  FUZZ_CHECK(LineAt(text, n) == (in_range ? lines[n - 1] : std::string()));
  const std::vector<std::string> deleted = SplitLines(DeleteLine(text, n));
  if (in_range) {
    // The join drops the empty piece a final CRLF would leave, so empty lines
    // at the end may go too; every line that remains is the one it was.
    FUZZ_CHECK(deleted.size() < count);
    for (std::size_t i = 0; i < deleted.size(); ++i)
      FUZZ_CHECK(deleted[i] == lines[int(i) < n - 1 ? i : i + 1]);
  }
  if (in_range && name.find("\r\n") == std::string::npos) {
    const std::string written = OverwriteLine(text, n, name);
    FUZZ_CHECK(LineAt(written, n) == name);
    if (n > 1) FUZZ_CHECK(LineAt(written, n - 1) == lines[n - 2]);
  }

  // The name book: record, then find the same name (as GBK can hold it).
  fakes::MemoryFiles files;
  files.files[kNameBookPath] = text;
  RecordName(files, mac, name);
  std::string one_line = name;
  std::erase_if(one_line, [](char c) { return c == '\r' || c == '\n'; });
  FUZZ_CHECK(FindName(files, mac) == GbkToUtf8(Utf8ToGbk(one_line)));
  // Every other record is still there, byte for byte and in order (empty
  // lines at the end may go: the helpers join without a final CRLF).
  std::vector<std::string> others, kept;
  for (const std::string& line : lines)
    if (!line.empty() && !ContainsNoCase(line, Utf8ToGbk(mac))) others.push_back(line);
  for (const std::string& line : SplitLines(files.files[kNameBookPath]))
    if (!line.empty() && !ContainsNoCase(line, Utf8ToGbk(mac))) kept.push_back(line);
  FUZZ_CHECK(kept == others);
  // Another device's record stays whole even when its name holds this MAC text.
  others.clear(), kept.clear();
  for (const std::string& line : lines)
    if (IsOtherRecord(line, mac)) others.push_back(line);
  for (const std::string& line : SplitLines(files.files[kNameBookPath]))
    if (IsOtherRecord(line, mac)) kept.push_back(line);
  FUZZ_CHECK(kept == others);
  return 0;
}
