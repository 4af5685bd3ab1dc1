#include "store/TSFSUserFileStream.h"

#include "store/Errors.h"
#include "store/TSingleFileSystem.h"

namespace store {

TSFSUserFileStream::TSFSUserFileStream(TSingleFileSystem* store, const std::string& name,
                                       uint16_t mode, const std::string& password,
                                       const std::string& question, const std::string& answer)
    : store_(store), name_(name) {
  if (!store_) throw StoreError("TSFSUserFileStream.Create - Single file system = nil!");
  handle_ = store_->FileOpen(name, mode, password, question, answer);
  if (handle_ < 0)
    throw StoreError("TSFSUserFileStream.Create - unable to open file \"" + name + "\"");
}

TSFSUserFileStream::~TSFSUserFileStream() {
  if (handle_ >= 0) store_->FileClose(handle_);
}

size_t TSFSUserFileStream::Read(void* buffer, size_t count) {
  return store_->FileRead(handle_, buffer, count);
}

size_t TSFSUserFileStream::Write(const void* buffer, size_t count) {
  return store_->FileWrite(handle_, buffer, count);
}

int64_t TSFSUserFileStream::Seek(int64_t offset, SeekOrigin origin) {
  return store_->FileSeek(handle_, static_cast<int>(origin), offset);
}

int64_t TSFSUserFileStream::Size() { return store_->FileSize(handle_); }

void TSFSUserFileStream::SetSize(int64_t newSize) {
  const int64_t result = store_->FileSetSize(handle_, newSize);
  if (result < 0)
    throw StoreError("TSFSUserFileStream.SetSize - can not set size, error = " +
                     std::to_string(result));
}

}  // namespace store
