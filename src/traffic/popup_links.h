#pragma once
// The bar's context popup is given as link markup: one line per
// <a msg=...>, each with an optional <font size=..pt>. The window draws the
// lines it reads from it and reports a line's msg value when it is clicked.
#include <string>
#include <string_view>
#include <vector>

namespace lumora {

struct PopupLink {
  std::string msg;   // reported when the line is clicked
  std::string text;  // what the line shows, tags and outer blanks removed
  int points = 9;    // the font size, in points
};

// The links of `markup` in their order. Text outside a link is not shown;
// a link without a msg value is skipped.
std::vector<PopupLink> ParsePopupLinks(std::string_view markup);

}  // namespace lumora
