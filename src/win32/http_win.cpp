#include "win32/http_win.h"

#include <windows.h>
#include <wininet.h>

#include <memory>
#include <mutex>

#include "common/stop_state.h"
#include "win32/utf16.h"

namespace lumora {
namespace {

// The handles of one request. A stop request closes them from the stopping
// thread, which is how a blocking WinINet call is ended; every use checks
// under the lock that they are still open.
class RequestHandles {
 public:
  ~RequestHandles() { Close(); }

  // False when the request was cancelled meanwhile (the handle is closed).
  bool Keep(HINTERNET h, bool is_session) {
    std::lock_guard lock(mutex_);
    if (cancelled_) {
      InternetCloseHandle(h);
      return false;
    }
    (is_session ? session_ : request_) = h;
    return true;
  }
  HINTERNET Request() {
    std::lock_guard lock(mutex_);
    return cancelled_ ? nullptr : request_;
  }
  void Cancel() {
    std::lock_guard lock(mutex_);
    cancelled_ = true;
    CloseLocked();
  }
  void Close() {
    std::lock_guard lock(mutex_);
    CloseLocked();
  }

 private:
  void CloseLocked() {
    if (request_) InternetCloseHandle(request_);
    if (session_) InternetCloseHandle(session_);
    request_ = session_ = nullptr;
  }

  std::mutex mutex_;
  HINTERNET session_ = nullptr, request_ = nullptr;
  bool cancelled_ = false;
};

void SetTimeout(HINTERNET h, DWORD option, int ms) {
  DWORD value = DWORD(ms);
  InternetSetOptionW(h, option, &value, sizeof value);
}

}  // namespace

std::optional<std::string> WinInetHttp::Fetch(const std::string& url) {
  if (!IsWebAddress(url)) return std::nullopt;
  auto handles = std::make_shared<RequestHandles>();
  StopState* stop = CurrentStop();
  const int waker = stop ? stop->AddWaker([handles] { handles->Cancel(); }) : 0;
  struct WakerScope {
    StopState* stop;
    int id;
    ~WakerScope() {
      if (stop) stop->RemoveWaker(id);
    }
  } waker_scope{stop, waker};

  HINTERNET session =
      InternetOpenW(L"LumoraWiFi/5.1", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
  if (!session) return std::nullopt;
  SetTimeout(session, INTERNET_OPTION_CONNECT_TIMEOUT, connect_timeout_ms_);
  SetTimeout(session, INTERNET_OPTION_RECEIVE_TIMEOUT, receive_timeout_ms_);
  SetTimeout(session, INTERNET_OPTION_SEND_TIMEOUT, receive_timeout_ms_);
  if (!handles->Keep(session, true)) return std::nullopt;

  // No dialogs from a worker, nothing kept for the next request.
  const DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_NO_UI |
                      INTERNET_FLAG_NO_COOKIES | INTERNET_FLAG_NO_AUTH;
  HINTERNET opened = InternetOpenUrlW(session, Widen(url).c_str(), nullptr, 0, flags, 0);
  if (!opened || !handles->Keep(opened, false)) return std::nullopt;

  DWORD status = 0, size = sizeof status;
  HINTERNET request = handles->Request();
  if (!request ||
      !HttpQueryInfoW(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size,
                      nullptr) ||
      status < 200 || status > 299)
    return std::nullopt;

  std::string body;
  char buffer[1000];
  for (;;) {
    DWORD read = 0;
    request = handles->Request();
    if (!request || !InternetReadFile(request, buffer, sizeof buffer, &read)) return std::nullopt;
    if (read == 0) break;
    if (body.size() + read > max_body_bytes_) return std::nullopt;
    body.append(buffer, read);
  }
  return body;
}

}  // namespace lumora
