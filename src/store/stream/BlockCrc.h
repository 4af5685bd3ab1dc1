#pragma once
// The block checksum of framed streams: CRC-16/ARC (reflected polynomial 0xA001, initial 0,
// no final XOR), the store's checksum kind 1, zero-extended to 32 bits. Every block written or
// read is checksummed whole, so this sits next to the codec in every block's cost: it folds
// with carry-less multiplication where the processor has it (several GB/s), else takes a table
// sixteen bytes at a time; both give the same value for every input.
#include <cstddef>
#include <cstdint>

namespace store {

uint32_t BlockCrc(const void* data, size_t length);

}  // namespace store
