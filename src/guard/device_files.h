#pragma once
// The device files beside the settings file: GBK text, CRLF line ends,
// records of MAC text, "+", name. The client scan, the white list pass and
// the window thread all read and rewrite them, each through LockedRead and
// LockedUpdate (common/locked_file.h).
//
// The helpers work on the file's own GBK bytes: a line is found by its MAC
// text (ASCII), only the line that changes is converted, and every other
// line is written back byte for byte.
#include <string>
#include <string_view>

#include "common/locked_file.h"

namespace lumora {

inline constexpr char kBlackListPath[] = "c:\\wifiblack.txt";
inline constexpr char kWhiteListPath[] = "c:\\wifiwhite.txt";
inline constexpr char kNameBookPath[] = "c:\\wifiname.txt";

// The whole file, with an unreadable file as empty text.
std::string DeviceFileText(FileStore& files, const std::string& path);

// True when the list file's text holds the device's record (RecordLineOf):
// a record whose name merely mentions the MAC text is another device's.
bool IsListed(std::string_view list, std::string_view mac);

// List files end every record with CRLF, the last one too.
std::string WithFinalCrLf(std::string text);

}  // namespace lumora
