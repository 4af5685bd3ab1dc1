// Every seed of the store fuzzers goes through the real readers, one test case per file:
// the store seeds (fuzz/corpus/store_open/) and the reference stores (tests/data/store/*.sfs)
// through the store opener, the listing, a read of every file and the verifier; the framed
// stream seeds (fuzz/corpus/store_stream/) through the framed stream reader, laid out as the
// fuzzer reads them. Each must succeed or be refused with an error of the store (a
// std::runtime_error with a message); any other exception is a fault of the reader, and a
// crash names the file's case in CTest's output. Each seed then goes through its fuzzer's
// own entry (fuzz/store_open_fuzz.cpp, fuzz/store_stream_fuzz.cpp, linked in under other
// names), as libFuzzer would run it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "StoreTestUtil.h"
#include "store/StoreVerifier.h"
#include "store/TSFSUserFileStream.h"
#include "store/TSingleFileSystem.h"
#include "store/stream/MemoryStream.h"
#include "store/stream/TSFSAdvancedFileStream.h"

// The fuzzers' LLVMFuzzerTestOneInput, renamed by the build.
extern "C" int StoreOpenFuzzEntry(const uint8_t* data, size_t size);
extern "C" int StoreStreamFuzzEntry(const uint8_t* data, size_t size);

