#pragma once
// Block cipher objects with the store's chaining. A cipher object is made from a key string
// (any bytes, any length): the key is the RIPEMD-256 digest of the string, so every key is a
// 256-bit Rijndael key. The initial vector is the encryption of sixteen 0xFF bytes; the
// feedback register starts there.
//
// Chaining (mode 0), per 16-byte block P with feedback F:
//   Y = E(P xor F); F = F xor Y                   (decipher: P = D(Y) xor F; F = F xor Y)
// A tail of r < 16 bytes is combined with the first r bytes of B = E(F); F = F xor B.
// Output is as long as input; nothing is padded.
//
// The store makes a fresh object per buffer, so every buffer starts from the initial vector.
// Calls on one object continue the feedback (Reset() returns to the initial vector).
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "store/Errors.h"
#include "store/cipher/Rijndael.h"

namespace store {

class TCipher {
 public:
  virtual ~TCipher() = default;

  size_t BlockSize() const { return blockSize_; }
  size_t MaxKeySize() const { return maxKeySize_; }
  bool Initialized() const { return initialized_; }
  virtual const char* ClassName() const = 0;

  // Sets the key from a key string and resets the feedback to the initial vector.
  void InitKey(std::string_view keyString);
  void Reset();

  // `source` and `dest` may be the same buffer. Throw ECipherException (code 3) without a key.
  void EncodeBuffer(const void* source, void* dest, size_t length);
  void DecodeBuffer(const void* source, void* dest, size_t length);

 protected:
  TCipher(size_t blockSize, size_t maxKeySize) : blockSize_(blockSize), maxKeySize_(maxKeySize) {}
  virtual void SetKeyBytes(const uint8_t* key, size_t length) = 0;
  virtual void EncryptBlock(const uint8_t* in, uint8_t* out) const = 0;
  virtual void DecryptBlock(const uint8_t* in, uint8_t* out) const = 0;

 private:
  void CheckInitialized() const;

  size_t blockSize_;
  size_t maxKeySize_;
  bool initialized_ = false;
  uint8_t iv_[16] = {};
  uint8_t feedback_[16] = {};
};

class TCipher_Rijndael : public TCipher {
 public:
  TCipher_Rijndael() : TCipher(16, 32) {}
  explicit TCipher_Rijndael(std::string_view keyString) : TCipher(16, 32) { InitKey(keyString); }
  const char* ClassName() const override { return "TCipher_Rijndael"; }
  int Rounds() const { return rijndael_.Rounds(); }

 protected:
  void SetKeyBytes(const uint8_t* key, size_t length) override { rijndael_.SetKey(key, length); }
  void EncryptBlock(const uint8_t* in, uint8_t* out) const override {
    rijndael_.EncryptBlock(in, out);
  }
  void DecryptBlock(const uint8_t* in, uint8_t* out) const override {
    rijndael_.DecryptBlock(in, out);
  }

 private:
  Rijndael rijndael_;
};

}  // namespace store
