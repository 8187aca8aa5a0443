#include "updates/web_ports.h"

#include <condition_variable>
#include <mutex>

#include "common/detached_thread.h"
#include "common/stop_state.h"
#include "common/text.h"

namespace lumora {
bool IsWebAddress(std::string_view url) {
  std::size_t scheme = 0;
  if (FindNoCase(url, "http://") == 0) scheme = 7;
  else if (FindNoCase(url, "https://") == 0) scheme = 8;
  else return false;
  if (url.size() == scheme) return false;
  for (char c : url)
    if (static_cast<unsigned char>(c) <= 0x20 || c == 0x7F || c == '"') return false;
  return true;
}

bool OpenWebAddress(BrowserPort& browser, std::string_view url) {
  url = Trim(url);
  if (!IsWebAddress(url)) return false;
  browser.Open(std::string(url));
  return true;
}

std::optional<std::string> BoundedHttp::Fetch(const std::string& url) {
  struct Call {
    std::mutex mutex;
    std::condition_variable done_or_stop;
    bool done = false;
    std::optional<std::string> body;
    StopState helper;  // asked to stop when the caller gives up
  };
  auto call = std::make_shared<Call>();
  const bool started = StartDetachedThread([inner = inner_, call, url] {
    std::optional<std::string> body;
    {
      CurrentStopScope scope(&call->helper);
      body = inner->Fetch(url);
    }
    std::lock_guard lock(call->mutex);
    call->body = std::move(body);
    call->done = true;
    call->done_or_stop.notify_all();
  });
  if (!started) return std::nullopt;  // no thread: as if the network were down

  StopState* stop = CurrentStop();
  const int waker = stop ? stop->AddWaker([call] {
    std::lock_guard lock(call->mutex);
    call->done_or_stop.notify_all();
  })
                         : 0;
  std::optional<std::string> body;
  {
    std::unique_lock lock(call->mutex);
    call->done_or_stop.wait_for(lock, bound_, [&] {
      return call->done || (stop && stop->StopRequested());
    });
    if (call->done) body = std::move(call->body);
  }
  if (stop) stop->RemoveWaker(waker);
  // A client that honours stop requests ends its request now rather than
  // whenever its own time-outs fire.
  if (!body) call->helper.RequestStop();
  return body;
}

}  // namespace lumora
