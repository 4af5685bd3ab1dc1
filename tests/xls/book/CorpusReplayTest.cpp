// Every seed of the container fuzzer (fuzz/corpus/xls_container/) and every file of the
// workbook corpora (tests/data/xls/fail/, tests/data/xls/book/) goes through the real book
// loader with the formula engine, one test case per file. A file must load, or be refused
// with an error of the file layers (a std::runtime_error with a message); any other exception
// (an out-of-range index, a failed allocation, a logic error) is a fault of the reader, and a
// crash names the file's case in CTest's output. A file that loads must also save and load
// again, so that a book the reader accepted is one the writer can walk. Each file then goes
// through the container fuzzer's own entry (fuzz/xls_container_fuzz.cpp, linked in under
// another name), which also compares the record reader in memory and through a small window
// and aborts on a difference.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "support/TestComposition.h"
#include "workbook/Workbook.h"
#include "xls/book/BookFiles.h"

// fuzz/xls_container_fuzz.cpp's LLVMFuzzerTestOneInput, renamed by the build.
extern "C" int XlsContainerFuzzEntry(const uint8_t* data, size_t size);

namespace xls {
namespace {

namespace fs = std::filesystem;

enum class Expect { LoadOrRefuse, Refuse, Load };

struct CorpusFile {
  fs::path path;
  Expect expect;
  std::string name;  // the case name: folder and file, letters, digits and '_' only
};

struct Corpus {
  const char* folder;  // from the root of the source tree
  const char* label;
  Expect expect;
};

// The fuzzer's seeds may be anything; the fail corpus must be refused; the book corpus
// holds files written by other programs that must load.
constexpr Corpus kCorpora[] = {
    {"fuzz/corpus/xls_container", "fuzz", Expect::LoadOrRefuse},
    {"tests/data/xls/fail", "fail", Expect::Refuse},
    {"tests/data/xls/book", "book", Expect::Load},
};

fs::path SourceRoot() {
  const char* root = std::getenv("SS_SOURCE_DIR");
  return root != nullptr ? fs::path(root) : fs::path(SS_SOURCE_DIR_DEFAULT);
}

std::string CaseName(const std::string& label, const std::string& file) {
  std::string name = label + "_" + file;
  std::replace_if(
      name.begin(), name.end(), [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); },
      '_');
  return name;
}

std::vector<CorpusFile> CorpusFiles() {
  std::vector<CorpusFile> files;
  for (const Corpus& corpus : kCorpora) {
    const fs::path dir = SourceRoot() / corpus.folder;
    std::vector<fs::path> found;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(dir, ec))
      if (entry.is_regular_file()) found.push_back(entry.path());
    std::sort(found.begin(), found.end());
    for (const auto& path : found)
      files.push_back({path, corpus.expect, CaseName(corpus.label, path.filename().string())});
  }
  return files;
}

std::vector<uint8_t> ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

// The outcome of one load: empty when the book loaded, else the refusal's message. Anything
// but a std::runtime_error escapes and fails the case with gtest's own report of it.
std::optional<std::string> Load(workbook::Workbook& book, const std::vector<uint8_t>& bytes) {
  try {
    LoadBookFromBytes(book, bytes);
    return std::nullopt;
  } catch (const std::logic_error& e) {
    ADD_FAILURE() << "logic error instead of a refusal: " << e.what();
    return std::string("logic error");
  } catch (const std::runtime_error& e) {
    return std::string(e.what());
  }
}

void PrintTo(const CorpusFile& file, std::ostream* os) { *os << file.path.string(); }

class CorpusReplay : public ::testing::TestWithParam<CorpusFile> {
 protected:
  // The real loader with the formula engine, as a program's composition gives it.
  workbook::ScopedBookServices services_{testsupport::FullServices()};
};

TEST_P(CorpusReplay, LoadsOrIsRefusedWithAMessage) {
  const CorpusFile& file = GetParam();
  const std::vector<uint8_t> bytes = ReadAll(file.path);
  workbook::Workbook book;
  const auto refused = Load(book, bytes);
  if (refused) {
    EXPECT_FALSE(refused->empty()) << "refused without a message";
    EXPECT_TRUE(file.expect != Expect::Load) << "refused: " << *refused;
    // A refused load leaves a usable book: it has a sheet and takes a save.
    EXPECT_GE(book.PageCount(), 1);
    std::vector<uint8_t> out;
    EXPECT_NO_THROW(SaveBookToBytes(book, out));
    return;
  }
  EXPECT_TRUE(file.expect != Expect::Refuse) << "a file of the fail corpus loaded";
  std::vector<uint8_t> saved;
  ASSERT_NO_THROW(SaveBookToBytes(book, saved));
  workbook::Workbook again;
  const auto second = Load(again, saved);
  EXPECT_FALSE(second) << "our own file of it is refused: " << second.value_or("");
  EXPECT_EQ(again.PageCount(), book.PageCount());
}

TEST_P(CorpusReplay, PassesTheFuzzerEntry) {
  const std::vector<uint8_t> bytes = ReadAll(GetParam().path);
  EXPECT_EQ(XlsContainerFuzzEntry(bytes.data(), bytes.size()), 0);
}

// A missing or empty folder would make the replay pass by testing nothing.
TEST(CorpusReplayFolders, EveryCorpusHasFiles) {
  const auto files = CorpusFiles();
  for (const Corpus& corpus : kCorpora) {
    const auto n = std::count_if(files.begin(), files.end(), [&](const CorpusFile& f) {
      return f.name.rfind(std::string(corpus.label) + "_", 0) == 0;
    });
    EXPECT_GT(n, 0) << corpus.folder;
  }
}

INSTANTIATE_TEST_SUITE_P(Files, CorpusReplay, ::testing::ValuesIn(CorpusFiles()),
                         [](const ::testing::TestParamInfo<CorpusFile>& info) {
                           return info.param.name;
                         });

}  // namespace
}  // namespace xls
