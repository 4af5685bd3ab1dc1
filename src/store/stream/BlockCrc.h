#pragma once
// The block checksum of framed streams: CRC-16/ARC (reflected polynomial 0xA001, initial 0,
// no final XOR), the store's checksum kind 1, zero-extended to 32 bits. Computed sixteen
// bytes at a time, since every block written or read is checksummed whole and a byte-wise table
// would cost as much as the fastest compression code.
#include <cstddef>
#include <cstdint>

namespace store {

uint32_t BlockCrc(const void* data, size_t length);

}  // namespace store
