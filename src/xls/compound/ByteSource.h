#pragma once
// The seekable byte stream a compound document is read from, and the sink it is written to.
// Memory and file implementations; the book's loaders wrap their own streams the same way.
#include <cstdint>
#include <span>
#include <vector>

#include "platform/File.h"

namespace xls {

class ByteSource {
 public:
  virtual ~ByteSource() = default;
  virtual uint64_t Size() const = 0;
  // Reads exactly `size` bytes at `offset`; the caller has checked offset + size <= Size().
  virtual void ReadAt(uint64_t offset, uint8_t* buffer, size_t size) = 0;
};

class MemoryByteSource final : public ByteSource {
 public:
  explicit MemoryByteSource(std::span<const uint8_t> bytes) : bytes_(bytes) {}
  uint64_t Size() const override { return bytes_.size(); }
  void ReadAt(uint64_t offset, uint8_t* buffer, size_t size) override;

 private:
  std::span<const uint8_t> bytes_;
};

// Reads through an open platform file; the file must outlive the source.
class FileByteSource final : public ByteSource {
 public:
  explicit FileByteSource(platform::File& file) : file_(file), size_(file.Size()) {}
  uint64_t Size() const override { return size_; }
  void ReadAt(uint64_t offset, uint8_t* buffer, size_t size) override;

 private:
  platform::File& file_;
  uint64_t size_;
};

class ByteSink {
 public:
  virtual ~ByteSink() = default;
  // Appends all bytes or throws.
  virtual void Write(const uint8_t* data, size_t size) = 0;
};

class VectorByteSink final : public ByteSink {
 public:
  explicit VectorByteSink(std::vector<uint8_t>& out) : out_(out) {}
  void Write(const uint8_t* data, size_t size) override {
    out_.insert(out_.end(), data, data + size);
  }

 private:
  std::vector<uint8_t>& out_;
};

class FileByteSink final : public ByteSink {
 public:
  explicit FileByteSink(platform::File& file) : file_(file) {}
  void Write(const uint8_t* data, size_t size) override { file_.Write(data, size); }

 private:
  platform::File& file_;
};

}  // namespace xls
