// A DLL whose thread-detach call takes 50 ms: a thread that has returned
// from its body stays that long in its leaving, the window a detached
// thread's record must survive.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
  if (reason == DLL_THREAD_DETACH) Sleep(50);
  return TRUE;
}
