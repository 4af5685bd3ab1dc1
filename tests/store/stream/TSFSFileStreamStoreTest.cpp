// Streams inside a real store on disk: default compression, plain files, per-file passwords,
// read-only stores and the repair of a file cut inside a block header.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "store/StoreTestUtil.h"
#include "store/TSFSUserFileStream.h"
#include "store/TSingleFileSystem.h"
#include "store/stream/TSFSFileStream.h"

using namespace store;
using store::test::ScratchPath;

namespace {
std::vector<uint8_t> Text(size_t n) {
  std::vector<uint8_t> v(n);
  uint32_t x = 3;
  for (size_t i = 0; i < n; i++) {
    x = x * 1103515245u + 12345u;
    v[i] = static_cast<uint8_t>("abcdefgh  \n123"[(x >> 16) % 14]);
  }
  return v;
}
std::vector<uint8_t> ReadAll(Stream& s) {
  std::vector<uint8_t> v(static_cast<size_t>(s.Size()));
  s.Seek(0, SeekOrigin::soBeginning);
  if (!v.empty()) s.ReadBuffer(v.data(), v.size());
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

TEST(TSFSFileStreamInStore, DefaultCompressionFramesAndReadOnlyStoreReads) {
  const std::string path = ScratchPath("default.sfs");
  const std::vector<uint8_t> data = Text(2500000);
  {
    TSingleFileSystem fs(path, kModeCreate, "", "", "", 2);
    TSFSFileStream s(&fs, "Book1.xls", 0xFFFF);
    s.WriteBuffer(data.data(), data.size());
    EXPECT_EQ(s.Inner().Compression(), 2);
    EXPECT_EQ(s.Inner().BlockSize(), 1048576u);
    EXPECT_EQ(s.Inner().BlockCount(), 3u);
  }
  TSingleFileSystem fs(path, kModeReadOnly);
  {
    // The compression argument is ignored on opening: the framing comes from the file.
    TSFSFileStream s(&fs, "Book1.xls", 0, "", "", "", 7);
    EXPECT_EQ(s.Inner().Compression(), 2);
    EXPECT_TRUE(ReadAll(s) == data);
    EXPECT_EQ(ErrorOf([&] { s.Write("x", 1); }),
              "TSFSFileStream.Write - file is in read only mode.");
  }
  TSFSUserFileStream raw(&fs, "Book1.xls", 0);
  EXPECT_LT(raw.Size(), 2000000);  // compressed in the store
}

TEST(TSFSFileStreamInStore, PlainStoreKeepsTheBytesAsWritten) {
  const std::string path = ScratchPath("plain.sfs");
  TSingleFileSystem fs(path, kModeCreate);
  {
    TSFSFileStream s(&fs, "notes.txt", 0xFFFF);
    s.WriteBuffer("exactly these bytes", 19);
  }
  TSFSUserFileStream raw(&fs, "notes.txt", 0);
  std::vector<uint8_t> bytes = ReadAll(raw);
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "exactly these bytes");
  // Reopened plain streams read from the start, in pieces, to the last byte.
  const std::vector<uint8_t> data = Text(300000);
  {
    TSFSFileStream s(&fs, "big.txt", 0xFFFF);
    s.WriteBuffer(data.data(), data.size());
  }
  TSFSFileStream s(&fs, "big.txt", 0);
  std::vector<uint8_t> back(data.size());
  for (size_t at = 0; at < back.size(); at += 65536)
    ASSERT_EQ(s.Read(back.data() + at, std::min<size_t>(65536, back.size() - at)),
              std::min<size_t>(65536, back.size() - at));
  EXPECT_TRUE(back == data);
}

TEST(TSFSFileStreamInStore, EveryCodeRoundTripsThroughTheStore) {
  const std::string path = ScratchPath("codes.sfs");
  TSingleFileSystem fs(path, kModeCreate);
  const std::vector<uint8_t> data = Text(600000);
  for (uint8_t code : {1, 2, 5, 6, 3, 4, 7, 8, 9}) {
    const std::string name = "stream" + std::to_string(code);
    {
      TSFSFileStream s(&fs, name, 0xFFFF, "", "", "", code);
      s.WriteBuffer(data.data(), data.size());
    }
    TSFSFileStream r(&fs, name, kModeReadWrite);
    EXPECT_EQ(r.Inner().Compression(), code);
    EXPECT_TRUE(ReadAll(r) == data) << int(code);
  }
}

TEST(TSFSFileStreamInStore, PerFilePasswordIsPassedToTheStore) {
  const std::string path = ScratchPath("password.sfs");
  TSingleFileSystem fs(path, kModeCreate);
  fs.OnPasswordRequest = [](TSingleFileSystem&, const std::string&, std::string&) { return false; };
  {
    TSFSFileStream s(&fs, "secret.xls", 0xFFFF, "pw", "colour?", "blue", 1);
    s.WriteBuffer("hidden", 6);
  }
  {
    TSFSFileStream s(&fs, "secret.xls", 0, "pw");
    EXPECT_EQ(s.Size(), 6);
  }
  EXPECT_NE(ErrorOf([&] { TSFSFileStream s(&fs, "secret.xls", 0, "wrong"); }), "");
  EXPECT_EQ(ErrorOf([] { TSFSFileStream s(nullptr, "x", 0); }),
            "TSFSAdvancedFileStream.Create - SingleFileSystem = nil.");
}

TEST(TSFSFileStreamInStore, CutBlockHeaderIsRepairedOnlyInAWritableStore) {
  const std::string path = ScratchPath("cut.sfs");
  const std::vector<uint8_t> data = Text(3 * 524288);
  int64_t cutAt = 0;
  {
    TSingleFileSystem fs(path, kModeCreate);
    {
      TSFSFileStream s(&fs, "book", 0xFFFF, "", "", "", 1);
      s.WriteBuffer(data.data(), data.size());
    }
    TSFSUserFileStream raw(&fs, "book", kModeReadWrite);
    std::vector<uint8_t> bytes = ReadAll(raw);
    const uint32_t block1 = store::test::Le32(bytes, 128 + 12);
    cutAt = store::test::Le32(bytes, block1 + 12) + 7;  // inside block 2's header
    raw.SetSize(cutAt);
  }
  {
    TSingleFileSystem fs(path, kModeReadOnly);
    EXPECT_NE(ErrorOf([&] { TSFSFileStream s(&fs, "book", 0); }), "");
  }
  TSingleFileSystem fs(path, kModeReadWrite);
  {
    TSFSFileStream s(&fs, "book", kModeReadWrite);
    EXPECT_EQ(s.Size(), 2 * 524288);
    std::vector<uint8_t> back = ReadAll(s);
    EXPECT_TRUE(std::equal(back.begin(), back.end(), data.begin()));
  }
  TSFSUserFileStream raw(&fs, "book", 0);
  EXPECT_EQ(raw.Size(), cutAt - 7);
}
