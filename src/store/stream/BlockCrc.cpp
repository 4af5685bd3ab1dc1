#include "store/stream/BlockCrc.h"

#include <array>

namespace store {

namespace {
// kTables[k][x]: the CRC register after byte x followed by k zero bytes (8 KiB in all).
constexpr int kSlice = 16;
using Tables = std::array<std::array<uint16_t, 256>, kSlice>;

Tables MakeTables() {
  Tables t{};
  for (unsigned i = 0; i < 256; i++) {
    uint16_t c = static_cast<uint16_t>(i);
    for (int bit = 0; bit < 8; bit++) c = (c & 1) ? static_cast<uint16_t>((c >> 1) ^ 0xA001) : static_cast<uint16_t>(c >> 1);
    t[0][i] = c;
  }
  for (int k = 1; k < kSlice; k++)
    for (unsigned i = 0; i < 256; i++)
      t[k][i] = static_cast<uint16_t>((t[k - 1][i] >> 8) ^ t[0][t[k - 1][i] & 0xFF]);
  return t;
}

const Tables kTables = MakeTables();
}  // namespace

uint32_t BlockCrc(const void* data, size_t length) {
  const auto* p = static_cast<const uint8_t*>(data);
  uint32_t crc = 0;
  for (; length >= kSlice; length -= kSlice, p += kSlice) {
    crc ^= static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8);
    crc = kTables[15][crc & 0xFF] ^ kTables[14][crc >> 8] ^ kTables[13][p[2]] ^ kTables[12][p[3]] ^
          kTables[11][p[4]] ^ kTables[10][p[5]] ^ kTables[9][p[6]] ^ kTables[8][p[7]] ^ kTables[7][p[8]] ^
          kTables[6][p[9]] ^ kTables[5][p[10]] ^ kTables[4][p[11]] ^ kTables[3][p[12]] ^ kTables[2][p[13]] ^
          kTables[1][p[14]] ^ kTables[0][p[15]];
  }
  for (; length > 0; length--, p++) crc = (crc >> 8) ^ kTables[0][(crc ^ *p) & 0xFF];
  return crc;
}

}  // namespace store
