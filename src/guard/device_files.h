#pragma once
// The device files beside the settings file: GBK text, CRLF line ends,
// records of MAC text, "+", name. The client scan, the white list pass and
// the window thread all read and rewrite them; each file's read-change-write
// runs under one lock of the process, and the file is replaced whole.
//
// The helpers work on the file's own GBK bytes: a line is found by its MAC
// text (ASCII), only the line that changes is converted, and every other
// line is written back byte for byte.
#include <functional>
#include <optional>
#include <string>

#include "common/file_store.h"

namespace lumora {

inline constexpr char kBlackListPath[] = "c:\\wifiblack.txt";
inline constexpr char kWhiteListPath[] = "c:\\wifiwhite.txt";
inline constexpr char kNameBookPath[] = "c:\\wifiname.txt";

// The whole file as GBK bytes under its lock; a missing file is empty, an
// unreadable one is nullopt.
std::optional<std::string> ReadDeviceFile(FileStore& files, const std::string& path);
// The same, with an unreadable file as empty text.
std::string DeviceFileText(FileStore& files, const std::string& path);

// Read, change and write under the file's lock. `change` gets the bytes and
// returns the new bytes, or nullopt to leave the file alone (kUnchanged). A
// file that exists but cannot be read is never replaced (kFailed), nor is
// one whose replacement fails (a full disk, a lock): it keeps its bytes.
enum class FileUpdate { kWritten, kUnchanged, kFailed };
FileUpdate UpdateDeviceFile(FileStore& files, const std::string& path,
                            const std::function<std::optional<std::string>(const std::string&)>& change);

// List files end every record with CRLF, the last one too.
std::string WithFinalCrLf(std::string text);

}  // namespace lumora
