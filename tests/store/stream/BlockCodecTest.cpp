// The compression-code table and the packed forms of each method: what other tools must be
// able to read (a zlib stream, a bzip2 stream, the PPMd header word) and how damage shows.
#include <bzlib.h>
#include <gtest/gtest.h>
#include <zlib.h>

#include <string>
#include <vector>

#include "platform/LittleEndian.h"
#include "store/stream/BlockCodec.h"

using namespace store;

namespace {
const std::string kFail = "prepare failed";

std::vector<uint8_t> SampleText(size_t n) {
  std::vector<uint8_t> v(n);
  uint32_t x = 7;
  static const char* words[] = {"cell ", "sheet ",  "formula ", "=SUM(A1:B2) ",
                                "row ",  "column ", "42 ",      "\r\n"};
  size_t i = 0;
  while (i < n) {
    x = x * 1103515245u + 12345u;
    for (const char* w = words[(x >> 16) & 7]; *w && i < n; ++w) v[i++] = static_cast<uint8_t>(*w);
  }
  return v;
}
}  // namespace

TEST(BlockCodec, SettingsTableMatchesTheCodes) {
  struct Row {
    uint8_t code;
    CompressionMethod method;
    int level, megabytes;
    uint32_t blockSize;
  };
  const Row rows[] = {{1, CompressionMethod::Zlib, 1, 0, 524288},
                      {2, CompressionMethod::Zlib, 5, 0, 1048576},
                      {5, CompressionMethod::Zlib, 9, 0, 1572864},
                      {6, CompressionMethod::Ppmd, 3, 10, 524288},
                      {3, CompressionMethod::Ppmd, 5, 25, 1048576},
                      {4, CompressionMethod::Ppmd, 13, 50, 1572864},
                      {7, CompressionMethod::BZip2, 2, 0, 524288},
                      {8, CompressionMethod::BZip2, 6, 0, 1048576},
                      {9, CompressionMethod::BZip2, 9, 0, 1572864},
                      {10, CompressionMethod::Invalid, 0, 0, 1048576},
                      {255, CompressionMethod::Invalid, 0, 0, 1048576}};
  for (const Row& r : rows) {
    const CompressionSettings s = SettingsFor(r.code);
    EXPECT_EQ(s.method, r.method) << int(r.code);
    EXPECT_EQ(s.level, r.level) << int(r.code);
    EXPECT_EQ(s.megabytes, r.megabytes) << int(r.code);
    EXPECT_EQ(s.blockSize, r.blockSize) << int(r.code);
  }
}

TEST(BlockCodec, EveryCodeRoundTripsAndPackedFormsAreStandard) {
  const std::vector<uint8_t> data = SampleText(70000);
  for (uint8_t code : {1, 2, 5, 6, 3, 4, 7, 8, 9}) {
    SCOPED_TRACE(int(code));
    const std::vector<uint8_t> packed = CompressBlock(code, data, kFail);
    EXPECT_LT(packed.size(), data.size() / 2);
    std::vector<uint8_t> out;
    ASSERT_TRUE(DecompressBlock(code, packed, data.size(), out));
    EXPECT_TRUE(out == data);

    const CompressionSettings s = SettingsFor(code);
    std::vector<uint8_t> plain(data.size());
    if (s.method == CompressionMethod::Zlib) {
      // A zlib stream with header: the plain library call reads it.
      uLongf n = static_cast<uLongf>(plain.size());
      ASSERT_EQ(uncompress(plain.data(), &n, packed.data(), static_cast<uLong>(packed.size())),
                Z_OK);
      EXPECT_EQ(n, data.size());
      EXPECT_EQ(packed[0], 0x78);
    } else if (s.method == CompressionMethod::BZip2) {
      unsigned int n = static_cast<unsigned int>(plain.size());
      ASSERT_EQ(
          BZ2_bzBuffToBuffDecompress(reinterpret_cast<char*>(plain.data()), &n,
                                     reinterpret_cast<char*>(const_cast<uint8_t*>(packed.data())),
                                     static_cast<unsigned int>(packed.size()), 0, 0),
          BZ_OK);
      EXPECT_EQ(packed[3], '0' + s.level);  // "BZh" and the block factor digit
    } else {
      const uint32_t word = platform::LoadU32(packed.data());
      EXPECT_EQ(word, 0x6000u + uint32_t(s.megabytes - 1) * 16 + uint32_t(s.level - 1));
      EXPECT_EQ(int(word & 15) + 1, s.level);
      EXPECT_EQ(int((word >> 4) & 255) + 1, s.megabytes);
    }
  }
}

TEST(BlockCodec, InvalidCodesFailToCompressAndDecompress) {
  const std::vector<uint8_t> data = SampleText(100);
  for (uint8_t code : {10, 99, 255}) {
    try {
      CompressBlock(code, data, kFail);
      ADD_FAILURE() << "code " << int(code) << " compressed";
    } catch (const StoreError& e) {
      EXPECT_EQ(std::string(e.what()), kFail);
    }
    std::vector<uint8_t> out;
    EXPECT_FALSE(DecompressBlock(code, data, data.size(), out));
  }
  // Code 0 inside a framed file stores the bytes themselves.
  std::vector<uint8_t> out;
  EXPECT_TRUE(CompressBlock(0, data, kFail) == data);
  EXPECT_TRUE(DecompressBlock(0, data, data.size(), out));
  EXPECT_TRUE(out == data);
}

TEST(BlockCodec, DamagedDataIsReportedNotDecodedSilently) {
  const std::vector<uint8_t> data = SampleText(50000);
  for (uint8_t code : {1, 6, 7}) {
    SCOPED_TRACE(int(code));
    std::vector<uint8_t> packed = CompressBlock(code, data, kFail);
    std::vector<uint8_t> out;
    // Cut short.
    std::vector<uint8_t> cut(packed.begin(), packed.begin() + packed.size() / 2);
    EXPECT_FALSE(DecompressBlock(code, cut, data.size(), out) && out == data);
    // Longer than expected: never more than one byte beyond, so the caller can tell.
    if (DecompressBlock(code, packed, data.size() - 10, out)) {
      EXPECT_LE(out.size(), data.size() - 9);
    }
    // Flipped bits in the middle.
    packed[packed.size() / 2] ^= 0x5A;
    EXPECT_FALSE(DecompressBlock(code, packed, data.size(), out) && out == data);
  }
  std::vector<uint8_t> out;
  EXPECT_FALSE(
      DecompressBlock(6, std::vector<uint8_t>{0x00, 0x60}, 10, out));  // PPMd header cut short
}
