#include "store/cipher/SFSPassword.h"

#include <cstring>

#include "platform/Clock.h"
#include "platform/LittleEndian.h"
#include "store/Errors.h"
#include "store/cipher/Checksum.h"
#include "store/cipher/TCipher.h"

namespace store {
namespace {

constexpr size_t kCheckBlock = 0;
constexpr size_t kRecoveryPassword = 32;
constexpr size_t kCheckCrc = 64;
constexpr size_t kRecoveryCrc = 68;
constexpr size_t kQuestion = 72;
constexpr char kQuestionKey[] = "Qm7#vT2!pL9&xR4%k";

void Encipher(std::string_view key, uint8_t* data, size_t length) {
  TCipher_Rijndael cipher(key);
  cipher.EncodeBuffer(data, data, length);
}
void Decipher(std::string_view key, uint8_t* data, size_t length) {
  TCipher_Rijndael cipher(key);
  cipher.DecodeBuffer(data, data, length);
}

// Uniform in 1..254 (rejection keeps the 254 values equally likely).
uint8_t RandomCheckByte() {
  for (;;) {
    const uint32_t r = platform::RandomUInt32() & 0xFF;
    if (r < 254) return static_cast<uint8_t>(r + 1);
  }
}

}  // namespace

PasswordRecord MakePasswordRecord(const std::string& password, const std::string& question,
                                  const std::string& answer, std::string* pageKey) {
  if (password.size() > kMaxPasswordLength)
    throw StoreError("Password length should be shorter then " +
                     std::to_string(kMaxPasswordLength));
  if (question.size() > kMaxQuestionLength)
    throw StoreError("Question length should be shorter then " +
                     std::to_string(kMaxQuestionLength));
  PasswordRecord record{};
  uint8_t* r = record.data();
  for (size_t i = 0; i < 32; ++i) r[kCheckBlock + i] = RandomCheckByte();
  platform::StoreU32(r + kCheckCrc, Checksum(r + kCheckBlock, 32, 1));
  if (pageKey) {
    pageKey->assign(reinterpret_cast<const char*>(r + kCheckBlock), 32);
    pageKey->push_back('\0');
  }
  Encipher(password, r + kCheckBlock, 32);
  if (question.empty() || answer.empty()) return record;
  std::memcpy(r + kQuestion, question.data(), question.size());
  std::memcpy(r + kRecoveryPassword, password.data(), password.size());
  Encipher(kQuestionKey, r + kQuestion, kMaxQuestionLength);
  platform::StoreU32(r + kRecoveryCrc, Checksum(r + kRecoveryPassword, 32, 1));
  Encipher(answer, r + kRecoveryPassword, 32);
  return record;
}

bool CheckPassword(const PasswordRecord& record, const std::string& password,
                   std::string& pageKey) {
  if (password.empty()) return false;
  // Work loop: makes every check, right or wrong, cost the same minimum time.
  uint8_t work[32];
  std::memcpy(work, record.data() + kCheckBlock, 32);
  const uint32_t start = platform::TickCount();
  while (uint32_t(platform::TickCount() - start) < kPasswordWorkMs) Decipher(password, work, 32);

  uint8_t plain[32];
  std::memcpy(plain, record.data() + kCheckBlock, 32);
  Decipher(password, plain, 32);
  if (Checksum(plain, 32, 1) != platform::LoadU32(record.data() + kCheckCrc)) return false;
  pageKey.assign(reinterpret_cast<const char*>(plain), 32);
  pageKey.push_back('\0');
  return true;
}

bool RecoverQuestion(const PasswordRecord& record, std::string& question) {
  uint8_t text[kMaxQuestionLength];
  std::memcpy(text, record.data() + kQuestion, sizeof text);
  bool any = false;
  for (uint8_t b : text) any = any || b != 0;
  if (!any) return false;
  Decipher(kQuestionKey, text, sizeof text);
  size_t length = 0;
  while (length < sizeof text && text[length] != 0) ++length;
  question.assign(reinterpret_cast<const char*>(text), length);
  return true;
}

bool RecoverPassword(const PasswordRecord& record, const std::string& answer,
                     std::string& password) {
  if (answer.empty() || platform::LoadU32(record.data() + kRecoveryCrc) == 0) return false;
  uint8_t plain[32];
  std::memcpy(plain, record.data() + kRecoveryPassword, 32);
  Decipher(answer, plain, 32);
  if (Checksum(plain, 32, 1) != platform::LoadU32(record.data() + kRecoveryCrc)) return false;
  size_t length = 0;
  while (length < 32 && plain[length] != 0) ++length;
  password.assign(reinterpret_cast<const char*>(plain), length);
  return true;
}

}  // namespace store
