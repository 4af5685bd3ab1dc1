#include "xls/biff/RecordReader.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "platform/LittleEndian.h"
#include "xls/Errors.h"
#include "xls/biff/RecordIds.h"
#include "xls/biff/XlsText.h"

namespace xls {

namespace {
std::string RecordLabel(uint16_t id, uint32_t offset) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "Record 0x%04X at offset %u", static_cast<unsigned>(id),
                static_cast<unsigned>(offset));
  return buf;
}
}  // namespace

void RecordReader::Fail(const std::string& what) const {
  throw XlsError(RecordLabel(id_, offset_) + ": " + what);
}

RecordReader::RecordReader(std::span<const uint8_t> stream)
    : data_(stream.data()),
      windowEnd_(static_cast<uint32_t>(stream.size())),
      size_(static_cast<uint32_t>(stream.size())) {
  if (stream.size() > UINT32_MAX) throw XlsError("The workbook stream is too large");
}

RecordReader::RecordReader(ByteSource& source, size_t windowBytes)
    : source_(&source), windowCapacity_(std::max<size_t>(windowBytes, 16)) {
  if (source.Size() > UINT32_MAX) throw XlsError("The workbook stream is too large");
  size_ = static_cast<uint32_t>(source.Size());
}

void RecordReader::Refill(uint32_t start, uint32_t end) {
  if (source_ == nullptr || end > size_ || start > end)  // never asked of a whole stream
    throw XlsError(RecordLabel(id_, offset_) + ": bytes " + std::to_string(start) + " to " +
                   std::to_string(end) + " lie outside the stream");
  // The window starts over at `start`; one that is too small for the record grows, to twice
  // its size at least, so that a run of ever longer records does not read ever again.
  if (end - start > windowCapacity_)
    windowCapacity_ = std::max<size_t>(end - start, 2 * windowCapacity_);
  if (window_.Size() < windowCapacity_) window_ = platform::BulkMemory(windowCapacity_);
  const auto n = static_cast<uint32_t>(std::min<uint64_t>(window_.Size(), size_ - start));
  source_->ReadAt(start, static_cast<uint8_t*>(window_.Data()), n);
  data_ = static_cast<const uint8_t*>(window_.Data());
  windowStart_ = start;
  windowEnd_ = start + n;
}

bool RecordReader::Seek(uint32_t offset) {
  if (offset > size_) return false;
  next_ = offset;
  return true;
}

void RecordReader::EnterSegment(size_t k) {
  seg_ = k;
  const Segment& s = segments_[k];
  segBase_ = At(s.start) - s.logical;
  segEnd_ = s.logical + s.length;
}

bool RecordReader::NextSinglePiece() {
  // Everything from the header to the following header lies in the window already.
  const uint32_t start = next_;
  if (start < windowStart_ || start > windowEnd_ || windowEnd_ - start < 4) return false;
  const uint8_t* header = At(start);
  const uint32_t len = platform::LoadU16(header + 2);
  if (len > size_ - start - 4) return false;  // the general way names the fault
  const uint32_t after = start + 4 + len;
  if (size_ - after >= 4) {
    if (after > windowEnd_ || windowEnd_ - after < 4 ||
        platform::LoadU16(At(after)) == rec::kContinue)
      return false;
  } else if (after > windowEnd_) {
    return false;
  }
  id_ = platform::LoadU16(header);
  segments_.clear();
  segments_.push_back({start + 4, len, 0});
  length_ = len;
  next_ = after;
  seg_ = 0;
  segBase_ = header + 4;
  segEnd_ = len;
  return true;
}

bool RecordReader::Next() {
  pos_ = 0;
  const size_t size = size_;
  const bool more = next_ <= size && size - next_ >= 4;
  if (more) {
    offset_ = next_;
    if (NextSinglePiece()) return true;
  }
  segments_.clear();
  seg_ = 0;
  length_ = 0;
  segBase_ = nullptr;
  segEnd_ = 0;
  if (!more) return false;
  Ensure(offset_, next_ + 4);
  id_ = platform::LoadU16(At(next_));
  uint32_t len = platform::LoadU16(At(next_ + 2));
  if (len > size - next_ - 4)
    Fail("claims " + std::to_string(len) + " data bytes, only " + std::to_string(size - next_ - 4) +
         " remain in the stream");
  segments_.push_back({next_ + 4, len, 0});
  length_ = len;
  next_ += 4 + len;
  // Gather the CONTINUE records that carry the rest of this one.
  // The window keeps the record from its header on while the CONTINUE headers are looked at.
  while (size - next_ >= 4) {
    Ensure(offset_, next_ + 4);
    if (platform::LoadU16(At(next_)) != rec::kContinue) break;
    uint32_t clen = platform::LoadU16(At(next_ + 2));
    if (clen > size - next_ - 4)
      throw XlsError(RecordLabel(rec::kContinue, next_) + ": claims " + std::to_string(clen) +
                     " data bytes, only " + std::to_string(size - next_ - 4) +
                     " remain in the stream");
    segments_.push_back({next_ + 4, clen, length_});
    length_ += clen;
    next_ += 4 + clen;
  }
  Ensure(offset_, next_);
  EnterSegment(0);
  return true;
}

