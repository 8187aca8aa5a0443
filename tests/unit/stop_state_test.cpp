#include <gtest/gtest.h>

#include <thread>

#include "common/stop_state.h"

namespace lumora {
namespace {

TEST(StopState, WakersRunOnceAndOnlyWhileRegistered) {
  StopState state;
  int woken = 0, removed = 0;
  state.AddWaker([&] { ++woken; });
  const int id = state.AddWaker([&] { ++removed; });
  state.RemoveWaker(id);
  EXPECT_FALSE(state.StopRequested());
  state.RequestStop();
  state.RequestStop();
  EXPECT_TRUE(state.StopRequested());
  EXPECT_EQ(woken, 1);
  EXPECT_EQ(removed, 0);
  // Registered after the request: runs at once, so no wait can miss it.
  state.AddWaker([&] { ++woken; });
  EXPECT_EQ(woken, 2);
}

TEST(StopState, CurrentStopIsPerThreadAndScoped) {
  EXPECT_EQ(CurrentStop(), nullptr);
  EXPECT_FALSE(StopRequested());
  StopState state;
  state.RequestStop();
  {
    CurrentStopScope scope(&state);
    EXPECT_TRUE(StopRequested());
    bool other_thread_sees = true;
    std::thread([&] { other_thread_sees = StopRequested(); }).join();
    EXPECT_FALSE(other_thread_sees);
  }
  EXPECT_FALSE(StopRequested());
}

}  // namespace
}  // namespace lumora
