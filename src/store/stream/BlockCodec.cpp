#include "store/stream/BlockCodec.h"

#include <bzlib.h>
#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <new>

#include "platform/LittleEndian.h"
#include "store/stream/PpmdCodec.h"
#include "store/stream/PpmdHeap.h"

namespace store {

namespace {
constexpr uint32_t kPpmdHeaderBase = 0x6000;
constexpr uint32_t kSmallBlock = 524288, kNormalBlock = 1048576, kLargeBlock = 1572864;

std::string BzMessage(const char* format, int code) {
  char text[48];
  std::snprintf(text, sizeof text, format, code);
  return text;
}

std::vector<uint8_t> ZlibCompress(std::span<const uint8_t> data, int level) {
  uLongf size = compressBound(static_cast<uLong>(data.size()));
  std::vector<uint8_t> out(size);
  const int rc = compress2(out.data(), &size, data.data(), static_cast<uLong>(data.size()), level);
  if (rc < 0) throw ECompressionError("error");
  out.resize(size);
  return out;
}

bool ZlibDecompress(std::span<const uint8_t> packed, size_t expected, std::vector<uint8_t>& out) {
  // One byte of room beyond the expected size tells "too long" apart from "broken". Only
  // what the library produces is kept, so the buffer need not be cleared first.
  out.resize(expected + 1);
  z_stream z{};
  if (inflateInit(&z) != Z_OK) return false;
  z.next_in = const_cast<Bytef*>(packed.data());
  z.avail_in = static_cast<uInt>(packed.size());
  z.next_out = out.data();
  z.avail_out = static_cast<uInt>(out.size());
  const int rc = inflate(&z, Z_FINISH);
  const size_t produced = out.size() - z.avail_out;
  inflateEnd(&z);
  if (rc != Z_STREAM_END && !(rc == Z_BUF_ERROR && z.avail_out == 0)) return false;
  out.resize(produced);
  return true;
}

std::vector<uint8_t> BZip2Compress(std::span<const uint8_t> data, int blockFactor) {
  // The documented worst case: 1% larger plus 600 bytes.
  unsigned int size = static_cast<unsigned int>(data.size() + data.size() / 100 + 601);
  std::vector<uint8_t> out(size);
  const int rc =
      BZ2_bzBuffToBuffCompress(reinterpret_cast<char*>(out.data()), &size,
                               const_cast<char*>(reinterpret_cast<const char*>(data.data())),
                               static_cast<unsigned int>(data.size()), blockFactor, 0, 0);
  if (rc == BZ_CONFIG_ERROR || rc == BZ_SEQUENCE_ERROR)
    throw EBZip2Error(BzMessage("Compression Error %d", rc));
  if (rc != BZ_OK) throw EBZCompressionError(BzMessage("error %d", rc));
  out.resize(size);
  return out;
}

bool BZip2Decompress(std::span<const uint8_t> packed, size_t expected, std::vector<uint8_t>& out) {
  out.resize(expected + 1);
  unsigned int size = static_cast<unsigned int>(out.size());
  const int rc =
      BZ2_bzBuffToBuffDecompress(reinterpret_cast<char*>(out.data()), &size,
                                 const_cast<char*>(reinterpret_cast<const char*>(packed.data())),
                                 static_cast<unsigned int>(packed.size()), 0, 0);
  if (rc != BZ_OK) return false;
  out.resize(size);
  return true;
}

uint32_t PpmdHeaderWord(int megabytes, int order) {
  return kPpmdHeaderBase + static_cast<uint32_t>(megabytes - 1) * 16 +
         static_cast<uint32_t>(order - 1);
}
}  // namespace

CompressionSettings SettingsFor(uint8_t code) {
  switch (code) {
    case 0:
      return {CompressionMethod::None, 0, 0, kNormalBlock};
    case 1:
      return {CompressionMethod::Zlib, 1, 0, kSmallBlock};
    case 2:
      return {CompressionMethod::Zlib, 5, 0, kNormalBlock};
    case 5:
      return {CompressionMethod::Zlib, 9, 0, kLargeBlock};
    case 6:
      return {CompressionMethod::Ppmd, 3, 10, kSmallBlock};
    case 3:
      return {CompressionMethod::Ppmd, 5, 25, kNormalBlock};
    case 4:
      return {CompressionMethod::Ppmd, 13, 50, kLargeBlock};
    case 7:
      return {CompressionMethod::BZip2, 2, 0, kSmallBlock};
    case 8:
      return {CompressionMethod::BZip2, 6, 0, kNormalBlock};
    case 9:
      return {CompressionMethod::BZip2, 9, 0, kLargeBlock};
    default:
      return {CompressionMethod::Invalid, 0, 0, kNormalBlock};
  }
}

std::vector<uint8_t> CompressBlock(uint8_t code, std::span<const uint8_t> data,
                                   const std::string& failureMessage) {
  const CompressionSettings s = SettingsFor(code);
  switch (s.method) {
    case CompressionMethod::None:
      return std::vector<uint8_t>(data.begin(), data.end());
    case CompressionMethod::Zlib:
      return ZlibCompress(data, s.level);
    case CompressionMethod::BZip2:
      return BZip2Compress(data, s.level);
    case CompressionMethod::Ppmd:
      try {
        std::vector<uint8_t> coded = PpmdCompress(data, s.level, s.megabytes);
        std::vector<uint8_t> out(4 + coded.size());
        const uint32_t word = PpmdHeaderWord(s.megabytes, s.level);
        platform::StoreU32(out.data(), word);
        std::copy(coded.begin(), coded.end(), out.begin() + 4);
        return out;
      } catch (const std::exception&) {
        throw StoreError(failureMessage);
      }
    case CompressionMethod::Invalid:
      break;
  }
  throw StoreError(failureMessage);
}

bool DecompressBlock(uint8_t code, std::span<const uint8_t> packed, size_t expectedSize,
                     std::vector<uint8_t>& out) {
  try {
    switch (SettingsFor(code).method) {
      case CompressionMethod::None:
        out.assign(packed.begin(), packed.end());
        return true;
      case CompressionMethod::Zlib:
        return ZlibDecompress(packed, expectedSize, out);
      case CompressionMethod::BZip2:
        return BZip2Decompress(packed, expectedSize, out);
      case CompressionMethod::Ppmd: {
        if (packed.size() < 4) return false;
        const uint32_t word = platform::LoadU32(packed.data());
        const int order = static_cast<int>(word & 15) + 1;
        const int megabytes = static_cast<int>((word >> 4) & 255) + 1;
        out = PpmdDecompress(packed.subspan(4), order, megabytes, expectedSize + 1);
        return true;
      }
      case CompressionMethod::Invalid:
        return false;
    }
  } catch (const ppmd::PpmdError&) {
    return false;
  } catch (const std::bad_alloc&) {
    return false;
  }
  return false;
}

}  // namespace store
