#pragma once
// A thread nobody waits for: a helper that may outlive the caller that gave
// up on it. Natively std::thread; on Windows a system thread (see
// win32/detached_thread_win.cpp for why not std::thread there).
#include <functional>

namespace lumora {

// Runs `body` on a thread of its own. False when no thread could be had; the
// body then never runs.
bool StartDetachedThread(std::function<void()> body);

}  // namespace lumora
