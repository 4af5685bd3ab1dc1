#include "store/stream/BlockCrc.h"

#include <array>

#include "platform/LittleEndian.h"

#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#include <immintrin.h>
#define SS_BLOCKCRC_CLMUL 1
#endif

namespace store {

namespace {
// kTables[k][x]: the CRC register after byte x followed by k zero bytes (8 KiB in all).
constexpr int kSlice = 16;
using Tables = std::array<std::array<uint16_t, 256>, kSlice>;

Tables MakeTables() {
  Tables t{};
  for (unsigned i = 0; i < 256; i++) {
    uint16_t c = static_cast<uint16_t>(i);
    for (int bit = 0; bit < 8; bit++)
      c = (c & 1) ? static_cast<uint16_t>((c >> 1) ^ 0xA001) : static_cast<uint16_t>(c >> 1);
    t[0][i] = c;
  }
  for (int k = 1; k < kSlice; k++)
    for (unsigned i = 0; i < 256; i++)
      t[k][i] = static_cast<uint16_t>((t[k - 1][i] >> 8) ^ t[0][t[k - 1][i] & 0xFF]);
  return t;
}

const Tables kTables = MakeTables();

// The register after `length` more bytes, sixteen at a time where possible.
uint32_t TableCrc(uint32_t crc, const uint8_t* p, size_t length) {
  for (; length >= kSlice; length -= kSlice, p += kSlice) {
    crc ^= platform::LoadU16(p);
    crc = kTables[15][crc & 0xFF] ^ kTables[14][crc >> 8] ^ kTables[13][p[2]] ^ kTables[12][p[3]] ^
          kTables[11][p[4]] ^ kTables[10][p[5]] ^ kTables[9][p[6]] ^ kTables[8][p[7]] ^
          kTables[7][p[8]] ^ kTables[6][p[9]] ^ kTables[5][p[10]] ^ kTables[4][p[11]] ^
          kTables[3][p[12]] ^ kTables[2][p[13]] ^ kTables[1][p[14]] ^ kTables[0][p[15]];
  }
  for (; length > 0; length--, p++) crc = (crc >> 8) ^ kTables[0][(crc ^ *p) & 0xFF];
  return crc;
}

#ifdef SS_BLOCKCRC_CLMUL
// Folding with carry-less multiplication, for processors that have it. The message is a
// polynomial over GF(2) in which the lowest bit of the first byte is the highest power; the
// CRC from a zero register is message * x^16 mod P, P = x^16 + x^15 + x^2 + 1. Four 16-byte
// accumulators run side by side; moving one 64 bytes on multiplies it by x^512, done as
// high half * (x^576 mod P) + low half * (x^512 mod P), which stays within 128 bits. At the
// end the accumulators fold into one 128-bit value congruent to the whole prefix mod P, whose
// CRC the table loop takes; so the result equals the table CRC bit for bit.

// x^n mod P with bit d standing for x^d.
constexpr uint32_t PowerModP(unsigned n) {
  uint32_t r = 1;
  for (unsigned i = 0; i < n; i++) {
    r <<= 1;
    if (r & 0x10000) r ^= 0x18005;
  }
  return r;
}

// A constant for one 64-bit half, bit-reversed as the data is (x^d at bit 63 - d). The product
// of two such halves comes out one place short of the 128-bit order, which the exponent - 1
// makes up.
constexpr uint64_t Reflected(unsigned n) {
  const uint32_t r = PowerModP(n - 1);
  uint64_t v = 0;
  for (int d = 0; d < 16; d++)
    if (r & (1u << d)) v |= uint64_t{1} << (63 - d);
  return v;
}

// The low 64 bits of a register hold the higher powers.
__attribute__((target("pclmul,sse2"))) inline __m128i Fold(__m128i a, __m128i k) {
  return _mm_xor_si128(_mm_clmulepi64_si128(a, k, 0x00), _mm_clmulepi64_si128(a, k, 0x11));
}

__attribute__((target("pclmul,sse2"))) __m128i Constants(unsigned bits) {
  return _mm_set_epi64x(static_cast<long long>(Reflected(bits)),
                        static_cast<long long>(Reflected(bits + 64)));
}

__attribute__((target("pclmul,sse2"))) inline __m128i Load(const uint8_t* q) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(q));
}

#ifdef __i386__
// 32-bit callers may hand over a stack aligned to 4 bytes only; vector spills need 16.
__attribute__((force_align_arg_pointer))
#endif
__attribute__((target("pclmul,sse2"))) uint32_t
ClmulCrc(const uint8_t* p, size_t length) {
  __m128i a0 = Load(p), a1 = Load(p + 16), a2 = Load(p + 32), a3 = Load(p + 48);
  p += 64;
  length -= 64;
  const __m128i by512 = Constants(512);
  for (; length >= 64; length -= 64, p += 64) {
    a0 = _mm_xor_si128(Fold(a0, by512), Load(p));
    a1 = _mm_xor_si128(Fold(a1, by512), Load(p + 16));
    a2 = _mm_xor_si128(Fold(a2, by512), Load(p + 32));
    a3 = _mm_xor_si128(Fold(a3, by512), Load(p + 48));
  }
  const __m128i by128 = Constants(128);
  __m128i a = _mm_xor_si128(Fold(a0, by128), a1);
  a = _mm_xor_si128(Fold(a, by128), a2);
  a = _mm_xor_si128(Fold(a, by128), a3);
  for (; length >= 16; length -= 16, p += 16) a = _mm_xor_si128(Fold(a, by128), Load(p));
  uint8_t folded[16];
  _mm_storeu_si128(reinterpret_cast<__m128i*>(folded), a);
  return TableCrc(TableCrc(0, folded, 16), p, length);
}

bool HasClmul() {
  static const bool has = __builtin_cpu_supports("pclmul") && __builtin_cpu_supports("sse2");
  return has;
}
#endif
}  // namespace

uint32_t BlockCrc(const void* data, size_t length) {
  const auto* p = static_cast<const uint8_t*>(data);
#ifdef SS_BLOCKCRC_CLMUL
  if (length >= 256 && HasClmul()) return ClmulCrc(p, length);
#endif
  return TableCrc(0, p, length);
}

}  // namespace store
