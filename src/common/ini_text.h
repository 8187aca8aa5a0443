#pragma once
// Reading and editing INI text the way the Windows profile functions read and
// write it, so that the settings file stays interchangeable with them. Works
// on the raw GBK bytes of the file: lines that are not touched are written
// back byte for byte.
#include <optional>
#include <string>
#include <string_view>

namespace lumora {

// Value of section/key, or nothing when the section or the key is absent. A
// key that stands with an empty value (or without "=") gives an empty value.
// Names match case-insensitively (ASCII letters; GBK double-byte characters
// exactly); blanks around names and values are ignored; a value wrapped in a
// matching pair of quotes loses them.
std::optional<std::string> IniGet(std::string_view file, std::string_view section,
                                  std::string_view key);

// The file text with section/key set to value: the first such key is
// rewritten in place, a missing key is added at the end of its section, a
// missing section is appended. Values are cut at the first CR or LF, which
// would otherwise start a new line and so a new key.
std::string IniSet(std::string_view file, std::string_view section, std::string_view key,
                   std::string_view value);

// Names are used after skipping leading characters with codes up to 32.
std::string_view SkipLeadingControls(std::string_view text);

}  // namespace lumora
