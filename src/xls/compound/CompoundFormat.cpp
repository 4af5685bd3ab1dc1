#include "xls/compound/CompoundFormat.h"

#include <algorithm>
#include <cstring>

#include "platform/LittleEndian.h"
#include "xls/Errors.h"

namespace xls::compound {

CompoundHeader CompoundHeader::Parse(const uint8_t* bytes, size_t size) {
  if (size < kHeaderSize)
    throw CompoundError("Compound document header is truncated: the file holds " +
                        std::to_string(size) + " bytes, the header needs 512");
  CompoundHeader h;
  std::memcpy(h.signature.data(), bytes, 8);
  if (h.signature != kSignature)
    throw CompoundError("Not a compound document: bad signature at offset 0");
  h.minorVersion = platform::LoadU16(bytes + 24);
  h.majorVersion = platform::LoadU16(bytes + 26);
  h.byteOrder = platform::LoadU16(bytes + 28);
  h.sectorShift = platform::LoadU16(bytes + 30);
  h.miniSectorShift = platform::LoadU16(bytes + 32);
  h.directorySectorCount = platform::LoadU32(bytes + 40);
  h.fatSectorCount = platform::LoadU32(bytes + 44);
  h.firstDirectorySector = platform::LoadU32(bytes + 48);
  h.transactionSignature = platform::LoadU32(bytes + 52);
  h.miniStreamCutoff = platform::LoadU32(bytes + 56);
  h.firstMiniFatSector = platform::LoadU32(bytes + 60);
  h.miniFatSectorCount = platform::LoadU32(bytes + 64);
  h.firstDifatSector = platform::LoadU32(bytes + 68);
  h.difatSectorCount = platform::LoadU32(bytes + 72);
  for (uint32_t i = 0; i < kHeaderDifatCount; ++i)
    h.difat[i] = platform::LoadU32(bytes + 76 + 4 * i);

  if (h.byteOrder != 0xFFFE)
    throw CompoundError("Compound document header: bad byte order mark at offset 28");
  if (h.sectorShift != 9 && h.sectorShift != 12)
    throw CompoundError("Compound document header: unsupported sector shift " +
                        std::to_string(h.sectorShift) + " at offset 30");
  if (h.miniSectorShift != 6)
    throw CompoundError("Compound document header: unsupported mini sector shift " +
                        std::to_string(h.miniSectorShift) + " at offset 32");
  return h;
}

void CompoundHeader::Serialize(uint8_t* out) const {
  std::memset(out, 0, kHeaderSize);
  std::memcpy(out, signature.data(), 8);
  platform::StoreU16(out + 24, minorVersion);
  platform::StoreU16(out + 26, majorVersion);
  platform::StoreU16(out + 28, byteOrder);
  platform::StoreU16(out + 30, sectorShift);
  platform::StoreU16(out + 32, miniSectorShift);
  platform::StoreU32(out + 40, directorySectorCount);
  platform::StoreU32(out + 44, fatSectorCount);
  platform::StoreU32(out + 48, firstDirectorySector);
  platform::StoreU32(out + 52, transactionSignature);
  platform::StoreU32(out + 56, miniStreamCutoff);
  platform::StoreU32(out + 60, firstMiniFatSector);
  platform::StoreU32(out + 64, miniFatSectorCount);
  platform::StoreU32(out + 68, firstDifatSector);
  platform::StoreU32(out + 72, difatSectorCount);
  for (uint32_t i = 0; i < kHeaderDifatCount; ++i) platform::StoreU32(out + 76 + 4 * i, difat[i]);
}

DirectoryEntry DirectoryEntry::Parse(const uint8_t* bytes, uint16_t majorVersion) {
  DirectoryEntry e;
  uint16_t nameBytes = platform::LoadU16(bytes + 64);
  // The length counts the terminator; a hostile length is clamped to the 32 slots.
  size_t chars = std::min<size_t>(nameBytes / 2, 32);
  for (size_t i = 0; i < chars; ++i) {
    char16_t c = static_cast<char16_t>(platform::LoadU16(bytes + 2 * i));
    if (c == 0) break;
    e.name.push_back(c);
  }
  e.type = static_cast<EntryType>(bytes[66]);
  e.colour = bytes[67];
  e.left = platform::LoadU32(bytes + 68);
  e.right = platform::LoadU32(bytes + 72);
  e.child = platform::LoadU32(bytes + 76);
  e.startSector = platform::LoadU32(bytes + 116);
  e.size = majorVersion == 3 ? platform::LoadU32(bytes + 120) : platform::LoadU64(bytes + 120);
  return e;
}

void DirectoryEntry::Serialize(uint8_t* out) const {
  std::memset(out, 0, kDirEntrySize);
  size_t chars = std::min<size_t>(name.size(), 31);
  for (size_t i = 0; i < chars; ++i) platform::StoreU16(out + 2 * i, name[i]);
  platform::StoreU16(out + 64,
                     type == EntryType::Unused ? 0 : static_cast<uint16_t>((chars + 1) * 2));
  out[66] = static_cast<uint8_t>(type);
  out[67] = colour;
  platform::StoreU32(out + 68, left);
  platform::StoreU32(out + 72, right);
  platform::StoreU32(out + 76, child);
  platform::StoreU32(out + 116, startSector);
  platform::StoreU64(out + 120, size);
}

namespace {
char16_t UpperUnit(char16_t c) {
  // Compound names compare case-insensitively; ASCII and Latin-1 letters cover every name
  // this system writes or looks up.
  if ((c >= u'a' && c <= u'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7))
    return static_cast<char16_t>(c - 0x20);
  return c;
}
}  // namespace

int CompareEntryNames(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
  for (size_t i = 0; i < a.size(); ++i) {
    char16_t x = UpperUnit(a[i]), y = UpperUnit(b[i]);
    if (x != y) return x < y ? -1 : 1;
  }
  return 0;
}

}  // namespace xls::compound
