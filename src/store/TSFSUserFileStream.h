#pragma once
// The raw byte stream over one file inside an open store. It opens the file on creation,
// keeps the handle, and closes it when destroyed; the store must outlive the stream.
// Reads and writes go straight to the store's file operations (no buffering), so several
// streams over different files of one store may be used alternately.
#include <cstdint>
#include <string>

#include "store/Stream.h"

namespace store {

class TSingleFileSystem;

class TSFSUserFileStream : public Stream {
 public:
  // mode 0xFFFF creates (or replaces an unopened) file; other modes open an existing one.
  // Throws StoreError "TSFSUserFileStream.Create - Single file system = nil!" without a
  // store and "TSFSUserFileStream.Create - unable to open file \"name\"" when the store
  // refuses (its LastError() tells why).
  TSFSUserFileStream(TSingleFileSystem* store, const std::string& name, uint16_t mode,
                     const std::string& password = {}, const std::string& question = {},
                     const std::string& answer = {});
  ~TSFSUserFileStream() override;

  size_t Read(void* buffer, size_t count) override;
  size_t Write(const void* buffer, size_t count) override;
  int64_t Seek(int64_t offset, SeekOrigin origin) override;
  int64_t Size() override;
  // Throws StoreError "TSFSUserFileStream.SetSize - can not set size, error = N".
  void SetSize(int64_t newSize) override;

  TSingleFileSystem& Store() const { return *store_; }
  int Handle() const { return handle_; }
  const std::string& Name() const { return name_; }

 private:
  TSingleFileSystem* store_;
  std::string name_;
  int handle_ = -1;
};

}  // namespace store
