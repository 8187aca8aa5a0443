#pragma once
// Plain HTTP GET requests with WinINet: direct (no proxy), always from the
// server (no cache), with connect and receive time-outs. Wrap it in
// BoundedHttp: WinINet's own time-outs do not bound every hang.
#include <cstddef>

#include "updates/web_ports.h"

namespace lumora {

class WinInetHttp : public HttpPort {
 public:
  explicit WinInetHttp(int connect_timeout_ms = kHttpConnectTimeoutMs,
                       int receive_timeout_ms = kHttpReceiveTimeoutMs,
                       std::size_t max_body_bytes = kHttpMaxBodyBytes)
      : connect_timeout_ms_(connect_timeout_ms),
        receive_timeout_ms_(receive_timeout_ms),
        max_body_bytes_(max_body_bytes) {}

  // Only http:// and https:// addresses; a status other than 2xx is a
  // failure (the server's error page is not the document).
  std::optional<std::string> Fetch(const std::string& url) override;

 private:
  int connect_timeout_ms_;
  int receive_timeout_ms_;
  std::size_t max_body_bytes_;
};

}  // namespace lumora
