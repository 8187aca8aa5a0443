#include "common/ini_text.h"

#include <vector>

#include "common/gbk.h"

namespace lumora {
namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

char FoldAscii(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

// GBK names: a lead byte (0x81..0xFE) and its trail byte compare exactly, so
// a trail byte that happens to be an ASCII letter is never case folded.
bool NamesEqual(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(a[i]);
    if (IsGbkLeadByte(c) && i + 1 < a.size()) {
      if (a[i] != b[i] || a[i + 1] != b[i + 1]) return false;
      ++i;
    } else if (FoldAscii(a[i]) != FoldAscii(b[i])) {
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

// Index of the first section line with this name, or lines.size().
std::size_t FindSection(const std::vector<IniLine>& lines, std::string_view section) {
  for (std::size_t i = 0; i < lines.size(); ++i)
    if (lines[i].kind == IniLine::kSection && NamesEqual(lines[i].name, section)) return i;
  return lines.size();
}

// Lines after the section header up to the next section: [first, last).
std::size_t SectionEnd(const std::vector<IniLine>& lines, std::size_t header) {
  std::size_t i = header + 1;
  while (i < lines.size() && lines[i].kind != IniLine::kSection) ++i;
  return i;
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
  // One pass, line by line, that looks closely only at section headers and
  // at the lines of the wanted section: a settings file of many megabytes is
  // read at every lookup, so nothing is built for lines that do not matter.
  bool inside = false;
  std::size_t pos = 0;
  while (pos < file.size()) {
    const std::size_t nl = file.find('\n', pos);
    const std::size_t end = nl == std::string_view::npos ? file.size() : nl;
    std::string_view text = file.substr(pos, end - pos);
    pos = nl == std::string_view::npos ? file.size() : nl + 1;
    std::size_t first = 0;
    while (first < text.size() && IsBlank(text[first])) ++first;
    if (first == text.size()) continue;
    if (text[first] == '[') {
      const std::string_view trimmed = Trim(text);
      if (trimmed.find(']', 1) != std::string_view::npos) {
        // Like the profile functions, only the first section of that name counts.
        if (inside) return std::nullopt;
        inside = NamesEqual(trimmed.substr(1, trimmed.rfind(']') - 1), section);
        continue;
      }
    }
    if (!inside) continue;
    text = Trim(text);
    const std::size_t eq = text.find('=');
    if (!NamesEqual(Trim(text.substr(0, eq)), key)) continue;
    if (eq == std::string_view::npos) return std::string();
    return std::string(StripQuotes(Trim(text.substr(eq + 1))));
  }
  return std::nullopt;
}

std::string IniSet(std::string_view file, std::string_view section, std::string_view key,
                   std::string_view value) {
  section = SkipLeadingControls(section);
  key = SkipLeadingControls(key);
  value = value.substr(0, value.find_first_of("\r\n"));
  const auto lines = ParseLines(file);
  const std::string entry = std::string(key) + "=" + std::string(value);

  const std::size_t header = FindSection(lines, section);
  if (header == lines.size()) {
    std::string out(file);
    if (!out.empty() && out.back() != '\n') out += "\r\n";
    out += "[" + std::string(section) + "]\r\n" + entry + "\r\n";
    return out;
  }
  const std::size_t end = SectionEnd(lines, header);
  std::size_t last_filled = header;
  for (std::size_t i = header + 1; i < end; ++i) {
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
