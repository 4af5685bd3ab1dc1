#pragma once
// Reads a compound document: header, FAT (with its DIFAT beyond the first 109 FAT sectors),
// mini FAT and mini stream, and the directory. Any table may be hostile: every sector number
// is range-checked, every chain is walked with a visited set (a loop is an error, never a
// hang), sizes are checked against what the file can hold before anything is allocated, and
// each fault throws CompoundError naming the table and the sector. The directory tree is
// walked tolerantly: a broken tree falls back to a scan of all entries.
//
// The reader keeps a reference to the source; streams are read on demand.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "xls/compound/ByteSource.h"
#include "xls/compound/CompoundFormat.h"

namespace xls {

class CompoundReader {
 public:
  // Parses header, FAT, mini FAT and directory. Throws CompoundError.
  explicit CompoundReader(ByteSource& source);

  const compound::CompoundHeader& Header() const { return header_; }
  const std::vector<compound::DirectoryEntry>& Entries() const { return entries_; }

  // Index of the stream called `name` (case-insensitive) directly below the root entry:
  // through the root's sibling tree, else by scanning every entry.
  std::optional<size_t> FindStream(std::u16string_view name) const;
  // The workbook stream: "Workbook", or the older "Book".
  std::optional<size_t> FindWorkbookStream() const;
  // The whole content of a stream entry. Throws CompoundError.
  std::vector<uint8_t> ReadStream(size_t entryIndex) const;

  // Where a stream's bytes lie: its size and its sectors (of the file, or of the mini stream),
  // checked as a whole read checks them, so that reading any part of it later cannot meet a
  // broken chain or a sector past the end of the file.
  struct StreamLayout {
    uint64_t size = 0;
    bool mini = false;
    std::vector<uint32_t> sectors;
    std::string what;  // the stream's name in errors
  };
  // Throws CompoundError as ReadStream does.
  StreamLayout Layout(size_t entryIndex) const;
  // `size` bytes of a laid-out stream from `offset` (which must lie within it); runs of
  // consecutive sectors are read at once.
  void ReadStreamAt(const StreamLayout& layout, uint64_t offset, uint8_t* out, size_t size) const;

 private:
  uint32_t SectorCountInFile() const;
  uint64_t SectorOffset(uint32_t sector) const;
  void LoadFat();
  void LoadDirectory();
  void LoadMiniStream();
  // Sector numbers of a chain of at most `limit` sectors through `table`; `what` names the
  // chain in errors; `sectorLimit` is the number of addressable sectors.
  std::vector<uint32_t> Chain(uint32_t start, const std::vector<uint32_t>& table,
                              uint32_t sectorLimit, uint64_t limit, const std::string& what) const;
  // Reads `size` bytes from a chain of regular sectors.
  std::vector<uint8_t> ReadChainBytes(uint32_t start, uint64_t size, const std::string& what) const;
  // The checked layout of a chain of `size` bytes, of the file's sectors or the mini stream's.
  StreamLayout ChainLayout(uint32_t start, uint64_t size, const std::string& what, bool mini) const;
  std::vector<uint8_t> ReadWhole(const StreamLayout& layout) const;
  // Throws the truncation error when the sector's first `bytes` bytes are not all in the file.
  void CheckInFile(uint32_t sector, uint64_t bytes, const std::string& what) const;
  void ReadSector(uint32_t sector, uint8_t* out, size_t bytes, const std::string& what) const;

  ByteSource& source_;
  uint64_t fileSize_ = 0;
  uint32_t sectorSize_ = 512;
  compound::CompoundHeader header_;
  std::vector<uint32_t> fat_;
  std::vector<uint32_t> miniFat_;
  std::vector<uint8_t> miniStream_;
  std::vector<compound::DirectoryEntry> entries_;
};

// One stream of a compound document as a byte source, read by offset instead of whole.
class CompoundStreamSource final : public ByteSource {
 public:
  CompoundStreamSource(const CompoundReader& reader, size_t entryIndex)
      : reader_(reader), layout_(reader.Layout(entryIndex)) {}
  uint64_t Size() const override { return layout_.size; }
  void ReadAt(uint64_t offset, uint8_t* buffer, size_t size) override {
    reader_.ReadStreamAt(layout_, offset, buffer, size);
  }

 private:
  const CompoundReader& reader_;
  CompoundReader::StreamLayout layout_;
};

}  // namespace xls
