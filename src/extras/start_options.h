#pragma once
// The two start options: the program started with Windows (a value under the
// machine-wide Run key) and the hotspot opened as soon as the program runs.
#include <string>
#include <string_view>

namespace lumora {

// HKEY_LOCAL_MACHINE, the key and the value's name.
inline constexpr char kRunKeyPath[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr char kRunValueName[] = "tovkwifiqd";

// The Run value's data for the program at `program_path`: the path as it is,
// or in double quotes when it holds a space, so that Windows starts this
// program and not "C:\Program" with arguments.
std::string RunValueData(std::string_view program_path);

}  // namespace lumora
