#pragma once
// RIPEMD-256: the 256-bit double-line variant of RIPEMD-128 (two four-round lines that swap
// one register after every round and keep eight chaining words).
#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace store {

using Ripemd256Digest = std::array<uint8_t, 32>;

class Ripemd256 {
 public:
  Ripemd256();
  void Update(const void* data, size_t length);
  Ripemd256Digest Final();

  static Ripemd256Digest Hash(const void* data, size_t length);
  static Ripemd256Digest Hash(std::string_view text) { return Hash(text.data(), text.size()); }

 private:
  void Compress(const uint8_t* block);

  uint32_t state_[8];
  uint8_t buffer_[64];
  size_t buffered_ = 0;
  uint64_t totalBytes_ = 0;
};

}  // namespace store
