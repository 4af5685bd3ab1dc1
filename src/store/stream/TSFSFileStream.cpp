#include "store/stream/TSFSFileStream.h"

#include "store/Errors.h"

namespace store {

namespace {
bool IsReadOnlyMode(uint16_t mode) { return mode != 0xFFFF && (mode & 3) == 0; }
}  // namespace

TSFSFileStream::TSFSFileStream(std::unique_ptr<TSFSAdvancedFileStream> inner,
                               const std::string& streamName, uint16_t mode)
    : streamName_(streamName),
      mode_(mode),
      readOnly_(IsReadOnlyMode(mode)),
      inner_(std::move(inner)) {
  if (!inner_) throw StoreError("TSFSAdvancedFileStream.Create - SingleFileSystem = nil.");
}

TSFSFileStream::~TSFSFileStream() = default;

size_t TSFSFileStream::Read(void* buffer, size_t count) {
  inner_->OnProgress = OnProgress;
  return inner_->Read(buffer, count);
}

size_t TSFSFileStream::Write(const void* buffer, size_t count) {
  if (readOnly_) throw StoreError("TSFSFileStream.Write - file is in read only mode.");
  inner_->OnProgress = OnProgress;
  return inner_->Write(buffer, count);
}

int64_t TSFSFileStream::Seek(int64_t offset, SeekOrigin origin) {
  return inner_->Seek(offset, origin);
}

int64_t TSFSFileStream::Size() { return inner_->Size(); }

void TSFSFileStream::SetSize(int64_t newSize) {
  if (readOnly_) throw StoreError("TSFSFileStream.SetSize - file is in read only mode.");
  inner_->SetSize(newSize);
}

void TSFSFileStream::Flush() {
  if (!readOnly_) inner_->Flush();
}

}  // namespace store
