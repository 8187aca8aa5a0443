#include <cerrno>
#include <cstddef>
#include <iconv.h>

#include "common/gbk.h"
#include "common/text.h"

namespace lumora {
namespace {

// An iconv_t keeps shift state and is not safe to share, so each thread opens
// its own pair once and keeps them.
class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Converter() {
    if (ok()) iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

  // Converts `in`; at a byte sequence iconv refuses, appends "?" and skips
  // skip(in, offset) bytes (at least one) before going on.
  template <typename Skip>
  std::string Run(std::string_view in, Skip skip) {
    std::string out;
    if (!ok()) {  // no CP936 module installed: keep what is plain ASCII
      for (std::size_t pos = 0; pos < in.size();) {
        if (static_cast<unsigned char>(in[pos]) < 0x80) {
          out += in[pos++];
        } else {
          out += '?';
          const std::size_t n = skip(in, pos);
          pos += n > 0 ? n : 1;
        }
      }
      return out;
    }
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    char buffer[256];
    std::size_t pos = 0;
    while (pos < in.size()) {
      char* src = const_cast<char*>(in.data() + pos);  // iconv never writes through it
      std::size_t src_left = in.size() - pos;
      char* dst = buffer;
      std::size_t dst_left = sizeof buffer;
      const std::size_t rc = iconv(cd_, &src, &src_left, &dst, &dst_left);
      const int error = errno;
      out.append(buffer, static_cast<std::size_t>(dst - buffer));
      pos = in.size() - src_left;
      if (rc != static_cast<std::size_t>(-1) || error == E2BIG) continue;
      // EILSEQ (bad or unmappable) or EINVAL (cut off at the end).
      out += '?';
      const std::size_t n = skip(in, pos);
      pos += n > 0 ? n : 1;
      iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    }
    return out;
  }

 private:
  iconv_t cd_;
};

Converter& FromGbk() {
  thread_local Converter converter("UTF-8", "CP936");
  return converter;
}

Converter& ToGbk() {
  thread_local Converter converter("CP936", "UTF-8");
  return converter;
}

}  // namespace

std::string GbkToUtf8(std::string_view gbk) {
  return FromGbk().Run(gbk, [](std::string_view, std::size_t) { return std::size_t{1}; });
}

std::string Utf8ToGbk(std::string_view utf8) {
  // A whole well-formed character GBK lacks becomes one "?"; a malformed
  // byte becomes one "?" of its own.
  return ToGbk().Run(utf8, [](std::string_view text, std::size_t pos) { return Utf8CharLength(text, pos); });
}

std::size_t GbkByteLength(std::string_view utf8) { return Utf8ToGbk(utf8).size(); }

}  // namespace lumora
