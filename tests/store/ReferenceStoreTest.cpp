// A store written once by the Linux build and kept as test data: every build must read it
// byte for byte (the Windows build runs this under Wine), so layout, cipher and codecs
// cannot drift between builds.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "StoreTestUtil.h"
#include "store/TSingleFileSystem.h"
#include "store/stream/TSFSFileStream.h"

namespace store {
namespace {

std::string ReferenceText() {
  std::string text;
  for (int i = 1; i <= 600; ++i) text += "line " + std::to_string(i) + " of the reference text\n";
  return text;
}

std::string ReferencePath() {
  const char* data = std::getenv("SS_TEST_DATA");
  return std::string(data ? data : "tests/data") + "/store/reference.sfs";
}

TEST(ReferenceStoreTest, EveryStreamReadsBack) {
  const std::string path = ReferencePath();
  ASSERT_TRUE(platform::FileExists(path)) << path;
  const auto before = test::ReadAll(path);
  TSingleFileSystem fs(path, kModeReadOnly, "ref-pass");
  EXPECT_TRUE(fs.HasPassword());
  const std::string expected = ReferenceText();
  struct Stream { const char* name; int code; const char* password; } streams[] = {
      {"plain", 0, ""}, {"zlib", 1, ""}, {"bzip2", 7, ""}, {"ppmd", 6, ""}, {"locked", 0, "inner"}};
  for (const auto& s : streams) {
    TSFSFileStream stream(&fs, s.name, kModeReadOnly, s.password);
    EXPECT_EQ(stream.Inner().Compression(), s.code) << s.name;
    ASSERT_EQ(stream.Size(), int64_t(expected.size())) << s.name;
    std::string got(expected.size(), '\0');
    EXPECT_EQ(stream.Read(got.data(), got.size()), got.size()) << s.name;
    EXPECT_EQ(got, expected) << s.name;
  }
  EXPECT_EQ(test::ReadAll(path), before);  // read-only: not a byte changed
}

}  // namespace
}  // namespace store
