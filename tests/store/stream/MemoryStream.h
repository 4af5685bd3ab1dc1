#pragma once
// A raw stream in memory for the framing tests, with the behaviour of a store file: writes
// past the end fill the gap with zeros; a read-only stream takes no writes (short count) and
// refuses to change its size, as a read-only store does.
#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "store/Errors.h"
#include "store/Stream.h"

namespace streamtest {

struct MemoryFile {
  std::vector<uint8_t> bytes;
  bool readOnly = false;
};

class MemoryStream : public store::Stream {
 public:
  explicit MemoryStream(std::shared_ptr<MemoryFile> file) : file_(std::move(file)) {}
  size_t Read(void* buffer, size_t count) override {
    auto& b = file_->bytes;
    if (pos_ >= static_cast<int64_t>(b.size())) return 0;
    const size_t n = std::min(count, b.size() - static_cast<size_t>(pos_));
    std::memcpy(buffer, b.data() + pos_, n);
    pos_ += static_cast<int64_t>(n);
    return n;
  }
  size_t Write(const void* buffer, size_t count) override {
    if (file_->readOnly) return 0;
    auto& b = file_->bytes;
    if (b.size() < static_cast<size_t>(pos_) + count)
      b.resize(static_cast<size_t>(pos_) + count, 0);
    if (count) std::memcpy(b.data() + pos_, buffer, count);
    pos_ += static_cast<int64_t>(count);
    return count;
  }
  int64_t Seek(int64_t offset, store::SeekOrigin origin) override {
    int64_t base = origin == store::SeekOrigin::soBeginning ? 0
                   : origin == store::SeekOrigin::soCurrent
                       ? pos_
                       : static_cast<int64_t>(file_->bytes.size());
    pos_ = std::max<int64_t>(0, base + offset);
    return pos_;
  }
  int64_t Size() override { return static_cast<int64_t>(file_->bytes.size()); }
  void SetSize(int64_t newSize) override {
    if (file_->readOnly)
      throw store::StoreError("TSFSUserFileStream.SetSize - can not set size, error = -1");
    file_->bytes.resize(static_cast<size_t>(newSize), 0);
  }

 private:
  std::shared_ptr<MemoryFile> file_;
  int64_t pos_ = 0;
};

}  // namespace streamtest
