#pragma once
// The device name book c:\wifiname.txt: one line MAC text + "+" + name per
// device that was ever listed. A book begun from nothing starts with an
// empty line and has no CRLF after its last record.
#include <string>

#include "common/file_store.h"

namespace lumora {

// The stored name: the device's record line (RecordLineOf, any case) without
// its first 18 bytes (GBK); empty when there is no record. An unreadable
// book has no names.
std::string FindName(FileStore& files, const std::string& mac);
// The same in a book already read (its GBK bytes).
std::string FindNameIn(const std::string& book, const std::string& mac);
// Overwrites the device's record line with MAC + "+" + name, or adds CRLF
// and the record at the end; a book that cannot be read is left alone.
void RecordName(FileStore& files, const std::string& mac, const std::string& name);
// As RecordName, but a MAC text the book does not hold leaves it alone.
// False when the book could not be read or written.
bool RenameDevice(FileStore& files, const std::string& mac, const std::string& name);

}  // namespace lumora
