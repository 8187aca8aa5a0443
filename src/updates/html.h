#pragma once
// A small read-only HTML model for the help page and the notice banner: the
// markup becomes runs of text, each with one style and at most one link. It
// knows text, line breaks and paragraphs, bold, italic, underline, font colour
// and size, links and the common entities; every other tag is dropped with
// its markup, and scripts and style sheets are dropped with their content
// (nothing ever runs). Any input, however broken, gives a document.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "ui/window_port.h"

namespace lumora {

// HTML font sizes 1 to 7; the view draws them at 8, 10, 12, 14, 18, 24 and 36
// points.
inline constexpr int kHtmlDefaultSize = 3;
inline constexpr int kHtmlMinSize = 1, kHtmlMaxSize = 7;

struct HtmlStyle {
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool has_colour = false;  // false: the view's own text colour
  Colour colour;
  int size = kHtmlDefaultSize;
  friend bool operator==(const HtmlStyle& a, const HtmlStyle& b) {
    return a.bold == b.bold && a.italic == b.italic && a.underline == b.underline &&
           a.has_colour == b.has_colour && (!a.has_colour || a.colour == b.colour) &&
           a.size == b.size;
  }
};

struct HtmlRun {
  std::string text;  // UTF-8; "\n" is a line break (two in a row end a paragraph)
  HtmlStyle style;
  int link = -1;     // index into HtmlDocument::links, -1 for plain text
};

struct HtmlDocument {
  std::vector<HtmlRun> runs;
  // The targets of the links as written (entities decoded, blanks trimmed).
  // They come from the network: open them only through OpenWebAddress.
  std::vector<std::string> links;

  // Every run's text, joined.
  std::string PlainText() const;
};

// Never fails. Nesting deeper than a few hundred elements keeps the
// innermost style that fitted.
HtmlDocument ParseHtml(std::string_view utf8);

// "#rrggbb", "#rgb" or one of the sixteen basic colour names; false otherwise.
bool ParseHtmlColour(std::string_view text, Colour& colour);

// Shows a document in one of the program's HTML views (简单超文本框1, the
// banner 超文本浏览框1). Called from workers as well: the Windows side carries
// the call to the window thread, keeps its own copy of the document and lays
// it out with LayoutHtml (html_layout.h). A click on a run with a link comes
// back as a kClick event of that control whose value is the run's link index.
class HtmlViewPort {
 public:
  virtual ~HtmlViewPort() = default;
  virtual void ShowHtml(Ctl view, const HtmlDocument& document) = 0;
};

}  // namespace lumora
