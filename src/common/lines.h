#pragma once
// Line helpers for the device files: CRLF-separated records held in memory.
#include <string>
#include <string_view>
#include <vector>

namespace lumora {

// Cut at every CRLF. An empty piece between two CRLFs (or before a leading
// CRLF) is kept as an empty line; the empty piece after a final CRLF is
// dropped; an empty text has no lines. A lone CR or LF is ordinary text.
std::vector<std::string> SplitLines(std::string_view text);
// The same rule for any separator (the "+" between the fields of a record).
std::vector<std::string> SplitAt(std::string_view text, std::string_view separator);
// CRLF between two lines, none after the last.
std::string JoinLines(const std::vector<std::string>& lines);

// The 1-based number of a device's record line, 0 when there is none: the
// first line that starts with its MAC text (ASCII letters in either case),
// else the first that contains it and is not another device's record (one
// starting with a MAC text). A name holding a MAC text must not make its
// line that device's record, to be read, overwritten or obeyed as such.
int RecordLineOf(std::string_view text, std::string_view mac);
// Line number n (1-based); empty for 0, negative or beyond the last line.
std::string LineAt(std::string_view text, int n);
// Replaces line n with `line` and joins again; n outside 1..count leaves the text's lines unchanged.
std::string OverwriteLine(std::string_view text, int n, std::string_view line);
// Removes line n when it is between 1 and the number of lines, and joins the rest.
std::string DeleteLine(std::string_view text, int n);

}  // namespace lumora
