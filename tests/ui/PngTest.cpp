// PNG writing and reading: a round trip over every kind of pixel, and one test per way a file
// can be malformed, each refused with a message naming the fault.
#include <gtest/gtest.h>
#include <zlib.h>

#include "ui/Image.h"

namespace ui {
namespace {

Image Sample() {
  Image image(7, 5);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 7; ++x)
      image.Set(x, y,
                Rgba{static_cast<uint8_t>(x * 40), static_cast<uint8_t>(y * 60),
                     static_cast<uint8_t>(x * y * 9), static_cast<uint8_t>(x == 3 ? 0 : 255)});
  return image;
}

TEST(Png, RoundTripKeepsEveryPixel) {
  const Image image = Sample();
  std::string error;
  const Image back = DecodePng(EncodePng(image), &error);
  EXPECT_EQ(error, "");
  EXPECT_EQ(back, image);
}

void PutBe32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (24 - 8 * i));
}

// Rewrites the CRC of the chunk at offset at after its data was changed.
void FixCrc(std::vector<uint8_t>& b, size_t at) {
  const uint32_t length = (b[at] << 24) | (b[at + 1] << 16) | (b[at + 2] << 8) | b[at + 3];
  PutBe32(b, at + 8 + length, static_cast<uint32_t>(crc32(0, &b[at + 4], length + 4)));
}

void ExpectRefused(const std::vector<uint8_t>& bytes, const std::string& fragment) {
  std::string error;
  EXPECT_TRUE(DecodePng(bytes, &error).IsEmpty());
  EXPECT_NE(error.find(fragment), std::string::npos) << "error was: " << error;
}

constexpr size_t kIhdr = 8;  // the first chunk; its data starts at 16

TEST(PngCorrupt, BadSignature) {
  auto b = EncodePng(Sample());
  b[1] = 'Q';
  ExpectRefused(b, "signature");
}

TEST(PngCorrupt, TruncatedChunk) {
  auto b = EncodePng(Sample());
  b.resize(50);  // inside the image data chunk
  ExpectRefused(b, "beyond the file");
  b.resize(40);  // not even a chunk header left
  ExpectRefused(b, "truncated chunk");
}

TEST(PngCorrupt, CrcMismatch) {
  auto b = EncodePng(Sample());
  b[20] ^= 1;  // a byte of the height
  ExpectRefused(b, "CRC mismatch");
}

TEST(PngCorrupt, SixteenBitDepth) {
  auto b = EncodePng(Sample());
  b[kIhdr + 16] = 16;
  FixCrc(b, kIhdr);
  ExpectRefused(b, "bit depth 16");
}

TEST(PngCorrupt, Interlaced) {
  auto b = EncodePng(Sample());
  b[kIhdr + 20] = 1;
  FixCrc(b, kIhdr);
  ExpectRefused(b, "interlaced");
}

TEST(PngCorrupt, HugeSizeRefusedBeforeAllocating) {
  auto b = EncodePng(Sample());
  PutBe32(b, kIhdr + 8, 100000);
  PutBe32(b, kIhdr + 12, 100000);
  FixCrc(b, kIhdr);
  ExpectRefused(b, "refused");
}

TEST(PngCorrupt, DataShorterThanTheImage) {
  auto b = EncodePng(Sample());
  PutBe32(b, kIhdr + 12, 6);  // one row more than the data holds
  FixCrc(b, kIhdr);
  ExpectRefused(b, "does not inflate");
}

TEST(PngCorrupt, MissingHeader) {
  const auto good = EncodePng(Sample());
  std::vector<uint8_t> b(good.begin(), good.begin() + 8);
  b.insert(b.end(), good.begin() + 8 + 25, good.end());  // drop IHDR (12 + 13 bytes)
  ExpectRefused(b, "no IHDR");
}

TEST(PngCorrupt, UnknownFilter) {
  // Rebuild the image data with a filter byte of 7 on the first row.
  const Image image = Sample();
  auto b = EncodePng(image);
  const size_t idat = kIhdr + 25;
  const uint32_t length = (b[idat] << 24) | (b[idat + 1] << 16) | (b[idat + 2] << 8) | b[idat + 3];
  std::vector<uint8_t> raw(5 * (1 + 7 * 4), 0);
  raw[0] = 7;
  uLongf size = compressBound(static_cast<uLong>(raw.size()));
  std::vector<uint8_t> packed(size);
  ASSERT_EQ(compress(packed.data(), &size, raw.data(), static_cast<uLong>(raw.size())), Z_OK);
  packed.resize(size);
  std::vector<uint8_t> out(b.begin(), b.begin() + idat);
  out.resize(idat + 8);
  PutBe32(out, idat, static_cast<uint32_t>(packed.size()));
  std::copy(b.begin() + idat + 4, b.begin() + idat + 8, out.begin() + idat + 4);
  out.insert(out.end(), packed.begin(), packed.end());
  out.resize(out.size() + 4);
  FixCrc(out, idat);
  out.insert(out.end(), b.begin() + idat + 12 + length, b.end());
  ExpectRefused(out, "filter 7");
}

TEST(PngFile, MissingFileNamesThePath) {
  std::string error;
  EXPECT_TRUE(ReadPng("no-such-dir/none.png", &error).IsEmpty());
  EXPECT_NE(error.find("no-such-dir/none.png"), std::string::npos) << error;
}

}  // namespace
}  // namespace ui
