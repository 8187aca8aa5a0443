#include "common/detached_thread.h"

#include <system_error>
#include <thread>

namespace lumora {

bool StartDetachedThread(std::function<void()> body) {
  try {
    std::thread(std::move(body)).detach();
    return true;
  } catch (const std::system_error&) {
    return false;
  }
}

}  // namespace lumora
