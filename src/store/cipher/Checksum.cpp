#include "store/cipher/Checksum.h"

#include <array>

#include "platform/LittleEndian.h"

namespace store {
namespace {

std::array<uint16_t, 256> MakeCrcTable() {
  std::array<uint16_t, 256> table{};
  for (unsigned i = 0; i < 256; ++i) {
    uint16_t c = static_cast<uint16_t>(i);
    for (int bit = 0; bit < 8; ++bit)
      c = (c & 1) ? static_cast<uint16_t>((c >> 1) ^ 0xA001) : (c >> 1);
    table[i] = c;
  }
  return table;
}

const std::array<uint16_t, 256> kCrcTable = MakeCrcTable();

uint32_t XorWords(const uint8_t* p, size_t length) {
  uint32_t sum = 0;
  for (size_t i = 0; i + 4 <= length; i += 4) {
    sum ^= platform::LoadU32(p + i);
  }
  return sum;
}

}  // namespace

uint16_t Crc16Arc(const void* buffer, size_t length, uint16_t crc) {
  const auto* p = static_cast<const uint8_t*>(buffer);
  for (size_t i = 0; i < length; ++i)
    crc = static_cast<uint16_t>((crc >> 8) ^ kCrcTable[(crc ^ p[i]) & 0xFF]);
  return crc;
}

uint32_t Checksum(const void* buffer, size_t length, uint8_t kind) {
  switch (kind) {
    case 0:
      return XorWords(static_cast<const uint8_t*>(buffer), length);
    case 1:
      return Crc16Arc(buffer, length);
    default:
      return 0;
  }
}

bool VerifyChecksum(const void* buffer, size_t length, uint8_t kind, uint32_t stored) {
  if (kind > 1) return true;
  return Checksum(buffer, length, kind) == stored;
}

}  // namespace store
