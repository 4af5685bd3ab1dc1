#pragma once
// Memory for the blocks of shared texts. Most cell texts are a few characters: the C heap
// would give each its own block with a header of its own, and fault fresh pages in one at a
// time while a large workbook is read. Blocks of up to kLargestPooled bytes come instead from
// a pool per thread: size classes of 16 bytes, carved in order from bulk memory, and taken
// back onto their class's free list when freed. Larger blocks go to the heap.
//
// A pool's memory is kept for the life of the process (reused for later texts), since a text
// may be freed after the thread that made it has ended. Builds with the address sanitizer
// take every block from the heap, so that it keeps checking their use.
#include <cstddef>

namespace workbook::text_blocks {

constexpr size_t kLargestPooled = 128;

void* Allocate(size_t bytes);
// `bytes` must be the size the block was allocated with.
void Free(void* block, size_t bytes);

}  // namespace workbook::text_blocks
