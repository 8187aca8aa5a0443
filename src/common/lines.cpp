#include "common/lines.h"

#include <cctype>
#include <cstddef>
#include <utility>

#include "common/text.h"

namespace lumora {
namespace {

constexpr std::string_view kCrLf = "\r\n";

bool InRange(int n, std::size_t count) {
  return n >= 1 && static_cast<std::size_t>(n) <= count;
}

// "00-1A-2B-3C-4D-5E" at the start of the line, either case.
bool StartsWithMacText(std::string_view line) {
  if (line.size() < 17) return false;
  for (std::size_t i = 0; i < 17; ++i) {
    const char c = line[i];
    const bool ok = i % 3 == 2 ? c == '-' : std::isxdigit(static_cast<unsigned char>(c)) != 0;
    if (!ok) return false;
  }
  return true;
}

}  // namespace

std::vector<std::string> SplitAt(std::string_view text, std::string_view separator) {
  std::vector<std::string> pieces;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find(separator, start);
    if (end == std::string_view::npos) {
      pieces.emplace_back(text.substr(start));
      break;
    }
    pieces.emplace_back(text.substr(start, end - start));
    start = end + separator.size();
  }
  return pieces;
}

std::vector<std::string> SplitLines(std::string_view text) { return SplitAt(text, kCrLf); }

std::string JoinLines(const std::vector<std::string>& lines) {
  std::string text;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i > 0) text += kCrLf;
    text += lines[i];
  }
  return text;
}

int RecordLineOf(std::string_view text, std::string_view mac) {
  // Every line "contains" the empty text; answering line 1 would let a caller
  // with a missing key overwrite or delete an unrelated record.
  if (mac.empty()) return 0;
  const std::vector<std::string> lines = SplitLines(text);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (EqualsNoCase(std::string_view(lines[i]).substr(0, mac.size()), mac)) return static_cast<int>(i + 1);
  }
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (!StartsWithMacText(lines[i]) && ContainsNoCase(lines[i], mac)) return static_cast<int>(i + 1);
  }
  return 0;
}

std::string LineAt(std::string_view text, int n) {
  std::vector<std::string> lines = SplitLines(text);
  if (!InRange(n, lines.size())) return {};
  return std::move(lines[static_cast<std::size_t>(n) - 1]);
}

std::string OverwriteLine(std::string_view text, int n, std::string_view line) {
  std::vector<std::string> lines = SplitLines(text);
  if (InRange(n, lines.size())) lines[static_cast<std::size_t>(n) - 1] = std::string(line);
  return JoinLines(lines);
}

std::string DeleteLine(std::string_view text, int n) {
  std::vector<std::string> lines = SplitLines(text);
  if (InRange(n, lines.size())) lines.erase(lines.begin() + (n - 1));
  return JoinLines(lines);
}

}  // namespace lumora
