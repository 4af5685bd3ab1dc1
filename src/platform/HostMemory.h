#pragma once
// Memory for texts handed to the host: fixed global memory on Windows (the host frees it with
// the system's allocator), the C heap elsewhere.
#include <cstddef>

namespace platform {

// Returns a block of `size` bytes, or nullptr when memory is exhausted.
char* HostAlloc(size_t size);
// Frees a block from HostAlloc; null is ignored.
void HostFree(char* block);

}  // namespace platform
