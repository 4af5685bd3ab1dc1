#pragma once
// Reads the records of a BIFF8 workbook stream held in memory. Each record is presented with
// its CONTINUE records joined: the cursor reads across their headers as one data run, except
// that the characters of a string re-read the option byte at the start of every CONTINUE
// (where the character width may change). Every read is bounded by the joined record's data;
// running past it throws XlsError naming the record and its offset.
//
// Protocol: Next() moves to the following record and rewinds the cursor to its first data
// byte; reads then consume the record. Seek() makes the next Next() start at a stream offset.
//
// The stream is either wholly in memory or read from a byte source through a window that
// always holds the current record with its CONTINUE records (it grows for a longer one), so
// that a large workbook is never held whole.
#include <array>
#include <cstdint>
#include <cstring>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/BulkMemory.h"
#include "platform/LittleEndian.h"
#include "xls/compound/ByteSource.h"

namespace xls {

class RecordReader {
 public:
  static constexpr size_t kDefaultWindow = size_t{256} << 10;

  explicit RecordReader(std::span<const uint8_t> stream);
  // Streams of 4 GiB and more are refused (XlsError): record offsets are 32-bit.
  explicit RecordReader(ByteSource& source, size_t windowBytes = kDefaultWindow);

  // Reads the next record header and gathers its CONTINUE records; false when fewer than 4
  // bytes remain. Throws XlsError when a header claims more bytes than the stream holds.
  bool Next();
  // The next Next() reads the record that starts at `offset`; false when out of the stream.
  bool Seek(uint32_t offset);

  uint16_t Id() const { return id_; }
  uint32_t Offset() const { return offset_; }    // of the record header
  uint32_t NextOffset() const { return next_; }  // just after the last CONTINUE
  uint32_t Length() const { return length_; }    // data bytes, CONTINUEs included
  uint32_t StreamSize() const { return size_; }
  size_t SegmentCount() const { return segments_.size(); }

  // The cursor: position within the joined data and what is left of it.
  uint32_t Position() const { return pos_; }
  uint32_t Remaining() const { return length_ - pos_; }
  // Bytes left in the current piece (record or CONTINUE) before the next header.
  uint32_t RemainingInSegment() const;

  // The fixed-size reads take the bytes straight from the current piece when it holds them
  // (nearly always: cell records are never continued) and go the general way otherwise.
  uint8_t U8() {
    return Fixed<1>([](const uint8_t* p) { return *p; });
  }
  uint16_t U16() { return Fixed<2>(platform::LoadU16); }
  int16_t I16() { return static_cast<int16_t>(U16()); }
  uint32_t U32() { return Fixed<4>(platform::LoadU32); }
  int32_t I32() { return static_cast<int32_t>(U32()); }
  double Double() { return Fixed<8>(platform::LoadDouble); }
  void Read(uint8_t* out, size_t size);
  // N bytes at the cursor as one array (in place or gathered across pieces).
  template <size_t N>
  std::array<uint8_t, N> Array() {
    std::array<uint8_t, N> a;
    if (const uint8_t* p = Take(N))
      std::memcpy(a.data(), p, N);
    else
      Read(a.data(), N);
    return a;
  }
  std::vector<uint8_t> Bytes(size_t size);
  void Skip(size_t size) {
    if (size <= UINT32_MAX && Take(static_cast<uint32_t>(size))) return;  // within the piece
    SkipAcross(size);
  }

  // `count` characters, `wide` telling the width of the first piece; at each CONTINUE a new
  // option byte gives the width of the rest.
  std::u16string Chars(size_t count, bool wide);
  // A string with an 8-bit (short) or 16-bit character count, option byte, optional run count
  // and extended size, characters, then the runs and extended data skipped.
  std::u16string String8();
  std::u16string String16();
  // The string after its count: option byte onward.
  std::u16string StringBody(size_t count);
  // String16 in the system code page, as ToSystemText makes it. A string of plain ASCII
  // characters in one piece (nearly every cell text) is taken as it stands, without the
  // detour through UTF-16.
  std::string SystemString16();

  // The data of the record without the cursor (first piece only, for records never continued).
  std::span<const uint8_t> FirstSegment() const;

  [[noreturn]] void Fail(const std::string& what) const;

 private:
  struct Segment {
    uint32_t start;    // stream offset of the first data byte
    uint32_t length;   // data bytes
    uint32_t logical;  // joined data position of the first byte
  };
  // StringBody once its option byte is read.
  std::u16string StringBodyAfter(size_t count, uint8_t options);
  // Makes the cursor point into a piece with bytes left; false at the end of the record.
  bool Settle();
  void Need(size_t size) const;
  void SkipAcross(size_t size);
  // Makes piece k the current one.
  void EnterSegment(size_t k);
  // Makes stream bytes [start, end) present in the window (read from the source if needed).
  void Ensure(uint32_t start, uint32_t end) {
    if (start < windowStart_ || end > windowEnd_) Refill(start, end);
  }
  void Refill(uint32_t start, uint32_t end);
  // The record at next_ is read through the window and a following header that is no
  // CONTINUE: a single piece (nearly every record). False when it needs the general way.
  bool NextSinglePiece();
  // Widens `count` characters of 1 or 2 bytes at `from` into UTF-16 at `to`.
  static void Widen(const uint8_t* from, size_t count, bool wide, char16_t* to);
  // The window's copy of the stream byte at `offset`, which Ensure made present.
  const uint8_t* At(uint32_t offset) const { return data_ + (offset - windowStart_); }
  // A field of N bytes decoded by `load`, its bytes taken as Array takes them.
  template <size_t N, typename Load>
  auto Fixed(Load load) -> decltype(load(static_cast<const uint8_t*>(nullptr))) {
    const std::array<uint8_t, N> bytes = Array<N>();
    return load(bytes.data());
  }
  // `size` bytes at the cursor when the current piece holds them all (the cursor moves past
  // them), else null.
  const uint8_t* Take(uint32_t size) {
    if (pos_ > segEnd_ || segEnd_ - pos_ < size) return nullptr;
    const uint8_t* p = segBase_ + pos_;
    pos_ += size;
    return p;
  }

  ByteSource* source_ = nullptr;  // none: the whole stream is in memory
  platform::BulkMemory window_;   // the window's memory when reading from a source
  size_t windowCapacity_ = 0;
  const uint8_t* data_ = nullptr;  // the byte at stream offset windowStart_
  uint32_t windowStart_ = 0;
  uint32_t windowEnd_ = 0;
  uint32_t size_ = 0;
  uint32_t next_ = 0;
  uint16_t id_ = 0;
  uint32_t offset_ = 0;
  uint32_t length_ = 0;
  std::vector<Segment> segments_;
  uint32_t pos_ = 0;
  size_t seg_ = 0;
  // The current piece: the stream address of joined position 0 (so that segBase_ + pos_ is the
  // cursor's byte) and the joined position just past its end.
  const uint8_t* segBase_ = nullptr;
  uint32_t segEnd_ = 0;
};

}  // namespace xls
