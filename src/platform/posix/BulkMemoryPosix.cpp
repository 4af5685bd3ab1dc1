#include <sys/mman.h>

#include <cstdint>
#include <new>

#include "platform/BulkMemory.h"

namespace platform {

namespace {

constexpr size_t kLargePage = size_t{2} << 20;

// Maps `bytes` so that a block of whole large pages starts on a large-page boundary (the
// system may then back it with large pages: one fault per 2 MiB instead of per 4 KiB).
void* MapAligned(size_t bytes) {
  if (bytes > SIZE_MAX - kLargePage) return nullptr;  // the padding would wrap
  const size_t padded = bytes + kLargePage;
  void* raw = mmap(nullptr, padded, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (raw == MAP_FAILED) return nullptr;
  const auto start = reinterpret_cast<uintptr_t>(raw);
  const uintptr_t aligned = (start + kLargePage - 1) & ~(uintptr_t{kLargePage} - 1);
  if (aligned > start) munmap(raw, aligned - start);
  const uintptr_t end = start + padded;
  if (end > aligned + bytes)
    munmap(reinterpret_cast<void*>(aligned + bytes), end - (aligned + bytes));
  return reinterpret_cast<void*>(aligned);
}

}  // namespace

BulkMemory::BulkMemory(size_t bytes) {
  if (bytes == 0) return;
  void* p = nullptr;
  if (bytes >= kLargePage) {
    p = MapAligned(bytes);
#ifdef MADV_HUGEPAGE
    if (p) madvise(p, bytes, MADV_HUGEPAGE);
#endif
  } else {
    p = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED) p = nullptr;
  }
  if (!p) throw std::bad_alloc();
#ifdef MADV_POPULATE_WRITE
  // Every page present in one call instead of one fault each; older systems fault lazily.
  madvise(p, bytes, MADV_POPULATE_WRITE);
#endif
  data_ = p;
  size_ = bytes;
}

void BulkMemory::Release() {
  if (data_) munmap(data_, size_);
  data_ = nullptr;
  size_ = 0;
}

}  // namespace platform
