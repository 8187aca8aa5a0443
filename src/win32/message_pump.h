#pragma once
#include <windows.h>

namespace lumora {

// Dispatches every pending message of the calling thread. A WM_QUIT taken
// from the queue is posted again so that the main loop still sees it.
void PumpPendingMessages();

// Waits for one of `handles` (or none) until `timeout_ms` while serving
// window messages. Returns the index of the signalled handle, or -1 on
// time-out.
int WaitServingMessages(DWORD count, const HANDLE* handles, DWORD timeout_ms);

// Messages that the main loop treats specially (dialog keys of the main
// window) are handled the same way during nested waits.
using PreTranslateFn = bool (*)(MSG&);
void SetPreTranslate(PreTranslateFn fn);

}  // namespace lumora
