// Password records, checks and page keys.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>

#include "platform/LittleEndian.h"
#include "store/Errors.h"
#include "store/cipher/Checksum.h"
#include "store/cipher/SFSPassword.h"
#include "store/cipher/TCipher.h"

namespace store {
namespace {

bool AllZero(const PasswordRecord& r, size_t from, size_t to) {
  for (size_t i = from; i < to; ++i)
    if (r[i] != 0) return false;
  return true;
}

TEST(PasswordRecordTest, LayoutAndLimits) {
  std::string key;
  const PasswordRecord r = MakePasswordRecord(std::string(32, 'p'), "", "", &key);
  // No question: recovery fields stay zero.
  EXPECT_TRUE(AllZero(r, 32, 64));
  EXPECT_TRUE(AllZero(r, 68, 172));
  // CheckCrc is the CRC of the plain check bytes, which the page key holds.
  ASSERT_EQ(key.size(), 33u);
  EXPECT_EQ(key[32], '\0');
  uint32_t crc = platform::LoadU32(r.data() + 64);
  EXPECT_EQ(crc, Checksum(key.data(), 32, 1));
  for (int i = 0; i < 32; ++i) {
    EXPECT_GE(uint8_t(key[size_t(i)]), 1);
    EXPECT_LE(uint8_t(key[size_t(i)]), 254);
  }
  // The stored check block is the plain bytes enciphered with the password.
  uint8_t block[32];
  std::memcpy(block, key.data(), 32);
  TCipher_Rijndael(std::string(32, 'p')).EncodeBuffer(block, block, 32);
  EXPECT_EQ(std::memcmp(block, r.data(), 32), 0);

  try {
    MakePasswordRecord(std::string(33, 'p'), "", "");
    FAIL();
  } catch (const StoreError& e) {
    EXPECT_STREQ(e.what(), "Password length should be shorter then 32");
  }
  try {
    MakePasswordRecord("pw", std::string(101, 'q'), "a");
    FAIL();
  } catch (const StoreError& e) {
    EXPECT_STREQ(e.what(), "Question length should be shorter then 100");
  }
  // A question without an answer, or an answer without a question, records no recovery.
  EXPECT_TRUE(AllZero(MakePasswordRecord("pw", "Pet?", ""), 32, 64));
  const auto answerOnly = MakePasswordRecord("pw", "", "Rex");
  EXPECT_TRUE(AllZero(answerOnly, 32, 64));
  EXPECT_TRUE(AllZero(answerOnly, 68, 172));
}

TEST(PasswordRecordTest, RecoveryQuestionAndAnswer) {
  const PasswordRecord r = MakePasswordRecord("opensesame", "Name of the cat?", "Tom");
  std::string question, password;
  ASSERT_TRUE(RecoverQuestion(r, question));
  EXPECT_EQ(question, "Name of the cat?");
  ASSERT_TRUE(RecoverPassword(r, "Tom", password));
  EXPECT_EQ(password, "opensesame");
  EXPECT_FALSE(RecoverPassword(r, "Jerry", password));
  // The question is stored enciphered, not as text.
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(r.data() + 72), 4).find("Name"),
            std::string::npos);
}

TEST(PasswordCheckTest, RightWrongAndEmptyPasswords) {
  std::string key1, key2, made1;
  const auto r1 = MakePasswordRecord("secret", "", "", &made1);
  const auto r2 = MakePasswordRecord("secret", "", "");
  EXPECT_NE(r1, r2);  // random check blocks

  const auto start = std::chrono::steady_clock::now();
  EXPECT_TRUE(CheckPassword(r1, "secret", key1));
  const auto right = std::chrono::steady_clock::now() - start;
  EXPECT_EQ(key1, made1);
  EXPECT_TRUE(CheckPassword(r2, "secret", key2));
  EXPECT_NE(key1, key2);

  std::string untouched = "unchanged";
  const auto wrongStart = std::chrono::steady_clock::now();
  EXPECT_FALSE(CheckPassword(r1, "Secret", untouched));
  const auto wrong = std::chrono::steady_clock::now() - wrongStart;
  EXPECT_EQ(untouched, "unchanged");
  EXPECT_FALSE(CheckPassword(r1, "", untouched));

  // Both checks cost the work loop; neither is much shorter than the other.
  EXPECT_GE(std::chrono::duration_cast<std::chrono::milliseconds>(right).count(), 250);
  EXPECT_GE(std::chrono::duration_cast<std::chrono::milliseconds>(wrong).count(), 250);
}

}  // namespace
}  // namespace store
