// The real program, started and driven from this second process.
#include <gtest/gtest.h>

#include "e2e_env.h"
#include "screenshot.h"
#include "ui_driver.h"

namespace lumora::e2e {
namespace {

TEST(Lifecycle, ShowsItsWindowAndEndsWhenClosed) {
  ASSERT_FALSE(ProgramPath().empty()) << "LUMORA_EXE is not set";
  Program program(ProgramPath());
  ASSERT_TRUE(program.Started());
  HWND main = WaitForWindow(kMainTitle, 15000);
  ASSERT_TRUE(main) << "no visible window titled " << kMainTitle;
  RECT r;
  GetWindowRect(main, &r);
  EXPECT_EQ(r.right - r.left, 430);
  EXPECT_EQ(r.bottom - r.top, 316);
  const std::string shot = ShotPath("main-window");
  if (!shot.empty()) {
    EXPECT_TRUE(SaveScreenshot(shot));
  }

  RequestClose(main);
  EXPECT_TRUE(program.WaitForExit(5000)) << "the program kept running after its window closed";
}

}  // namespace
}  // namespace lumora::e2e
