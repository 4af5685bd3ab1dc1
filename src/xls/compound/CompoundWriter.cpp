#include "xls/compound/CompoundWriter.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <numeric>

#include "platform/CodePage.h"
#include "platform/LittleEndian.h"
#include "xls/Errors.h"
#include "xls/compound/CompoundFormat.h"

namespace xls {

using namespace compound;

namespace {

constexpr uint32_t kSector = 512;
constexpr uint32_t kPerFat = kSector / 4;

uint32_t CeilDiv(uint64_t a, uint64_t b) { return static_cast<uint32_t>((a + b - 1) / b); }

// Links the sorted siblings [lo, hi) into a tree rooted at the middle one; returns the root
// (kNoStream when empty). `depth` gives each node's depth for colouring.
uint32_t BuildTree(std::vector<DirectoryEntry>& entries, const std::vector<uint32_t>& sorted,
                   size_t lo, size_t hi, int depth, std::vector<int>& depthOf) {
  if (lo >= hi) return kNoStream;
  size_t mid = lo + (hi - lo) / 2;
  uint32_t node = sorted[mid];
  depthOf[node] = depth;
  entries[node].left = BuildTree(entries, sorted, lo, mid, depth + 1, depthOf);
  entries[node].right = BuildTree(entries, sorted, mid + 1, hi, depth + 1, depthOf);
  return node;
}

// A tree split at the middle has all its empty links on its last two levels. Colouring every
// level black except a not-full last level, which is red, gives every path the same number
// of black nodes and no red node a red child.
void ColourTree(std::vector<DirectoryEntry>& entries, const std::vector<uint32_t>& nodes,
                const std::vector<int>& depthOf) {
  if (nodes.empty()) return;
  int maxDepth = 0;
  for (uint32_t n : nodes) maxDepth = std::max(maxDepth, depthOf[n]);
  size_t onLast = 0;
  for (uint32_t n : nodes) onLast += depthOf[n] == maxDepth;
  bool lastFull = onLast == (size_t{1} << maxDepth);
  for (uint32_t n : nodes) entries[n].colour = (depthOf[n] == maxDepth && !lastFull) ? 0 : 1;
}

uint64_t SizeOf(const CompoundStream& s) { return s.produce ? s.size : s.data.size(); }

// Passes a produced stream on while counting it, so a producer that breaks its promised size
// is caught instead of shifting every sector behind it.
class CountingSink final : public ByteSink {
 public:
  CountingSink(ByteSink& sink, const CompoundStream& stream) : sink_(sink), stream_(stream) {}
  void Write(const uint8_t* data, size_t size) override {
    if (size > stream_.size - written_) Fail();
    sink_.Write(data, size);
    written_ += size;
  }
  void Finish() const {
    if (written_ != stream_.size) Fail();
  }

