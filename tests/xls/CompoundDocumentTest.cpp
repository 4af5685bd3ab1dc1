// Round trips of the compound document writer through the reader, and the shape of what the
// writer lays out (a valid red-black directory tree, the fixed one-stream layout).
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "platform/Clock.h"
#include "platform/LittleEndian.h"
#include "xls/Errors.h"
#include "xls/compound/CompoundReader.h"
#include "xls/compound/CompoundWriter.h"

namespace xls {
namespace {

using compound::DirectoryEntry;
using compound::kNoStream;

std::vector<uint8_t> Pattern(size_t size, uint32_t seed) {
  std::vector<uint8_t> v(size);
  uint32_t x = seed * 2654435761u + 1;
  for (auto& b : v) {
    x = x * 1103515245u + 12345u;
    b = static_cast<uint8_t>(x >> 16);
  }
  return v;
}

std::vector<uint8_t> RoundTripOne(const std::vector<uint8_t>& data,
                                  std::u16string name = u"Workbook") {
  CompoundStream s{name, data};
  std::vector<uint8_t> doc = BuildCompoundDocument(std::span(&s, 1));
  EXPECT_EQ(doc.size() % 512, 0u);
  MemoryByteSource src(doc);
  CompoundReader reader(src);
  auto index = reader.FindStream(name);
  EXPECT_TRUE(index.has_value());
  if (!index) return {};
  return reader.ReadStream(*index);
}

TEST(CompoundRoundTrip, StreamSizesAcrossTheMiniStreamCutoff) {
  for (size_t size : {0u, 1u, 10u, 63u, 64u, 65u, 511u, 512u, 4095u, 4096u, 4097u, 70000u}) {
    SCOPED_TRACE(size);
    auto data = Pattern(size, static_cast<uint32_t>(size));
    EXPECT_EQ(RoundTripOne(data), data);
  }
}

// A stream produced while the document is written lays out exactly as the same bytes given
// whole, in pieces of any size; a producer that breaks its promised size is an error.
TEST(CompoundRoundTrip, ProducedStreamsMatchWholeOnesAndMustKeepTheirSize) {
  struct Case {
    size_t size;
    size_t piece;
    int64_t lie;  // bytes produced beyond (or short of) the promised size
  };
  const Case cases[] = {{0, 1, 0},        {100, 7, 0},        {4095, 512, 0}, {4096, 1000, 0},
                        {70001, 4096, 0}, {5000, 64, -1},     {5000, 64, 1},  {100, 10, 5},
                        {0, 1, 1},        {4096, 4096, -4096}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.size << " in " << c.piece << ", lie " << c.lie);
    const auto data = Pattern(c.size + (c.lie > 0 ? c.lie : 0), 3);
    CompoundStream small{u"Small", Pattern(300, 9)};
    CompoundStream produced{u"Workbook"};
    produced.size = c.size;
    produced.produce = [&](ByteSink& sink) {
      const size_t end = static_cast<size_t>(static_cast<int64_t>(c.size) + c.lie);
      for (size_t at = 0; at < end; at += c.piece)
        sink.Write(data.data() + at, std::min(c.piece, end - at));
    };
    std::vector<CompoundStream> streams{produced, small};
    if (c.lie != 0) {
      EXPECT_THROW(BuildCompoundDocument(streams), CompoundError);
      continue;
    }
    std::vector<CompoundStream> whole{{u"Workbook", std::span(data.data(), c.size)}, small};
    EXPECT_EQ(BuildCompoundDocument(streams), BuildCompoundDocument(whole));
  }
}

TEST(CompoundRoundTrip, SmallWorkbookHasTheFixedMiniStreamLayout) {
  // One stream under 4096 bytes: FAT in sector 0, directory in 1, mini FAT in 2, and the mini
  // stream contiguous from sector 3, so mini sector k sits at file offset 2048 + 64k.
  auto data = Pattern(3000, 7);
  CompoundStream s{u"Workbook", data};
  auto doc = BuildCompoundDocument(std::span(&s, 1));
  EXPECT_EQ(platform::LoadU32(doc.data() + 76), 0u);  // first FAT sector
  EXPECT_EQ(platform::LoadU32(doc.data() + 48), 1u);  // directory
  EXPECT_EQ(platform::LoadU32(doc.data() + 60), 2u);  // mini FAT
  EXPECT_EQ(platform::LoadU32(doc.data() + 64), 1u);  // one mini FAT sector
  ASSERT_GE(doc.size(), 2048 + data.size());
  EXPECT_TRUE(std::equal(data.begin(), data.end(), doc.begin() + 2048));
  // The FAT: -3 (itself), -2 (directory), -2 (mini FAT), then the mini stream's chain.
  EXPECT_EQ(platform::LoadU32(doc.data() + 512), compound::kFatSect);
  EXPECT_EQ(platform::LoadU32(doc.data() + 516), compound::kEndOfChain);
  EXPECT_EQ(platform::LoadU32(doc.data() + 520), compound::kEndOfChain);
  EXPECT_EQ(platform::LoadU32(doc.data() + 524), 4u);
}

TEST(CompoundRoundTrip, LargeWorkbookStartsAfterTheFatSectors) {
  auto data = Pattern(100000, 3);  // 196 sectors: 2 FAT sectors
  CompoundStream s{u"Workbook", data};
  auto doc = BuildCompoundDocument(std::span(&s, 1));
  EXPECT_EQ(platform::LoadU32(doc.data() + 44), 2u);
  EXPECT_EQ(platform::LoadU32(doc.data() + 76), 0u);
  EXPECT_EQ(platform::LoadU32(doc.data() + 80), 2u);
  EXPECT_EQ(platform::LoadU32(doc.data() + 60), compound::kEndOfChain);  // no mini FAT
  // Stream from sector F + D + 1 = 3, i.e. file offset 2048.
  EXPECT_TRUE(std::equal(data.begin(), data.end(), doc.begin() + 2048));
}

TEST(CompoundRoundTrip, StreamNeedingMoreThan109FatSectorsUsesTheDifat) {
  // 7.5 MB: about 14,650 sectors, 115 FAT sectors, so one DIFAT sector.
  auto data = Pattern(7'500'000, 11);
  CompoundStream s{u"Workbook", data};
  auto doc = BuildCompoundDocument(std::span(&s, 1));
  uint32_t fatCount = platform::LoadU32(doc.data() + 44);
  EXPECT_GT(fatCount, 109u);
  EXPECT_EQ(platform::LoadU32(doc.data() + 72), 1u);            // DIFAT sectors
  EXPECT_EQ(platform::LoadU32(doc.data() + 68), fatCount + 1);  // right after the FAT sectors
  MemoryByteSource src(doc);
  CompoundReader reader(src);
  auto index = reader.FindWorkbookStream();
  ASSERT_TRUE(index);
  EXPECT_EQ(reader.ReadStream(*index), data);
}

// Checks the binary-search-tree order and the red-black rules of the root's children; returns
// the black height, or -1 on a violation (with a failure recorded).
int CheckTree(const std::vector<DirectoryEntry>& e, uint32_t node, const std::u16string* lo,
              const std::u16string* hi, bool parentRed, size_t& visited) {
  if (node == kNoStream) return 1;
  if (node >= e.size()) {
    ADD_FAILURE() << "link to entry " << node << " outside the directory";
    return -1;
  }
  ++visited;
  const DirectoryEntry& n = e[node];
  if (lo) {
    EXPECT_LT(compound::CompareEntryNames(*lo, n.name), 0);
  }
  if (hi) {
    EXPECT_LT(compound::CompareEntryNames(n.name, *hi), 0);
  }
  bool red = n.colour == 0;
  if (red && parentRed) ADD_FAILURE() << "red entry " << node << " below a red entry";
  int l = CheckTree(e, n.left, lo, &n.name, red, visited);
  int r = CheckTree(e, n.right, &n.name, hi, red, visited);
  if (l != r) {
    ADD_FAILURE() << "black heights differ below entry " << node;
    return -1;
  }
  return l + (red ? 0 : 1);
}

TEST(CompoundRoundTrip, ManyStreamsReadBackThroughAValidRedBlackTree) {
  for (size_t count : {1u, 2u, 3u, 7u, 8u, 50u, 300u}) {
    SCOPED_TRACE(count);
    std::vector<std::vector<uint8_t>> datas;
    std::vector<CompoundStream> streams;
    for (size_t i = 0; i < count; ++i) {
      // Mixed sizes (mini and regular), names of differing length and case.
      datas.push_back(Pattern((i * 977) % 9000, static_cast<uint32_t>(i)));
      std::string name = (i % 3 == 0 ? "s" : "Stream") + std::to_string(count - i);
      streams.push_back({std::u16string(name.begin(), name.end()), {}});
    }
    for (size_t i = 0; i < count; ++i) streams[i].data = datas[i];
    auto doc = BuildCompoundDocument(streams);
    MemoryByteSource src(doc);
    CompoundReader reader(src);
    const auto& entries = reader.Entries();
    EXPECT_EQ(entries[0].colour, 1);
    size_t visited = 0;
    uint32_t root = entries[0].child;
    EXPECT_EQ(root == kNoStream ? 1 : entries[root].colour, 1) << "tree root must be black";
    EXPECT_GT(CheckTree(entries, root, nullptr, nullptr, false, visited), 0);
    EXPECT_EQ(visited, count);
    for (size_t i = 0; i < count; ++i) {
      auto index = reader.FindStream(streams[i].name);
      ASSERT_TRUE(index) << i;
      EXPECT_EQ(reader.ReadStream(*index), datas[i]) << i;
    }
  }
}

TEST(CompoundRoundTrip, NamesAreMatchedCaseInsensitivelyAndBookIsAccepted) {
  auto data = Pattern(200, 1);
  CompoundStream s{u"Book", data};
  auto doc = BuildCompoundDocument(std::span(&s, 1));
  MemoryByteSource src(doc);
  CompoundReader reader(src);
  EXPECT_TRUE(reader.FindStream(u"BOOK"));
  EXPECT_FALSE(reader.FindStream(u"Workbook"));
  auto index = reader.FindWorkbookStream();
  ASSERT_TRUE(index);
  EXPECT_EQ(reader.ReadStream(*index), data);
}

TEST(CompoundRoundTrip, WriterRefusesBadNames) {
  auto data = Pattern(10, 1);
  std::vector<CompoundStream> dup{{u"Workbook", data}, {u"WORKBOOK", data}};
  EXPECT_THROW(BuildCompoundDocument(dup), CompoundError);
  std::vector<CompoundStream> empty{{u"", data}};
  EXPECT_THROW(BuildCompoundDocument(empty), CompoundError);
  std::vector<CompoundStream> longName{{std::u16string(32, u'x'), data}};
  EXPECT_THROW(BuildCompoundDocument(longName), CompoundError);
}

TEST(CompoundRoundTrip, ThroughAFileOnDisk) {
  auto path = (std::filesystem::temp_directory_path() / "xls_compound_roundtrip.bin").string();
  auto data = Pattern(20000, 5);
  auto small = Pattern(100, 6);
  std::vector<CompoundStream> streams{{u"Workbook", data}, {u"Extra", small}};
  {
    platform::File f(path, platform::FileAccess::Write, platform::FileDisposition::CreateAlways);
    FileByteSink sink(f);
    WriteCompoundDocument(sink, streams);
  }
  {
    platform::File f(path, platform::FileAccess::Read, platform::FileDisposition::OpenExisting);
    FileByteSource src(f);
    CompoundReader reader(src);
    EXPECT_EQ(reader.ReadStream(*reader.FindWorkbookStream()), data);
    EXPECT_EQ(reader.ReadStream(*reader.FindStream(u"Extra")), small);
  }
  platform::RemoveFile(path);
}

}  // namespace
}  // namespace xls

