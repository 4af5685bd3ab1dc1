#include "xls/biff/TSSTStringTable.h"

#include <algorithm>
#include <stdexcept>

#include "platform/LittleEndian.h"
#include "xls/Errors.h"
#include "xls/biff/RecordIds.h"

namespace xls {

TSSTStringTable::TSSTStringTable() {
  blocks_.emplace_back(8, 0);  // total and unique count, filled in when written
}

void TSSTStringTable::NewBlock() {
  blocks_.emplace_back();
  blocks_.back().reserve(kBlockSize);
}

uint32_t TSSTStringTable::Add(std::u16string_view text) {
  ++total_;
  if (text.size() > kMaxChars) text = text.substr(0, kMaxChars);
  auto found = index_.find(std::u16string(text));
  if (found != index_.end()) return found->second;
  const uint32_t number = UniqueCount();
  index_.emplace(std::u16string(text), number);

  if (blocks_.back().size() > kBlockSize - 4) NewBlock();
  locations_.push_back(
      {static_cast<uint32_t>(blocks_.size() - 1), static_cast<uint32_t>(blocks_.back().size())});
  platform::AppendU16(blocks_.back(), static_cast<uint16_t>(text.size()));
  blocks_.back().push_back(rec::kStrWide);
  size_t done = 0;
  while (done < text.size()) {
    std::vector<uint8_t>* block = &blocks_.back();
    size_t fit = (kBlockSize - block->size()) / 2;
    if (fit == 0) {
      NewBlock();
      block = &blocks_.back();
      block->push_back(rec::kStrWide);
      fit = (kBlockSize - 1) / 2;  // 4095 characters, 8190 bytes
    }
    size_t n = std::min(fit, text.size() - done);
    for (size_t i = 0; i < n; ++i) platform::AppendU16(*block, text[done + i]);
    done += n;
  }
  return number;
}

uint32_t TSSTStringTable::BucketSize() const {
  // A multiple of 8, with at most 128 buckets covering every unique string.
  uint32_t unique = UniqueCount();
  uint32_t b = (unique + 127) / 128;
  b = std::max<uint32_t>(8, (b + 7) / 8 * 8);
  return b;
}

size_t TSSTStringTable::WrittenSize() const {
  size_t size = 0;
  for (const auto& block : blocks_) size += 4 + block.size();
  uint32_t b = BucketSize();
  size_t buckets = (UniqueCount() + b - 1) / b;
  return size + 4 + 2 + 8 * buckets;
}

void TSSTStringTable::WriteTo(RecordWriter& writer) const {
  // Stream position of each block's header, for EXTSST.
  std::vector<size_t> blockStart(blocks_.size());
  size_t pos = writer.Offset();
  for (size_t i = 0; i < blocks_.size(); ++i) {
    blockStart[i] = pos;
    pos += 4 + blocks_[i].size();
  }
  std::vector<uint8_t> first = blocks_[0];
  platform::StoreU32(first.data(), total_);
  platform::StoreU32(first.data() + 4, UniqueCount());
  writer.Write(rec::kSst, first);
  for (size_t i = 1; i < blocks_.size(); ++i) writer.Write(rec::kContinue, blocks_[i]);

  uint32_t b = BucketSize();
  RecordBuilder ext(rec::kExtSst);
  ext.U16(static_cast<uint16_t>(b));
  for (uint32_t s = 0; s < UniqueCount(); s += b) {
    const Location& loc = locations_[s];
    ext.U32(static_cast<uint32_t>(blockStart[loc.block] + 4 + loc.offset));
    ext.U16(static_cast<uint16_t>(4 + loc.offset));
    ext.U16(0);
  }
  writer.Write(ext);
}

std::vector<std::u16string> ReadSharedStrings(RecordReader& reader) {
  static const char* kError = "Reading SST record error";
  std::vector<std::u16string> strings;
  try {
    reader.U32();  // total count: not needed
    uint32_t unique = reader.U32();
    // The count comes from the file: a string needs at least 3 bytes.
    strings.reserve(std::min<uint32_t>(unique, reader.Remaining() / 3 + 1));
    while (strings.size() < unique && reader.Remaining() > 0) {
      strings.push_back(reader.String16());
    }
  } catch (const XlsError&) {
    throw std::runtime_error(kError);
  }
  return strings;
}

const std::u16string& SharedString(const std::vector<std::u16string>& table, uint32_t index) {
  if (index >= table.size()) throw std::runtime_error("Undefined string in shared string table!");
  return table[index];
}

}  // namespace xls
