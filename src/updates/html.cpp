#include "updates/html.h"

#include <algorithm>
#include <cstdint>

#include "common/text.h"

namespace lumora {
namespace {

// Deeper nesting than this only comes from hostile or broken markup.
constexpr std::size_t kMaxDepth = 256;
constexpr char kReplacement[] = "\xEF\xBF\xBD";  // U+FFFD

// HTML's own blanks: no vertical tab.
constexpr std::string_view kHtmlBlanks = " \t\n\r\f";
bool IsSpace(char c) { return kHtmlBlanks.find(c) != std::string_view::npos; }
bool IsAlpha(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int HexValue(char c) {
  if (IsDigit(c)) return c - '0';
  c = LowerAscii(c);
  return (c >= 'a' && c <= 'f') ? c - 'a' + 10 : -1;
}

void AppendUtf8(std::string& out, std::uint32_t cp) {
  if (cp < 0x80) {
    out += char(cp);
  } else if (cp < 0x800) {
    out += char(0xC0 | (cp >> 6));
    out += char(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += char(0xE0 | (cp >> 12));
    out += char(0x80 | ((cp >> 6) & 0x3F));
    out += char(0x80 | (cp & 0x3F));
  } else {
    out += char(0xF0 | (cp >> 18));
    out += char(0x80 | ((cp >> 12) & 0x3F));
    out += char(0x80 | ((cp >> 6) & 0x3F));
    out += char(0x80 | (cp & 0x3F));
  }
}

struct NamedEntity {
  const char* name;
  std::uint32_t cp;
};
constexpr NamedEntity kEntities[] = {
    {"amp", '&'},     {"lt", '<'},        {"gt", '>'},        {"quot", '"'},     {"apos", '\''},
    {"nbsp", 0xA0},   {"copy", 0xA9},     {"reg", 0xAE},      {"trade", 0x2122}, {"middot", 0xB7},
    {"bull", 0x2022}, {"hellip", 0x2026}, {"mdash", 0x2014},  {"ndash", 0x2013}, {"laquo", 0xAB},
    {"raquo", 0xBB},  {"ldquo", 0x201C},  {"rdquo", 0x201D},  {"lsquo", 0x2018}, {"rsquo", 0x2019},
    {"times", 0xD7},  {"yen", 0xA5},      {"deg", 0xB0},
};

// The character reference at text[at] ('&'), as a code point; `next` is the
// position after it. False when there is none there: the '&' is then text.
// Out-of-range and forbidden numbers give U+FFFD, as browsers do.
bool DecodeEntity(std::string_view text, std::size_t at, std::uint32_t& cp, std::size_t& next) {
  std::size_t i = at + 1;
  if (i < text.size() && text[i] == '#') {
    ++i;
    const bool hex = i < text.size() && LowerAscii(text[i]) == 'x';
    if (hex) ++i;
    std::uint32_t value = 0;
    bool overflow = false;
    const std::size_t digits_from = i;
    for (; i < text.size(); ++i) {
      const int d = hex ? HexValue(text[i]) : (IsDigit(text[i]) ? text[i] - '0' : -1);
      if (d < 0) break;
      if (value > 0x10FFFF) overflow = true;  // keeps eating digits, never wraps
      else value = value * (hex ? 16 : 10) + std::uint32_t(d);
    }
    if (i == digits_from) return false;
    if (i < text.size() && text[i] == ';') ++i;
    if (overflow || value > 0x10FFFF || value == 0 || (value >= 0xD800 && value <= 0xDFFF))
      value = 0xFFFD;
    cp = value;
    next = i;
    return true;
  }
  std::size_t end = i;
  while (end < text.size() && end - i < 10 && (IsAlpha(text[end]) || IsDigit(text[end]))) ++end;
  if (end == i || end >= text.size() || text[end] != ';') return false;
  const std::string_view name = text.substr(i, end - i);
  for (const NamedEntity& e : kEntities)
    if (name == e.name) {  // entity names are case-sensitive
      cp = e.cp;
      next = end + 1;
      return true;
    }
  return false;
}

std::string DecodeAttribute(std::string_view raw) {
  std::string out;
  for (std::size_t i = 0; i < raw.size();) {
    std::uint32_t cp;
    std::size_t next;
    if (raw[i] == '&' && DecodeEntity(raw, i, cp, next)) {
      AppendUtf8(out, cp);
      i = next;
    } else {
      out += raw[i++];
    }
  }
  return out;
}

struct Attribute {
  std::string name;  // lower case
  std::string value;
};

struct Tag {
  std::string name;  // lower case
  bool closing = false;
  std::vector<Attribute> attributes;

  const std::string* Find(std::string_view attribute) const {
    for (const Attribute& a : attributes)
      if (a.name == attribute) return &a.value;
    return nullptr;
  }
};

// Reads the tag that starts at html[at] ('<' followed by a letter, or "</"
// and a letter). False when the input ends inside it.
bool ReadTag(std::string_view html, std::size_t at, Tag& tag, std::size_t& next) {
  std::size_t i = at + 1;
  if (html[i] == '/') {
    tag.closing = true;
    ++i;
  }
  while (i < html.size() && !IsSpace(html[i]) && html[i] != '>' && html[i] != '/') {
    if (tag.name.size() < 16) tag.name += LowerAscii(html[i]);
    ++i;
  }
  while (i < html.size()) {
    while (i < html.size() && (IsSpace(html[i]) || html[i] == '/')) ++i;
    if (i >= html.size()) return false;
    if (html[i] == '>') {
      next = i + 1;
      return true;
    }
    Attribute a;
    while (i < html.size() && !IsSpace(html[i]) && html[i] != '=' && html[i] != '>' &&
           html[i] != '/') {
      if (a.name.size() < 32) a.name += LowerAscii(html[i]);
      ++i;
    }
    while (i < html.size() && IsSpace(html[i])) ++i;
    if (i < html.size() && html[i] == '=') {
      ++i;
      while (i < html.size() && IsSpace(html[i])) ++i;
      if (i >= html.size()) return false;
      if (html[i] == '"' || html[i] == '\'') {
        const std::size_t close = html.find(html[i], i + 1);
        if (close == std::string_view::npos) return false;
        a.value = DecodeAttribute(html.substr(i + 1, close - i - 1));
        i = close + 1;
      } else {
        const std::size_t from = i;
        while (i < html.size() && !IsSpace(html[i]) && html[i] != '>') ++i;
        a.value = DecodeAttribute(html.substr(from, i - from));
      }
    }
    if (tag.attributes.size() < 16) tag.attributes.push_back(std::move(a));
  }
  return false;
}

bool OneOf(const std::string& name, std::initializer_list<const char*> names) {
  for (const char* n : names)
    if (name == n) return true;
  return false;
}

// Elements whose content is never shown.
bool DropsContent(const std::string& name) {
  return OneOf(name, {"script", "style", "title", "iframe", "noembed", "noframes", "template",
                      "object", "applet", "svg", "math"});
}

// Blocks and how many line ends separate them from their neighbours.
int BlockBreaks(const std::string& name) {
  if (OneOf(name, {"p", "h1", "h2", "h3", "h4", "h5", "h6", "ul", "ol", "dl", "blockquote",
                   "table", "pre"}))
    return 2;
  if (OneOf(name, {"div", "li", "tr", "hr", "dt", "dd", "center", "section", "article", "header",
                   "footer", "nav", "address", "form", "body", "html"}))
    return 1;
  return 0;
}

// "5", "+1", "-2": HTML font sizes, relative ones from the default.
bool ParseFontSize(std::string_view text, int& size) {
  const std::string_view t = Trim(text, kHtmlBlanks);
  if (t.empty()) return false;
  int sign = 0;
  std::size_t i = 0;
  if (t[0] == '+' || t[0] == '-') {
    sign = t[0] == '+' ? 1 : -1;
    ++i;
  }
  if (i >= t.size() || !IsDigit(t[i])) return false;
  int value = 0;
  for (; i < t.size() && IsDigit(t[i]); ++i) value = std::min(value * 10 + (t[i] - '0'), 100);
  if (sign != 0) value = kHtmlDefaultSize + sign * value;
  size = std::clamp(value, kHtmlMinSize, kHtmlMaxSize);
  return true;
}

// What one open element changes; the style in effect is all of them applied
// in order, so that closing an element out of order ("<font><b>x</font>y")
// ends only what that element set.
struct Effect {
  std::string name;
  bool bold = false, italic = false, underline = false;
  bool has_colour = false;
  Colour colour;
  int size = 0;  // 0: unchanged
  int link = -1;

  void ApplyTo(HtmlStyle& style, int& current_link) const {
    style.bold |= bold;
    style.italic |= italic;
    style.underline |= underline;
    if (has_colour) {
      style.has_colour = true;
      style.colour = colour;
    }
    if (size) style.size = size;
    if (link >= 0) current_link = link;
  }
};

class Builder {
 public:
  HtmlDocument Finish() { return std::move(doc_); }

  // Source text: runs of blanks and line ends fold into one blank, and none
  // is kept at the start of a line.
  void SourceText(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
      if (IsSpace(text[i])) {
        Space();
        ++i;
        continue;
      }
      const std::size_t n = Utf8CharLength(text, i);
      if (n == 0) {
        Literal(kReplacement);
        ++i;
      } else {
        Literal(text.substr(i, n));
        i += n;
      }
    }
  }

  // Text that is shown as it is (a decoded reference).
  void Literal(std::string_view text) {
    FlushBreaks();
    if (space_ && !line_start_) Emit(" ", space_style_, space_link_);
    space_ = false;
    Emit(text, style_, link_);
    line_start_ = false;
  }

  // A blank keeps the style of where it stands: "go <a>here</a>" does not
  // underline it.
  void Space() {
    if (space_) return;
    space_ = true;
    space_style_ = style_;
    space_link_ = link_;
  }

  // <br>: one line end, never folded.
  void LineBreak() {
    FlushBreaks();
    Emit("\n", style_, link_);
    line_start_ = true;
    space_ = false;
  }

  // A block boundary: at least `n` line ends before the next text, none at
  // the start of the document or before its end.
  void Block(int n) {
    breaks_ = std::max(breaks_, n);
    space_ = false;
  }

  bool Full() const { return open_.size() >= kMaxDepth; }

  void Open(Effect effect) {
    if (Full()) return;
    effect.ApplyTo(style_, link_);
    open_.push_back(std::move(effect));
  }

  // The innermost open element of that name ends; one of no open element
  // is ignored.
  void Close(const std::string& name) {
    for (std::size_t k = open_.size(); k-- > 0;)
      if (open_[k].name == name) {
        open_.erase(open_.begin() + std::ptrdiff_t(k));
        style_ = HtmlStyle{};
        link_ = -1;
        for (const Effect& e : open_) e.ApplyTo(style_, link_);
        return;
      }
  }

  int AddLink(std::string target) {
    doc_.links.push_back(std::move(target));
    return int(doc_.links.size()) - 1;
  }

 private:
  int TrailingLineEnds() const {
    int count = 0;
    for (auto run = doc_.runs.rbegin(); run != doc_.runs.rend(); ++run)
      for (auto c = run->text.rbegin(); c != run->text.rend(); ++c) {
        if (*c != '\n') return count;
        ++count;
      }
    return count;
  }

  void FlushBreaks() {
    if (breaks_ > 0 && !doc_.runs.empty()) {
      for (int k = TrailingLineEnds(); k < breaks_; ++k) Emit("\n", style_, link_);
      line_start_ = true;
    }
    breaks_ = 0;
  }

  void Emit(std::string_view text, const HtmlStyle& style, int link) {
    if (doc_.runs.empty() || !(doc_.runs.back().style == style) || doc_.runs.back().link != link)
      doc_.runs.push_back({std::string(), style, link});
    doc_.runs.back().text += text;
  }

  HtmlDocument doc_;
  std::vector<Effect> open_;
  HtmlStyle style_;
  int link_ = -1;
  int breaks_ = 0;
  bool space_ = false;
  HtmlStyle space_style_;
  int space_link_ = -1;
  bool line_start_ = true;
};

void StartElement(Builder& b, const Tag& tag) {
  const std::string& name = tag.name;
  if (name == "br") {
    b.LineBreak();
    return;
  }
  if (const int n = BlockBreaks(name)) b.Block(n);
  if (name == "td" || name == "th") b.Space();
  if (name == "li") b.Literal("\xE2\x80\xA2 ");  // "• "

  if (b.Full()) return;
  Effect e;
  e.name = name;
  if (name == "b" || name == "strong") {
    e.bold = true;
  } else if (name == "i" || name == "em") {
    e.italic = true;
  } else if (name == "u") {
    e.underline = true;
  } else if (name.size() == 2 && name[0] == 'h' && name[1] >= '1' && name[1] <= '6') {
    e.bold = true;
    e.size = 7 - (name[1] - '0');  // h1 is size 6 ... h6 size 1
  } else if (name == "font") {
    if (const std::string* colour = tag.Find("color"))
      e.has_colour = ParseHtmlColour(*colour, e.colour);
    if (const std::string* size = tag.Find("size")) ParseFontSize(*size, e.size);
  } else if (name == "a") {
    if (const std::string* href = tag.Find("href"))
      e.link = b.AddLink(std::string(Trim(*href, kHtmlBlanks)));
  } else {
    return;
  }
  b.Open(std::move(e));
}

void EndElement(Builder& b, const Tag& tag) {
  if (tag.name == "br") {  // "</br>" is a line break in every browser
    b.LineBreak();
    return;
  }
  b.Close(tag.name);
  if (const int n = BlockBreaks(tag.name)) b.Block(n);
  if (tag.name == "td" || tag.name == "th") b.Space();
}

// The end of an element whose content is dropped: "</name" followed by a
// blank, '/' or '>'; npos when it never comes.
std::size_t SkipDroppedContent(std::string_view html, std::size_t from, const std::string& name) {
  const std::string closing = "</" + name;
  for (std::size_t at = FindNoCase(html, closing, from); at != std::string_view::npos;
       at = FindNoCase(html, closing, at + 1)) {
    const std::size_t after = at + closing.size();
    if (after < html.size() && !IsSpace(html[after]) && html[after] != '/' && html[after] != '>')
      continue;
    const std::size_t end = html.find('>', after);
    return end == std::string_view::npos ? std::string_view::npos : end + 1;
  }
  return std::string_view::npos;
}

// The character reference at html[at] ('&') goes into the document; the
// position after it. An '&' that starts none is text.
std::size_t CharacterReference(Builder& b, std::string_view html, std::size_t at) {
  std::uint32_t cp;
  std::size_t next;
  if (!DecodeEntity(html, at, cp, next)) {
    b.Literal("&");
    return at + 1;
  }
  if (cp == ' ' || cp == '\t' || cp == '\n' || cp == '\r' || cp == '\f') {
    b.Space();
  } else if (cp == 0xA0) {
    b.Literal(" ");  // a blank that does not fold
  } else if (cp >= 0x20 && cp != 0x7F) {
    std::string s;
    AppendUtf8(s, cp);
    b.Literal(s);
  }
  return next;
}

// The markup at html[at] ('<'): a tag, a comment, a declaration, or a '<'
// that is text. The position after it; the input's end when the input ends
// inside it.
std::size_t Markup(Builder& b, std::string_view html, std::size_t at) {
  const char n1 = at + 1 < html.size() ? html[at + 1] : '\0';
  const char n2 = at + 2 < html.size() ? html[at + 2] : '\0';
  if (IsAlpha(n1) || (n1 == '/' && IsAlpha(n2))) {
    Tag tag;
    std::size_t next;
    if (!ReadTag(html, at, tag, next)) return html.size();
    if (tag.closing) {
      EndElement(b, tag);
    } else if (DropsContent(tag.name)) {
      next = std::min(SkipDroppedContent(html, next, tag.name), html.size());
    } else {
      StartElement(b, tag);
    }
    return next;
  }
  if (html.substr(at, 4) == "<!--") {
    const std::size_t end = html.find("-->", at + 4);
    return end == std::string_view::npos ? html.size() : end + 3;
  }
  if (n1 == '!' || n1 == '?' || n1 == '/') {
    // <!DOCTYPE ...>, <?xml ...?>, "</ >": markup that says nothing here.
    const std::size_t end = html.find('>', at + 1);
    return end == std::string_view::npos ? html.size() : end + 1;
  }
  b.Literal("<");
  return at + 1;
}

}  // namespace

bool ParseHtmlColour(std::string_view text, Colour& colour) {
  const std::string_view t = Trim(text, kHtmlBlanks);
  std::string_view hex = t;
  if (!hex.empty() && hex[0] == '#') hex.remove_prefix(1);
  const bool all_hex = (hex.size() == 6 || hex.size() == 3) &&
                       std::all_of(hex.begin(), hex.end(), [](char c) { return HexValue(c) >= 0; });
  if (all_hex && (hex.size() == 6 || t[0] == '#')) {
    const auto channel = [&](int k) {
      if (hex.size() == 3) return (unsigned char)(HexValue(hex[k]) * 17);
      return (unsigned char)(HexValue(hex[2 * k]) * 16 + HexValue(hex[2 * k + 1]));
    };
    colour = {channel(0), channel(1), channel(2)};
    return true;
  }
  struct Named {
    const char* name;
    Colour colour;
  };
  static constexpr Named kNames[] = {
      {"black", {0, 0, 0}},       {"white", {255, 255, 255}}, {"red", {255, 0, 0}},
      {"green", {0, 128, 0}},     {"blue", {0, 0, 255}},      {"yellow", {255, 255, 0}},
      {"gray", {128, 128, 128}},  {"grey", {128, 128, 128}},  {"silver", {192, 192, 192}},
      {"maroon", {128, 0, 0}},    {"purple", {128, 0, 128}},  {"fuchsia", {255, 0, 255}},
      {"lime", {0, 255, 0}},      {"olive", {128, 128, 0}},   {"navy", {0, 0, 128}},
      {"teal", {0, 128, 128}},    {"aqua", {0, 255, 255}},    {"orange", {255, 165, 0}},
  };
  for (const Named& n : kNames)
    if (EqualsNoCase(t, n.name)) {
      colour = n.colour;
      return true;
    }
  return false;
}

std::string HtmlDocument::PlainText() const {
  std::string text;
  for (const HtmlRun& run : runs) text += run.text;
  return text;
}

HtmlDocument ParseHtml(std::string_view html) {
  Builder b;
  std::size_t i = 0;
  while (i < html.size()) {
    if (html[i] == '&') {
      i = CharacterReference(b, html, i);
    } else if (html[i] == '<') {
      i = Markup(b, html, i);
    } else {
      const std::size_t end = std::min(html.find_first_of("<&", i), html.size());
      b.SourceText(html.substr(i, end - i));
      i = end;
    }
  }
  return b.Finish();
}

}  // namespace lumora
