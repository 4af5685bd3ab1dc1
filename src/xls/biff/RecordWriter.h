#pragma once
// Builds BIFF8 records and appends them to a stream buffer.
//
// A RecordBuilder collects the data of one record as pieces: atomic values (numbers, string
// headers, fixed blocks) that must never be split, and runs of string characters that may be
// split between characters. RecordWriter::Write lays the pieces into a record and as many
// CONTINUE records as needed (at most 8224 data bytes each): an atomic piece that does not fit
// moves whole into the next CONTINUE; characters fill the record and go on in the next
// CONTINUE behind a new option byte, as readers expect.
#include <cstdint>
#include <functional>
#include <span>
#include <string_view>
#include <vector>

namespace xls {

class RecordBuilder {
 public:
  // Room for a typical cell record, so most records allocate once per buffer.
  explicit RecordBuilder(uint16_t id) : id_(id) {
    data_.reserve(24);
    pieces_.reserve(6);
  }

  uint16_t Id() const { return id_; }
  const std::vector<uint8_t>& Data() const { return data_; }
  size_t Size() const { return data_.size(); }

  RecordBuilder& U8(uint8_t v);
  RecordBuilder& U16(uint16_t v);
  RecordBuilder& U32(uint32_t v);
  RecordBuilder& Double(double v);
  // An atomic block (a fixed structure of the record).
  RecordBuilder& Bytes(std::span<const uint8_t> bytes);
  RecordBuilder& Zeros(size_t count);
  // Plain characters, stored compressed (low bytes) or as UTF-16; splittable.
  RecordBuilder& Chars(std::u16string_view text, bool wide);
  // Strings with an 8-bit or a 16-bit character count, then option byte and characters.
  // Compressed when every character fits a byte, unless `forceWide`. The header is kept in
  // one piece together with the first character.
  RecordBuilder& String8(std::u16string_view text, bool forceWide = false);
  RecordBuilder& String16(std::u16string_view text, bool forceWide = false);
  // Overwrites bytes written before (lengths and offsets known only later).
  void PatchU16(size_t offset, uint16_t v);
  void PatchU32(size_t offset, uint32_t v);
  // The data as laid into the record and its CONTINUEs: one call per piece, in order.
  void ForEachSegment(const std::function<void(std::span<const uint8_t>)>& emit) const;

 private:
  enum class Kind : uint8_t { Atomic, Chars8, Chars16 };
  struct Piece {
    size_t offset;
    size_t length;
    Kind kind;
    bool keepWithNext;  // a string header stays with the first character
  };
  RecordBuilder& Atomic(const uint8_t* p, size_t n, bool keepWithNext = false);
  RecordBuilder& StringWithCount(std::u16string_view text, bool forceWide, bool shortCount);

  uint16_t id_;
  std::vector<uint8_t> data_;
  std::vector<Piece> pieces_;
};

class RecordWriter {
 public:
  explicit RecordWriter(std::vector<uint8_t>& out) : out_(out) {}

  // The stream position of the next record: the bytes handed on by HandOn plus the buffer's.
  size_t Offset() const { return handedOn_ + out_.size(); }
  // Passes the buffered bytes to `emit` and empties the buffer, so that a long stream can go
  // out in pieces; Offset goes on counting from where it was.
  void HandOn(const std::function<void(std::span<const uint8_t>)>& emit);
  void Write(const RecordBuilder& record);
  // A record of raw bytes; data over 8224 bytes is split at 8224-byte boundaries.
  void Write(uint16_t id, std::span<const uint8_t> data);
  // The stream size the record will take (headers of its CONTINUEs included).
  static size_t WrittenSize(const RecordBuilder& record);

 private:
  std::vector<uint8_t>& out_;
  size_t handedOn_ = 0;
};

// True when every character fits the 8-bit (compressed) form.
bool FitsCompressed(std::u16string_view text);

}  // namespace xls
