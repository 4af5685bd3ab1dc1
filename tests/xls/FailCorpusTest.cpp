// Files that must be refused cleanly: every file under tests/data/xls/fail/ (fuzzer findings
// among them) goes through the container and the record decoders and must end in an exception
// of the file layer, never a crash or any other kind of error.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "xls/Errors.h"
#include "xls/biff/RecordIds.h"
#include "xls/biff/RecordReader.h"
#include "xls/biff/StyleRecords.h"
#include "xls/biff/TSSTStringTable.h"
#include "xls/compound/CompoundReader.h"

namespace xls {
namespace {

std::vector<uint8_t> Load(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

void Decode(const std::vector<uint8_t>& bytes) {
  MemoryByteSource source(bytes);
  CompoundReader reader(source);
  auto index = reader.FindWorkbookStream();
  if (!index) throw CompoundError("no workbook stream");
  std::vector<uint8_t> stream = reader.ReadStream(*index);
  RecordReader r(stream);
  while (r.Next()) {
    if (r.Id() == rec::kSst) ReadSharedStrings(r);
    if (r.Id() == rec::kFont) FontRecord::Read(r);
    if (r.Id() == rec::kXf) XfRecord::Read(r);
  }
  throw XlsError("decoded without a fault");
}

TEST(FailCorpus, EveryFileIsRefusedWithAFileError) {
  const char* root = std::getenv("SS_TEST_DATA");
  std::filesystem::path dir = std::filesystem::path(root ? root : "tests/data") / "xls" / "fail";
  ASSERT_TRUE(std::filesystem::is_directory(dir)) << dir;
  size_t count = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    SCOPED_TRACE(entry.path().filename().string());
    ++count;
    auto bytes = Load(entry.path());
    try {
      Decode(bytes);
    } catch (const CompoundError& e) {
      EXPECT_NE(std::string(e.what()).find("Compound document"), std::string::npos) << e.what();
    } catch (const XlsError& e) {
      EXPECT_STRNE(e.what(), "decoded without a fault");
    } catch (const std::runtime_error& e) {
      // The shared-string texts of the reader.
      EXPECT_TRUE(std::string(e.what()) == "Reading SST record error" ||
                  std::string(e.what()) == "Undefined string in shared string table!")
          << e.what();
    }
  }
  EXPECT_GT(count, 0u);
}

}  // namespace
}  // namespace xls
