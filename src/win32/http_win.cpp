#include "win32/http_win.h"

#include <windows.h>
#include <wininet.h>

#include "win32/utf16.h"

namespace lumora {
namespace {

class InternetHandle {
 public:
  explicit InternetHandle(HINTERNET h) : h_(h) {}
  ~InternetHandle() {
    if (h_) InternetCloseHandle(h_);
  }
  InternetHandle(const InternetHandle&) = delete;
  InternetHandle& operator=(const InternetHandle&) = delete;
  HINTERNET get() const { return h_; }
  explicit operator bool() const { return h_ != nullptr; }

 private:
  HINTERNET h_;
};

void SetTimeout(HINTERNET h, DWORD option, int ms) {
  DWORD value = DWORD(ms);
  InternetSetOptionW(h, option, &value, sizeof value);
}

}  // namespace

std::optional<std::string> WinInetHttp::Fetch(const std::string& url) {
  if (!IsWebAddress(url)) return std::nullopt;
  InternetHandle session(
      InternetOpenW(L"LumoraWiFi/5.1", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0));
  if (!session) return std::nullopt;
  SetTimeout(session.get(), INTERNET_OPTION_CONNECT_TIMEOUT, connect_timeout_ms_);
  SetTimeout(session.get(), INTERNET_OPTION_RECEIVE_TIMEOUT, receive_timeout_ms_);
  SetTimeout(session.get(), INTERNET_OPTION_SEND_TIMEOUT, receive_timeout_ms_);

  // No dialogs from a worker, nothing kept for the next request.
  const DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_NO_UI |
                      INTERNET_FLAG_NO_COOKIES | INTERNET_FLAG_NO_AUTH;
  InternetHandle request(
      InternetOpenUrlW(session.get(), Widen(url).c_str(), nullptr, 0, flags, 0));
  if (!request) return std::nullopt;

  DWORD status = 0, size = sizeof status;
  if (!HttpQueryInfoW(request.get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status,
                      &size, nullptr) ||
      status < 200 || status > 299)
    return std::nullopt;

  std::string body;
  char buffer[1000];
  for (;;) {
    DWORD read = 0;
    if (!InternetReadFile(request.get(), buffer, sizeof buffer, &read)) return std::nullopt;
    if (read == 0) break;
    if (body.size() + read > max_body_bytes_) return std::nullopt;
    body.append(buffer, read);
  }
  return body;
}

}  // namespace lumora
