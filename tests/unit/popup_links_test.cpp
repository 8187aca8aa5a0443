// The bar's popup markup as the window reads it.
#include <gtest/gtest.h>

#include "traffic/bar_rules.h"
#include "traffic/popup_links.h"

namespace lumora {
namespace {

std::string Lines(const std::vector<PopupLink>& links) {
  std::string out;
  for (const PopupLink& l : links)
    out += l.msg + ":" + l.text + "@" + std::to_string(l.points) + ";";
  return out;
}

TEST(PopupLinks, Markup) {
  struct Case {
    const char* markup;
    const char* lines;
  } cases[] = {
      {bar_text::kPopupMarkup, "m7:显示主界面@10;m8:隐藏流量条@10;m9:退出WiFi@10;"},
      {"<a msg=x>plain</a>", "x:plain@9;"},
      {"<a msg=\"q 1\"><font size='12pt'>Q</font></a>after<a msg=r>R</a>", "q 1:Q@12;r:R@9;"},
      // Text outside a link, a link without msg, a cut-off tag.
      {"head<a href=1>none</a><a msg=k>K</a><a msg=z>Z", "k:K@9;z:Z@9;"},
      {"<a msg=k>K</a><font size=abc>", "k:K@9;"},
      {"", ""},
      {"<a msg=y>Y<", "y:Y@9;"},
  };
  for (const Case& c : cases) EXPECT_EQ(Lines(ParsePopupLinks(c.markup)), c.lines) << c.markup;
}

}  // namespace
}  // namespace lumora
