// Block framing over an in-memory raw file: the bytes it lays down, reading and writing at
// any position, set-size, and how damaged or cut-off files are met.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/LittleEndian.h"
#include "store/cipher/Checksum.h"
#include "store/stream/BlockCodec.h"
#include "store/stream/MemoryStream.h"
#include "store/stream/TSFSAdvancedFileStream.h"
#include "store/stream/TSFSFileStream.h"

using namespace store;
using streamtest::MemoryFile;
using streamtest::MemoryStream;

namespace {
uint32_t Get32(const std::vector<uint8_t>& b, size_t at) {
  return platform::LoadU32(b.data() + at);
}
void Put32(std::vector<uint8_t>& b, size_t at, uint32_t v) { platform::StoreU32(b.data() + at, v); }

std::vector<uint8_t> Text(size_t n, uint32_t seed = 1) {
  static const char* words[] = {"alpha ", "beta ",  "gamma ", "delta ",
                                "12.5 ",  "=A1*2 ", "sheet ", "\n"};
  std::vector<uint8_t> v(n);
  size_t i = 0;
  while (i < n) {
    seed = seed * 1103515245u + 12345u;
    for (const char* w = words[(seed >> 16) & 7]; *w && i < n; ++w) v[i++] = uint8_t(*w);
  }
  return v;
}

std::unique_ptr<TSFSAdvancedFileStream> Create(std::shared_ptr<MemoryFile> f, uint8_t code,
                                               uint8_t def = 0) {
  return std::make_unique<TSFSAdvancedFileStream>(std::make_unique<MemoryStream>(f), true, code,
                                                  def);
}
std::unique_ptr<TSFSAdvancedFileStream> Open(std::shared_ptr<MemoryFile> f, uint8_t code = 0) {
  return std::make_unique<TSFSAdvancedFileStream>(std::make_unique<MemoryStream>(f), false, code,
                                                  0);
}
std::vector<uint8_t> ReadAll(Stream& s) {
  std::vector<uint8_t> v(static_cast<size_t>(s.Size()));
  s.Seek(0, SeekOrigin::soBeginning);
  if (!v.empty()) {
    EXPECT_EQ(s.Read(v.data(), v.size()), v.size());
  }
  return v;
}
std::string ErrorOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const std::exception& e) {
    return e.what();
  }
  return "";
}
}  // namespace

TEST(TSFSAdvancedFileStream, HeaderAndBlockLayoutOnDisk) {
  auto f = std::make_shared<MemoryFile>();
  const std::vector<uint8_t> data = Text(2500000);
  {
    auto s = Create(f, 2);
    EXPECT_EQ(f->bytes.size(), 128u);
    EXPECT_EQ(s->Write(data.data(), data.size()), data.size());
    EXPECT_EQ(s->BlockCount(), 3u);
    EXPECT_EQ(s->Size(), 2500000);
    EXPECT_GT(s->CompressionRate(), 50.0);
  }
  const auto& b = f->bytes;
  EXPECT_EQ(std::string(b.begin(), b.begin() + 4), "KXCS");
  EXPECT_EQ(Get32(b, 4), 1048576u);
  EXPECT_EQ(Get32(b, 8), 0u);
  EXPECT_EQ(Get32(b, 12), 3u);
  EXPECT_EQ(Get32(b, 16), 0x40000000u);
  EXPECT_EQ(b[20], 2);
  EXPECT_EQ(Get32(b, 23), 0u);
  for (size_t i = 27; i < 128; i++) ASSERT_EQ(b[i], 0) << i;
  // Blocks end to end from offset 128, each with its CRC; the last one 402 848 bytes.
  size_t at = 128;
  const uint32_t unpacked[] = {1048576, 1048576, 402848};
  for (int i = 0; i < 3; i++) {
    EXPECT_EQ(Get32(b, at + 4), unpacked[i]);
    const uint32_t crc = Checksum(data.data() + size_t(i) * 1048576, unpacked[i], 1);
    EXPECT_EQ(Get32(b, at + 8), crc);
    EXPECT_EQ(Get32(b, at + 12), at + 16 + Get32(b, at));
    at = Get32(b, at + 12);
  }
  EXPECT_EQ(at, b.size());
  // Reopening with another compression argument reads by the file's own framing.
  auto r = Open(f, 9);
  EXPECT_EQ(r->Compression(), 2);
  EXPECT_TRUE(ReadAll(*r) == data);
}

