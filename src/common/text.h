#pragma once
// Text helpers on UTF-8 strings. Case-insensitive searches fold ASCII letters
// only, which can never split a multi-byte UTF-8 character.
#include <cstddef>
#include <string>
#include <string_view>

namespace lumora {

// The blanks of ASCII text: space, tab, the line ends, vertical tab, form feed.
inline constexpr std::string_view kAsciiBlanks = " \t\r\n\v\f";
inline bool IsAsciiBlank(char c) { return kAsciiBlanks.find(c) != std::string_view::npos; }

// The letter in lower case when it is an ASCII capital; any other byte as it
// is, so that no byte of a multi-byte character changes.
inline char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

// The text without the characters of `blanks` at its start and its end.
std::string_view Trim(std::string_view text, std::string_view blanks = kAsciiBlanks);
// Names and pass phrases typed into the window lose only the spaces around
// them; a tab or a line end stays part of the value.
std::string TrimSpaces(std::string_view text);

// Position of the first occurrence of needle at or after `from`, ASCII case
// folded; std::string_view::npos when absent. An empty needle is found at `from`
// (when from <= text.size()).
std::size_t FindNoCase(std::string_view text, std::string_view needle, std::size_t from = 0);
bool ContainsNoCase(std::string_view text, std::string_view needle);
bool EqualsNoCase(std::string_view a, std::string_view b);

// The text strictly between the first `open` marker and the first `close`
// marker at or after the end of it, both found case-insensitively; empty when
// either marker is missing.
std::string TextBetween(std::string_view text, std::string_view open, std::string_view close);

// Length (1 to 4) of the well-formed UTF-8 character starting at text[pos]; 0
// when the bytes there are not one (stray continuation byte, overlong form,
// surrogate, above U+10FFFF, cut short, or pos at/after the end). Lets the
// code page converters replace exactly one bad character or byte with "?".
std::size_t Utf8CharLength(std::string_view text, std::size_t pos);

}  // namespace lumora
