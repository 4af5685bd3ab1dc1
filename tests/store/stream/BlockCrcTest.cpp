// The block CRC (folded for long runs, table-driven for short ones and tails) must equal the
// store's checksum kind 1 for every length and alignment, and give the published CRC-16/ARC check
// value.
#include <gtest/gtest.h>

#include <vector>

#include "store/cipher/Checksum.h"
#include "store/stream/BlockCrc.h"

using namespace store;

TEST(BlockCrc, CheckValueAndAgreementWithChecksumKindOne) {
  EXPECT_EQ(BlockCrc("123456789", 9), 0xBB3Du);
  EXPECT_EQ(BlockCrc("", 0), 0u);
  std::vector<uint8_t> data(4096 + 15);
  uint32_t x = 5;
  for (auto& b : data) b = static_cast<uint8_t>((x = x * 1103515245u + 12345u) >> 23);
  for (size_t start = 0; start < 9; start++)
    for (size_t len : {size_t(0), size_t(1), size_t(7), size_t(15), size_t(16), size_t(17),
                       size_t(63), size_t(4096)})
      ASSERT_EQ(BlockCrc(data.data() + start, len), Checksum(data.data() + start, len, 1))
          << start << " " << len;
}

// Long runs take the folding path: every length around its 64- and 16-byte steps and its
// 256-byte threshold, at every alignment, against the bytewise checksum.
TEST(BlockCrc, FoldedRunsAgreeAcrossLengthsAndAlignments) {
  std::vector<uint8_t> data(70000);
  uint32_t x = 11;
  for (auto& b : data) b = static_cast<uint8_t>((x = x * 1103515245u + 12345u) >> 23);
  for (size_t start = 0; start < 16; start++)
    for (size_t len = 240; len < 400; len++)
      ASSERT_EQ(BlockCrc(data.data() + start, len), Checksum(data.data() + start, len, 1))
          << start << " " << len;
  for (size_t len : {size_t(1000), size_t(4097), size_t(65536), size_t(69983)})
    ASSERT_EQ(BlockCrc(data.data() + 3, len), Checksum(data.data() + 3, len, 1)) << len;
  // All-ones and all-zeros blocks exercise every constant bit and the zero register.
  std::vector<uint8_t> ones(8192, 0xFF), zeros(8192, 0);
  EXPECT_EQ(BlockCrc(ones.data(), ones.size()), Checksum(ones.data(), ones.size(), 1));
  EXPECT_EQ(BlockCrc(zeros.data(), zeros.size()), 0u);
}