TEST(TSFSAdvancedFileStream, CompressionZeroFollowsTheStoreDefault) {
  auto plain = std::make_shared<MemoryFile>();
  {
    auto s = Create(plain, 0, 0);
    s->Write("plain bytes", 11);
    EXPECT_FALSE(s->IsFramed());
    EXPECT_EQ(s->CompressionRate(), 0.0);
  }
  EXPECT_EQ(std::string(plain->bytes.begin(), plain->bytes.end()), "plain bytes");
  auto framed = std::make_shared<MemoryFile>();
  {
    auto s = Create(framed, 0, 2);
    EXPECT_TRUE(s->IsFramed());
    EXPECT_EQ(s->Compression(), 2);
    EXPECT_EQ(s->BlockSize(), 1048576u);
  }
  // A raw file that is not framed opens plain, whatever its length.
  auto odd = std::make_shared<MemoryFile>();
  odd->bytes.assign(300, 'x');
  odd->bytes[0] = 'K';
  auto s = Open(odd, 5);
  EXPECT_FALSE(s->IsFramed());
  EXPECT_EQ(s->Size(), 300);
  EXPECT_EQ(s->Position(), 0);
  std::vector<uint8_t> all(300);
  EXPECT_EQ(s->Read(all.data(), all.size()), 300u);
  EXPECT_TRUE(all == odd->bytes);
}

namespace {
class FramedRoundTrip : public ::testing::TestWithParam<uint8_t> {};
}  // namespace

