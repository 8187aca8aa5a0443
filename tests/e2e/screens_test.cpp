// The real window on screens of every DPI, from the keyboard alone, and
// read by a screen reader. LUMORA_DPI tells the DPI the test prefix runs at
// (scripts/test sets it with the registry before starting Wine's server).
#include <gtest/gtest.h>
#include <oleacc.h>

#include <cstdlib>

#include "app_driver.h"
#include "e2e_env.h"
#include "layout_audit.h"
#include "screenshot.h"
#include "ui/window_layout.h"
#include "ui_driver.h"
#include "window_audit.h"

namespace lumora::e2e {
namespace {

int PrefixDpi() {
  const char* dpi = std::getenv("LUMORA_DPI");
  return dpi && std::atoi(dpi) > 0 ? std::atoi(dpi) : kDesignDpi;
}

class Screens : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(ProgramPath().empty()) << "LUMORA_EXE is not set";
    for (const char* f : {"c:\\tovkwifi.ini", "c:\\wifiblack.txt", "c:\\wifiwhite.txt"})
      DeleteFileA(f);
  }
};

// Every page, and the user page in both list modes: no text clipped, no
// two controls overlapping that the design keeps apart; a screenshot each.
TEST_F(Screens, EveryPageFitsItsTextsAtThisDpi) {
  const int dpi = PrefixDpi();
  Program program(ProgramPath());
  HWND main = StartReady(program);
  ASSERT_TRUE(main);
  RECT r;
  GetWindowRect(main, &r);
  EXPECT_NEAR(r.right - r.left, ScaleToDpi(kMainWidth, dpi), 1) << "the window is not scaled";
  EXPECT_NEAR(r.bottom - r.top, ScaleToDpi(kMainHeight, dpi), 1);
  struct Step {
    int page;
    Ctl mode;  // the list mode clicked first, or kCount
    const char* label;
  };
  const Step steps[] = {{0, Ctl::kCount, "page0"},      {1, Ctl::kCount, "page1-black"},
                        {1, Ctl::单选框白, "page1-white"}, {1, Ctl::单选框黑, "page1-black-again"},
                        {2, Ctl::kCount, "page2"},      {3, Ctl::kCount, "page3"},
                        {4, Ctl::kCount, "page4"}};
  for (const Step& step : steps) {
    ASSERT_TRUE(SelectPage(main, step.page));
    if (step.mode != Ctl::kCount) ClickAndWait(FindControl(main, step.mode));
    Sleep(300);
    const std::vector<AuditedControl> controls = ReadShownPage(main, dpi);
    const std::vector<std::string> faults = AuditLayout(controls);
    std::printf("AUDIT dpi=%d %s controls=%zu faults=%zu\n", dpi, step.label, controls.size(),
                faults.size());
    for (const std::string& f : faults) ADD_FAILURE() << dpi << " DPI, " << step.label << ": " << f;
    EXPECT_GT(controls.size(), 3u) << step.label << ": the page was not read";
    EXPECT_TRUE(Shot("dpi" + std::to_string(dpi) + "-" + step.label));
  }
  CloseAndExpectEnd(program, main);
}

}  // namespace
}  // namespace lumora::e2e
