#pragma once
// Block compression of framed store streams: the table of compression codes and one whole
// buffer in, one whole buffer out, per method.
//
//   code  method  parameter                 block size (uncompressed bytes)
//   0     none    -                         (plain file; inside a framed file: bytes as is)
//   1     zlib    level 1                   524 288
//   2     zlib    level 5                   1 048 576
//   5     zlib    level 9                   1 572 864
//   6     PPMd G  10 MB model, order 3      524 288
//   3     PPMd G  25 MB model, order 5      1 048 576
//   4     PPMd G  50 MB model, order 13     1 572 864
//   7     bzip2   block factor 2            524 288
//   8     bzip2   block factor 6            1 048 576
//   9     bzip2   block factor 9            1 572 864
//   10+   invalid: compressing fails        1 048 576
//
// Packed forms: zlib stream (header and Adler-32 trailer); bzip2 stream; PPMd: a 32-bit
// little-endian word 0x6000 + (MB - 1) * 16 + (order - 1) and then the range-coded data.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "store/Errors.h"

namespace store {

enum class CompressionMethod { None, Zlib, Ppmd, BZip2, Invalid };

struct CompressionSettings {
  CompressionMethod method;
  int level;      // zlib level, bzip2 block factor, PPMd order
  int megabytes;  // PPMd model memory
  uint32_t blockSize;
};

CompressionSettings SettingsFor(uint8_t code);

// Packs one block. zlib and bzip2 failures throw their codec exceptions; PPMd failures and
// invalid codes throw StoreError with `failureMessage`.
std::vector<uint8_t> CompressBlock(uint8_t code, std::span<const uint8_t> data,
                                   const std::string& failureMessage);

// Unpacks one block that should hold `expectedSize` bytes. Returns false when the data
// cannot be decoded (any method, any reason); on success `out` holds what the data decodes
// to, which may differ in length from `expectedSize` when the block is damaged (never more
// than expectedSize + 1 bytes).
bool DecompressBlock(uint8_t code, std::span<const uint8_t> packed, size_t expectedSize,
                     std::vector<uint8_t>& out);

}  // namespace store
