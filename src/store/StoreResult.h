#pragma once
// The negative result codes of the store's file operations, in one place. A file operation
// that fails for an ordinary reason returns a negative value (a handle of -1, a size or code
// below 0, 0 bytes) and keeps one of these in TSingleFileSystem::LastError(); the page and
// directory layers hand their codes up unchanged. The values are part of the store's
// behaviour that callers see, so they never change.
//
//   code  name               meaning
//   -1    kErrNotFound       not found, a directory, password refused, cannot be created
//   -6    kErrUnknownHandle  the handle is not open
//   -7    kErrHeaderRead     a page header could not be read
//   -8    kErrHeaderWrite    a page header could not be written
//   -9    kErrDataRead       page data could not be read
//   -10   kErrDataWrite      page data could not be written
//   -11   kErrChecksum       a page failed its checksum
//   -12   kErrDecipher       a page could not be deciphered
//   -13   kErrEncipher       a page could not be enciphered
//   -16   kErrOpen           the file exists and is open
//   -17   kErrNoSpace        the store cannot grow

namespace store {

constexpr int kErrNotFound = -1;
constexpr int kErrUnknownHandle = -6;
constexpr int kErrHeaderRead = -7;
constexpr int kErrHeaderWrite = -8;
constexpr int kErrDataRead = -9;
constexpr int kErrDataWrite = -10;
constexpr int kErrChecksum = -11;
constexpr int kErrDecipher = -12;
constexpr int kErrEncipher = -13;
constexpr int kErrOpen = -16;
constexpr int kErrNoSpace = -17;

}  // namespace store
