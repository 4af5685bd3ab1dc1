#include "store/cipher/TCipher.h"

#include <algorithm>
#include <cstring>

#include "store/cipher/Ripemd256.h"

namespace store {

void TCipher::InitKey(std::string_view keyString) {
  const Ripemd256Digest digest = Ripemd256::Hash(keyString);
  const size_t keyLength = std::min<size_t>(digest.size(), maxKeySize_);
  SetKeyBytes(digest.data(), keyLength);
  uint8_t ones[16];
  std::memset(ones, 0xFF, sizeof ones);
  EncryptBlock(ones, iv_);
  initialized_ = true;
  Reset();
}

void TCipher::Reset() { std::memcpy(feedback_, iv_, sizeof feedback_); }

void TCipher::CheckInitialized() const {
  if (!initialized_) {
    throw ECipherException(
        std::string(ClassName()) + " is not initialized call Init() or InitKey() before.", 3);
  }
}

void TCipher::EncodeBuffer(const void* source, void* dest, size_t length) {
  CheckInitialized();
  const auto* in = static_cast<const uint8_t*>(source);
  auto* out = static_cast<uint8_t*>(dest);
  uint8_t block[16];
  size_t done = 0;
  for (; done + 16 <= length; done += 16) {
    for (int i = 0; i < 16; ++i) block[i] = in[done + i] ^ feedback_[i];
    EncryptBlock(block, out + done);
    for (int i = 0; i < 16; ++i) feedback_[i] ^= out[done + i];
  }
  if (done < length) {
    EncryptBlock(feedback_, block);
    for (size_t i = 0; done + i < length; ++i) out[done + i] = in[done + i] ^ block[i];
    for (int i = 0; i < 16; ++i) feedback_[i] ^= block[i];
  }
}

void TCipher::DecodeBuffer(const void* source, void* dest, size_t length) {
  CheckInitialized();
  const auto* in = static_cast<const uint8_t*>(source);
  auto* out = static_cast<uint8_t*>(dest);
  uint8_t block[16];
  uint8_t cipherText[16];
  size_t done = 0;
  for (; done + 16 <= length; done += 16) {
    std::memcpy(cipherText, in + done, 16);  // source and dest may overlap
    DecryptBlock(cipherText, block);
    for (int i = 0; i < 16; ++i) {
      out[done + i] = block[i] ^ feedback_[i];
      feedback_[i] ^= cipherText[i];
    }
  }
  if (done < length) {
    EncryptBlock(feedback_, block);
    for (size_t i = 0; done + i < length; ++i) out[done + i] = in[done + i] ^ block[i];
    for (int i = 0; i < 16; ++i) feedback_[i] ^= block[i];
  }
}

}  // namespace store
