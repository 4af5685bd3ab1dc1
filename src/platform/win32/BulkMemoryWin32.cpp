#include <windows.h>

#include <new>

#include "platform/BulkMemory.h"

namespace platform {

BulkMemory::BulkMemory(size_t bytes) {
  if (bytes == 0) return;
  // Committed pages read as zero; the system makes them present on first touch.
  void* p = VirtualAlloc(nullptr, bytes, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
  if (!p) throw std::bad_alloc();
  data_ = p;
  size_ = bytes;
}

void BulkMemory::Release() {
  if (data_) VirtualFree(data_, 0, MEM_RELEASE);
  data_ = nullptr;
  size_ = 0;
}

}  // namespace platform
