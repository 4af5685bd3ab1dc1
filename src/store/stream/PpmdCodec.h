#pragma once
// PPMd variant G over whole buffers: the raw range-coded stream, without any header.
//
// The coded stream ends with the end-of-data symbol (an escape out of the order-0 context)
// and the four flush bytes of the range coder, so the decoder knows where the data ends
// without being told the length.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace store {

// `order` 1..16, `megabytes` 1..256 of model memory. Throws ppmd::PpmdError on bad
// parameters, std::bad_alloc when the model memory cannot be had.
std::vector<uint8_t> PpmdCompress(std::span<const uint8_t> data, int order, int megabytes);

// Decodes up to the end-of-data symbol. Throws ppmd::PpmdError when the data would decode
// to more than `maxSize` bytes or leads the model into an impossible state; bytes missing at
// the end of `packed` read as 0xFF, as in the original decoder.
std::vector<uint8_t> PpmdDecompress(std::span<const uint8_t> packed, int order, int megabytes,
                                    size_t maxSize);

}  // namespace store
