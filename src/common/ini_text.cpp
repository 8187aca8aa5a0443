#include "common/ini_text.h"

#include <vector>

#include "common/gbk.h"
#include "common/text.h"

namespace lumora {
namespace {

// GBK names: a lead byte (0x81..0xFE) and its trail byte compare exactly, so
// a trail byte that happens to be an ASCII letter is never case folded.
bool NamesEqual(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(a[i]);
    if (IsGbkLeadByte(c) && i + 1 < a.size()) {
      if (a[i] != b[i] || a[i + 1] != b[i + 1]) return false;
      ++i;
    } else if (LowerAscii(a[i]) != LowerAscii(b[i])) {
      return false;
    }
  }
  return true;
}

// One physical line of the file, classified the way the profile functions do.
struct IniLine {
  std::size_t begin = 0, end = 0;  // byte range, without the line break
  enum Kind { kOther, kSection, kKey } kind = kOther;
  std::string_view name;   // section or key name
  std::string_view value;  // key value, trimmed
};

std::vector<IniLine> ParseLines(std::string_view file) {
  std::vector<IniLine> lines;
  std::size_t pos = 0;
  while (pos < file.size()) {
    std::size_t nl = file.find('\n', pos);
    const std::size_t end = nl == std::string_view::npos ? file.size() : nl;
    IniLine line;
    line.begin = pos;
    line.end = end;
    const std::string_view text = Trim(file.substr(pos, end - pos));
    if (!text.empty() && text.front() == '[' && text.find(']', 1) != std::string_view::npos) {
      line.kind = IniLine::kSection;
      line.name = text.substr(1, text.rfind(']') - 1);
    } else if (!text.empty()) {
      line.kind = IniLine::kKey;
      const std::size_t eq = text.find('=');
      line.name = Trim(text.substr(0, eq));
      if (eq != std::string_view::npos) line.value = Trim(text.substr(eq + 1));
    }
    lines.push_back(line);
    pos = nl == std::string_view::npos ? file.size() : nl + 1;
  }
  return lines;
}

// The first section of that name, from its header line up to the next
// header line (or the end of the file); nullopt when there is none. On the
// way only header lines are looked at closely: a settings file of many
// megabytes is read at every lookup, and nothing is built for other lines.
struct Span {
  std::size_t begin, end;
};
std::optional<Span> FindSection(std::string_view file, std::string_view section) {
  std::optional<Span> found;
  std::size_t pos = 0;
  while (pos < file.size()) {
    const std::size_t begin = pos;
    const std::size_t nl = file.find('\n', pos);
    const std::size_t end = nl == std::string_view::npos ? file.size() : nl;
    pos = nl == std::string_view::npos ? file.size() : nl + 1;
    std::size_t first = begin;
    while (first < end && IsAsciiBlank(file[first])) ++first;
    if (first == end || file[first] != '[') continue;
    const std::string_view text = Trim(file.substr(begin, end - begin));
    if (text.find(']', 1) == std::string_view::npos) continue;
    if (found) {
      found->end = begin;
      return found;
    }
    if (NamesEqual(text.substr(1, text.rfind(']') - 1), section)) found = Span{begin, file.size()};
  }
  return found;
}

// The lines of a section, the header first, at their places in the file.
std::vector<IniLine> SectionLines(std::string_view file, Span span) {
  std::vector<IniLine> lines = ParseLines(file.substr(span.begin, span.end - span.begin));
  for (IniLine& line : lines) {
    line.begin += span.begin;
    line.end += span.begin;
  }
  return lines;
}

std::string_view StripQuotes(std::string_view v) {
  if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
    return v.substr(1, v.size() - 2);
  return v;
}

}  // namespace

std::string_view SkipLeadingControls(std::string_view text) {
  while (!text.empty() && static_cast<unsigned char>(text.front()) <= 32) text.remove_prefix(1);
  return text;
}

std::optional<std::string> IniGet(std::string_view file, std::string_view section,
                                  std::string_view key) {
  section = SkipLeadingControls(section);
  key = SkipLeadingControls(key);
  // Like the profile functions, only the first section of that name counts.
  const std::optional<Span> span = FindSection(file, section);
  if (!span) return std::nullopt;
  const auto lines = SectionLines(file, *span);
  for (std::size_t i = 1; i < lines.size(); ++i)
    if (lines[i].kind == IniLine::kKey && NamesEqual(lines[i].name, key))
      return std::string(StripQuotes(lines[i].value));
  return std::nullopt;
}

std::string IniSet(std::string_view file, std::string_view section, std::string_view key,
                   std::string_view value) {
  section = SkipLeadingControls(section);
  key = SkipLeadingControls(key);
  value = value.substr(0, value.find_first_of("\r\n"));
  const std::string entry = std::string(key) + "=" + std::string(value);

  const std::optional<Span> span = FindSection(file, section);
  if (!span) {
    std::string out(file);
    if (!out.empty() && out.back() != '\n') out += "\r\n";
    out += "[" + std::string(section) + "]\r\n" + entry + "\r\n";
    return out;
  }
  const auto lines = SectionLines(file, *span);
  std::size_t last_filled = 0;
  for (std::size_t i = 1; i < lines.size(); ++i) {
    if (lines[i].kind != IniLine::kKey) continue;
    if (NamesEqual(lines[i].name, key)) {
      // Keep the key as the file spells it; only the value changes.
      const std::string kept = std::string(lines[i].name) + "=" + std::string(value);
      const bool had_cr = lines[i].end > lines[i].begin && file[lines[i].end - 1] == '\r';
      return std::string(file.substr(0, lines[i].begin)) + kept + (had_cr ? "\r" : "") +
             std::string(file.substr(lines[i].end));
    }
    last_filled = i;
  }
  // New key: on the line after the section's last non-blank line.
  std::size_t at = lines[last_filled].end;
  std::string out(file.substr(0, at));
  if (at < file.size()) {
    out += '\n';  // the break that ended that line
    ++at;
  } else {
    out += "\r\n";
  }
  out += entry + "\r\n";
  out += file.substr(at);
  return out;
}

}  // namespace lumora