namespace xls {
namespace {

TEST(CompoundFile, ReplacesTheTargetOnlyWhenTheWholeDocumentIsWritten) {
  auto dir = std::filesystem::temp_directory_path() /
             ("xls_safe_save_" + std::to_string(platform::RandomUInt32()));
  std::filesystem::create_directories(dir);
  std::string path = (dir / "book.xls").string();
  auto first = Pattern(5000, 1);
  auto second = Pattern(300, 2);
  std::vector<CompoundStream> one{{u"Workbook", first}};
  WriteCompoundFile(path, one);
  std::vector<CompoundStream> two{{u"Workbook", second}};
  WriteCompoundFile(path, two);
  auto readBack = [&] {
    platform::File f(path, platform::FileAccess::Read, platform::FileDisposition::OpenExisting);
    FileByteSource src(f);
    CompoundReader reader(src);
    return reader.ReadStream(*reader.FindWorkbookStream());
  };
  EXPECT_EQ(readBack(), second);
  // A failing save leaves the previous file and no temporary file behind.
  std::vector<CompoundStream> bad{{u"Workbook", first}, {u"workbook", first}};
  EXPECT_THROW(WriteCompoundFile(path, bad), CompoundError);
  EXPECT_EQ(readBack(), second);
  size_t files = 0;
  for (const auto& e : std::filesystem::directory_iterator(dir)) {
    (void)e;
    ++files;
  }
  EXPECT_EQ(files, 1u);
  // A target folder that does not exist: an error, nothing written.
  EXPECT_THROW(WriteCompoundFile((dir / "missing" / "book.xls").string(), one),
               platform::FileError);
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace xls
