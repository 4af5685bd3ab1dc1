// Known answers for the store's algorithms and the behaviour of the chaining mode.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/Clock.h"
#include "store/cipher/Checksum.h"
#include "store/cipher/Rijndael.h"
#include "store/cipher/Ripemd256.h"
#include "store/cipher/TCipher.h"

namespace store {
namespace {

std::string Hex(const uint8_t* p, size_t n) {
  static const char* digits = "0123456789abcdef";
  std::string s;
  for (size_t i = 0; i < n; ++i) {
    s += digits[p[i] >> 4];
    s += digits[p[i] & 15];
  }
  return s;
}

std::vector<uint8_t> Bytes(const std::string& hex) {
  std::vector<uint8_t> out;
  for (size_t i = 0; i + 1 < hex.size(); i += 2)
    out.push_back(static_cast<uint8_t>(std::stoi(hex.substr(i, 2), nullptr, 16)));
  return out;
}

TEST(ChecksumTest, Crc16ArcCheckValueAndKinds) {
  const char* check = "123456789";
  EXPECT_EQ(Crc16Arc(check, 9), 0xBB3D);
  EXPECT_EQ(Checksum(check, 9, 1), 0xBB3Du);
  EXPECT_EQ(Checksum(check, 0, 1), 0u);
  // Kind 0: the tail of n mod 4 bytes does not take part.
  const uint8_t words[] = {1, 2, 3, 4, 0x10, 0x20, 0x30, 0x40, 0xFF, 0xFF, 0xFF};
  EXPECT_EQ(Checksum(words, sizeof words, 0), 0x04030201u ^ 0x40302010u);
  EXPECT_EQ(Checksum(words, 3, 0), 0u);
  // Unknown kinds compute 0 and always verify.
  EXPECT_EQ(Checksum(check, 9, 7), 0u);
  EXPECT_TRUE(VerifyChecksum(check, 9, 7, 0xDEADBEEF));
  EXPECT_TRUE(VerifyChecksum(check, 9, 1, 0xBB3D));
  EXPECT_FALSE(VerifyChecksum(check, 9, 1, 0xBB3E));
  EXPECT_FALSE(VerifyChecksum(words, 8, 0, 0));
}

TEST(Ripemd256Test, ReferenceVectors) {
  struct Case {
    std::string message;
    const char* digest;
  } cases[] = {
      {"", "02ba4c4e5f8ecd1877fc52d64d30e37a2d9774fb1e5d026380ae0168e3c5522d"},
      {"a", "f9333e45d857f5d90a91bab70a1eba0cfb1be4b0783c9acfcd883a9134692925"},
      {"abc", "afbd6e228b9d8cbbcef5ca2d03e6dba10ac0bc7dcbe4680e1e42d2e975459b65"},
      {"message digest", "87e971759a1ce47a514d5c914c392c9018c7c46bc14465554afcdf54a5070c0e"},
      {"abcdefghijklmnopqrstuvwxyz",
       "649d3034751ea216776bf9a18acc81bc7896118a5197968782dd1fd97d8d5133"},
      {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
       "3843045583aac6c8c8d9128573e7a9809afb2a0f34ccc36ea9e72f16f6368e3f"},
      {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
       "5740a408ac16b720b84424ae931cbb1fe363d1d0bf4017f1a89f7ea6de77a0b8"},
      {std::string("1234567890") + "1234567890" + "1234567890" + "1234567890" + "1234567890" +
           "1234567890" + "1234567890" + "1234567890",
       "06fdcc7a409548aaf91368c06a6275b553e3f099bf0ea4edfd6778df89a890dd"},
  };
  for (const auto& c : cases) {
    const auto d = Ripemd256::Hash(c.message);
    EXPECT_EQ(Hex(d.data(), d.size()), c.digest) << '"' << c.message << '"';
    // Fed in pieces of 7 bytes the digest is the same.
    Ripemd256 h;
    for (size_t i = 0; i < c.message.size(); i += 7)
      h.Update(c.message.data() + i, std::min<size_t>(7, c.message.size() - i));
    const auto d2 = h.Final();
    EXPECT_EQ(d, d2);
  }
}

TEST(RijndaelTest, KnownAnswersForEveryKeySize) {
  const auto plain = Bytes("00112233445566778899aabbccddeeff");
  struct Case {
    const char* key;
    const char* cipher;
    int rounds;
  } cases[] = {
      {"000102030405060708090a0b0c0d0e0f", "69c4e0d86a7b0430d8cdb78070b4c55a", 10},
      {"000102030405060708090a0b0c0d0e0f1011121314151617", "dda97ca4864cdfe06eaf70a0ec0d7191", 12},
      {"000102030405060708090a0b0c0d0e0f101112131415161718191a1b1c1d1e1f",
       "8ea2b7ca516745bfeafc49904b496089", 14},
  };
  for (const auto& c : cases) {
    const auto key = Bytes(c.key);
    Rijndael r(key.data(), key.size());
    EXPECT_EQ(r.Rounds(), c.rounds);
    uint8_t out[16], back[16];
    r.EncryptBlock(plain.data(), out);
    EXPECT_EQ(Hex(out, 16), c.cipher);
    r.DecryptBlock(out, back);
    EXPECT_EQ(Hex(back, 16), "00112233445566778899aabbccddeeff");
  }
  // FIPS-197 appendix B: 128-bit key, in place.
  const auto key = Bytes("2b7e151628aed2a6abf7158809cf4f3c");
  auto block = Bytes("3243f6a8885a308d313198a2e0370734");
  Rijndael r(key.data(), key.size());
  r.EncryptBlock(block.data(), block.data());
  EXPECT_EQ(Hex(block.data(), 16), "3925841d02dc09fbdc118597196a0b32");
  EXPECT_THROW(Rijndael(key.data(), 20), std::invalid_argument);
}

TEST(TCipherTest, ChainingFollowsTheFeedbackRule) {
  // Recompute mode 0 by hand from the block cipher and compare.
  const std::string keyString = "secret";
  const auto digest = Ripemd256::Hash(keyString);
  Rijndael raw(digest.data(), 32);
  uint8_t f[16];
  uint8_t ones[16];
  std::memset(ones, 0xFF, 16);
  raw.EncryptBlock(ones, f);

  std::vector<uint8_t> plain(100);
  for (size_t i = 0; i < plain.size(); ++i) plain[i] = static_cast<uint8_t>(i * 7 + 3);
  std::vector<uint8_t> expect(100);
  size_t i = 0;
  for (; i + 16 <= plain.size(); i += 16) {
    uint8_t x[16];
    for (int k = 0; k < 16; ++k) x[k] = plain[i + k] ^ f[k];
    raw.EncryptBlock(x, &expect[i]);
    for (int k = 0; k < 16; ++k) f[k] ^= expect[i + k];
  }
  uint8_t b[16];
  raw.EncryptBlock(f, b);
  for (size_t k = 0; i + k < plain.size(); ++k) expect[i + k] = plain[i + k] ^ b[k];

  TCipher_Rijndael cipher(keyString);
  EXPECT_EQ(cipher.Rounds(), 14);
  std::vector<uint8_t> out(100);
  cipher.EncodeBuffer(plain.data(), out.data(), out.size());
  EXPECT_EQ(out, expect);

  // Deciphering in place with a fresh object restores the input.
  TCipher_Rijndael decoder(keyString);
  decoder.DecodeBuffer(out.data(), out.data(), out.size());
  EXPECT_EQ(out, plain);
}

TEST(TCipherTest, TailsAndLengthsRoundTrip) {
  for (size_t n : {0u, 1u, 15u, 16u, 17u, 31u, 32u, 33u, 4064u}) {
    std::vector<uint8_t> plain(n);
    for (size_t i = 0; i < n; ++i) plain[i] = static_cast<uint8_t>(i ^ 0x5A);
    std::vector<uint8_t> enc(n), dec(n);
    TCipher_Rijndael(std::string("k\0y", 3)).EncodeBuffer(plain.data(), enc.data(), n);
    if (n >= 4) {
      EXPECT_NE(enc, plain) << n;
    }
    TCipher_Rijndael(std::string("k\0y", 3)).DecodeBuffer(enc.data(), dec.data(), n);
    EXPECT_EQ(dec, plain) << n;
    // The zero byte inside the key string counts.
    std::vector<uint8_t> other(n);
    TCipher_Rijndael(std::string("k")).EncodeBuffer(plain.data(), other.data(), n);
    if (n > 0) {
      EXPECT_NE(other, enc) << n;
    }
  }
}

TEST(TCipherTest, UseWithoutKeyRaisesCode3) {
  TCipher_Rijndael cipher;
  uint8_t buf[16] = {};
  try {
    cipher.EncodeBuffer(buf, buf, 16);
    FAIL() << "no exception";
  } catch (const ECipherException& e) {
    EXPECT_EQ(e.ErrorCode(), 3);
    EXPECT_STREQ(e.what(), "TCipher_Rijndael is not initialized call Init() or InitKey() before.");
  }
  EXPECT_THROW(cipher.DecodeBuffer(buf, buf, 16), ECipherException);
}

TEST(TCipherTest, ThroughputAtLeastModest) {
  // A coarse guard against a pathologically slow implementation (the benchmark measures the
  // real rate); 8 MiB must encipher well within two seconds even in a debug build.
  std::vector<uint8_t> data(8 << 20, 0xA5);
  TCipher_Rijndael cipher("speed");
  const auto start = std::chrono::steady_clock::now();
  cipher.EncodeBuffer(data.data(), data.data(), data.size());
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
#ifdef NDEBUG
  EXPECT_LT(seconds, 2.0);
#else
  EXPECT_LT(seconds, 20.0);  // sanitizer builds run unoptimised
#endif
  RecordProperty("MBps", static_cast<int>(8.0 / seconds));
  std::printf("AES-256 mode 0: %.0f MB/s\n", 8.388608 / seconds);
}

}  // namespace
}  // namespace store
