#include "store/cipher/Rijndael.h"

#include <stdexcept>

namespace store {
namespace {

uint8_t Mul(uint8_t a, uint8_t b) {
  uint8_t product = 0;
  while (b) {
    if (b & 1) product ^= a;
    a = static_cast<uint8_t>((a << 1) ^ ((a & 0x80) ? 0x1B : 0));
    b >>= 1;
  }
  return product;
}

struct Tables {
  uint8_t sbox[256];
  uint8_t inv[256];
  uint32_t te[4][256];
  uint32_t td[4][256];
  uint32_t rcon[10];
};

inline uint32_t Ror8(uint32_t x) { return (x >> 8) | (x << 24); }

Tables BuildTables() {
  Tables t{};
  // Multiplicative inverses through powers of the generator 3.
  uint8_t exp[256], log[256] = {};
  uint8_t x = 1;
  for (int i = 0; i < 255; ++i) {
    exp[i] = x;
    log[x] = static_cast<uint8_t>(i);
    x = Mul(x, 3);
  }
  for (int i = 0; i < 256; ++i) {
    uint8_t inverse = i == 0 ? 0 : exp[(255 - log[i]) % 255];
    uint8_t s = inverse;
    for (int r = 1; r <= 4; ++r) s ^= static_cast<uint8_t>((inverse << r) | (inverse >> (8 - r)));
    s ^= 0x63;
    t.sbox[i] = s;
    t.inv[s] = static_cast<uint8_t>(i);
  }
  for (int i = 0; i < 256; ++i) {
    const uint8_t s = t.sbox[i];
    uint32_t e = uint32_t(Mul(s, 2)) << 24 | uint32_t(s) << 16 | uint32_t(s) << 8 | Mul(s, 3);
    const uint8_t v = t.inv[i];
    uint32_t d = uint32_t(Mul(v, 14)) << 24 | uint32_t(Mul(v, 9)) << 16 |
                 uint32_t(Mul(v, 13)) << 8 | Mul(v, 11);
    for (int k = 0; k < 4; ++k) {
      t.te[k][i] = e;
      t.td[k][i] = d;
      e = Ror8(e);
      d = Ror8(d);
    }
  }
  uint8_t r = 1;
  for (int i = 0; i < 10; ++i) {
    t.rcon[i] = uint32_t(r) << 24;
    r = Mul(r, 2);
  }
  return t;
}

const Tables kT = BuildTables();

inline uint32_t Load(const uint8_t* p) {
  return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}
inline void Store(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v >> 24);
  p[1] = static_cast<uint8_t>(v >> 16);
  p[2] = static_cast<uint8_t>(v >> 8);
  p[3] = static_cast<uint8_t>(v);
}
inline uint32_t SubWord(uint32_t w) {
  return uint32_t(kT.sbox[w >> 24]) << 24 | uint32_t(kT.sbox[(w >> 16) & 0xFF]) << 16 |
         uint32_t(kT.sbox[(w >> 8) & 0xFF]) << 8 | kT.sbox[w & 0xFF];
}

}  // namespace

void Rijndael::SetKey(const uint8_t* key, size_t keyLength) {
  if (keyLength != 16 && keyLength != 24 && keyLength != 32)
    throw std::invalid_argument("Rijndael key must be 16, 24 or 32 bytes");
  const int nk = static_cast<int>(keyLength / 4);
  rounds_ = nk + 6;
  const int words = 4 * (rounds_ + 1);
  for (int i = 0; i < nk; ++i) enc_[i] = Load(key + 4 * i);
  for (int i = nk; i < words; ++i) {
    uint32_t temp = enc_[i - 1];
    if (i % nk == 0) {
      temp = SubWord((temp << 8) | (temp >> 24)) ^ kT.rcon[i / nk - 1];
    } else if (nk > 6 && i % nk == 4) {
      temp = SubWord(temp);
    }
    enc_[i] = enc_[i - nk] ^ temp;
  }
  // Decryption schedule of the equivalent inverse cipher: round keys in reverse order, the
  // inner ones passed through the inverse column mixing.
  for (int round = 0; round <= rounds_; ++round) {
    for (int c = 0; c < 4; ++c) {
      uint32_t w = enc_[4 * (rounds_ - round) + c];
      if (round != 0 && round != rounds_) {
        w = kT.td[0][kT.sbox[w >> 24]] ^ kT.td[1][kT.sbox[(w >> 16) & 0xFF]] ^
            kT.td[2][kT.sbox[(w >> 8) & 0xFF]] ^ kT.td[3][kT.sbox[w & 0xFF]];
      }
      dec_[4 * round + c] = w;
    }
  }
}

