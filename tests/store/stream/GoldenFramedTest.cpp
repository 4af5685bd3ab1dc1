// Framed streams written once on Linux and kept as files: every build (the Windows one under
// Wine included) must read them, and for PPMd, whose coder is our own, write the same bytes.
// The content is text.txt followed by text.txt with blanks turned into underscores.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "store/stream/MemoryStream.h"
#include "store/stream/TSFSAdvancedFileStream.h"

using namespace store;
using streamtest::MemoryFile;
using streamtest::MemoryStream;

namespace {
std::vector<uint8_t> ReadData(const std::string& name) {
  const char* root = std::getenv("SS_TEST_DATA");
  std::ifstream in(std::string(root ? root : "tests/data") + "/store/ppmd/" + name,
                   std::ios::binary);
  if (!in) ADD_FAILURE() << "missing test data " << name;
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<uint8_t> GoldenContent() {
  const std::vector<uint8_t> text = ReadData("text.txt");
  std::vector<uint8_t> data = text;
  for (uint8_t c : text) data.push_back(c == ' ' ? '_' : c);
  return data;
}
}  // namespace

TEST(GoldenFramed, StoredStreamsReadOnEveryBuild) {
  const std::vector<uint8_t> data = GoldenContent();
  ASSERT_EQ(data.size(), 600000u);
  for (int code : {1, 6, 7, 3}) {
    SCOPED_TRACE(code);
    auto f = std::make_shared<MemoryFile>();
    f->bytes = ReadData("framed.code" + std::to_string(code) + ".kxcs");
    f->readOnly = true;
    TSFSAdvancedFileStream s(std::make_unique<MemoryStream>(f), false, 0, 0);
    EXPECT_EQ(s.Compression(), code);
    EXPECT_EQ(s.Size(), 600000);
    std::vector<uint8_t> back(data.size());
    ASSERT_EQ(s.Read(back.data(), back.size()), back.size());
    EXPECT_TRUE(back == data);
  }
}

TEST(GoldenFramed, PpmdStreamsAreWrittenIdentically) {
  const std::vector<uint8_t> data = GoldenContent();
  for (int code : {6, 3}) {
    SCOPED_TRACE(code);
    auto f = std::make_shared<MemoryFile>();
    {
      TSFSAdvancedFileStream s(std::make_unique<MemoryStream>(f), true, uint8_t(code), 0);
      s.Write(data.data(), 100000);
      s.Write(data.data() + 100000, data.size() - 100000);
      s.Flush();
    }
    EXPECT_TRUE(f->bytes == ReadData("framed.code" + std::to_string(code) + ".kxcs"));
  }
}
