#pragma once
// The Rijndael block cipher (16-byte blocks) with keys of 16, 24 or 32 bytes (10, 12 or 14
// rounds), table driven: each round is four look-ups per column in tables that combine the
// byte substitution with the column mixing. The tables are built once from the field
// arithmetic at start-up.
#include <cstddef>
#include <cstdint>

namespace store {

class Rijndael {
 public:
  static constexpr size_t kBlockSize = 16;

  Rijndael() = default;
  // keyLength must be 16, 24 or 32.
  Rijndael(const uint8_t* key, size_t keyLength) { SetKey(key, keyLength); }
  void SetKey(const uint8_t* key, size_t keyLength);
  int Rounds() const { return rounds_; }

  // `in` and `out` may be the same block.
  void EncryptBlock(const uint8_t* in, uint8_t* out) const;
  void DecryptBlock(const uint8_t* in, uint8_t* out) const;

 private:
  uint32_t enc_[60] = {};
  uint32_t dec_[60] = {};
  int rounds_ = 0;
};

}  // namespace store
