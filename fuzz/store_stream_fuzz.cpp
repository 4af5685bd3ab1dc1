// libFuzzer entry over reading framed streams. The first input byte picks the mode, the last
// sixteen give seek positions, and the bytes between are the raw contents of a stored file,
// served from memory. Opening it, reading it whole, then seeking and reading at the positions
// must end in data or an exception, never a crash, hang or unbounded allocation. In the
// writable mode a write in the middle and a cut follow, which run the repair and re-framing
// paths over the same damaged bytes.
// Seeds are in fuzz/corpus/store_stream/.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <exception>
#include <memory>
#include <vector>

#include "store/stream/MemoryStream.h"
#include "store/stream/TSFSAdvancedFileStream.h"

namespace {
constexpr size_t kTrailer = 16;

uint32_t Get32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1 + kTrailer) return 0;
  const uint8_t mode = data[0];
  const uint8_t* trailer = data + size - kTrailer;
  auto file = std::make_shared<streamtest::MemoryFile>();
  file->bytes.assign(data + 1, data + size - kTrailer);
  file->readOnly = (mode & 1) == 0;
  std::vector<uint8_t> buffer(1 << 16);
  try {
    store::TSFSAdvancedFileStream s(std::make_unique<streamtest::MemoryStream>(file), false, 0, 1);
    // At most a few blocks' worth, so that a header claiming a huge stream stays quick.
    for (int i = 0; i < 64 && s.Read(buffer.data(), buffer.size()) > 0; ++i) {
    }
    const int64_t length = s.Size();
    for (size_t k = 0; k < kTrailer; k += 4) {
      const uint32_t word = Get32(trailer + k);
      const int64_t at =
          length > 0 ? static_cast<int64_t>(word % static_cast<uint64_t>(length + 16)) : word % 64;
      s.Seek(at, store::SeekOrigin::soBeginning);
      s.Read(buffer.data(), 1 + word % 4096);
    }
    if (!file->readOnly) {
      const uint32_t word = Get32(trailer);
      s.Seek(length / 2, store::SeekOrigin::soBeginning);
      std::memset(buffer.data(), static_cast<int>(mode), 4096);
      s.Write(buffer.data(), 1 + word % 4096);
      s.SetSize(length / 3);
      s.Flush();
      s.Seek(0, store::SeekOrigin::soBeginning);
      s.Read(buffer.data(), buffer.size());
    }
  } catch (const std::exception&) {
  }
  return 0;
}
