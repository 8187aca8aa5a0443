#include "updates/html_layout.h"

#include <algorithm>
#include <cstdint>
#include <unordered_map>

#include "common/text.h"

namespace lumora {
namespace {

// Ideographs, kana, hangul and their punctuation: a line may break on either
// side of each. Everything from U+2E80 on is near enough.
bool BreaksAround(std::string_view text, std::size_t pos, std::size_t length) {
  if (length < 3) return false;
  const auto lead = static_cast<unsigned char>(text[pos]);
  const auto next = static_cast<unsigned char>(text[pos + 1]);
  return lead > 0xE2 || (lead == 0xE2 && next >= 0xBA);
}

std::size_t CharLength(std::string_view text, std::size_t pos) {
  return std::max<std::size_t>(1, Utf8CharLength(text, pos));
}

class LineBuilder {
 public:
  LineBuilder(const HtmlDocument& document, int width, HtmlMeasure& measure)
      : doc_(document), width_(std::max(width, 1)), measure_(measure) {}

  void HardBreak(int run) {
    if (line_.fragments.empty()) height_ = std::max(height_, Height(run));
    EndLine();
  }

  void Space(int run) {
    if (x_ == 0) return;  // none at the start of a line
    space_run_ = run;
    space_width_ = Width(run, " ");
  }

  // A piece that must not be broken (a word, one ideograph).
  void Word(int run, std::string_view word) {
    const int w = Width(run, word);
    const int space = space_run_ >= 0 ? space_width_ : 0;
    if (x_ > 0 && x_ + space + w > width_) {
      EndLine();
    } else if (space_run_ >= 0) {
      Put(space_run_, " ", space_width_);
    }
    space_run_ = -1;
    if (w <= width_ || word.size() <= 1) {
      Put(run, word, w);
      return;
    }
    // Wider than the view: letter by letter.
    for (std::size_t i = 0; i < word.size();) {
      const std::size_t n = std::min(CharLength(word, i), word.size() - i);
      const std::string_view letter = word.substr(i, n);
      const int lw = Width(run, letter);
      if (x_ > 0 && x_ + lw > width_) EndLine();
      Put(run, letter, lw);
      i += n;
    }
  }

  HtmlLayout Finish() {
    if (!line_.fragments.empty()) EndLine();
    layout_.height = top_;
    return std::move(layout_);
  }

 private:
  const HtmlStyle& Style(int run) const { return doc_.runs[std::size_t(run)].style; }

  // A character's width is measured once a run: a text of ideographs, or a
  // word wider than the view, is laid out a character at a time, and a
  // measure through the system costs far more than a look-up.
  int Width(int run, std::string_view text) {
    if (text.size() > 4) return measure_.TextWidth(Style(run), text);
    std::uint32_t bytes = 0;
    for (char c : text) bytes = bytes << 8 | std::uint8_t(c);
    const std::uint64_t key = std::uint64_t(run) << 35 | std::uint64_t(text.size()) << 32 | bytes;
    const auto [at, added] = widths_.try_emplace(key, 0);
    if (added) at->second = measure_.TextWidth(Style(run), text);
    return at->second;
  }
  int Height(int run) { return measure_.LineHeight(Style(run)); }

  void Put(int run, std::string_view text, int w) {
    if (!line_.fragments.empty() && line_.fragments.back().run == run) {
      line_.fragments.back().text += text;
      line_.fragments.back().width += w;
    } else {
      line_.fragments.push_back({run, std::string(text), x_, w});
    }
    x_ += w;
    height_ = std::max(height_, Height(run));
  }

  void EndLine() {
    line_.top = top_;
    line_.height = height_;
    top_ += height_;
    layout_.lines.push_back(std::move(line_));
    line_ = HtmlLine{};
    x_ = height_ = 0;
    space_run_ = -1;
  }

  const HtmlDocument& doc_;
  const int width_;
  HtmlMeasure& measure_;
  HtmlLayout layout_;
  HtmlLine line_{};
  int x_ = 0, top_ = 0, height_ = 0;
  int space_run_ = -1, space_width_ = 0;  // a blank waiting for the next word
  std::unordered_map<std::uint64_t, int> widths_;  // by run and character
};

}  // namespace

HtmlLayout LayoutHtml(const HtmlDocument& document, int width, HtmlMeasure& measure) {
  LineBuilder lines(document, width, measure);
  for (std::size_t r = 0; r < document.runs.size(); ++r) {
    const int run = int(r);
    const std::string_view text = document.runs[r].text;
    std::size_t word = 0;  // start of the word being gathered
    for (std::size_t i = 0; i < text.size();) {
      const char c = text[i];
      const std::size_t n = std::min(CharLength(text, i), text.size() - i);
      const bool alone = BreaksAround(text, i, n);
      if (c == '\n' || c == ' ' || alone) {
        if (i > word) lines.Word(run, text.substr(word, i - word));
        if (c == '\n') lines.HardBreak(run);
        else if (c == ' ') lines.Space(run);
        else lines.Word(run, text.substr(i, n));
        word = i + n;
      }
      i += n;
    }
    if (word < text.size()) lines.Word(run, text.substr(word));
  }
  return lines.Finish();
}

int HtmlLayout::LinkAt(const HtmlDocument& document, int x, int y) const {
  for (const HtmlLine& line : lines) {
    if (y < line.top || y >= line.top + line.height) continue;
    for (const HtmlFragment& f : line.fragments)
      if (x >= f.x && x < f.x + f.width) return document.runs[std::size_t(f.run)].link;
  }
  return -1;
}

}  // namespace lumora
