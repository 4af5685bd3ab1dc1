#pragma once
// On-disk structures of the compound document: a small FAT file system inside one file, whose
// "streams" are chains of fixed-size sectors. We write version 3 (512-byte sectors) and read
// versions 3 and 4. Full byte tables: docs/formats/compound-document.md.
//
// Header (sector -1, the first 512 bytes of the file), little-endian:
//   OFFSET SIZE DESCRIPTION
//   0      8    signature D0 CF 11 E0 A1 B1 1A E1
//   8      16   class id, zero
//   24     2    minor version (0x3E)
//   26     2    major version (3: 512-byte sectors, 4: 4096-byte sectors)
//   28     2    byte order mark FFFE
//   30     2    sector shift (9 or 12)
//   32     2    mini sector shift (6)
//   34     6    reserved, zero
//   40     4    directory sector count (0 in version 3)
//   44     4    FAT sector count
//   48     4    first directory sector
//   52     4    transaction signature (0)
//   56     4    mini stream cutoff (4096): smaller streams live in the mini stream
//   60     4    first mini FAT sector (kEndOfChain when none)
//   64     4    mini FAT sector count
//   68     4    first DIFAT sector (kEndOfChain when none)
//   72     4    DIFAT sector count
//   76     436  the first 109 FAT sector numbers (kFreeSect when unused)
// Sector n starts at file offset (n + 1) * sector size.
#include <array>
#include <cstdint>
#include <stdexcept>
#include <string>

namespace xls {

namespace compound {

constexpr uint32_t kMaxRegSect = 0xFFFFFFFA;  // larger values are special
constexpr uint32_t kDifSect = 0xFFFFFFFC;     // sector holds DIFAT entries
constexpr uint32_t kFatSect = 0xFFFFFFFD;     // sector holds FAT entries
constexpr uint32_t kEndOfChain = 0xFFFFFFFE;
constexpr uint32_t kFreeSect = 0xFFFFFFFF;
constexpr uint32_t kNoStream = 0xFFFFFFFF;  // directory link "none"

constexpr uint32_t kHeaderSize = 512;
constexpr uint32_t kHeaderDifatCount = 109;
constexpr uint32_t kDirEntrySize = 128;
constexpr uint32_t kMiniSectorSize = 64;
constexpr uint32_t kMiniStreamCutoff = 4096;
constexpr std::array<uint8_t, 8> kSignature = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};

struct CompoundHeader {
  std::array<uint8_t, 8> signature = kSignature;
  uint16_t minorVersion = 0x3E;
  uint16_t majorVersion = 3;
  uint16_t byteOrder = 0xFFFE;
  uint16_t sectorShift = 9;
  uint16_t miniSectorShift = 6;
  uint32_t directorySectorCount = 0;
  uint32_t fatSectorCount = 0;
  uint32_t firstDirectorySector = kEndOfChain;
  uint32_t transactionSignature = 0;
  uint32_t miniStreamCutoff = kMiniStreamCutoff;
  uint32_t firstMiniFatSector = kEndOfChain;
  uint32_t miniFatSectorCount = 0;
  uint32_t firstDifatSector = kEndOfChain;
  uint32_t difatSectorCount = 0;
  std::array<uint32_t, kHeaderDifatCount> difat{};

  CompoundHeader() { difat.fill(kFreeSect); }
  // Parses the 512 header bytes; checks only what makes the rest unreadable (signature, byte
  // order, sector sizes). Throws CompoundError.
  static CompoundHeader Parse(const uint8_t* bytes, size_t size);
  void Serialize(uint8_t* out512) const;
  uint32_t SectorSize() const { return 1u << sectorShift; }
};

enum class EntryType : uint8_t { Unused = 0, Storage = 1, Stream = 2, Root = 5 };

// Directory entry, 128 bytes:
//   OFFSET SIZE DESCRIPTION
//   0      64   name, UTF-16, zero-terminated (at most 31 characters)
//   64     2    name length in bytes including the terminator
//   66     1    type (0 unused, 1 storage, 2 stream, 5 root)
//   67     1    colour in the red-black tree (0 red, 1 black)
//   68     4    left sibling, 72 4 right sibling, 76 4 child (kNoStream when none)
//   80     16   class id
//   96     4    state bits
//   100    8    creation time, 108 8 modification time
//   116    4    start sector (mini sector for small streams; the mini stream for the root)
//   120    8    stream size (version 3 files: only the low 32 bits are meaningful)
struct DirectoryEntry {
  std::u16string name;
  EntryType type = EntryType::Unused;
  uint8_t colour = 1;
  uint32_t left = kNoStream;
  uint32_t right = kNoStream;
  uint32_t child = kNoStream;
  uint32_t startSector = kEndOfChain;
  uint64_t size = 0;

  // Reads one entry; a name length that does not fit gives the name up to its terminator.
  static DirectoryEntry Parse(const uint8_t* bytes, uint16_t majorVersion);
  void Serialize(uint8_t* out128) const;
};

// The order of siblings in a directory tree: shorter names first, then by upper-cased UTF-16
// code units. Returns <0, 0, >0.
int CompareEntryNames(std::u16string_view a, std::u16string_view b);

}  // namespace compound
}  // namespace xls
