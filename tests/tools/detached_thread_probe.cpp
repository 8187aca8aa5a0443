// Ends a detached helper while another thread first uses its thread_local
// storage; prints "finished" when that thread got through, else what went
// wrong ("hung", "stuck", ...). Its own process: the threading library
// queues the records of ended threads, and only an empty queue hands the
// helper's record to the next thread at once.
#include <windows.h>

#include <cstring>

#include "common/detached_thread.h"

namespace {

thread_local int g_touches = 0;

DWORD WINAPI TouchWhenTold(void* go) {
  WaitForSingleObject(go, INFINITE);
  for (DWORD end = GetTickCount() + 150; GetTickCount() < end;) ++g_touches;
  return 0;
}

// std::thread's start ends in Sleep(0). Holding the starting thread there
// until the helper's body has returned makes the start's next step meet a
// helper that has finished and is leaving, the order a busy machine makes
// by chance.
using SleepCall = void(WINAPI*)(DWORD);
SleepCall g_real_sleep = nullptr;
DWORD g_held_thread = 0;
HANDLE g_body_done = nullptr;
HANDLE g_started = nullptr;

void WINAPI HeldSleep(DWORD ms) {
  if (GetCurrentThreadId() == g_held_thread) {
    WaitForSingleObject(g_body_done, 5000);
    ms = 5;
  }
  g_real_sleep(ms);
}

// This program's import slot of Sleep.
void** SleepSlot() {
  auto* base = reinterpret_cast<BYTE*>(GetModuleHandleW(nullptr));
  const auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(
      base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
  const auto& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  void* sleep = reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32"), "Sleep"));
  for (auto* imp = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress);
       imp->Name; ++imp)
    for (auto** slot = reinterpret_cast<void**>(base + imp->FirstThunk); *slot; ++slot)
      if (*slot == sleep) return slot;
  return nullptr;
}

DWORD WINAPI StartHelper(void*) {
  lumora::StartDetachedThread([] {
    ++g_touches;
    SetEvent(g_body_done);
  });
  SetEvent(g_started);  // its own leaving takes the slow 50 ms too
  return 0;
}

// Says how it went and ends at once: a thread left spinning, or a lock it
// holds, would hold an orderly exit.
int End(const char* how) {
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), how, DWORD(std::strlen(how)), &written, nullptr);
  TerminateProcess(GetCurrentProcess(), std::strcmp(how, "finished") ? 1 : 0);
  return 1;
}

DWORD WINAPI Watchdog(void*) {
  Sleep(10000);
  return End("stuck");
}

}  // namespace

int main() {
  CreateThread(nullptr, 0, &Watchdog, nullptr, 0, nullptr);
  // Every thread's leaving takes 50 ms more: the DLLs' detach calls come
  // before the threading library's own.
  if (!LoadLibraryW(L"slow_thread_exit.dll")) return End("no slow_thread_exit.dll");
  void** slot = SleepSlot();
  if (!slot) return End("no import of Sleep");
  g_real_sleep = reinterpret_cast<SleepCall>(*slot);
  DWORD was = 0;
  VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &was);
  *slot = reinterpret_cast<void*>(&HeldSleep);

  g_body_done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  g_started = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  HANDLE go = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  HANDLE other = CreateThread(nullptr, 0, &TouchWhenTold, go, 0, nullptr);
  ResumeThread(CreateThread(nullptr, 0, &StartHelper, nullptr, CREATE_SUSPENDED, &g_held_thread));
  if (WaitForSingleObject(g_body_done, 5000) != WAIT_OBJECT_0) return End("no helper");
  g_real_sleep(5);  // the helper is in its 50 ms of leaving
  if (WaitForSingleObject(g_started, 5000) != WAIT_OBJECT_0) return End("start hung");
  SetEvent(go);  // the other thread's first thread_local use
  return End(WaitForSingleObject(other, 5000) == WAIT_OBJECT_0 ? "finished" : "hung");
}
