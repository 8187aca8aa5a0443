#pragma once
// Whole files that several threads read and rewrite (the settings file, the
// device lists, the name book). Every read and every read-change-write of a
// path runs under that path's one lock in the process, whoever asks, so two
// changes of different records never lose one of them.
#include <functional>
#include <optional>
#include <string>

#include "common/file_store.h"

namespace lumora {

// The file's bytes; a missing file is empty, one that exists but cannot be
// read is nullopt.
std::optional<std::string> LockedRead(FileStore& files, const std::string& path);

// Reads, changes and writes the file. `change` gets the bytes and returns the
// new bytes, or nullopt to leave the file alone (kUnchanged). A file that
// exists but cannot be read is never replaced (kFailed), nor is one whose
// replacement fails (a full disk, a lock): it keeps its bytes.
enum class FileUpdate { kWritten, kUnchanged, kFailed };
using FileChange = std::function<std::optional<std::string>(const std::string&)>;
FileUpdate LockedUpdate(FileStore& files, const std::string& path, const FileChange& change);

}  // namespace lumora
