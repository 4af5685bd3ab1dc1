#pragma once
// The two checksum kinds used all over the store, selected by a one-byte kind code:
//   0  XOR of the floor(n/4) little-endian 32-bit words (the n mod 4 tail bytes are ignored)
//   1  CRC-16/ARC (reflected polynomial 0xA001, initial 0, no final XOR), zero-extended
//   any other kind: 0, and verification always succeeds (kept for files that carry it).
#include <cstddef>
#include <cstdint>

namespace store {

uint32_t Checksum(const void* buffer, size_t length, uint8_t kind);
bool VerifyChecksum(const void* buffer, size_t length, uint8_t kind, uint32_t stored);

uint16_t Crc16Arc(const void* buffer, size_t length, uint16_t crc = 0);

}  // namespace store
