// The layout audit's rules, on controls made up from the window definition.
#include <gtest/gtest.h>

#include "layout_audit.h"

namespace lumora::e2e {
namespace {

AuditedControl At(Ctl id, Rect r, Size text = {}, Size chrome = {}, int container = 1) {
  return {DefOf(id).name, id, container, r, r, text, chrome};
}

TEST(LayoutAudit, FindsClippedTextsAndOverlapsTheDesignDoesNotHave) {
  struct Case {
    const char* what;
    std::vector<AuditedControl> controls;
    std::size_t faults;
  };
  const Case cases[] = {
      {"a text that fits", {At(Ctl::标签1, {0, 0, 63, 24}, {60, 15})}, 0},
      {"too wide with the check box's glyph",
       {At(Ctl::选择框关机, {0, 0, 81, 16}, {70, 15}, {13, 0})}, 1},
      {"too tall", {At(Ctl::超级链接框刷新, {0, 0, 27, 12}, {24, 15})}, 1},
      {"a control without text", {At(Ctl::滑块条色调, {0, 0, 2, 2})}, 0},
      // The combo box lies over the check box's end in the design itself.
      {"an overlap the design has",
       {At(Ctl::选择框关机, {7, 265, 81, 16}), At(Ctl::组合框_关机, {82, 264, 42, 20})}, 0},
      {"an overlap the design lacks",
       {At(Ctl::标签定时, {120, 261, 30, 24}), At(Ctl::组合框_关机, {82, 264, 42, 20})}, 1},
      {"apart in other containers",
       {At(Ctl::标签定时, {120, 261, 30, 24}, {}, {}, 1), At(Ctl::组合框_关机, {82, 264, 42, 20}, {}, {}, 2)},
       0},
  };
  for (const Case& c : cases) EXPECT_EQ(AuditLayout(c.controls).size(), c.faults) << c.what;

  // What the visible part of a control is cut to counts, not its window.
  AuditedControl cut = At(Ctl::透明标签3, {134, 10, 310, 18}, {240, 15});
  cut.visible = Intersection(cut.rect, Rect{0, 0, 300, 133});
  EXPECT_EQ(cut.visible, (Rect{134, 10, 166, 18}));
  EXPECT_EQ(AuditLayout({cut}).size(), 1u);
  EXPECT_EQ(Intersection(Rect{0, 0, 5, 5}, Rect{5, 0, 5, 5}), Rect{});
}

}  // namespace
}  // namespace lumora::e2e
