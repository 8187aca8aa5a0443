// Not std::thread(...).detach(): the threading library under std::thread
// frees a detached thread's record at once when the thread has already
// returned from its body, although the thread still uses the record while
// it leaves (the DLLs' thread-detach calls run first). Another thread that
// takes the recycled record is then wiped from under it and spins for ever
// in its next thread_local access. A system thread owns its record to the
// end and frees it itself.
#include <windows.h>

#include <memory>

#include "common/detached_thread.h"
#include "win32/thread_stack.h"

namespace lumora {
namespace {

DWORD WINAPI RunBody(void* param) {
  std::unique_ptr<std::function<void()>> body(static_cast<std::function<void()>*>(param));
  (*body)();
  return 0;
}

}  // namespace

bool StartDetachedThread(std::function<void()> body) {
  auto* param = new std::function<void()>(std::move(body));
  HANDLE thread = CreateThread(nullptr, kThreadStack, &RunBody, param,
                               STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
  if (!thread) {
    delete param;
    return false;
  }
  CloseHandle(thread);
  return true;
}

}  // namespace lumora
