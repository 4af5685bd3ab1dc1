#pragma once
// Blocks of bulk memory made one step ahead on a helper thread. A pool that grows block by
// block (cell slots, formula entries) asks for its next block while it fills the current
// one: making a block's pages present is, on virtual machines, as costly as filling them,
// and the helper does it while the pool's owner goes on working.
//
// Only blocks of `aheadBytes` and more are made ahead, so that small pools never start a
// thread or hold a spare block. At most one block is under way or waiting per supply; it is
// freed with the supply.
#include <cstddef>
#include <future>

#include "platform/BulkMemory.h"

namespace platform {

class BulkMemoryAhead {
 public:
  explicit BulkMemoryAhead(size_t aheadBytes) : aheadBytes_(aheadBytes) {}
  ~BulkMemoryAhead() = default;  // waits for a block under way (the future's own wait)
  BulkMemoryAhead(const BulkMemoryAhead&) = delete;
  BulkMemoryAhead& operator=(const BulkMemoryAhead&) = delete;

  // A block of `bytes`: the one made ahead when it has this size, else a new one. Then,
  // when `nextBytes` is large enough, the block after it is started on the helper thread.
  // Throws std::bad_alloc as BulkMemory does.
  BulkMemory Take(size_t bytes, size_t nextBytes);
  // Drops the block made ahead, if any (after the helper has finished it).
  void Drop();

 private:
  size_t aheadBytes_;
  std::future<BulkMemory> next_;
};

}  // namespace platform
