#include "store/cipher/Ripemd256.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "platform/LittleEndian.h"

namespace store {
namespace {

// Message word order and rotation amounts of the left (L) and right (R) lines, 4 x 16 steps.
constexpr uint8_t kWordL[64] = {0, 1,  2,  3,  4,  5,  6,  7, 8,  9, 10, 11, 12, 13, 14, 15,
                                7, 4,  13, 1,  10, 6,  15, 3, 12, 0, 9,  5,  2,  14, 11, 8,
                                3, 10, 14, 4,  9,  15, 8,  1, 2,  7, 0,  6,  13, 11, 5,  12,
                                1, 9,  11, 10, 0,  8,  12, 4, 13, 3, 7,  15, 14, 5,  6,  2};
constexpr uint8_t kWordR[64] = {5,  14, 7, 0, 9, 2,  11, 4,  13, 6,  15, 8,  1,  10, 3,  12,
                                6,  11, 3, 7, 0, 13, 5,  10, 14, 15, 8,  12, 4,  9,  1,  2,
                                15, 5,  1, 3, 7, 14, 6,  9,  11, 8,  12, 2,  10, 0,  4,  13,
                                8,  6,  4, 1, 3, 11, 15, 0,  5,  12, 2,  13, 9,  7,  10, 14};
constexpr uint8_t kRotL[64] = {11, 14, 15, 12, 5,  8,  7,  9,  11, 13, 14, 15, 6,  7,  9,  8,
                               7,  6,  8,  13, 11, 9,  7,  15, 7,  12, 15, 9,  11, 7,  13, 12,
                               11, 13, 6,  7,  14, 9,  13, 15, 14, 8,  13, 6,  5,  12, 7,  5,
                               11, 12, 14, 15, 14, 15, 9,  8,  9,  14, 5,  6,  8,  6,  5,  12};
constexpr uint8_t kRotR[64] = {8,  9,  9,  11, 13, 15, 15, 5,  7,  7,  8,  11, 14, 14, 12, 6,
                               9,  13, 15, 7,  12, 8,  9,  11, 7,  7,  12, 7,  6,  15, 13, 11,
                               9,  7,  15, 11, 8,  6,  6,  14, 12, 13, 5,  14, 13, 13, 7,  5,
                               15, 5,  8,  11, 14, 14, 6,  14, 6,  9,  12, 9,  12, 5,  15, 8};
constexpr uint32_t kConstL[4] = {0x00000000u, 0x5A827999u, 0x6ED9EBA1u, 0x8F1BBCDCu};
constexpr uint32_t kConstR[4] = {0x50A28BE6u, 0x5C4DD124u, 0x6D703EF3u, 0x00000000u};

inline uint32_t Rol(uint32_t x, unsigned n) { return (x << n) | (x >> (32 - n)); }

// Boolean function of round j (0..3); the right line uses them in reverse order.
inline uint32_t F(unsigned j, uint32_t x, uint32_t y, uint32_t z) {
  switch (j) {
    case 0:
      return x ^ y ^ z;
    case 1:
      return (x & y) | (~x & z);
    case 2:
      return (x | ~y) ^ z;
    default:
      return (x & z) | (y & ~z);
  }
}

}  // namespace

Ripemd256::Ripemd256()
    : state_{0x67452301u, 0xEFCDAB89u, 0x98BADCFEu, 0x10325476u,
             0x76543210u, 0xFEDCBA98u, 0x89ABCDEFu, 0x01234567u},
      buffer_{} {}

void Ripemd256::Compress(const uint8_t* block) {
  uint32_t x[16];
  for (int i = 0; i < 16; ++i) x[i] = platform::LoadU32(block + 4 * i);
  uint32_t a = state_[0], b = state_[1], c = state_[2], d = state_[3];
  uint32_t aa = state_[4], bb = state_[5], cc = state_[6], dd = state_[7];
  for (unsigned round = 0; round < 4; ++round) {
    for (unsigned k = 0; k < 16; ++k) {
      const unsigned step = round * 16 + k;
      uint32_t t = Rol(a + F(round, b, c, d) + x[kWordL[step]] + kConstL[round], kRotL[step]);
      a = d;
      d = c;
      c = b;
      b = t;
      t = Rol(aa + F(3 - round, bb, cc, dd) + x[kWordR[step]] + kConstR[round], kRotR[step]);
      aa = dd;
      dd = cc;
      cc = bb;
      bb = t;
    }
    // After round r the r-th register of the two lines is exchanged.
    switch (round) {
      case 0:
        std::swap(a, aa);
        break;
      case 1:
        std::swap(b, bb);
        break;
      case 2:
        std::swap(c, cc);
        break;
      default:
        std::swap(d, dd);
        break;
    }
  }
  state_[0] += a;
  state_[1] += b;
  state_[2] += c;
  state_[3] += d;
  state_[4] += aa;
  state_[5] += bb;
  state_[6] += cc;
  state_[7] += dd;
}

void Ripemd256::Update(const void* data, size_t length) {
  const auto* p = static_cast<const uint8_t*>(data);
  totalBytes_ += length;
  while (length > 0) {
    const size_t take = std::min(length, sizeof(buffer_) - buffered_);
    std::memcpy(buffer_ + buffered_, p, take);
    buffered_ += take;
    p += take;
    length -= take;
    if (buffered_ == sizeof(buffer_)) {
      Compress(buffer_);
      buffered_ = 0;
    }
  }
}

Ripemd256Digest Ripemd256::Final() {
  const uint64_t bits = totalBytes_ * 8;
  const uint8_t pad = 0x80;
  Update(&pad, 1);
  const uint8_t zero = 0;
  while (buffered_ != 56) Update(&zero, 1);
  uint8_t length[8];
  platform::StoreU64(length, bits);
  Update(length, 8);
  Ripemd256Digest digest{};
  for (int i = 0; i < 8; ++i) platform::StoreU32(digest.data() + 4 * i, state_[i]);
  return digest;
}

Ripemd256Digest Ripemd256::Hash(const void* data, size_t length) {
  Ripemd256 h;
  h.Update(data, length);
  return h.Final();
}

}  // namespace store
