#pragma once
// Lines of an HTML document laid out for a view of a given width: where each
// piece of text goes, and which link lies under a point. The view measures
// text in its own fonts; everything else is decided here.
#include <string>
#include <string_view>
#include <vector>

#include "updates/html.h"

namespace lumora {

class HtmlMeasure {
 public:
  virtual ~HtmlMeasure() = default;
  // Pixels, in the font of `style`.
  virtual int TextWidth(const HtmlStyle& style, std::string_view utf8) = 0;
  virtual int LineHeight(const HtmlStyle& style) = 0;
};

struct HtmlFragment {
  int run;           // index into HtmlDocument::runs: its style and link
  std::string text;  // no line ends
  int x, width;
};

struct HtmlLine {
  int top, height;
  std::vector<HtmlFragment> fragments;
};

struct HtmlLayout {
  std::vector<HtmlLine> lines;
  int height = 0;  // of all lines: more than the view's means a scroll bar
  // The link under (x, y), relative to the top of the document; -1 for none.
  int LinkAt(const HtmlDocument& document, int x, int y) const;
};

// Lines break at "\n", at blanks, and before and after any Chinese, Japanese
// or Korean character; a word wider than the view is broken between letters.
// No line starts or ends with the blank that broke it.
HtmlLayout LayoutHtml(const HtmlDocument& document, int width, HtmlMeasure& measure);

}  // namespace lumora