namespace store {
namespace {

namespace fs = std::filesystem;

enum class Reader { Store, FramedStream };

struct SeedFile {
  fs::path path;
  Reader reader;
  bool mustOpen;         // the reference stores open, list, read and verify without damage
  const char* password;  // of the store (the reference stores have one, see ReferenceStoreTest)
  std::string name;      // the case name: letters, digits and '_' only
};

struct Corpus {
  const char* folder;     // from the root of the source tree
  const char* extension;  // only files ending so, or every file when empty
  const char* label;
  Reader reader;
  bool mustOpen;
  const char* password;
};

constexpr Corpus kCorpora[] = {
    {"fuzz/corpus/store_open", "", "open", Reader::Store, false, ""},
    {"tests/data/store", ".sfs", "reference", Reader::Store, true, "ref-pass"},
    {"fuzz/corpus/store_stream", "", "stream", Reader::FramedStream, false, ""},
};

fs::path SourceRoot() {
  const char* root = std::getenv("SS_SOURCE_DIR");
  return root != nullptr ? fs::path(root) : fs::path(SS_SOURCE_DIR_DEFAULT);
}

std::vector<SeedFile> SeedFiles() {
  std::vector<SeedFile> files;
  for (const Corpus& corpus : kCorpora) {
    std::vector<fs::path> found;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(SourceRoot() / corpus.folder, ec)) {
      const std::string leaf = entry.path().filename().string();
      const std::string ext = corpus.extension;
      if (entry.is_regular_file() && leaf.size() >= ext.size() &&
          leaf.compare(leaf.size() - ext.size(), ext.size(), ext) == 0)
        found.push_back(entry.path());
    }
    std::sort(found.begin(), found.end());
    for (const auto& path : found) {
      std::string name = std::string(corpus.label) + "_" + path.filename().string();
      std::replace_if(
          name.begin(), name.end(),
          [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '_');
      files.push_back({path, corpus.reader, corpus.mustOpen, corpus.password, name});
    }
  }
  return files;
}

// Opens the store read-only from a scratch copy, lists it, reads every file whole (files
// with a password of their own are refused, which is their correct answer without one) and
// verifies it. Returns the verifier's report; a refusal of the store itself propagates.
StoreVerifyReport OpenReadVerify(const SeedFile& seed, const std::vector<uint8_t>& bytes,
                                 int& filesRead) {
  // Not test::ScratchPath: the suite name of a parameterised case holds a '/'.
  const std::string path = ::testing::TempDir() + "sfs_replay_" + seed.name;
  test::WriteAll(path, bytes);
  TSingleFileSystem fs(path, kModeReadOnly, seed.password);
  std::vector<uint8_t> buffer(1 << 16);
  for (const StoreFileInfo& info : fs.List()) {
    if (info.isDirectory) continue;
    try {
      TSFSUserFileStream s(&fs, info.name, kModeReadOnly);
      // A bounded read, so that a directory entry claiming a huge file stays quick.
      for (int i = 0; i < 256 && s.Read(buffer.data(), buffer.size()) > 0; ++i) {
      }
      ++filesRead;
    } catch (const std::logic_error&) {
      throw;
    } catch (const std::runtime_error& e) {
      EXPECT_STRNE(e.what(), "") << info.name << " refused without a message";
    }
  }
  return VerifyStore(fs);
}

// The framed stream fuzzer's layout: the first byte picks the mode (bit 0: writable), the
// last sixteen hold four seek positions, the bytes between are the stored file.
void ReadFramed(const std::vector<uint8_t>& bytes) {
  constexpr size_t kTrailer = 16;
  ASSERT_GT(bytes.size(), kTrailer) << "shorter than the fuzzer's mode byte and trailer";
  auto file = std::make_shared<streamtest::MemoryFile>();
  file->bytes.assign(bytes.begin() + 1, bytes.end() - kTrailer);
  file->readOnly = (bytes[0] & 1) == 0;
  TSFSAdvancedFileStream s(std::make_unique<streamtest::MemoryStream>(file), false, 0, 1);
  std::vector<uint8_t> buffer(1 << 16);
  for (int i = 0; i < 64 && s.Read(buffer.data(), buffer.size()) > 0; ++i) {
  }
  const int64_t length = s.Size();
  for (size_t k = 0; k < kTrailer; k += 4) {
    const uint32_t word = test::Le32(bytes, bytes.size() - kTrailer + k);
    const int64_t at =
        length > 0 ? static_cast<int64_t>(word % static_cast<uint64_t>(length + 16)) : word % 64;
    s.Seek(at, SeekOrigin::soBeginning);
    s.Read(buffer.data(), 1 + word % 4096);
  }
  if (!file->readOnly) {
    s.Seek(length / 2, SeekOrigin::soBeginning);
    s.Write(buffer.data(), 1 + test::Le32(bytes, bytes.size() - kTrailer) % 4096);
    s.SetSize(length / 3);
    s.Flush();
  }
}

void PrintTo(const SeedFile& seed, std::ostream* os) { *os << seed.path.string(); }

class StoreCorpusReplay : public ::testing::TestWithParam<SeedFile> {};

TEST_P(StoreCorpusReplay, OpensOrIsRefusedWithAMessage) {
  const SeedFile& seed = GetParam();
  const std::vector<uint8_t> bytes = test::ReadAll(seed.path.string());
  try {
    if (seed.reader == Reader::FramedStream) {
      ReadFramed(bytes);
      return;
    }
    int filesRead = 0;
    const StoreVerifyReport report = OpenReadVerify(seed, bytes, filesRead);
    if (seed.mustOpen) {
      EXPECT_TRUE(report.Ok()) << report.damage.front();
      EXPECT_GT(filesRead, 0);
    }
  } catch (const std::logic_error& e) {
    FAIL() << "logic error instead of a refusal: " << e.what();
  } catch (const std::runtime_error& e) {
    EXPECT_STRNE(e.what(), "") << "refused without a message";
    EXPECT_FALSE(seed.mustOpen) << "a reference store is refused: " << e.what();
  }
}

TEST_P(StoreCorpusReplay, PassesTheFuzzerEntry) {
  const SeedFile& seed = GetParam();
  const std::vector<uint8_t> bytes = test::ReadAll(seed.path.string());
  const auto entry = seed.reader == Reader::Store ? StoreOpenFuzzEntry : StoreStreamFuzzEntry;
  EXPECT_EQ(entry(bytes.data(), bytes.size()), 0);
}

// A missing or empty folder would make the replay pass by testing nothing.
TEST(StoreCorpusFolders, EveryCorpusHasFiles) {
  const auto files = SeedFiles();
  for (const Corpus& corpus : kCorpora) {
    const std::string prefix = std::string(corpus.label) + "_";
    EXPECT_TRUE(std::any_of(files.begin(), files.end(), [&](const SeedFile& f) {
      return f.name.rfind(prefix, 0) == 0;
    })) << corpus.folder;
  }
}

INSTANTIATE_TEST_SUITE_P(Files, StoreCorpusReplay, ::testing::ValuesIn(SeedFiles()),
                         [](const ::testing::TestParamInfo<SeedFile>& info) {
                           return info.param.name;
                         });

}  // namespace
}  // namespace store
