#pragma once
// A property a fuzz target checks: on failure it prints what broke and
// aborts, which libFuzzer reports as a crash and keeps the input.
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "common/text.h"

#define FUZZ_CHECK(condition)                                                           \
  do {                                                                                  \
    if (!(condition)) {                                                                 \
      std::fprintf(stderr, "%s:%d: property failed: %s\n", __FILE__, __LINE__, #condition); \
      std::abort();                                                                     \
    }                                                                                   \
  } while (0)

namespace lumora::fuzz {

inline bool IsUtf8(std::string_view text) {
  for (std::size_t pos = 0; pos < text.size();) {
    const std::size_t n = Utf8CharLength(text, pos);
    if (n == 0) return false;
    pos += n;
  }
  return true;
}

inline std::string_view Bytes(const unsigned char* data, std::size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

}  // namespace lumora::fuzz
