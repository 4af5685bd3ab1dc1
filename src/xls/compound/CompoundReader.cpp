#include "xls/compound/CompoundReader.h"

#include <algorithm>
#include <limits>

#include "platform/CodePage.h"
#include "platform/LittleEndian.h"
#include "xls/Errors.h"

namespace xls {

using namespace compound;

namespace {
std::string Hex(uint32_t v) {
  static const char* digits = "0123456789ABCDEF";
  std::string s = "0x";
  for (int shift = 28; shift >= 0; shift -= 4) s += digits[(v >> shift) & 0xF];
  return s;
}
std::string SectorName(uint32_t v) { return v > kMaxRegSect ? Hex(v) : std::to_string(v); }
std::string EntryLabel(const DirectoryEntry& e, size_t index) {
  return "stream \"" + platform::Utf16ToAnsi(e.name) + "\" (directory entry " +
         std::to_string(index) + ")";
}
}  // namespace

CompoundReader::CompoundReader(ByteSource& source) : source_(source) {
  fileSize_ = source_.Size();
  uint8_t head[kHeaderSize];
  size_t got = static_cast<size_t>(std::min<uint64_t>(fileSize_, kHeaderSize));
  source_.ReadAt(0, head, got);
  header_ = CompoundHeader::Parse(head, got);
  sectorSize_ = header_.SectorSize();
  LoadFat();
  LoadDirectory();
  LoadMiniStream();
}

uint32_t CompoundReader::SectorCountInFile() const {
  // Partial last sectors count: some writers do not pad the end of the file.
  uint64_t body = fileSize_ > sectorSize_ ? fileSize_ - sectorSize_ : 0;
  uint64_t count = (body + sectorSize_ - 1) / sectorSize_;
  return static_cast<uint32_t>(std::min<uint64_t>(count, kMaxRegSect));
}

uint64_t CompoundReader::SectorOffset(uint32_t sector) const {
  return (static_cast<uint64_t>(sector) + 1) * sectorSize_;
}

void CompoundReader::CheckInFile(uint32_t sector, uint64_t bytes, const std::string& what) const {
  const uint64_t offset = SectorOffset(sector);
  if (offset > fileSize_ || bytes > fileSize_ - offset)
    throw CompoundError("Compound document is truncated: sector " + std::to_string(sector) +
                        " of " + what + " lies beyond the end of the file (" +
                        std::to_string(fileSize_) + " bytes)");
}

void CompoundReader::ReadSector(uint32_t sector, uint8_t* out, size_t bytes,
                                const std::string& what) const {
  CheckInFile(sector, bytes, what);
  source_.ReadAt(SectorOffset(sector), out, bytes);
}

void CompoundReader::LoadFat() {
  const uint32_t inFile = SectorCountInFile();
  const uint32_t perSector = sectorSize_ / 4;
  // The FAT cannot have more sectors than the file; a larger count is a lie, not a reason to
  // allocate.
  if (header_.fatSectorCount > inFile)
    throw CompoundError("Compound document header claims " +
                        std::to_string(header_.fatSectorCount) + " FAT sectors, the file holds " +
                        std::to_string(inFile) + " sectors");
  std::vector<uint32_t> fatSectors;
  for (uint32_t i = 0; i < kHeaderDifatCount && fatSectors.size() < header_.fatSectorCount; ++i) {
    uint32_t s = header_.difat[i];
    if (s == kFreeSect) break;
    fatSectors.push_back(s);
  }
  // DIFAT chain: each DIFAT sector holds perSector-1 FAT numbers, then the next DIFAT sector.
  std::vector<bool> seen(inFile, false);
  std::vector<uint8_t> buf(sectorSize_);
  uint32_t difat = header_.firstDifatSector;
  uint32_t difatCount = 0;
  while (fatSectors.size() < header_.fatSectorCount && difat != kEndOfChain && difat != kFreeSect) {
    if (difat >= inFile)
      throw CompoundError("Compound document DIFAT names sector " + SectorName(difat) +
                          ", beyond the " + std::to_string(inFile) + " sectors of the file");
    if (seen[difat])
      throw CompoundError("Compound document DIFAT chain loops at sector " + std::to_string(difat));
    seen[difat] = true;
    ReadSector(difat, buf.data(), sectorSize_, "the DIFAT");
    for (uint32_t i = 0; i + 1 < perSector && fatSectors.size() < header_.fatSectorCount; ++i) {
      uint32_t s = platform::LoadU32(buf.data() + 4 * i);
      if (s == kFreeSect) continue;
      fatSectors.push_back(s);
    }
    difat = platform::LoadU32(buf.data() + sectorSize_ - 4);
    ++difatCount;
  }
  if (fatSectors.size() < header_.fatSectorCount)
    throw CompoundError("Compound document DIFAT lists " + std::to_string(fatSectors.size()) +
                        " FAT sectors, the header claims " +
                        std::to_string(header_.fatSectorCount));
  fat_.assign(static_cast<size_t>(fatSectors.size()) * perSector, kFreeSect);
  std::fill(seen.begin(), seen.end(), false);
  for (size_t i = 0; i < fatSectors.size(); ++i) {
    uint32_t s = fatSectors[i];
    if (s >= inFile)
      throw CompoundError("Compound document FAT sector " + std::to_string(i) + " is sector " +
                          SectorName(s) + ", beyond the " + std::to_string(inFile) +
                          " sectors of the file");
    if (seen[s])
      throw CompoundError("Compound document lists sector " + std::to_string(s) +
                          " twice as a FAT sector");
    seen[s] = true;
    ReadSector(s, buf.data(), sectorSize_, "the FAT");
    for (uint32_t k = 0; k < perSector; ++k)
      fat_[i * perSector + k] = platform::LoadU32(buf.data() + 4 * k);
  }
}

std::vector<uint32_t> CompoundReader::Chain(uint32_t start, const std::vector<uint32_t>& table,
                                            uint32_t sectorLimit, uint64_t limit,
                                            const std::string& what) const {
  std::vector<uint32_t> chain;
  if (limit == 0) return chain;
  std::vector<bool> seen(std::min<size_t>(table.size(), sectorLimit), false);
  uint32_t s = start;
  while (chain.size() < limit) {
    if (s == kEndOfChain || s == kFreeSect)
      throw CompoundError("Compound document chain of " + what + " ends after " +
                          std::to_string(chain.size()) + " sectors, its size needs " +
                          std::to_string(limit));
    if (s >= table.size())
      throw CompoundError("Compound document chain of " + what + " names sector " + SectorName(s) +
                          ", beyond the " + std::to_string(table.size()) +
                          " sectors its table maps");
    if (s >= seen.size())
      throw CompoundError("Compound document is truncated: sector " + std::to_string(s) + " of " +
                          what + " lies beyond the end of the " +
                          (&table == &miniFat_ ? "mini stream" : "file"));
    if (seen[s])
      throw CompoundError("Compound document chain of " + what + " loops at sector " +
                          std::to_string(s));
    seen[s] = true;
    chain.push_back(s);
    s = table[s];
  }
  return chain;
}

std::vector<uint8_t> CompoundReader::ReadChainBytes(uint32_t start, uint64_t size,
                                                    const std::string& what) const {
  return ReadWhole(ChainLayout(start, size, what, false));
}

std::vector<uint8_t> CompoundReader::ReadWhole(const StreamLayout& layout) const {
  // Allocated only once the layout has checked the size against the file.
  std::vector<uint8_t> out(static_cast<size_t>(layout.size));
  ReadStreamAt(layout, 0, out.data(), out.size());
  return out;
}

CompoundReader::StreamLayout CompoundReader::ChainLayout(uint32_t start, uint64_t size,
                                                         const std::string& what, bool mini) const {
  StreamLayout layout;
  layout.size = size;
  layout.mini = mini;
  layout.what = what;
  if (mini) {
    const uint32_t miniSectors = static_cast<uint32_t>(miniStream_.size() / kMiniSectorSize);
    if (size > uint64_t{miniSectors} * kMiniSectorSize)
      throw CompoundError("Compound document " + what + " claims " + std::to_string(size) +
                          " bytes, more than the mini stream holds");
    const uint64_t count = (size + kMiniSectorSize - 1) / kMiniSectorSize;
    layout.sectors = Chain(start, miniFat_, miniSectors, count, what + " in the mini stream");
    return layout;
  }
  // Compare before rounding up: a 64-bit size near the top would wrap.
  if (size > uint64_t{SectorCountInFile()} * sectorSize_)
    throw CompoundError("Compound document " + what + " claims " + std::to_string(size) +
                        " bytes, more than the file can hold");
  if (size > std::numeric_limits<size_t>::max())
    throw CompoundError("Compound document " + what + " of " + std::to_string(size) +
                        " bytes is too large to load");
  const uint64_t count = (size + sectorSize_ - 1) / sectorSize_;
  layout.sectors = Chain(start, fat_, SectorCountInFile(), count, what);
  // Every sector's bytes must lie in the file: a truncated file is refused before any of the
  // stream is read, naming the first sector that is missing.
  for (size_t i = 0; i < layout.sectors.size(); ++i) {
    CheckInFile(layout.sectors[i],
                std::min<uint64_t>(sectorSize_, size - uint64_t{i} * sectorSize_), what);
  }
  return layout;
}

void CompoundReader::ReadStreamAt(const StreamLayout& layout, uint64_t offset, uint8_t* out,
                                  size_t size) const {
  if (offset > layout.size || size > layout.size - offset)
    throw CompoundError("Compound document read of " + std::to_string(size) + " bytes at offset " +
                        std::to_string(offset) + " runs past the end of " + layout.what);
  const uint64_t unit = layout.mini ? kMiniSectorSize : sectorSize_;
  uint64_t pos = offset;
  while (size > 0) {
    const size_t i = static_cast<size_t>(pos / unit);
    const uint64_t within = pos % unit;
    size_t n = 0;
    if (layout.mini) {
      n = static_cast<size_t>(std::min<uint64_t>(unit - within, size));
      std::copy_n(miniStream_.begin() + static_cast<ptrdiff_t>(layout.sectors[i] * unit + within),
                  n, out);
    } else {
      // Writers lay a stream out mostly in consecutive sectors: each run of them is one read.
      size_t run = 1;
      while (i + run < layout.sectors.size() &&
             layout.sectors[i + run] == layout.sectors[i] + run && run * unit - within < size)
        ++run;
      n = static_cast<size_t>(std::min<uint64_t>(run * unit - within, size));
      source_.ReadAt(SectorOffset(layout.sectors[i]) + within, out, n);
    }
    out += n;
    size -= n;
    pos += n;
  }
}

void CompoundReader::LoadDirectory() {
  // The directory's length is only known from its chain: walk it up to its end.
  std::vector<uint32_t> chain;
  std::vector<bool> seen(std::min<size_t>(fat_.size(), SectorCountInFile()), false);
  for (uint32_t s = header_.firstDirectorySector; s != kEndOfChain;) {
    if (s >= seen.size())
      throw CompoundError("Compound document directory chain names sector " + SectorName(s) +
                          ", beyond the " + std::to_string(seen.size()) +
                          " sectors of the file and its FAT");
    if (seen[s])
      throw CompoundError("Compound document directory chain loops at sector " + std::to_string(s));
    seen[s] = true;
    chain.push_back(s);
    s = fat_[s];
  }
  if (chain.empty()) throw CompoundError("Compound document has no directory");
  std::vector<uint8_t> buf(sectorSize_);
  for (uint32_t s : chain) {
    ReadSector(s, buf.data(), sectorSize_, "the directory");
    for (uint32_t off = 0; off + kDirEntrySize <= sectorSize_; off += kDirEntrySize)
      entries_.push_back(DirectoryEntry::Parse(buf.data() + off, header_.majorVersion));
  }
  if (entries_[0].type != EntryType::Root)
    throw CompoundError("Compound document directory entry 0 is not the root entry");
}

void CompoundReader::LoadMiniStream() {
  const DirectoryEntry& root = entries_[0];
  if (root.size == 0 || root.startSector == kEndOfChain) return;
  miniStream_ = ReadChainBytes(root.startSector, root.size, "the mini stream");
  // Mini FAT: a regular chain of header.miniFatSectorCount sectors.
  if (header_.firstMiniFatSector == kEndOfChain || header_.miniFatSectorCount == 0) return;
  uint64_t bytes = static_cast<uint64_t>(header_.miniFatSectorCount) * sectorSize_;
  std::vector<uint8_t> raw = ReadChainBytes(header_.firstMiniFatSector, bytes, "the mini FAT");
  miniFat_.resize(raw.size() / 4);
  for (size_t i = 0; i < miniFat_.size(); ++i) miniFat_[i] = platform::LoadU32(raw.data() + 4 * i);
}

std::optional<size_t> CompoundReader::FindStream(std::u16string_view name) const {
  auto matches = [&](size_t i) {
    return i < entries_.size() && entries_[i].type == EntryType::Stream &&
           CompareEntryNames(entries_[i].name, name) == 0;
  };
  // Tree search below the root, guarded against loops and bad links.
  std::vector<bool> seen(entries_.size(), false);
  uint32_t node = entries_[0].child;
  while (node != kNoStream && node < entries_.size() && !seen[node]) {
    seen[node] = true;
    if (matches(node)) return node;
    int c = CompareEntryNames(name, entries_[node].name);
    node = c < 0 ? entries_[node].left : entries_[node].right;
  }
  // A tree sorted by another rule, or broken: scan all entries.
  for (size_t i = 1; i < entries_.size(); ++i)
    if (matches(i)) return i;
  return std::nullopt;
}

std::optional<size_t> CompoundReader::FindWorkbookStream() const {
  if (auto i = FindStream(u"Workbook")) return i;
  return FindStream(u"Book");
}

std::vector<uint8_t> CompoundReader::ReadStream(size_t entryIndex) const {
  return ReadWhole(Layout(entryIndex));
}

CompoundReader::StreamLayout CompoundReader::Layout(size_t entryIndex) const {
  if (entryIndex >= entries_.size())
    throw CompoundError("Compound document has no directory entry " + std::to_string(entryIndex));
  const DirectoryEntry& e = entries_[entryIndex];
  const std::string what = EntryLabel(e, entryIndex);
  if (e.type != EntryType::Stream)
    throw CompoundError("Compound document directory entry " + std::to_string(entryIndex) +
                        " is not a stream");
  return ChainLayout(e.startSector, e.size, what, e.size < header_.miniStreamCutoff);
}

}  // namespace xls
