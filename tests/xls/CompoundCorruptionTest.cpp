// One test per way a compound document can be malformed: each must fail with a clear
// CompoundError naming the fault, never crash, hang or read out of range.
#include <gtest/gtest.h>

#include <algorithm>

#include "platform/LittleEndian.h"
#include "xls/Errors.h"
#include "xls/compound/CompoundReader.h"
#include "xls/compound/CompoundWriter.h"

namespace xls {
namespace {

using namespace compound;

std::vector<uint8_t> Data(size_t size) {
  std::vector<uint8_t> v(size);
  for (size_t i = 0; i < size; ++i) v[i] = static_cast<uint8_t>(i * 7 + 3);
  return v;
}

// A valid document with one regular stream "Workbook" of `size` bytes. With one FAT sector
// the layout is: FAT = sector 0 (file offset 512), directory = sector 1 (1024), stream from
// sector 2 (1536).
std::vector<uint8_t> Doc(size_t size = 5000) {
  auto data = Data(size);
  CompoundStream s{u"Workbook", data};
  return BuildCompoundDocument(std::span(&s, 1));
}

std::vector<uint8_t> MiniDocForSize() { return Doc(1000); }

constexpr size_t kFat = 512;
constexpr size_t kDir = 1024;

void SetFat(std::vector<uint8_t>& doc, uint32_t sector, uint32_t value) {
  platform::StoreU32(doc.data() + kFat + 4 * sector, value);
}

// Opens the document and reads its workbook stream; expects CompoundError with `fragment`.
void ExpectCorrupt(const std::vector<uint8_t>& doc, const std::string& fragment) {
  MemoryByteSource src(doc);
  try {
    CompoundReader reader(src);
    auto index = reader.FindWorkbookStream();
    ASSERT_TRUE(index) << "no workbook stream";
    reader.ReadStream(*index);
    ADD_FAILURE() << "no error; expected \"" << fragment << "\"";
  } catch (const CompoundError& e) {
    EXPECT_NE(std::string(e.what()).find(fragment), std::string::npos)
        << "message: " << e.what() << "\nexpected: " << fragment;
  }
}

TEST(CompoundCorruption, ValidBaseDocumentReads) {
  auto doc = Doc();
  MemoryByteSource src(doc);
  CompoundReader reader(src);
  EXPECT_EQ(reader.ReadStream(*reader.FindWorkbookStream()), Data(5000));
}

// Any part of a stream read by offset is the same as that part of the whole stream: across
// sector boundaries, across runs of consecutive sectors and the jumps between them, and in
// the mini stream.
TEST(CompoundStreamReads, AnyPartByOffsetMatchesTheWholeStream) {
  const size_t size = 20000;  // sectors 2..41
  auto doc = Doc(size);
  // Fragment the stream: logical sector k moves to physical sector chain[k] (runs of two,
  // then a jump back), with the FAT following it; the first sector stays where the directory
  // says the stream starts.
  const size_t count = (size + 511) / 512;
  std::vector<uint32_t> chain(count);
  for (size_t k = 0; k < count; ++k) chain[k] = static_cast<uint32_t>(2 + k);
  for (size_t k = 1; k + 3 < count; k += 4) std::swap(chain[k], chain[k + 2]);
  const std::vector<uint8_t> original = doc;
  for (size_t k = 0; k < count; ++k) {
    std::copy_n(original.begin() + static_cast<ptrdiff_t>(512 * (3 + k)), 512,
                doc.begin() + static_cast<ptrdiff_t>(512 * (1 + chain[k])));
    SetFat(doc, chain[k], k + 1 < count ? chain[k + 1] : 0xFFFFFFFEu);
  }
  const auto data = Data(size);
  MemoryByteSource src(doc);
  CompoundReader reader(src);
  const size_t index = *reader.FindWorkbookStream();
  ASSERT_EQ(reader.ReadStream(index), data);
  const CompoundReader::StreamLayout layout = reader.Layout(index);
  EXPECT_EQ(layout.sectors, chain);
  uint32_t x = 12345;
  auto next = [&x](uint32_t bound) {
    x = x * 1103515245u + 12345u;
    return (x >> 8) % bound;
  };
  for (int round = 0; round < 500; ++round) {
    const size_t offset = next(size + 1);
    const size_t length = next(static_cast<uint32_t>(std::min<size_t>(size - offset, 3000) + 1));
    std::vector<uint8_t> part(length);
    reader.ReadStreamAt(layout, offset, part.data(), length);
    ASSERT_TRUE(std::equal(part.begin(), part.end(), data.begin() + static_cast<ptrdiff_t>(offset)))
        << offset << "+" << length;
  }
  std::vector<uint8_t> one(1);
  EXPECT_THROW(reader.ReadStreamAt(layout, size, one.data(), 1), CompoundError);
  EXPECT_THROW(reader.ReadStreamAt(layout, 1, one.data(), size), CompoundError);

  auto mini = MiniDocForSize();
  MemoryByteSource miniSource(mini);
  CompoundReader miniReader(miniSource);
  const auto miniLayout = miniReader.Layout(*miniReader.FindWorkbookStream());
  ASSERT_TRUE(miniLayout.mini);
  const auto miniData = Data(1000);
  for (size_t offset = 0; offset <= 1000; offset += 37) {
    const size_t length = std::min<size_t>(1000 - offset, 150);
    std::vector<uint8_t> part(length);
    miniReader.ReadStreamAt(miniLayout, offset, part.data(), length);
    EXPECT_TRUE(
        std::equal(part.begin(), part.end(), miniData.begin() + static_cast<ptrdiff_t>(offset)))
        << offset;
  }
}

TEST(CompoundCorruption, EmptyFile) { ExpectCorrupt({}, "header is truncated"); }

TEST(CompoundCorruption, TruncatedHeader) {
  auto doc = Doc();
  doc.resize(300);
  ExpectCorrupt(doc, "the file holds 300 bytes");
}

TEST(CompoundCorruption, BadSignature) {
  auto doc = Doc();
  doc[3] = 0;
  ExpectCorrupt(doc, "bad signature");
}

TEST(CompoundCorruption, BadByteOrder) {
  auto doc = Doc();
  platform::StoreU16(doc.data() + 28, 0xFEFF);
  ExpectCorrupt(doc, "byte order");
}

TEST(CompoundCorruption, UnsupportedSectorShift) {
  auto doc = Doc();
  platform::StoreU16(doc.data() + 30, 31);
  ExpectCorrupt(doc, "sector shift 31");
}

TEST(CompoundCorruption, AbsurdFatSectorCount) {
  auto doc = Doc();
  platform::StoreU32(doc.data() + 44, 0x40000000);
  ExpectCorrupt(doc, "claims 1073741824 FAT sectors");
}

TEST(CompoundCorruption, FatSectorOutOfRange) {
  auto doc = Doc();
  platform::StoreU32(doc.data() + 76, 9999);
  ExpectCorrupt(doc, "FAT sector 0 is sector 9999");
}

TEST(CompoundCorruption, FatSectorListedTwice) {
  auto doc = Doc(100000);  // two FAT sectors: 0 and 2
  platform::StoreU32(doc.data() + 80, 0);
  ExpectCorrupt(doc, "sector 0 twice");
}

TEST(CompoundCorruption, DifatListsTooFewFatSectors) {
  auto doc = Doc();
  platform::StoreU32(doc.data() + 44, 3);  // claims 3, header lists 1, no DIFAT chain
  ExpectCorrupt(doc, "DIFAT lists 1 FAT sectors, the header claims 3");
}

TEST(CompoundCorruption, DifatChainLoops) {
  auto doc = Doc(70000);  // 137 stream sectors: enough sectors for 112 FAT sector numbers
  platform::StoreU32(doc.data() + 44, 112);
  for (int i = 0; i < 109; ++i) platform::StoreU32(doc.data() + 76 + 4 * i, 0);
  platform::StoreU32(doc.data() + 68, 20);
  // Sector 20 as a DIFAT sector listing nothing and pointing at itself.
  uint8_t* s20 = doc.data() + 21 * 512;
  std::fill(s20, s20 + 512, 0xFF);
  platform::StoreU32(s20 + 508, 20);
  ExpectCorrupt(doc, "DIFAT chain loops at sector 20");
}

TEST(CompoundCorruption, DifatPointsOutOfRange) {
  auto doc = Doc();
  platform::StoreU32(doc.data() + 44, 2);
  platform::StoreU32(doc.data() + 68, 5000);
  ExpectCorrupt(doc, "DIFAT names sector 5000");
}

TEST(CompoundCorruption, StreamChainLoops) {
  auto doc = Doc();
  SetFat(doc, 5, 3);
  ExpectCorrupt(doc, "loops at sector 3");
}

TEST(CompoundCorruption, StreamChainNamesSectorOutOfRange) {
  auto doc = Doc();
  SetFat(doc, 5, 100000);
  ExpectCorrupt(doc, "names sector 100000");
}

TEST(CompoundCorruption, StreamChainEndsBeforeItsSize) {
  auto doc = Doc();
  SetFat(doc, 5, kEndOfChain);
  ExpectCorrupt(doc, "ends after 4 sectors, its size needs 10");
}

TEST(CompoundCorruption, StreamChainRunsIntoFreeSector) {
  auto doc = Doc();
  SetFat(doc, 6, kFreeSect);
  ExpectCorrupt(doc, "ends after 5 sectors");
}

TEST(CompoundCorruption, StreamStartsAtSpecialSector) {
  auto doc = Doc();
  platform::StoreU32(doc.data() + kDir + 128 + 116, kFatSect);
  ExpectCorrupt(doc, "names sector 0xFFFFFFFD");
}

TEST(CompoundCorruption, TruncatedFile) {
  auto doc = Doc();
  doc.resize(512 * 7);  // header, FAT, directory and 4 of the 10 stream sectors
  ExpectCorrupt(doc, "claims 5000 bytes, more than the file can hold");
  auto other = Doc();
  other.resize(512 * 12);  // 9 of 10: the size fits, the chain's last sector is missing
  ExpectCorrupt(other, "truncated: sector 11");
}

TEST(CompoundCorruption, TruncatedInsideTheLastSector) {
  auto doc = Doc();
  doc.resize(512 * 12 + 100);  // the last sector has 100 of the 392 bytes the stream needs
  ExpectCorrupt(doc, "truncated: sector 11 of stream \"Workbook\"");
}

TEST(CompoundCorruption, UnpaddedLastSectorIsAccepted) {
  auto doc = Doc();
  doc.resize(512 * 12 + 392);  // some writers do not pad the final sector
  MemoryByteSource src(doc);
  CompoundReader reader(src);
  EXPECT_EQ(reader.ReadStream(*reader.FindWorkbookStream()), Data(5000));
}

TEST(CompoundCorruption, AbsurdStreamSize) {
  auto doc = Doc();
  platform::StoreU32(doc.data() + kDir + 128 + 120, 0xFFFFFFF0);
  ExpectCorrupt(doc, "claims 4294967280 bytes, more than the file can hold");
}

TEST(CompoundCorruption, SixtyFourBitSizeNearTheTopDoesNotWrap) {
  // Version 4 entries have 64-bit sizes; rounding such a size up to sectors must not wrap.
  auto doc = MiniDocForSize();
  platform::StoreU16(doc.data() + 26, 4);
  platform::StoreU64(doc.data() + kDir + 120, 0xFFFFFFFFFFFFFFF0ull);  // the root: its mini stream
  ExpectCorrupt(doc,
                "the mini stream claims 18446744073709551600 bytes, more than the file can hold");
  auto big = Doc();
  platform::StoreU16(big.data() + 26, 4);
  platform::StoreU64(big.data() + kDir + 128 + 120, 0xFFFFFFFFFFFFFE01ull);
  ExpectCorrupt(big, "more than the file can hold");
}

TEST(CompoundCorruption, DirectoryChainLoops) {
  auto doc = Doc();
  SetFat(doc, 1, 1);
  ExpectCorrupt(doc, "directory chain loops at sector 1");
}

TEST(CompoundCorruption, DirectoryStartOutOfRange) {
  auto doc = Doc();
  platform::StoreU32(doc.data() + 48, 77777);
  ExpectCorrupt(doc, "directory chain names sector 77777");
}

TEST(CompoundCorruption, FirstEntryIsNotTheRoot) {
  auto doc = Doc();
  doc[kDir + 66] = 2;
  ExpectCorrupt(doc, "entry 0 is not the root");
}

// Mini stream faults: a document with one small stream (FAT 0, directory 1, mini FAT 2,
// mini stream from sector 3).
std::vector<uint8_t> MiniDoc() { return Doc(1000); }
constexpr size_t kMiniFat = 1536;

TEST(CompoundCorruption, MiniChainLoops) {
  auto doc = MiniDoc();
  platform::StoreU32(doc.data() + kMiniFat + 4 * 6, 2);
  ExpectCorrupt(doc, "in the mini stream loops at sector 2");
}

TEST(CompoundCorruption, MiniChainNamesSectorOutOfRange) {
  auto doc = MiniDoc();
  platform::StoreU32(doc.data() + kMiniFat + 4 * 6, 5000);
  ExpectCorrupt(doc, "names sector 5000");
}

TEST(CompoundCorruption, MiniStreamSmallerThanTheStream) {
  auto doc = MiniDoc();
  platform::StoreU32(doc.data() + kDir + 120, 128);  // the root's mini stream: 2 mini sectors only
  ExpectCorrupt(doc, "more than the mini stream holds");
}

TEST(CompoundCorruption, MiniFatChainBroken) {
  auto doc = MiniDoc();
  platform::StoreU32(doc.data() + 60, 900);
  ExpectCorrupt(doc, "mini FAT names sector 900");
}

TEST(CompoundCorruption, LoopingDirectoryTreeIsToleratedByTheScan) {
  auto doc = Doc();
  // Root's child = entry 1 whose left and right point back to itself.
  platform::StoreU32(doc.data() + kDir + 128 + 68, 1);
  platform::StoreU32(doc.data() + kDir + 128 + 72, 1);
  MemoryByteSource src(doc);
  CompoundReader reader(src);
  EXPECT_FALSE(reader.FindStream(u"Other"));
  ASSERT_TRUE(reader.FindStream(u"Workbook"));
  EXPECT_EQ(reader.ReadStream(*reader.FindStream(u"Workbook")), Data(5000));
}

TEST(CompoundCorruption, HostileNameLengthIsClamped) {
  auto doc = Doc();
  platform::StoreU16(doc.data() + kDir + 128 + 64, 0xFFFF);
  MemoryByteSource src(doc);
  CompoundReader reader(src);
  EXPECT_EQ(reader.Entries()[1].name, u"Workbook");
}

TEST(CompoundCorruption, ReadingANonStreamEntryFails) {
  auto doc = Doc();
  MemoryByteSource src(doc);
  CompoundReader reader(src);
  EXPECT_THROW(reader.ReadStream(0), CompoundError);
  EXPECT_THROW(reader.ReadStream(99), CompoundError);
}

}  // namespace
}  // namespace xls