void Rijndael::EncryptBlock(const uint8_t* in, uint8_t* out) const {
  const uint32_t* rk = enc_;
  uint32_t s0 = Load(in) ^ rk[0], s1 = Load(in + 4) ^ rk[1];
  uint32_t s2 = Load(in + 8) ^ rk[2], s3 = Load(in + 12) ^ rk[3];
  const auto& te = kT.te;
  for (int round = 1; round < rounds_; ++round) {
    rk += 4;
    const uint32_t t0 = te[0][s0 >> 24] ^ te[1][(s1 >> 16) & 0xFF] ^ te[2][(s2 >> 8) & 0xFF] ^
                        te[3][s3 & 0xFF] ^ rk[0];
    const uint32_t t1 = te[0][s1 >> 24] ^ te[1][(s2 >> 16) & 0xFF] ^ te[2][(s3 >> 8) & 0xFF] ^
                        te[3][s0 & 0xFF] ^ rk[1];
    const uint32_t t2 = te[0][s2 >> 24] ^ te[1][(s3 >> 16) & 0xFF] ^ te[2][(s0 >> 8) & 0xFF] ^
                        te[3][s1 & 0xFF] ^ rk[2];
    const uint32_t t3 = te[0][s3 >> 24] ^ te[1][(s0 >> 16) & 0xFF] ^ te[2][(s1 >> 8) & 0xFF] ^
                        te[3][s2 & 0xFF] ^ rk[3];
    s0 = t0;
    s1 = t1;
    s2 = t2;
    s3 = t3;
  }
  rk += 4;
  const uint8_t* s = kT.sbox;
  Store(out, (uint32_t(s[s0 >> 24]) << 24 | uint32_t(s[(s1 >> 16) & 0xFF]) << 16 |
              uint32_t(s[(s2 >> 8) & 0xFF]) << 8 | s[s3 & 0xFF]) ^
                 rk[0]);
  Store(out + 4, (uint32_t(s[s1 >> 24]) << 24 | uint32_t(s[(s2 >> 16) & 0xFF]) << 16 |
                  uint32_t(s[(s3 >> 8) & 0xFF]) << 8 | s[s0 & 0xFF]) ^
                     rk[1]);
  Store(out + 8, (uint32_t(s[s2 >> 24]) << 24 | uint32_t(s[(s3 >> 16) & 0xFF]) << 16 |
                  uint32_t(s[(s0 >> 8) & 0xFF]) << 8 | s[s1 & 0xFF]) ^
                     rk[2]);
  Store(out + 12, (uint32_t(s[s3 >> 24]) << 24 | uint32_t(s[(s0 >> 16) & 0xFF]) << 16 |
                   uint32_t(s[(s1 >> 8) & 0xFF]) << 8 | s[s2 & 0xFF]) ^
                      rk[3]);
}

void Rijndael::DecryptBlock(const uint8_t* in, uint8_t* out) const {
  const uint32_t* rk = dec_;
  uint32_t s0 = Load(in) ^ rk[0], s1 = Load(in + 4) ^ rk[1];
  uint32_t s2 = Load(in + 8) ^ rk[2], s3 = Load(in + 12) ^ rk[3];
  const auto& td = kT.td;
  for (int round = 1; round < rounds_; ++round) {
    rk += 4;
    const uint32_t t0 = td[0][s0 >> 24] ^ td[1][(s3 >> 16) & 0xFF] ^ td[2][(s2 >> 8) & 0xFF] ^
                        td[3][s1 & 0xFF] ^ rk[0];
    const uint32_t t1 = td[0][s1 >> 24] ^ td[1][(s0 >> 16) & 0xFF] ^ td[2][(s3 >> 8) & 0xFF] ^
                        td[3][s2 & 0xFF] ^ rk[1];
    const uint32_t t2 = td[0][s2 >> 24] ^ td[1][(s1 >> 16) & 0xFF] ^ td[2][(s0 >> 8) & 0xFF] ^
                        td[3][s3 & 0xFF] ^ rk[2];
    const uint32_t t3 = td[0][s3 >> 24] ^ td[1][(s2 >> 16) & 0xFF] ^ td[2][(s1 >> 8) & 0xFF] ^
                        td[3][s0 & 0xFF] ^ rk[3];
    s0 = t0;
    s1 = t1;
    s2 = t2;
    s3 = t3;
  }
  rk += 4;
  const uint8_t* v = kT.inv;
  Store(out, (uint32_t(v[s0 >> 24]) << 24 | uint32_t(v[(s3 >> 16) & 0xFF]) << 16 |
              uint32_t(v[(s2 >> 8) & 0xFF]) << 8 | v[s1 & 0xFF]) ^
                 rk[0]);
  Store(out + 4, (uint32_t(v[s1 >> 24]) << 24 | uint32_t(v[(s0 >> 16) & 0xFF]) << 16 |
                  uint32_t(v[(s3 >> 8) & 0xFF]) << 8 | v[s2 & 0xFF]) ^
                     rk[1]);
  Store(out + 8, (uint32_t(v[s2 >> 24]) << 24 | uint32_t(v[(s1 >> 16) & 0xFF]) << 16 |
                  uint32_t(v[(s0 >> 8) & 0xFF]) << 8 | v[s3 & 0xFF]) ^
                     rk[2]);
  Store(out + 12, (uint32_t(v[s3 >> 24]) << 24 | uint32_t(v[(s2 >> 16) & 0xFF]) << 16 |
                   uint32_t(v[(s1 >> 8) & 0xFF]) << 8 | v[s0 & 0xFF]) ^
                      rk[3]);
}

}  // namespace store
