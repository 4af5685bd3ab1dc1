#include "xls/biff/RecordWriter.h"

#include <algorithm>
#include <stdexcept>

#include "platform/LittleEndian.h"
#include "xls/Errors.h"
#include "xls/biff/RecordIds.h"
#include "xls/biff/RecordReader.h"

namespace xls {

bool FitsCompressed(std::u16string_view text) {
  return std::all_of(text.begin(), text.end(), [](char16_t c) { return c <= 0xFF; });
}

RecordBuilder& RecordBuilder::Atomic(const uint8_t* p, size_t n, bool keepWithNext) {
  pieces_.push_back({data_.size(), n, Kind::Atomic, keepWithNext});
  data_.insert(data_.end(), p, p + n);
  return *this;
}

RecordBuilder& RecordBuilder::U8(uint8_t v) { return Atomic(&v, 1); }
RecordBuilder& RecordBuilder::U16(uint16_t v) {
  uint8_t b[2];
  platform::StoreU16(b, v);
  return Atomic(b, 2);
}
RecordBuilder& RecordBuilder::U32(uint32_t v) {
  uint8_t b[4];
  platform::StoreU32(b, v);
  return Atomic(b, 4);
}
RecordBuilder& RecordBuilder::Double(double v) {
  uint8_t b[8];
  platform::StoreDouble(b, v);
  return Atomic(b, 8);
}
RecordBuilder& RecordBuilder::Bytes(std::span<const uint8_t> bytes) {
  return Atomic(bytes.data(), bytes.size());
}
RecordBuilder& RecordBuilder::Zeros(size_t count) {
  pieces_.push_back({data_.size(), count, Kind::Atomic, false});
  data_.insert(data_.end(), count, 0);
  return *this;
}

RecordBuilder& RecordBuilder::Chars(std::u16string_view text, bool wide) {
  if (text.empty()) return *this;
  pieces_.push_back(
      {data_.size(), text.size() * (wide ? 2 : 1), wide ? Kind::Chars16 : Kind::Chars8, false});
  for (char16_t c : text) {
    data_.push_back(static_cast<uint8_t>(c));
    if (wide) data_.push_back(static_cast<uint8_t>(c >> 8));
  }
  return *this;
}

RecordBuilder& RecordBuilder::StringWithCount(std::u16string_view text, bool forceWide,
                                              bool shortCount) {
  size_t limit = shortCount ? 0xFF : 0xFFFF;
  if (text.size() > limit)
    throw XlsError("A string of " + std::to_string(text.size()) +
                   " characters does not fit its record (at most " + std::to_string(limit) + ")");
  bool wide = forceWide || !FitsCompressed(text);
  uint8_t head[3];
  size_t n = 0;
  if (shortCount) {
    head[n++] = static_cast<uint8_t>(text.size());
  } else {
    platform::StoreU16(head, static_cast<uint16_t>(text.size()));
    n = 2;
  }
  head[n++] = wide ? rec::kStrWide : 0;
  Atomic(head, n, !text.empty());
  return Chars(text, wide);
}

RecordBuilder& RecordBuilder::String8(std::u16string_view text, bool forceWide) {
  return StringWithCount(text, forceWide, true);
}
RecordBuilder& RecordBuilder::String16(std::u16string_view text, bool forceWide) {
  return StringWithCount(text, forceWide, false);
}

void RecordBuilder::PatchU16(size_t offset, uint16_t v) {
  if (offset + 2 > data_.size()) throw std::out_of_range("RecordBuilder::PatchU16");
  platform::StoreU16(data_.data() + offset, v);
}
void RecordBuilder::PatchU32(size_t offset, uint32_t v) {
  if (offset + 4 > data_.size()) throw std::out_of_range("RecordBuilder::PatchU32");
  platform::StoreU32(data_.data() + offset, v);
}

void RecordBuilder::ForEachSegment(
    const std::function<void(std::span<const uint8_t>)>& emit) const {
  // Nearly every record fits: no layout needed.
  if (data_.size() <= rec::kMaxRecordData) {
    emit(data_);
    return;
  }
  std::vector<uint8_t> seg;
  seg.reserve(std::min<size_t>(data_.size() + 1, rec::kMaxRecordData));
  auto room = [&] { return rec::kMaxRecordData - seg.size(); };
  auto flush = [&] {
    emit(seg);
    seg.clear();
  };
  for (size_t i = 0; i < pieces_.size(); ++i) {
    const Piece& p = pieces_[i];
    const uint8_t* src = data_.data() + p.offset;
    if (p.kind == Kind::Atomic) {
      size_t need = p.length;
      if (p.keepWithNext && i + 1 < pieces_.size())
        need += pieces_[i + 1].kind == Kind::Chars16 ? 2 : 1;
      if (need > room() && !seg.empty() && need <= rec::kMaxRecordData) flush();
      // A block larger than a whole record cannot stay atomic: it is split plainly.
      size_t left = p.length;
      while (left > 0) {
        if (room() == 0) flush();
        size_t n = std::min(left, room());
        seg.insert(seg.end(), src, src + n);
        src += n;
        left -= n;
      }
    } else {
      const bool wide = p.kind == Kind::Chars16;
      const size_t charSize = wide ? 2 : 1;
      size_t left = p.length;
      while (left > 0) {
        size_t n = std::min(left, room() / charSize * charSize);
        if (n == 0) {
          // Characters go on in a CONTINUE that starts with the option byte.
          flush();
          seg.push_back(wide ? rec::kStrWide : 0);
          continue;
        }
        seg.insert(seg.end(), src, src + n);
        src += n;
        left -= n;
      }
    }
  }
  if (!seg.empty() || data_.empty()) emit(seg);
}

void RecordWriter::Write(const RecordBuilder& record) {
  bool first = true;
  record.ForEachSegment([&](std::span<const uint8_t> seg) {
    uint8_t head[4];
    platform::StoreU16(head, first ? record.Id() : rec::kContinue);
    platform::StoreU16(head + 2, static_cast<uint16_t>(seg.size()));
    out_.insert(out_.end(), head, head + 4);
    out_.insert(out_.end(), seg.begin(), seg.end());
    first = false;
  });
}

void RecordWriter::HandOn(const std::function<void(std::span<const uint8_t>)>& emit) {
  if (out_.empty()) return;
  emit(out_);
  handedOn_ += out_.size();
  out_.clear();
}

size_t RecordWriter::WrittenSize(const RecordBuilder& record) {
  size_t total = 0;
  record.ForEachSegment([&](std::span<const uint8_t> seg) { total += 4 + seg.size(); });
  return total;
}

void RecordWriter::Write(uint16_t id, std::span<const uint8_t> data) {
  size_t done = 0;
  bool first = true;
  do {
    size_t n = std::min<size_t>(data.size() - done, rec::kMaxRecordData);
    uint8_t head[4];
    platform::StoreU16(head, first ? id : rec::kContinue);
    platform::StoreU16(head + 2, static_cast<uint16_t>(n));
    out_.insert(out_.end(), head, head + 4);
    out_.insert(out_.end(), data.begin() + done, data.begin() + done + n);
    done += n;
    first = false;
  } while (done < data.size());
}

}  // namespace xls
