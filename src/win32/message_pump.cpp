#include "win32/message_pump.h"

namespace lumora {
namespace {
PreTranslateFn g_pre_translate = nullptr;
}

void SetPreTranslate(PreTranslateFn fn) { g_pre_translate = fn; }

void PumpPendingMessages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(int(msg.wParam));
      return;
    }
    if (g_pre_translate && g_pre_translate(msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

int WaitServingMessages(DWORD count, const HANDLE* handles, DWORD timeout_ms) {
  const ULONGLONG deadline = GetTickCount64() + timeout_ms;
  for (;;) {
    const ULONGLONG now = GetTickCount64();
    const DWORD left = timeout_ms == INFINITE ? INFINITE
                       : now >= deadline      ? 0
                                              : DWORD(deadline - now);
    const DWORD r =
        MsgWaitForMultipleObjectsEx(count, handles, left, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    if (r < WAIT_OBJECT_0 + count) return int(r - WAIT_OBJECT_0);
    if (r == WAIT_OBJECT_0 + count) {
      PumpPendingMessages();
      // A WM_QUIT stays queued; do not spin on it until the time runs out.
      MSG quit;
      if (PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE)) {
        const DWORD poll = WaitForMultipleObjects(count, handles, FALSE, 0);
        if (count && poll < WAIT_OBJECT_0 + count) return int(poll - WAIT_OBJECT_0);
        if (left == 0) return -1;
        Sleep(left < 10 ? left : 10);
      }
      continue;
    }
    return -1;  // WAIT_TIMEOUT or failure
  }
}

}  // namespace lumora
