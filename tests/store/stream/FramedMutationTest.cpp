// Hostile framed files: a small framed file (4 KiB blocks, as another writer may choose) is
// damaged at random, byte flips and truncations, and then opened, read, written and cut.
// Every outcome must be data or a StoreError; never a crash, a hang or another exception.
// Runs clean under the sanitizer build.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/LittleEndian.h"
#include "store/Errors.h"
#include "store/stream/BlockCodec.h"
#include "store/stream/BlockCrc.h"
#include "store/stream/MemoryStream.h"
#include "store/stream/TSFSAdvancedFileStream.h"

using namespace store;
using streamtest::MemoryFile;
using streamtest::MemoryStream;

namespace {
void Put32(std::vector<uint8_t>& b, size_t at, uint32_t v) { platform::StoreU32(b.data() + at, v); }

// A framed file laid out by hand, so that the block size can be small.
std::vector<uint8_t> BuildFramed(uint8_t code, uint32_t blockSize,
                                 const std::vector<uint8_t>& data) {
  std::vector<uint8_t> file(128, 0);
  std::memcpy(file.data(), "KXCS", 4);
  Put32(file, 4, blockSize);
  Put32(file, 16, 0x40000000);
  file[20] = code;
  uint32_t count = 0;
  for (size_t at = 0; at < data.size(); at += blockSize, count++) {
    const size_t n = std::min<size_t>(blockSize, data.size() - at);
    std::vector<uint8_t> packed = CompressBlock(code, {data.data() + at, n}, "compress");
    const size_t h = file.size();
    file.resize(h + 16);
    Put32(file, h, uint32_t(packed.size()));
    Put32(file, h + 4, uint32_t(n));
    Put32(file, h + 8, BlockCrc(data.data() + at, n));
    Put32(file, h + 12, uint32_t(h + 16 + packed.size()));
    file.insert(file.end(), packed.begin(), packed.end());
  }
  Put32(file, 12, count);
  return file;
}

struct Rng {
  uint32_t x;
  uint32_t Next() { return x = x * 1103515245u + 12345u, x >> 8; }
};

// Opens, reads everything, overwrites a little and cuts; returns how it ended.
std::string Exercise(std::shared_ptr<MemoryFile> file, Rng& rng) {
  try {
    TSFSAdvancedFileStream s(std::make_unique<MemoryStream>(file), false, 0, 0);
    std::vector<uint8_t> buf(3000);
    while (s.Read(buf.data(), buf.size()) > 0) {
    }
    const int64_t size = s.Size();
    if (size > 0) {
      s.Seek(int64_t(rng.Next() % uint32_t(size)), SeekOrigin::soBeginning);
      s.Write(buf.data(), 100);
      s.SetSize(size / 2);
      s.Flush();
    }
    return "ok";
  } catch (const StoreError&) {
    return "error";
  }
}
}  // namespace

TEST(FramedMutation, DamagedFilesFailCleanly) {
  std::vector<uint8_t> data(5 * 4096 + 300);
  for (size_t i = 0; i < data.size(); i++)
    data[i] = uint8_t("spreadsheet cells "[i % 18] + (i / 997) % 3);
  for (uint8_t code : {0, 1, 7, 6}) {
    SCOPED_TRACE(int(code));
    const std::vector<uint8_t> pristine = BuildFramed(code, 4096, data);
    {
      // The undamaged file reads back as written.
      auto f = std::make_shared<MemoryFile>();
      f->bytes = pristine;
      TSFSAdvancedFileStream s(std::make_unique<MemoryStream>(f), false, 0, 0);
      std::vector<uint8_t> back(data.size());
      ASSERT_EQ(s.Read(back.data(), back.size()), back.size());
      ASSERT_TRUE(back == data);
    }
    Rng rng{code + 1u};
    int errors = 0;
    const int rounds = code == 6 ? 60 : 250;
    for (int round = 0; round < rounds; round++) {
      auto f = std::make_shared<MemoryFile>();
      f->bytes = pristine;
      if (round % 5 == 4) {
        f->bytes.resize(rng.Next() % pristine.size());
      } else {
        for (int k = 0, n = 1 + int(rng.Next() % 4); k < n; k++) {
          // Headers are where damage does most harm: aim there half of the time.
          const size_t at = rng.Next() % 2 ? rng.Next() % 160 : rng.Next() % pristine.size();
          f->bytes[at] ^= uint8_t(1 + rng.Next() % 255);
        }
      }
      f->readOnly = round % 7 == 3;
      errors += Exercise(f, rng) == "error";
    }
    EXPECT_GT(errors, 0);  // damage is noticed, not glossed over
  }
}
