#pragma once
// Password records and page keys.
//
// The 172-byte record (little-endian), kept in the store header and in directory entries:
//   OFFSET SIZE DESCRIPTION
//   0      32   CheckBlock: 32 random bytes (each 1..254) enciphered with the password
//   32     32   RecoveryPassword: password zero-padded to 32, enciphered with the answer
//   64     4    CheckCrc: CRC-16/ARC of the 32 random bytes before enciphering
//   68     4    RecoveryCrc: CRC-16/ARC of the padded password; 0 without question/answer
//   72     100  Question: zero-padded, enciphered with the fixed question key
// The page key of a passed check is the deciphered CheckBlock plus one zero byte (33 bytes);
// it, not the password, is the key string of every page the password protects.
#include <array>
#include <cstdint>
#include <string>

namespace store {

constexpr size_t kPasswordRecordSize = 172;
constexpr size_t kMaxPasswordLength = 32;
constexpr size_t kMaxQuestionLength = 100;
using PasswordRecord = std::array<uint8_t, kPasswordRecordSize>;

// Throws StoreError "Password length should be shorter then 32" /
// "Question length should be shorter then 100".
// `pageKey`, when given, receives the page key the record yields (without a check).
PasswordRecord MakePasswordRecord(const std::string& password, const std::string& question,
                                  const std::string& answer, std::string* pageKey = nullptr);

// Always spends at least 256 ms deciphering (equal cost for right and wrong passwords), then
// checks. An empty password never passes. On success `pageKey` receives the page key.
bool CheckPassword(const PasswordRecord& record, const std::string& password, std::string& pageKey);

// The recovery data of a record: the question in plain text, and the password when `answer`
// deciphers the recovery block to bytes whose CRC matches. False when there is none.
bool RecoverQuestion(const PasswordRecord& record, std::string& question);
bool RecoverPassword(const PasswordRecord& record, const std::string& answer,
                     std::string& password);

// The check loop's minimum duration in milliseconds.
constexpr uint32_t kPasswordWorkMs = 256;

}  // namespace store
