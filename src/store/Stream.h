#pragma once
// A seekable byte stream: the common shape of the raw file stream inside a store
// (TSFSUserFileStream) and of the framed, compressed streams built on it.
//
// Contract for implementers:
// - Read returns the number of bytes delivered (0 at or beyond the end); it never throws for
//   a short read, only for a damaged store.
// - Write returns the number of bytes written; fewer than asked means the store could not
//   take them (read-only, out of space, page error).
// - Seek never fails for a known stream; a resulting position below 0 becomes 0; positions
//   beyond the end are allowed (a later write fills the gap with zeros).
// - SetSize throws StoreError when the size cannot be set.
#include <cstddef>
#include <cstdint>

namespace store {

enum class SeekOrigin { soBeginning = 0, soCurrent = 1, soEnd = 2 };

class Stream {
 public:
  virtual ~Stream() = default;
  Stream() = default;
  Stream(const Stream&) = delete;
  Stream& operator=(const Stream&) = delete;

  virtual size_t Read(void* buffer, size_t count) = 0;
  virtual size_t Write(const void* buffer, size_t count) = 0;
  virtual int64_t Seek(int64_t offset, SeekOrigin origin) = 0;
  virtual int64_t Size() = 0;
  virtual void SetSize(int64_t newSize) = 0;
  // Writes out anything the stream still holds back; throws as Write does. A writer calls it
  // before letting go of the stream, since a destructor can only swallow a late failure.
  virtual void Flush() {}

  int64_t Position() { return Seek(0, SeekOrigin::soCurrent); }
  // Read or write exactly `count` bytes; throw StoreError("Stream read error" /
  // "Stream write error") otherwise.
  void ReadBuffer(void* buffer, size_t count);
  void WriteBuffer(const void* buffer, size_t count);
};

}  // namespace store
