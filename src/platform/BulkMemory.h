#pragma once
// Memory for large arrays that live as long as a workbook does (cell slots, formula entries,
// a file's stream while it is read): one system allocation per block, taken from the system
// directly rather than from the C heap. Where the system allows it, the pages are made
// present when the block is created: faulting fresh pages in one at a time is, on virtual
// machines, a large part of the cost of loading a big workbook.
//
// A block's bytes start zeroed. Construction throws std::bad_alloc when no memory is left.
#include <cstddef>

namespace platform {

class BulkMemory {
 public:
  BulkMemory() = default;
  explicit BulkMemory(size_t bytes);
  ~BulkMemory();
  BulkMemory(BulkMemory&& other) noexcept : data_(other.data_), size_(other.size_) {
    other.data_ = nullptr;
    other.size_ = 0;
  }
  BulkMemory& operator=(BulkMemory&& other) noexcept;
  BulkMemory(const BulkMemory&) = delete;
  BulkMemory& operator=(const BulkMemory&) = delete;

  void* Data() const { return data_; }
  size_t Size() const { return size_; }

 private:
  void Release();
  void* data_ = nullptr;
  size_t size_ = 0;
};

}  // namespace platform