 private:
  [[noreturn]] void Fail() const {
    throw CompoundError("Compound document stream \"" + platform::Utf16ToAnsi(stream_.name) +
                        "\" does not have the " + std::to_string(stream_.size) +
                        " bytes it was laid out with");
  }
  ByteSink& sink_;
  const CompoundStream& stream_;
  uint64_t written_ = 0;
};

void WriteData(ByteSink& sink, const CompoundStream& s) {
  if (!s.produce) {
    sink.Write(s.data.data(), s.data.size());
    return;
  }
  CountingSink counted(sink, s);
  s.produce(counted);
  counted.Finish();
}

struct Layout {
  uint32_t fatCount = 0, difatCount = 0, dirCount = 0, miniFatCount = 0, miniCount = 0;
  uint32_t total = 0;  // sectors after the header
};

}  // namespace

void WriteCompoundDocument(ByteSink& sink, std::span<const CompoundStream> streams) {
  // Directory entries: 0 the root, then the streams in the caller's order.
  std::vector<DirectoryEntry> entries(1 + streams.size());
  entries[0].name = u"Root Entry";
  entries[0].type = EntryType::Root;
  entries[0].colour = 1;
  for (size_t i = 0; i < streams.size(); ++i) {
    const CompoundStream& s = streams[i];
    if (s.name.empty() || s.name.size() > 31)
      throw CompoundError("Compound document stream name \"" + platform::Utf16ToAnsi(s.name) +
                          "\" must have 1 to 31 characters");
    for (size_t k = 0; k < i; ++k)
      if (CompareEntryNames(streams[k].name, s.name) == 0)
        throw CompoundError("Compound document stream name \"" + platform::Utf16ToAnsi(s.name) +
                            "\" is used twice");
    if (SizeOf(s) > 0xFFFFFFFFull - kSector)
      throw CompoundError("Compound document stream \"" + platform::Utf16ToAnsi(s.name) +
                          "\" is too large for the format");
    entries[1 + i].name = s.name;
    entries[1 + i].type = EntryType::Stream;
    entries[1 + i].size = SizeOf(s);
  }

  // Sizes of the regions.
  Layout L;
  uint64_t miniSectors = 0, bigSectors = 0;
  for (const CompoundStream& s : streams) {
    const uint64_t size = SizeOf(s);
    if (size == 0) continue;
    if (size < kMiniStreamCutoff)
      miniSectors += CeilDiv(size, kMiniSectorSize);
    else
      bigSectors += CeilDiv(size, kSector);
  }
  L.dirCount = CeilDiv(entries.size(), kSector / kDirEntrySize);
  L.miniFatCount = CeilDiv(miniSectors, kPerFat);
  L.miniCount = CeilDiv(miniSectors * kMiniSectorSize, kSector);
  uint64_t data = uint64_t{L.dirCount} + L.miniFatCount + L.miniCount + bigSectors;
  // The FAT must also map its own sectors and the DIFAT's: iterate to the fixed point.
  for (;;) {
    uint64_t total = data + L.fatCount + L.difatCount;
    uint32_t fat = CeilDiv(total, kPerFat);
    uint32_t difat = fat > kHeaderDifatCount ? CeilDiv(fat - kHeaderDifatCount, kPerFat - 1) : 0;
    if (fat == L.fatCount && difat == L.difatCount) break;
    L.fatCount = fat;
    L.difatCount = difat;
  }
  uint64_t total64 = data + L.fatCount + L.difatCount;
  if (total64 >= kMaxRegSect) throw CompoundError("Compound document is too large for the format");
  L.total = static_cast<uint32_t>(total64);

  // Sector numbers of each region.
  std::vector<uint32_t> fatSectors, difatSectors, dirSectors;
  fatSectors.push_back(0);
  dirSectors.push_back(1);
  uint32_t next = 2;
  for (uint32_t i = 1; i < L.fatCount; ++i) fatSectors.push_back(next++);
  for (uint32_t i = 0; i < L.difatCount; ++i) difatSectors.push_back(next++);
  for (uint32_t i = 1; i < L.dirCount; ++i) dirSectors.push_back(next++);
  const uint32_t miniFatStart = next;
  next += L.miniFatCount;
  const uint32_t miniStart = next;
  next += L.miniCount;

  std::vector<uint32_t> fat(static_cast<size_t>(L.fatCount) * kPerFat, kFreeSect);
  auto chainRun = [&](const std::vector<uint32_t>& run) {
    for (size_t i = 0; i < run.size(); ++i)
      fat[run[i]] = i + 1 < run.size() ? run[i + 1] : kEndOfChain;
  };
  auto chainRange = [&](uint32_t first, uint32_t count) {
    for (uint32_t i = 0; i < count; ++i)
      fat[first + i] = i + 1 < count ? first + i + 1 : kEndOfChain;
  };
  for (uint32_t s : fatSectors) fat[s] = kFatSect;
  for (uint32_t s : difatSectors) fat[s] = kDifSect;
  chainRun(dirSectors);
  chainRange(miniFatStart, L.miniFatCount);
  chainRange(miniStart, L.miniCount);

  std::vector<uint32_t> miniFat(static_cast<size_t>(L.miniFatCount) * kPerFat, kFreeSect);
  uint32_t nextMini = 0;
  for (size_t i = 0; i < streams.size(); ++i) {
    DirectoryEntry& e = entries[1 + i];
    const uint64_t size = SizeOf(streams[i]);
    if (size == 0) {
      e.startSector = kEndOfChain;
    } else if (size < kMiniStreamCutoff) {
      uint32_t n = CeilDiv(size, kMiniSectorSize);
      e.startSector = nextMini;
      for (uint32_t k = 0; k < n; ++k)
        miniFat[nextMini + k] = k + 1 < n ? nextMini + k + 1 : kEndOfChain;
      nextMini += n;
    } else {
      uint32_t n = CeilDiv(size, kSector);
      e.startSector = next;
      chainRange(next, n);
      next += n;
    }
  }
  entries[0].startSector = L.miniCount ? miniStart : kEndOfChain;
  entries[0].size = uint64_t{nextMini} * kMiniSectorSize;

  // Directory tree of the root's children.
  std::vector<uint32_t> sorted(streams.size());
  std::iota(sorted.begin(), sorted.end(), 1u);
  std::sort(sorted.begin(), sorted.end(), [&](uint32_t a, uint32_t b) {
    return CompareEntryNames(entries[a].name, entries[b].name) < 0;
  });
  std::vector<int> depthOf(entries.size(), 0);
  entries[0].child = BuildTree(entries, sorted, 0, sorted.size(), 0, depthOf);
  ColourTree(entries, sorted, depthOf);

  // Header.
  CompoundHeader h;
  h.fatSectorCount = L.fatCount;
  h.firstDirectorySector = 1;
  h.firstMiniFatSector = L.miniFatCount ? miniFatStart : kEndOfChain;
  h.miniFatSectorCount = L.miniFatCount;
  h.firstDifatSector = L.difatCount ? difatSectors[0] : kEndOfChain;
  h.difatSectorCount = L.difatCount;
  for (uint32_t i = 0; i < kHeaderDifatCount && i < L.fatCount; ++i) h.difat[i] = fatSectors[i];

  // Emit sector by sector in file order.
  std::vector<uint8_t> buf(kSector);
  h.Serialize(buf.data());
  sink.Write(buf.data(), kSector);
  auto writeTable = [&](const std::vector<uint32_t>& table, size_t index) {
    for (uint32_t k = 0; k < kPerFat; ++k)
      platform::StoreU32(buf.data() + 4 * k, table[index * kPerFat + k]);
    sink.Write(buf.data(), kSector);
  };
  auto writeDir = [&](size_t index) {
    std::memset(buf.data(), 0, kSector);
    for (size_t k = 0; k < kSector / kDirEntrySize; ++k) {
      size_t e = index * (kSector / kDirEntrySize) + k;
      DirectoryEntry unused;
      unused.colour = 0;
      (e < entries.size() ? entries[e] : unused).Serialize(buf.data() + k * kDirEntrySize);
    }
    sink.Write(buf.data(), kSector);
  };
  writeTable(fat, 0);
  writeDir(0);
  for (uint32_t i = 1; i < L.fatCount; ++i) writeTable(fat, i);
  for (uint32_t d = 0; d < L.difatCount; ++d) {
    std::fill(buf.begin(), buf.end(), 0xFF);
    for (uint32_t k = 0; k + 1 < kPerFat; ++k) {
      size_t f = kHeaderDifatCount + static_cast<size_t>(d) * (kPerFat - 1) + k;
      if (f < fatSectors.size()) platform::StoreU32(buf.data() + 4 * k, fatSectors[f]);
    }
    platform::StoreU32(buf.data() + kSector - 4,
                       d + 1 < L.difatCount ? difatSectors[d + 1] : kEndOfChain);
    sink.Write(buf.data(), kSector);
  }
  for (uint32_t i = 1; i < L.dirCount; ++i) writeDir(i);
  for (uint32_t i = 0; i < L.miniFatCount; ++i) writeTable(miniFat, i);

  // Mini stream: each small stream padded to 64 bytes, the whole padded to 512.
  uint64_t miniWritten = 0;
  std::vector<uint8_t> zeros(kSector, 0);
  for (const CompoundStream& s : streams) {
    const uint64_t size = SizeOf(s);
    if (size >= kMiniStreamCutoff) continue;
    WriteData(sink, s);  // an empty one too: its producer must keep to no bytes
    if (size == 0) continue;
    const auto pad =
        static_cast<size_t>(uint64_t{CeilDiv(size, kMiniSectorSize)} * kMiniSectorSize - size);
    sink.Write(zeros.data(), pad);
    miniWritten += size + pad;
  }
  if (uint64_t tail = uint64_t{L.miniCount} * kSector - miniWritten)
    sink.Write(zeros.data(), static_cast<size_t>(tail));
  for (const CompoundStream& s : streams) {
    const uint64_t size = SizeOf(s);
    if (size < kMiniStreamCutoff) continue;
    WriteData(sink, s);
    if (auto pad = static_cast<size_t>((kSector - size % kSector) % kSector))
      sink.Write(zeros.data(), pad);
  }
}

std::vector<uint8_t> BuildCompoundDocument(std::span<const CompoundStream> streams) {
  std::vector<uint8_t> out;
  VectorByteSink sink(out);
  WriteCompoundDocument(sink, streams);
  return out;
}

void WriteCompoundFile(const std::string& path, std::span<const CompoundStream> streams) {
  const std::string temp = platform::SiblingTempPath(path);
  try {
    {
      platform::File file(temp, platform::FileAccess::Write, platform::FileDisposition::CreateNew,
                          platform::FileShare::Exclusive);
      FileByteSink sink(file);
      WriteCompoundDocument(sink, streams);
      file.Flush();
    }
    platform::MoveFileOver(temp, path);
  } catch (...) {
    platform::RemoveFile(temp);
    throw;
  }
}

}  // namespace xls