uint32_t RecordReader::RemainingInSegment() const {
  if (seg_ >= segments_.size()) return 0;
  const Segment& s = segments_[seg_];
  return s.logical + s.length - pos_;
}

bool RecordReader::Settle() {
  while (seg_ < segments_.size() && RemainingInSegment() == 0) {
    if (seg_ + 1 >= segments_.size()) return false;
    EnterSegment(seg_ + 1);
  }
  return seg_ < segments_.size();
}

void RecordReader::Need(size_t size) const {
  if (size > Remaining())
    Fail("needs " + std::to_string(size) + " bytes at data offset " + std::to_string(pos_) +
         ", only " + std::to_string(Remaining()) + " remain");
}

void RecordReader::Read(uint8_t* out, size_t size) {
  if (size <= Remaining()) {
    if (const uint8_t* p = Take(static_cast<uint32_t>(size))) {
      if (size > 0) std::memcpy(out, p, size);
      return;
    }
  }
  Need(size);
  while (size > 0) {
    Settle();
    const Segment& s = segments_[seg_];
    size_t n = std::min<size_t>(size, RemainingInSegment());
    std::memcpy(out, At(s.start) + (pos_ - s.logical), n);
    out += n;
    size -= n;
    pos_ += static_cast<uint32_t>(n);
  }
}

void RecordReader::SkipAcross(size_t size) {
  Need(size);
  pos_ += static_cast<uint32_t>(size);
  // Stay on the piece whose end the cursor has not passed (it may stand right at that end).
  while (seg_ + 1 < segments_.size() && pos_ > segments_[seg_].logical + segments_[seg_].length)
    EnterSegment(seg_ + 1);
}

std::vector<uint8_t> RecordReader::Bytes(size_t size) {
  Need(size);
  std::vector<uint8_t> out(size);
  Read(out.data(), size);
  return out;
}

void RecordReader::Widen(const uint8_t* from, size_t count, bool wide, char16_t* to) {
  if (wide) {
    for (size_t i = 0; i < count; ++i)
      to[i] = static_cast<char16_t>(platform::LoadU16(from + 2 * i));
  } else {
    for (size_t i = 0; i < count; ++i) to[i] = static_cast<char16_t>(from[i]);
  }
}

std::u16string RecordReader::Chars(size_t count, bool wide) {
  const size_t firstWidth = wide ? 2 : 1;
  if (pos_ <= segEnd_ && count <= (segEnd_ - pos_) / firstWidth) {
    // Every character lies in the current piece (nearly always): one pass, no width changes.
    std::u16string out(count, u'\0');
    Widen(segBase_ + pos_, count, wide, out.data());
    pos_ += static_cast<uint32_t>(count * firstWidth);
    return out;
  }
  std::u16string out;
  // Never reserve more than the record can hold: the count comes from the file.
  out.reserve(std::min<size_t>(count, Remaining()));
  while (count > 0) {
    if (RemainingInSegment() == 0) {
      // The characters continue in the next CONTINUE, behind a fresh option byte.
      size_t k = seg_ + 1;
      while (k < segments_.size() && segments_[k].length == 0) ++k;
      if (k >= segments_.size())
        Fail("string of " + std::to_string(out.size() + count) +
             " characters runs past the end of the record");
      EnterSegment(k);
      pos_ = segments_[k].logical;
      wide = (U8() & rec::kStrWide) != 0;
    }
    const size_t charSize = wide ? 2 : 1;
    size_t n = std::min(count, RemainingInSegment() / charSize);
    if (n == 0) Fail("a UTF-16 character is split across a CONTINUE record");
    const Segment& s = segments_[seg_];
    const uint8_t* p = At(s.start) + (pos_ - s.logical);
    const size_t at = out.size();
    out.resize(at + n);
    Widen(p, n, wide, out.data() + at);
    pos_ += static_cast<uint32_t>(n * charSize);
    count -= n;
  }
  return out;
}

std::u16string RecordReader::StringBody(size_t count) { return StringBodyAfter(count, U8()); }

std::u16string RecordReader::StringBodyAfter(size_t count, uint8_t options) {
  uint16_t runs = (options & rec::kStrRich) ? U16() : 0;
  uint32_t ext = (options & rec::kStrExtended) ? U32() : 0;
  std::u16string text = Chars(count, (options & rec::kStrWide) != 0);
  Skip(size_t{runs} * 4);
  Skip(ext);
  return text;
}

std::string RecordReader::SystemString16() {
  const uint16_t count = U16();
  const uint8_t options = U8();
  if (options == 0) {  // 8-bit characters, no formatting runs, no extension
    if (const uint8_t* p = Take(count)) {
      bool ascii = true;
      for (uint16_t i = 0; i < count; ++i) ascii = ascii && p[i] < 0x80;
      if (ascii) return std::string(reinterpret_cast<const char*>(p), count);
      pos_ -= count;  // back to the first character, in the same piece
    }
  }
  return ToSystemText(StringBodyAfter(count, options));
}

std::u16string RecordReader::String8() { return StringBody(U8()); }
std::u16string RecordReader::String16() { return StringBody(U16()); }

std::span<const uint8_t> RecordReader::FirstSegment() const {
  if (segments_.empty()) return {};
  return {At(segments_[0].start), segments_[0].length};
}

}  // namespace xls
