// The GBK codec at the file and console boundary: decoding gives UTF-8,
// valid GBK survives decode and encode unchanged, and a cut never halves a
// double-byte character or runs past its limit.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <string>

#include "common/gbk.h"
#include "fuzz_check.h"

using namespace lumora;

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  const std::size_t max = in.ConsumeIntegralInRange<std::size_t>(0, 64);
  const std::string bytes = in.ConsumeRemainingBytesAsString();

  const std::string utf8 = GbkToUtf8(bytes);
  FUZZ_CHECK(fuzz::IsUtf8(utf8));
  // Nothing replaced: the text was GBK and must come back byte for byte.
  if (std::count(utf8.begin(), utf8.end(), '?') == std::count(bytes.begin(), bytes.end(), '?'))
    FUZZ_CHECK(Utf8ToGbk(utf8) == bytes);

  // The other way: any bytes as UTF-8, GBK out, and back to UTF-8.
  const std::string gbk = Utf8ToGbk(bytes);
  FUZZ_CHECK(GbkByteLength(bytes) == gbk.size());
  FUZZ_CHECK(fuzz::IsUtf8(GbkToUtf8(gbk)));
  if (fuzz::IsUtf8(bytes) && gbk.find('?') == std::string::npos) FUZZ_CHECK(GbkToUtf8(gbk) == bytes);

  const std::string cut = CutGbk(gbk, max);
  FUZZ_CHECK(cut.size() <= max && gbk.compare(0, cut.size(), cut) == 0);
  FUZZ_CHECK(GbkToUtf8(cut) == GbkToUtf8(gbk).substr(0, GbkToUtf8(cut).size()));
  return 0;
}
