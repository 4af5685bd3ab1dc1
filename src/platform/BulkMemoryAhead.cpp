#include "platform/BulkMemoryAhead.h"

#include <new>
#include <system_error>
#include <utility>

namespace platform {

BulkMemory BulkMemoryAhead::Take(size_t bytes, size_t nextBytes) {
  BulkMemory block;
  if (next_.valid()) {
    try {
      block = next_.get();
    } catch (const std::bad_alloc&) {
      // The helper found no memory then; try again below, where a failure is the caller's.
    }
    if (block.Size() != bytes) block = BulkMemory();
  }
  if (block.Data() == nullptr) block = BulkMemory(bytes);
  if (nextBytes >= aheadBytes_) {
    try {
      next_ = std::async(std::launch::async, [nextBytes] { return BulkMemory(nextBytes); });
    } catch (const std::system_error&) {
      // No thread to be had: the next block is made when it is needed, as without a helper.
    }
  }
  return block;
}

void BulkMemoryAhead::Drop() {
  if (!next_.valid()) return;
  try {
    next_.get();
  } catch (const std::bad_alloc&) {
  }
}

}  // namespace platform
