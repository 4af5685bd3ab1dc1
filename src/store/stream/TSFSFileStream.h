#pragma once
// The stream the workbook reader and writer see for a file inside a store: an ordinary
// seekable byte stream, transparently block-compressed when the file was created with a
// compression code. It owns the framing stream, which owns the raw file and its handle;
// destroying it closes the file. The store must outlive it.
//
// Mode 0xFFFF creates the file (replacing one of that name that is not open); any other mode
// opens an existing file, read-only when its two low bits are 0. Writing or setting the size
// of a read-only stream throws.
#include <cstdint>
#include <memory>
#include <string>

#include "store/Stream.h"
#include "store/stream/TSFSAdvancedFileStream.h"

namespace store {

class TSingleFileSystem;

class TSFSFileStream : public Stream {
 public:
  using ProgressEvent = TSFSAdvancedFileStream::ProgressEvent;

  // Throws StoreError "TSFSAdvancedFileStream.Create - SingleFileSystem = nil." without a
  // store, and the raw file stream's errors when the file cannot be opened.
  TSFSFileStream(TSingleFileSystem* store, const std::string& streamName, uint16_t mode,
                 const std::string& password = {}, const std::string& question = {},
                 const std::string& answer = {}, uint8_t compression = 0);
  // Over an existing framing stream (tools and tests).
  TSFSFileStream(std::unique_ptr<TSFSAdvancedFileStream> inner, const std::string& streamName,
                 uint16_t mode);
  ~TSFSFileStream() override;

  size_t Read(void* buffer, size_t count) override;
  size_t Write(const void* buffer, size_t count) override;
  int64_t Seek(int64_t offset, SeekOrigin origin) override;
  int64_t Size() override;
  void SetSize(int64_t newSize) override;
  // Writes what is still held back in memory (see TSFSAdvancedFileStream); call it before
  // destroying a stream that was written, to see a failure as an exception.
  void Flush() override;

  const std::string& StreamName() const { return streamName_; }
  uint16_t Mode() const { return mode_; }
  bool ReadOnly() const { return readOnly_; }
  TSFSAdvancedFileStream& Inner() { return *inner_; }

  // Handed to the inner stream before every read and write.
  ProgressEvent OnProgress;

 private:
  std::string streamName_;
  std::string password_;
  uint16_t mode_;
  bool readOnly_;
  std::unique_ptr<TSFSAdvancedFileStream> inner_;
};

}  // namespace store
