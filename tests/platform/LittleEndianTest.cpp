// The byte order of every format in one header: each width against bytes written out by
// hand, unaligned positions, and the stores as the exact inverse of the loads.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/LittleEndian.h"

namespace platform {
namespace {

constexpr uint8_t kBytes[] = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x88, 0xFF};

// Usable in constant expressions (record layouts check their constants at compile time).
static_assert(LoadU16(kBytes) == 0x0201);
static_assert(LoadU32(kBytes + 1) == 0x05040302u);
static_assert(LoadU64(kBytes) == 0x8807060504030201ull);
static_assert(LoadI32(kBytes + 4) == static_cast<int32_t>(0x88070605u));

TEST(LittleEndian, EachWidthReadsAndWritesBytesLowFirstAtAnyOffset) {
  struct Case {
    size_t at;
    uint64_t u64;
    uint32_t u32;
    uint16_t u16;
  };
  const Case cases[] = {{0, 0x8807060504030201ull, 0x04030201u, 0x0201},
                        {1, 0xFF88070605040302ull, 0x05040302u, 0x0302},
                        {5, 0, 0xFF880706u, 0x0706},
                        {7, 0, 0, 0xFF88}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.at);
    const uint8_t* p = kBytes + c.at;
    const size_t left = sizeof kBytes - c.at;
    EXPECT_EQ(LoadU16(p), c.u16);
    std::vector<uint8_t> out(sizeof kBytes, 0xAA);
    StoreU16(out.data() + c.at, c.u16);
    EXPECT_EQ(std::memcmp(out.data() + c.at, p, 2), 0);
    if (c.at + 2 < out.size()) {
      EXPECT_EQ(out[c.at + 2], 0xAA);  // nothing beyond the width
    }
    if (left >= 4) {
      EXPECT_EQ(LoadU32(p), c.u32);
      StoreU32(out.data() + c.at, c.u32);
      EXPECT_EQ(std::memcmp(out.data() + c.at, p, 4), 0);
    }
    if (left >= 8) {
      EXPECT_EQ(LoadU64(p), c.u64);
      StoreU64(out.data() + c.at, c.u64);
      EXPECT_EQ(std::memcmp(out.data() + c.at, p, 8), 0);
    }
  }
}

TEST(LittleEndian, SignedAndDoubleValuesKeepEveryBit) {
  const int32_t ints[] = {0, 1, -1, INT32_MIN, INT32_MAX, -65536};
  for (int32_t v : ints) {
    uint8_t b[4];
    StoreI32(b, v);
    EXPECT_EQ(LoadI32(b), v);
    EXPECT_EQ(LoadU32(b), static_cast<uint32_t>(v));
  }
  // 1.0 is 3FF0000000000000: the exponent byte comes last.
  uint8_t one[8];
  StoreDouble(one, 1.0);
  const uint8_t expected[8] = {0, 0, 0, 0, 0, 0, 0xF0, 0x3F};
  EXPECT_EQ(std::memcmp(one, expected, 8), 0);
  const double values[] = {-0.0, 0.1 + 0.2, 1e308, -4.9e-324};
  for (double v : values) {
    uint8_t b[8];
    StoreDouble(b, v);
    const double back = LoadDouble(b);
    EXPECT_EQ(std::memcmp(&back, &v, 8), 0) << v;
  }
  std::vector<uint8_t> appended;
  AppendU16(appended, 0xBEEF);
  AppendU32(appended, 0x01020304u);
  EXPECT_EQ(appended, (std::vector<uint8_t>{0xEF, 0xBE, 0x04, 0x03, 0x02, 0x01}));
}

}  // namespace
}  // namespace platform
