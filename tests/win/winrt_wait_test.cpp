// The wait for an asynchronous Windows Runtime call: it must end on its own
// bound or at the worker's stop request, cancelling the call, however long
// the system takes; and the carrying of a call into the multithreaded
// apartment, whatever the caller's.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <thread>

#include "common/stop_state.h"
#include "standins/com_object.h"
#include "win32/winrt_win.h"

namespace lumora {
namespace {

using namespace winrt;

std::atomic<long> g_live{0};

// A call whose status never changes on its own.
class FixedAsync : public ComObject<IAsyncInfo> {
 public:
  explicit FixedAsync(int status) : ComObject({kIidAsyncInfo}, g_live), status_(status) {}
  HRESULT STDMETHODCALLTYPE GetIids(ULONG*, IID**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetRuntimeClassName(HSTRING*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetTrustLevel(TrustLevel*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_Id(UINT32* id) override { return *id = 7, S_OK; }
  HRESULT STDMETHODCALLTYPE get_Status(int* status) override { return *status = status_, S_OK; }
  HRESULT STDMETHODCALLTYPE get_ErrorCode(HRESULT* code) override {
    return *code = status_ == kAsyncError ? E_ACCESSDENIED : S_OK, S_OK;
  }
  HRESULT STDMETHODCALLTYPE Cancel() override { return ++cancels, S_OK; }
  HRESULT STDMETHODCALLTYPE Close() override { return S_OK; }
  int cancels = 0;

 private:
  int status_;
};

TEST(WinRtAwait, EndsOnCompletionErrorBoundOrStop) {
  const struct {
    int status;
    bool stop;
    AsyncEnd::Kind end;
    HRESULT code;
    DWORD at_least_ms, at_most_ms;
    int cancels;
  } cases[] = {
      {kAsyncCompleted, false, AsyncEnd::kCompleted, S_OK, 0, 100, 0},
      {kAsyncError, false, AsyncEnd::kError, E_ACCESSDENIED, 0, 100, 0},  // the system's code
      {kAsyncCanceled, false, AsyncEnd::kCanceled, S_OK, 0, 100, 0},
      {kAsyncStarted, false, AsyncEnd::kTimedOut, S_OK, 300, 1500, 1},  // the bound
      {kAsyncStarted, true, AsyncEnd::kStopped, S_OK, 0, 100, 1},       // the worker asked to stop
  };
  for (const auto& c : cases) {
    auto* async = new FixedAsync(c.status);
    StopState state;
    if (c.stop) state.RequestStop();
    CurrentStopScope scope(&state);
    const ULONGLONG begin = GetTickCount64();
    const AsyncEnd end = Await(async, 300);
    EXPECT_EQ(end.kind, c.end) << c.status << " " << c.stop;
    EXPECT_EQ(end.code, c.code) << c.status;
    const ULONGLONG took = GetTickCount64() - begin;
    EXPECT_GE(took, c.at_least_ms) << c.status << " " << c.stop;
    EXPECT_LE(took, c.at_most_ms) << c.status << " " << c.stop;
    EXPECT_EQ(async->cancels, c.cancels);
    async->Release();
  }
  EXPECT_EQ(g_live, 0) << "a reference was kept";
}

std::atomic<int> g_ticks{0};
void CALLBACK CountTick(HWND, UINT, UINT_PTR, DWORD) { ++g_ticks; }

// From a single-threaded apartment: the call runs in the multithreaded one
// while the caller's messages are served; the bound and the caller's stop
// end the wait, and the call then sees a stop request of its own.
TEST(WinRtMta, CallsRunInTheMtaWhileTheCallerServesItsMessages) {
  const struct {
    DWORD bound_ms;
    int stop_after_ms;  // the caller asked to stop then; -1: never, 0: before
    bool ended;
    DWORD at_most_ms;
  } cases[] = {
      {5000, -1, true, 1500},  // the call takes 400 ms
      {150, -1, false, 1000},  // the bound
      {5000, 100, true, 1000},  // a stop ends the call's own waits
      {5000, 0, false, 100},    // a stopped caller starts nothing
  };
  for (const auto& c : cases) {
    std::thread([&c] {
      ASSERT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_OK);
      StopState state;
      CurrentStopScope scope(&state);
      if (c.stop_after_ms == 0) state.RequestStop();
      std::thread stopper;
      if (c.stop_after_ms > 0)
        stopper = std::thread([&] { Sleep(DWORD(c.stop_after_ms)); state.RequestStop(); });
      auto seen = std::make_shared<std::atomic<int>>(-1);
      auto stopped = std::make_shared<std::atomic<bool>>(false);
      g_ticks = 0;
      const UINT_PTR timer = SetTimer(nullptr, 0, 20, CountTick);
      const ULONGLONG begin = GetTickCount64();
      const bool ended = RunInMta(c.bound_ms, [seen, stopped] {
        APTTYPE type;
        APTTYPEQUALIFIER qualifier;
        *seen = SUCCEEDED(CoGetApartmentType(&type, &qualifier)) ? int(type) : -2;
        for (int i = 0; i < 40 && !StopRequested(); ++i) Sleep(10);
        *stopped = StopRequested();
      });
      const ULONGLONG took = GetTickCount64() - begin;
      KillTimer(nullptr, timer);
      if (stopper.joinable()) stopper.join();
      EXPECT_EQ(ended, c.ended) << c.bound_ms << " " << c.stop_after_ms;
      EXPECT_LE(took, c.at_most_ms) << c.bound_ms << " " << c.stop_after_ms;
      if (c.stop_after_ms != 0) {
        EXPECT_GT(g_ticks, 3) << "the caller's messages were not served";
        for (int i = 0; i < 100 && *seen == -1; ++i) Sleep(10);
        EXPECT_EQ(*seen, int(APTTYPE_MTA));
      }
      for (int i = 0; i < 100 && c.bound_ms < 1000 && !*stopped; ++i) Sleep(10);
      EXPECT_EQ(*stopped, c.stop_after_ms > 0 || c.bound_ms < 1000) << c.bound_ms;
      CoUninitialize();
    }).join();
  }
}

}  // namespace
}  // namespace lumora