// Empty, tiny, exact block-boundary sizes and several blocks, written in uneven pieces,
// then overwritten at random places in the middle (growing and shrinking blocks) and read
// back after reopening.
TEST_P(FramedRoundTrip, AllSizesWithOverwrites) {
  const uint8_t code = GetParam();
  const size_t multiBlock = 2 * SettingsFor(code).blockSize + 123457;
  for (size_t size :
       {size_t(0), size_t(1), size_t(524288), size_t(1048576), size_t(1572864), multiBlock}) {
    const bool multi = size == multiBlock;
    SCOPED_TRACE(size);
    auto f = std::make_shared<MemoryFile>();
    std::vector<uint8_t> expect = Text(size, uint32_t(size) + code);
    {
      auto s = Create(f, code);
      const size_t firstPart = std::min(size, size / 3 + 7);
      if (firstPart) {
        ASSERT_EQ(s->Write(expect.data(), firstPart), firstPart);
      }
      if (size > firstPart) {
        ASSERT_EQ(s->Write(expect.data() + firstPart, size - firstPart), size - firstPart);
      }
      EXPECT_EQ(s->Size(), int64_t(size));
    }
    if (multi) {
      auto s = Open(f);
      uint32_t x = 99;
      for (int k = 0; k < 3; k++) {
        x = x * 1103515245u + 12345u;
        const size_t at = (x >> 8) % (size - 5000);
        // Random bytes do not compress: the block grows and the later blocks move.
        std::vector<uint8_t> patch(k == 1 ? 1 : 4000);
        for (auto& c : patch) c = uint8_t((x = x * 1103515245u + 12345u) >> 24);
        s->Seek(int64_t(at), SeekOrigin::soBeginning);
        ASSERT_EQ(s->Write(patch.data(), patch.size()), patch.size());
        std::memcpy(expect.data() + at, patch.data(), patch.size());
        EXPECT_EQ(s->Position(), int64_t(at + patch.size()));
      }
    }
    auto r = Open(f);
    EXPECT_EQ(r->Size(), int64_t(size));
    ASSERT_TRUE(ReadAll(*r) == expect);
    // Reads across a block boundary in small pieces.
    if (size > 524288 + 10) {
      std::vector<uint8_t> piece(20);
      r->Seek(524288 - 10, SeekOrigin::soBeginning);
      ASSERT_EQ(r->Read(piece.data(), 20), 20u);
      EXPECT_EQ(0, std::memcmp(piece.data(), expect.data() + 524288 - 10, 20));
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Codes, FramedRoundTrip, ::testing::Values(1, 2, 5, 6, 3, 4, 7, 8, 9),
                         [](const ::testing::TestParamInfo<uint8_t>& i) {
                           return "code" + std::to_string(i.param);
                         });

TEST(TSFSAdvancedFileStream, RewritingOneByteTouchesOnlyItsBlock) {
  auto f = std::make_shared<MemoryFile>();
  const std::vector<uint8_t> data = Text(3 * 524288);
  Create(f, 1)->Write(data.data(), data.size());
  const std::vector<uint8_t> before = f->bytes;
  const uint32_t block1 = Get32(before, 128 + 12);
  const uint32_t block2 = Get32(before, block1 + 12);
  {
    auto s = Open(f);
    s->Seek(524288 + 1000, SeekOrigin::soBeginning);
    const uint8_t same = data[524288 + 1000] == 'a' ? 'b' : 'a';
    s->Write(&same, 1);
  }
  const std::vector<uint8_t>& after = f->bytes;
  ASSERT_GE(after.size(), before.size() - 100);
  // Header block count unchanged; block 0 and block 2 (header and data) byte for byte equal.
  EXPECT_TRUE(std::equal(before.begin(), before.begin() + block1, after.begin()));
  if (Get32(after, block1) <= Get32(before, block1)) {
    EXPECT_TRUE(std::equal(before.begin() + block2, before.end(), after.begin() + block2));
    EXPECT_EQ(Get32(after, block1 + 12), block2);  // a shrunk block keeps its place
  }
}

TEST(TSFSAdvancedFileStream, WritingBeyondTheEndAndSettingTheSize) {
  for (uint8_t code : {uint8_t(0), uint8_t(7)}) {
    SCOPED_TRACE(int(code));
    auto f = std::make_shared<MemoryFile>();
    auto s = Create(f, code);
    s->Write("head", 4);
    s->Seek(600000, SeekOrigin::soBeginning);
    s->Write("tail", 4);
    EXPECT_EQ(s->Size(), 600004);
    std::vector<uint8_t> all = ReadAll(*s);
    EXPECT_EQ(std::string(all.begin(), all.begin() + 4), "head");
    EXPECT_EQ(std::string(all.begin() + 600000, all.end()), "tail");
    EXPECT_TRUE(
        std::all_of(all.begin() + 4, all.begin() + 600000, [](uint8_t c) { return c == 0; }));

    s->SetSize(524288 + 3);  // cut inside block 1
    EXPECT_EQ(s->Size(), 524291);
    EXPECT_LE(s->Position(), 524291);
    s->SetSize(524288);  // exactly on a block boundary
    EXPECT_EQ(s->Size(), 524288);
    s->SetSize(700000);  // grow with zeros, position stays
    s->Seek(0, SeekOrigin::soBeginning);
    s->SetSize(700001);
    EXPECT_EQ(s->Position(), 0);
    all = ReadAll(*s);
    EXPECT_EQ(all.size(), 700001u);
    EXPECT_TRUE(std::all_of(all.begin() + 4, all.end(), [](uint8_t c) { return c == 0; }));
    s->SetSize(0);
    EXPECT_EQ(s->Size(), 0);
    if (code != 0) {
      EXPECT_EQ(f->bytes.size(), 128u);
      EXPECT_EQ(Get32(f->bytes, 12), 0u);
    }
    EXPECT_EQ(s->Seek(-5, SeekOrigin::soEnd), 0);  // below 0 becomes 0
  }
}

TEST(TSFSAdvancedFileStream, CorruptBlockCrcFailsOnTheFirstReadThatTouchesIt) {
  auto f = std::make_shared<MemoryFile>();
  const std::vector<uint8_t> data = Text(2 * 524288);
  Create(f, 7)->Write(data.data(), data.size());
  const uint32_t block1 = Get32(f->bytes, 128 + 12);
  Put32(f->bytes, block1 + 8, Get32(f->bytes, block1 + 8) ^ 0x1234);
  auto s = Open(f);
  std::vector<uint8_t> buf(1000);
  EXPECT_EQ(s->Read(buf.data(), buf.size()), buf.size());  // block 0 is sound
  s->Seek(524288 + 5, SeekOrigin::soBeginning);
  EXPECT_EQ(ErrorOf([&] { s->Read(buf.data(), 10); }),
            "TSFSAdvancedFileStream.LoadBlock - decompression crc error.");
  EXPECT_EQ(s->Position(), 524288 + 5);

  // Damaged packed data and a wrong unpacked size have their own messages.
  auto g = std::make_shared<MemoryFile>();
  Create(g, 1)->Write(data.data(), 524288);
  g->bytes[128 + 16 + 40] ^= 0xFF;
  EXPECT_EQ(ErrorOf([&] { ReadAll(*Open(g)); }),
            "TSFSAdvancedFileStream.LoadBlock - decompression error.");
  auto h = std::make_shared<MemoryFile>();
  Create(h, 1)->Write(data.data(), 1000);
  Put32(h->bytes, 128 + 4, 999);
  EXPECT_EQ(ErrorOf([&] { ReadAll(*Open(h)); }),
            "TSFSAdvancedFileStream.LoadBlock - decompression error, invalid size.");
  // Packed data cut off by the end of the raw file.
  h->bytes.resize(h->bytes.size() - 3);
  Put32(h->bytes, 128 + 4, 1000);
  EXPECT_EQ(ErrorOf([&] { ReadAll(*Open(h)); }),
            "TSFSAdvancedFileStream.LoadBlock - decompression error.");
}

TEST(TSFSAdvancedFileStream, FileCutInsideABlockHeaderIsRepairedWhenWritable) {
  auto f = std::make_shared<MemoryFile>();
  const std::vector<uint8_t> data = Text(3 * 524288);
  Create(f, 1)->Write(data.data(), data.size());
  const uint32_t block2 = Get32(f->bytes, Get32(f->bytes, 128 + 12) + 12);
  std::vector<uint8_t> cut(f->bytes.begin(), f->bytes.begin() + block2 + 9);

  auto ro = std::make_shared<MemoryFile>();
  ro->bytes = cut;
  ro->readOnly = true;
  EXPECT_NE(ErrorOf([&] { Open(ro); }), "");
  EXPECT_TRUE(ro->bytes == cut);

  auto rw = std::make_shared<MemoryFile>();
  rw->bytes = cut;
  {
    auto s = Open(rw);
    EXPECT_EQ(s->BlockCount(), 2u);
    EXPECT_EQ(s->Size(), 2 * 524288);
    std::vector<uint8_t> all = ReadAll(*s);
    EXPECT_TRUE(std::equal(all.begin(), all.end(), data.begin()));
  }
  EXPECT_EQ(rw->bytes.size(), block2);
  EXPECT_EQ(Get32(rw->bytes, 12), 2u);
}

TEST(TSFSAdvancedFileStream, HostileHeadersAreRejected) {
  auto make = [](auto edit) {
    auto f = std::make_shared<MemoryFile>();
    const std::vector<uint8_t> data = Text(2 * 524288 + 10);
    Create(f, 1)->Write(data.data(), data.size());
    edit(f->bytes);
    return f;
  };
  const std::string bad = "TSFSAdvancedFileStream.Create - invalid stream header.";
  EXPECT_EQ(ErrorOf([&] { Open(make([](auto& b) { Put32(b, 4, 0); })); }), bad);  // zero block size
  EXPECT_EQ(ErrorOf([&] { Open(make([](auto& b) { Put32(b, 4, 0x7FFFFFFF); })); }),
            bad);  // absurd block size
  EXPECT_EQ(ErrorOf([&] { Open(make([](auto& b) { Put32(b, 128 + 12, 128); })); }),
            bad);  // chain loops back
  EXPECT_EQ(ErrorOf([&] { Open(make([](auto& b) { Put32(b, 128 + 4, 100); })); }),
            bad);  // short middle block
  // An extension reaching past the end of the file, with blocks or without: a write must not
  // grow the file to where block 0 would then start.
  EXPECT_EQ(ErrorOf([&] { Open(make([](auto& b) { Put32(b, 23, 0x03E139CE); })); }), bad);
  auto empty = std::make_shared<MemoryFile>();
  Create(empty, 1);
  Put32(empty->bytes, 23, 0xFFFFFF00);
  EXPECT_EQ(ErrorOf([&] { Open(empty)->Write("x", 1); }), bad);
  EXPECT_EQ(empty->bytes.size(), 128u);
  // A block count far beyond the file: the walk stops at the end and the tail is repaired.
  auto f = make([](auto& b) { Put32(b, 12, 0xFFFFFFFF); });
  auto s = Open(f);
  EXPECT_EQ(s->BlockCount(), 3u);
}

TEST(TSFSAdvancedFileStream, ProgressRunsFromZeroToHundredPerBlock) {
  auto f = std::make_shared<MemoryFile>();
  auto s = Create(f, 1);
  std::vector<double> seen;
  s->OnProgress = [&](Stream&, double p) { seen.push_back(p); };
  const std::vector<uint8_t> data = Text(4 * 524288);
  s->Write(data.data(), data.size());
  ASSERT_EQ(seen.size(), 6u);
  EXPECT_EQ(seen.front(), 0.0);
  EXPECT_DOUBLE_EQ(seen[1], 25.0);
  EXPECT_DOUBLE_EQ(seen[4], 100.0);
  EXPECT_EQ(seen.back(), 100.0);
  seen.clear();
  s->Seek(2 * 524288, SeekOrigin::soBeginning);  // two blocks from here to the end
  std::vector<uint8_t> buf(2 * 524288);
  s->Read(buf.data(), buf.size());
  ASSERT_EQ(seen.size(), 4u);
  EXPECT_DOUBLE_EQ(seen[1], 50.0);
  seen.clear();
  s->SetSize(5 * 524288);  // extending reports nothing
  EXPECT_TRUE(seen.empty());
}

TEST(TSFSFileStream, ReadOnlyModeRefusesChanges) {
  auto f = std::make_shared<MemoryFile>();
  {
    TSFSFileStream w(Create(f, 1), "book.xls", 0xFFFF);
    EXPECT_FALSE(w.ReadOnly());
    w.Write("data", 4);
  }
  for (uint16_t mode : {uint16_t(0x0000), uint16_t(0x0010)}) {
    TSFSFileStream r(Open(f), "book.xls", mode);
    EXPECT_TRUE(r.ReadOnly());
    EXPECT_EQ(ErrorOf([&] { r.Write("x", 1); }),
              "TSFSFileStream.Write - file is in read only mode.");
    EXPECT_EQ(ErrorOf([&] { r.SetSize(0); }),
              "TSFSFileStream.SetSize - file is in read only mode.");
    EXPECT_EQ(r.Size(), 4);
  }
  TSFSFileStream rw(Open(f), "book.xls", 0x0002);
  int calls = 0;
  rw.OnProgress = [&](Stream&, double) { calls++; };
  rw.Seek(0, SeekOrigin::soEnd);
  EXPECT_EQ(rw.Write("more", 4), 4u);
  EXPECT_GT(calls, 0);
  char buf[8];
  rw.Seek(0, SeekOrigin::soBeginning);
  EXPECT_EQ(rw.Read(buf, 8), 8u);
  EXPECT_EQ(std::string(buf, 8), "datamore");
  EXPECT_EQ(ErrorOf([] { TSFSAdvancedFileStream s(std::unique_ptr<Stream>(), false, 0, 0); }),
            "TSFSAdvancedFileStream.Create - SingleFileSystem = nil.");
}

TEST(TSFSAdvancedFileStream, SmallPiecesGiveTheSameFileAsOneWrite) {
  const std::vector<uint8_t> data = Text(3 * 524288 + 777);
  auto whole = std::make_shared<MemoryFile>();
  Create(whole, 1)->Write(data.data(), data.size());
  auto pieces = std::make_shared<MemoryFile>();
  {
    auto s = Create(pieces, 1);
    for (size_t at = 0; at < data.size(); at += 4093) {
      const size_t n = std::min<size_t>(4093, data.size() - at);
      ASSERT_EQ(s->Write(data.data() + at, n), n);
      ASSERT_EQ(s->Size(), int64_t(at + n));  // pending bytes count at once
    }
    // A read sees what is still held back, and leaves the file complete.
    std::vector<uint8_t> tail(777);
    s->Seek(-777, SeekOrigin::soEnd);
    ASSERT_EQ(s->Read(tail.data(), tail.size()), tail.size());
    EXPECT_EQ(0, std::memcmp(tail.data(), data.data() + data.size() - 777, 777));
    EXPECT_TRUE(pieces->bytes == whole->bytes);
    s->Seek(0, SeekOrigin::soEnd);
    s->Write("!", 1);
  }
  // Destruction writes the last piece.
  auto r = Open(pieces);
  EXPECT_EQ(r->Size(), int64_t(data.size() + 1));
}

TEST(TSFSAdvancedFileStream, FlushReportsAFailedLastBlock) {
  auto f = std::make_shared<MemoryFile>();
  auto s = Create(f, 1);
  s->Write("pending", 7);
  EXPECT_EQ(f->bytes.size(), 128u);  // nothing written yet
  f->readOnly = true;
  EXPECT_EQ(ErrorOf([&] { s->Flush(); }), "Stream write error");
  EXPECT_EQ(s->Size(), 7);  // still pending, nothing lost
  f->readOnly = false;
  s->Flush();
  EXPECT_EQ(Open(f)->Size(), 7);
  // An invalid code fails in the write itself (never held back), with the PrepareBuffer
  // message, and leaves the stream empty.
  auto g = std::make_shared<MemoryFile>();
  auto bad = Create(g, 12);
  EXPECT_EQ(bad->BlockSize(), 1048576u);
  EXPECT_EQ(ErrorOf([&] { bad->Write("x", 1); }),
            "TSFSAdvancedFileStream.PrepareBufferForWriting - compression error in PrepareBuffer.");
  EXPECT_EQ(bad->Size(), 0);
  std::vector<uint8_t> big(1048576 + 5, 'y');
  bad->Seek(0, SeekOrigin::soBeginning);
  EXPECT_EQ(ErrorOf([&] { bad->Write(big.data(), big.size()); }),
            "TSFSAdvancedFileStream.PrepareBufferForWriting - compression error in PrepareBuffer.");
}
