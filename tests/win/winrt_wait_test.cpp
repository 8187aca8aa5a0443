// The wait for an asynchronous Windows Runtime call: it must end on its own
// bound or at the worker's stop request, cancelling the call, however long
// the system takes.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>

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
  HRESULT STDMETHODCALLTYPE get_ErrorCode(HRESULT* code) override { return *code = S_OK, S_OK; }
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
    bool completed;
    DWORD at_least_ms, at_most_ms;
    int cancels;
  } cases[] = {
      {kAsyncCompleted, false, true, 0, 100, 0},
      {kAsyncError, false, false, 0, 100, 0},
      {kAsyncCanceled, false, false, 0, 100, 0},
      {kAsyncStarted, false, false, 300, 1500, 1},  // the bound
      {kAsyncStarted, true, false, 0, 100, 1},      // the worker asked to stop
  };
  for (const auto& c : cases) {
    auto* async = new FixedAsync(c.status);
    StopState state;
    if (c.stop) state.RequestStop();
    CurrentStopScope scope(&state);
    const ULONGLONG begin = GetTickCount64();
    EXPECT_EQ(Await(async, 300), c.completed) << c.status << " " << c.stop;
    const ULONGLONG took = GetTickCount64() - begin;
    EXPECT_GE(took, c.at_least_ms) << c.status << " " << c.stop;
    EXPECT_LE(took, c.at_most_ms) << c.status << " " << c.stop;
    EXPECT_EQ(async->cancels, c.cancels);
    async->Release();
  }
  EXPECT_EQ(g_live, 0) << "a reference was kept";
}

}  // namespace
}  // namespace lumora
