// The update document and the notice switch: TextBetween over any text,
// checked against a plain search on a lower-cased copy.
#include <fuzzer/FuzzedDataProvider.h>

#include <string>

#include "common/text.h"
#include "fuzz_check.h"
#include "updates/updates.h"

using namespace lumora;

namespace {

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
  return out;
}

std::string Between(std::string_view text, std::string_view open, std::string_view close) {
  const std::string t = Lower(text), o = Lower(open), c = Lower(close);
  const std::size_t start = t.find(o);
  if (start == std::string::npos) return {};
  const std::size_t end = t.find(c, start + o.size());
  if (end == std::string::npos) return {};
  return std::string(text.substr(start + o.size(), end - start - o.size()));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  const std::string open = in.ConsumeRandomLengthString(12);
  const std::string close = in.ConsumeRandomLengthString(12);
  const std::string text = in.ConsumeRemainingBytesAsString();

  FUZZ_CHECK(TextBetween(text, open, close) == Between(text, open, close));
  const UpdateDocument doc = ReadUpdateDocument(text);
  FUZZ_CHECK(doc.version == Between(text, "[version1]", "[version2]"));
  FUZZ_CHECK(doc.notes == Between(text, "[content1]", "[content2]"));
  FUZZ_CHECK(doc.download == Between(text, "[downurl1]", "[downurl2]"));
  FUZZ_CHECK(doc.site == Between(text, "[gwurl1]", "[gwurl2]"));
  FUZZ_CHECK(BannerWanted(text) == (Between(text, "[up1]", "[up2]") == "1"));
  // A version is never newer than itself.
  FUZZ_CHECK(!IsNewerVersion(doc.version, doc.version));
  return 0;
}
