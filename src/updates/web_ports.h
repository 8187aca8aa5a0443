#pragma once
// What the update check and the notices need from the outside: plain HTTP
// GET requests, and the user's web browser for an address.
#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace lumora {

class HttpPort {
 public:
  virtual ~HttpPort() = default;
  // GET `url`: the body's bytes as the server sent them; nullopt when the
  // request failed (no network, refused, an HTTP error status, too large).
  // May block; never call it on the window thread.
  virtual std::optional<std::string> Fetch(const std::string& url) = 0;
};

class BrowserPort {
 public:
  virtual ~BrowserPort() = default;
  // Opens the address with the shell's open action (the default browser).
  // Call it only through OpenWebAddress.
  virtual void Open(const std::string& url) = 0;
};

// True for an http:// or https:// address (scheme in any letter case) with
// something after the scheme and no control characters or blanks in it.
bool IsWebAddress(std::string_view url);

// Addresses come from the network: anything but a web address (a local
// program, file://, javascript:) would make the shell run it, so only web
// addresses are opened; blanks and line ends around one are ignored. True
// when it was opened.
bool OpenWebAddress(BrowserPort& browser, std::string_view url);

// Bounds every request by an overall time, whatever the client underneath
// does (WinINet was seen to hang for minutes on a server that accepts the
// connection and never answers, its own time-outs notwithstanding). The
// request runs on a helper thread; after `bound`, or as soon as the calling
// worker is asked to stop, the caller gets nullopt and the helper's stop is
// requested (StopRequested() and the stop wakers work inside inner->Fetch);
// the helper finishes on its own and keeps `inner` alive until then.
class BoundedHttp : public HttpPort {
 public:
  BoundedHttp(std::shared_ptr<HttpPort> inner, std::chrono::milliseconds bound)
      : inner_(std::move(inner)), bound_(bound) {}
  std::optional<std::string> Fetch(const std::string& url) override;

 private:
  std::shared_ptr<HttpPort> inner_;
  std::chrono::milliseconds bound_;
};

// Time-outs of every request: the client's own ones for connecting and for
// each receive, and the overall bound enforced by BoundedHttp.
inline constexpr int kHttpConnectTimeoutMs = 5000;
inline constexpr int kHttpReceiveTimeoutMs = 5000;
inline constexpr std::chrono::milliseconds kHttpOverallBound{8000};
// Nothing the servers send is this large; a body beyond it is a failure.
inline constexpr std::size_t kHttpMaxBodyBytes = 1 << 20;

}  // namespace lumora
