#include "workbook/TextBlockPool.h"

#include <algorithm>
#include <new>
#include <vector>

#include "platform/BulkMemory.h"

namespace workbook::text_blocks {

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kPooled = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kPooled = false;
#else
constexpr bool kPooled = true;
#endif
#else
constexpr bool kPooled = true;
#endif

constexpr size_t kGrain = 16;
constexpr size_t kClasses = kLargestPooled / kGrain;
// Chunks double from 64 KiB, so that a thread with a few texts stays small, up to 2 MiB,
// a whole large page each.
constexpr size_t kFirstChunkBytes = size_t{64} << 10;
constexpr size_t kLargestChunkBytes = size_t{2} << 20;

struct FreeBlock {
  FreeBlock* next;
};

struct Pool {
  FreeBlock* free[kClasses] = {};
  char* carved = nullptr;  // the newest chunk's first byte never handed out
  char* end = nullptr;
  std::vector<platform::BulkMemory> chunks;

  void* Take(size_t grains) {
    FreeBlock*& list = free[grains - 1];
    if (list != nullptr) {
      FreeBlock* block = list;
      list = block->next;
      return block;
    }
    const size_t bytes = grains * kGrain;
    if (static_cast<size_t>(end - carved) < bytes) Grow();
    void* block = carved;
    carved += bytes;
    return block;
  }
  void Give(void* block, size_t grains) {
    auto* f = static_cast<FreeBlock*>(block);
    f->next = free[grains - 1];
    free[grains - 1] = f;
  }
  void Grow() {
    // The rest of the current chunk is left unused (less than one largest block).
    const size_t bytes =
        chunks.empty() ? kFirstChunkBytes : std::min(kLargestChunkBytes, 2 * chunks.back().Size());
    chunks.emplace_back(bytes);
    carved = static_cast<char*>(chunks.back().Data());
    end = carved + bytes;
  }
};

Pool& ThreadPool() {
  // Made on first use and never destroyed: see the header.
  thread_local Pool* pool = new Pool;
  return *pool;
}

size_t Grains(size_t bytes) { return (bytes + kGrain - 1) / kGrain; }

}  // namespace

void* Allocate(size_t bytes) {
  if (!kPooled || bytes == 0 || bytes > kLargestPooled) return ::operator new(bytes);
  return ThreadPool().Take(Grains(bytes));
}

void Free(void* block, size_t bytes) {
  if (block == nullptr) return;
  if (!kPooled || bytes == 0 || bytes > kLargestPooled) {
    ::operator delete(block);
    return;
  }
  ThreadPool().Give(block, Grains(bytes));
}

}  // namespace workbook::text_blocks
