// Two stores kept as test data, one written by the Linux build and one by the Windows build
// (under Wine), with the same streams. Every build must read both byte for byte, and the
// framed raw bytes of each stream must be identical in both, so layout, cipher and codecs
// cannot drift between builds.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "StoreTestUtil.h"
#include "store/TSFSUserFileStream.h"
#include "store/TSingleFileSystem.h"
#include "store/stream/TSFSFileStream.h"

namespace store {
namespace {

std::string ReferenceText() {
  std::string text;
  for (int i = 1; i <= 600; ++i) text += "line " + std::to_string(i) + " of the reference text\n";
  return text;
}

std::string DataPath(const std::string& leaf) {
  const char* data = std::getenv("SS_TEST_DATA");
  return std::string(data ? data : "tests/data") + "/store/" + leaf;
}

struct ReferenceStream {
  const char* name;
  int code;
  const char* password;
};
constexpr ReferenceStream kStreams[] = {
    {"plain", 0, ""}, {"zlib", 1, ""}, {"bzip2", 7, ""}, {"ppmd", 6, ""}, {"locked", 0, "inner"}};

std::string RawBytes(TSingleFileSystem& fs, const ReferenceStream& s) {
  TSFSUserFileStream raw(&fs, s.name, kModeReadOnly, s.password);
  std::string bytes(size_t(raw.Size()), '\0');
  EXPECT_EQ(raw.Read(bytes.data(), bytes.size()), bytes.size());
  return bytes;
}

TEST(ReferenceStoreTest, StoresOfBothBuildsReadBackAndAgree) {
  const std::string expected = ReferenceText();
  const std::string linuxPath = DataPath("reference.sfs");
  const std::string windowsPath = DataPath("reference_win32.sfs");
  for (const std::string& path : {linuxPath, windowsPath}) {
    ASSERT_TRUE(platform::FileExists(path)) << path;
    const auto before = test::ReadAll(path);
    {
      TSingleFileSystem fs(path, kModeReadOnly, "ref-pass");
      EXPECT_TRUE(fs.HasPassword());
      for (const auto& s : kStreams) {
        TSFSFileStream stream(&fs, s.name, kModeReadOnly, s.password);
        EXPECT_EQ(stream.Inner().Compression(), s.code) << path << " " << s.name;
        ASSERT_EQ(stream.Size(), int64_t(expected.size())) << s.name;
        std::string got(expected.size(), '\0');
        EXPECT_EQ(stream.Read(got.data(), got.size()), got.size()) << s.name;
        EXPECT_EQ(got, expected) << path << " " << s.name;
      }
    }
    EXPECT_EQ(test::ReadAll(path), before);  // read-only: not a byte changed
  }
  TSingleFileSystem fromLinux(linuxPath, kModeReadOnly, "ref-pass");
  TSingleFileSystem fromWindows(windowsPath, kModeReadOnly, "ref-pass");
  for (const auto& s : kStreams)
    EXPECT_EQ(RawBytes(fromLinux, s), RawBytes(fromWindows, s)) << s.name;
}

}  // namespace
}  // namespace store
