// Every seed of the formula fuzzer (fuzz/corpus/formulas/) runs through the fuzzer's own entry
// (fuzz/FormulaFuzzer.cpp, linked in under another name), one test case per file: the text
// or token stream is entered, evaluated, shown, regenerated and repaired after insertions and
// deletions in a real formula cache. The engine reports every fault of a formula as a
// worksheet error value, so nothing may escape as an exception, and a crash names the seed's
// case in CTest's output.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

// fuzz/FormulaFuzzer.cpp's LLVMFuzzerTestOneInput, renamed by the build.
extern "C" int FormulaFuzzerEntry(const uint8_t* data, size_t size);

namespace formulas {
namespace {

namespace fs = std::filesystem;

fs::path CorpusFolder() {
  const char* root = std::getenv("SS_SOURCE_DIR");
  return (root != nullptr ? fs::path(root) : fs::path(SS_SOURCE_DIR_DEFAULT)) / "fuzz" / "corpus" /
         "formulas";
}

// Paths as text: gtest prints a parameter, and a path is a range of paths.
std::vector<std::string> Seeds() {
  std::vector<std::string> seeds;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(CorpusFolder(), ec))
    if (entry.is_regular_file()) seeds.push_back(entry.path().string());
  std::sort(seeds.begin(), seeds.end());
  return seeds;
}

class FormulaCorpusReplay : public ::testing::TestWithParam<std::string> {};

TEST_P(FormulaCorpusReplay, RunsWithoutAnException) {
  std::ifstream in(GetParam(), std::ios::binary);
  const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
  ASSERT_FALSE(bytes.empty()) << "an empty seed tests nothing";
  try {
    EXPECT_EQ(FormulaFuzzerEntry(bytes.data(), bytes.size()), 0);
  } catch (const std::exception& e) {
    FAIL() << "exception from the formula engine: " << e.what();
  }
}

// A missing or empty folder would make the replay pass by testing nothing.
TEST(FormulaCorpusFolder, HasSeeds) { EXPECT_FALSE(Seeds().empty()) << CorpusFolder().string(); }

INSTANTIATE_TEST_SUITE_P(Seeds, FormulaCorpusReplay, ::testing::ValuesIn(Seeds()),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                           std::string name = fs::path(info.param).filename().string();
                           std::replace_if(
                               name.begin(), name.end(),
                               [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); },
                               '_');
                           return name;
                         });

}  // namespace
}  // namespace formulas
