#include "platform/BulkMemory.h"

#include <utility>

namespace platform {

BulkMemory& BulkMemory::operator=(BulkMemory&& other) noexcept {
  if (this != &other) {
    Release();
    data_ = std::exchange(other.data_, nullptr);
    size_ = std::exchange(other.size_, 0);
  }
  return *this;
}

BulkMemory::~BulkMemory() { Release(); }

}  // namespace platform
