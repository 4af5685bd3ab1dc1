// PPMd variant G against vectors produced by the original coder on 32-bit x86: our encoder
// must give the same bytes and our decoder must take them back. The vectors cover the three
// settings the store uses (order 3 / 10 MB, 5 / 25 MB, 13 / 50 MB) plus small model memories
// that force restarts of the model at orders 5 and 13, and random data that restarts at
// order 3 with 10 MB.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "store/stream/PpmdCodec.h"
#include "store/stream/PpmdHeap.h"

using namespace store;

namespace {
std::vector<uint8_t> ReadData(const std::string& name) {
  const char* root = std::getenv("SS_TEST_DATA");
  std::string path = std::string(root ? root : "tests/data") + "/store/ppmd/" + name;
  std::ifstream in(path, std::ios::binary);
  if (!in) ADD_FAILURE() << "missing test data " << path;
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

// Outside the anonymous namespace: a test parameter type must have linkage.
struct PpmdVector {
  const char* input;
  int megabytes;
  int order;
};

namespace {
using Vector = PpmdVector;

std::string VectorName(const Vector& v) {
  return std::string(v.input) + ".m" + std::to_string(v.megabytes) + "o" + std::to_string(v.order) +
         ".ppmd";
}

class PpmdVectors : public ::testing::TestWithParam<Vector> {};
}  // namespace

TEST_P(PpmdVectors, EncoderMatchesAndDecoderInverts) {
  const Vector& v = GetParam();
  const std::vector<uint8_t> input = ReadData(v.input);
  const std::vector<uint8_t> expected = ReadData(VectorName(v));
  ASSERT_FALSE(expected.empty());

  const std::vector<uint8_t> packed = PpmdCompress(input, v.order, v.megabytes);
  ASSERT_EQ(packed.size(), expected.size());
  size_t firstDiff = 0;
  while (firstDiff < packed.size() && packed[firstDiff] == expected[firstDiff]) firstDiff++;
  EXPECT_EQ(firstDiff, packed.size()) << "first differing byte";

  const std::vector<uint8_t> unpacked =
      PpmdDecompress(expected, v.order, v.megabytes, input.size());
  EXPECT_TRUE(unpacked == input);
}

INSTANTIATE_TEST_SUITE_P(Reference, PpmdVectors,
                         ::testing::Values(Vector{"empty.bin", 10, 3}, Vector{"empty.bin", 25, 5},
                                           Vector{"empty.bin", 50, 13}, Vector{"one.bin", 10, 3},
                                           Vector{"one.bin", 25, 5}, Vector{"one.bin", 50, 13},
                                           Vector{"text.txt", 10, 3}, Vector{"text.txt", 25, 5},
                                           Vector{"text.txt", 50, 13}, Vector{"text.txt", 4, 13},
                                           Vector{"binary.bin", 10, 3}, Vector{"binary.bin", 25, 5},
                                           Vector{"binary.bin", 50, 13}, Vector{"binary.bin", 2, 5},
                                           Vector{"repeat.bin", 10, 3}, Vector{"repeat.bin", 25, 5},
                                           Vector{"repeat.bin", 50, 13},
                                           Vector{"random600k.bin", 10, 3},
                                           Vector{"random600k.bin", 50, 13}),
                         [](const ::testing::TestParamInfo<Vector>& info) {
                           std::string name = VectorName(info.param);
                           for (char& c : name)
                             if (!isalnum(static_cast<unsigned char>(c))) c = '_';
                           return name;
                         });

TEST(PpmdCodec, DecoderRejectsOverlongAndGarbageWithoutCrashing) {
  const std::vector<uint8_t> input = ReadData("text.txt");
  const std::vector<uint8_t> packed = ReadData("text.txt.m10o3.ppmd");
  // One byte short of the real length is too much data for the caller's limit.
  EXPECT_THROW(PpmdDecompress(packed, 3, 10, input.size() - 1), ppmd::PpmdError);

  // Garbage and truncated data decode to something or fail cleanly, never beyond the limit.
  std::vector<uint8_t> garbage(4096);
  uint32_t x = 12345;
  for (auto& b : garbage) b = static_cast<uint8_t>((x = x * 1103515245u + 12345u) >> 24);
  for (int order : {3, 5, 13}) {
    try {
      EXPECT_LE(PpmdDecompress(garbage, order, 1, 100000).size(), 100000u);
    } catch (const ppmd::PpmdError&) {
    }
    std::vector<uint8_t> truncated(packed.begin(), packed.begin() + packed.size() / 2);
    try {
      auto out = PpmdDecompress(truncated, order, 10, input.size());
      EXPECT_FALSE(out == input);
    } catch (const ppmd::PpmdError&) {
    }
  }
}

TEST(PpmdCodec, ParametersOutOfRangeAreRejected) {
  const std::vector<uint8_t> data{1, 2, 3};
  EXPECT_THROW(PpmdCompress(data, 0, 10), ppmd::PpmdError);
  EXPECT_THROW(PpmdCompress(data, 17, 10), ppmd::PpmdError);
  EXPECT_THROW(PpmdCompress(data, 3, 0), ppmd::PpmdError);
  EXPECT_THROW(PpmdDecompress(data, 3, 257, 10), ppmd::PpmdError);
}
