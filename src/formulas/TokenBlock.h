#pragma once
// The internal token format: a postfix stream of tokens, each beginning with its kind byte,
// the kind alone fixing the token's size. The parser produces it, the evaluator runs it, the
// formula cache keeps one per formula cell and the workbook file code translates it.
//
// Token layouts (all integers little-endian):
//
//   KIND      NAME         SIZE    PAYLOAD AFTER THE KIND BYTE
//   3..14     operators    1       none (+ - * / ^ & < <= = >= > <>)
//   15        ptgIsect     1       none (a blank; never kept in a parsed stream)
//   16        ptgUnion     1       none (argument separator; never kept in a finished stream)
//   17        ptgRange     1       none
//   18/19     ptgUplus/ptgUminus  1  none
//   20        ptgPercent   1       none
//   21        ptgParen     1       none: the value before it was written in parentheses
//   23        ptgStr       3+2n    count n (byte), flag (1 when n > 0), n UTF-16LE units
//   29        ptgBool      2       0 or 1
//   31        ptgNum       9       IEEE 754 double
//   35        ptgName      3       defined-name index (uint16)
//   36        ptgRef       11      RowAbs, ColAbs (bytes), Row, Col (int32)
//   37        ptgArea      21      Row1Abs, Row2Abs, Col1Abs, Col2Abs, Row1, Row2, Col1, Col2
//   58        ptgRef3d     13      sheet (uint16), then the ptgRef payload
//   59        ptgArea3d    23      sheet (uint16), then the ptgArea payload
//   66        ptgFuncVar   4       argument count (byte), function number (uint16)
//   1..7      error result 1       the engine error code; only ever a stored result
//
// Any other kind byte counts as one byte long. A relative part holds the offset from the
// owning cell, an absolute part the zero-based index; in the 3d kinds the values are always
// indexes (they are read against the origin).
#include <cstdint>
#include <cstring>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "platform/LittleEndian.h"

namespace formulas {

enum Ptg : uint8_t {
  ptgAdd = 3,
  ptgSub = 4,
  ptgMul = 5,
  ptgDiv = 6,
  ptgPower = 7,
  ptgConcat = 8,
  ptgLT = 9,
  ptgLE = 10,
  ptgEQ = 11,
  ptgGE = 12,
  ptgGT = 13,
  ptgNE = 14,
  ptgIsect = 15,
  ptgUnion = 16,
  ptgRange = 17,
  ptgUplus = 18,
  ptgUminus = 19,
  ptgPercent = 20,
  ptgParen = 21,
  ptgStr = 23,
  ptgBool = 29,
  ptgNum = 31,
  ptgName = 35,
  ptgRef = 36,
  ptgArea = 37,
  ptgRef3d = 58,
  ptgArea3d = 59,
  ptgFuncVar = 66,
};

// Size in bytes of the token that starts with this kind byte (ptgStr: its fixed 3 bytes).
size_t TokenSize(uint8_t kind);
// Full size of the token at `pos` of `stream` (ptgStr with its characters); 0 when the
// token runs past the end of the stream, which a walker must treat as a broken stream.
size_t TokenSizeAt(std::span<const uint8_t> stream, size_t pos);

// A cell reference part as it stands in a ptgRef / ptgArea token.
struct RefToken {
  bool rowAbs = false;
  bool colAbs = false;
  int32_t row = 0;
  int32_t col = 0;
};

struct AreaToken {
  bool row1Abs = false, row2Abs = false, col1Abs = false, col2Abs = false;
  int32_t row1 = 0, row2 = 0, col1 = 0, col2 = 0;
};

// An owned byte string of at most 65535 bytes. Blocks up to kInline bytes (every single
// token, and short formulas such as a SUM over one area) live inside the object, so pushing
// operands on the evaluation stack does not allocate; longer streams go to the heap. In a
// 64-bit build the 28 inline bytes fill what would otherwise be padding.
class TokenBlock {
 public:
  static constexpr size_t kMaxLength = 0xFFFF;
  static constexpr size_t kInline = 28;

  TokenBlock() = default;
  // Throws std::length_error beyond kMaxLength.
  explicit TokenBlock(std::span<const uint8_t> bytes);
  TokenBlock(const TokenBlock& other);
  TokenBlock& operator=(const TokenBlock& other);
  TokenBlock(TokenBlock&& other) noexcept;
  TokenBlock& operator=(TokenBlock&& other) noexcept;
  ~TokenBlock() = default;

  uint16_t Length() const { return length_; }
  bool Empty() const { return length_ == 0; }
  const uint8_t* Data() const { return heap_ ? heap_.get() : inline_; }
  uint8_t* MutableData() { return heap_ ? heap_.get() : inline_; }
  std::span<const uint8_t> Bytes() const { return {Data(), length_}; }
  uint8_t operator[](size_t i) const { return Data()[i]; }
  void Clear();
  // Appends bytes; throws std::length_error when the result would exceed kMaxLength.
  void Append(std::span<const uint8_t> bytes);
  void Append(const TokenBlock& other) { Append(other.Bytes()); }
  void AppendByte(uint8_t b) { Append(std::span<const uint8_t>(&b, 1)); }

  // The kind of the block's value: the kind of its last token, except that a block longer
  // than one byte whose last token is ptgIsect reports its first token's kind.
  uint8_t ValueKind() const;

  friend bool operator==(const TokenBlock& a, const TokenBlock& b) {
    return a.length_ == b.length_ && std::memcmp(a.Data(), b.Data(), a.length_) == 0;
  }

 private:
  void Reserve(size_t length);

  uint16_t length_ = 0;
  uint16_t capacity_ = kInline;
  uint8_t inline_[kInline] = {};
  std::unique_ptr<uint8_t[]> heap_;
};

// Builders for single tokens.
TokenBlock MakeNumberToken(double value);
TokenBlock MakeBoolToken(bool value);
// Text in the system code page; a text longer than 255 characters is cut to 255 so that the
// one-byte count holds it.
TokenBlock MakeStringToken(std::string_view text);
TokenBlock MakeByteToken(uint8_t kind);
TokenBlock MakeRefToken(const RefToken& ref);
TokenBlock MakeAreaToken(const AreaToken& area);
TokenBlock MakeRef3dToken(uint16_t sheet, const RefToken& ref);
TokenBlock MakeArea3dToken(uint16_t sheet, const AreaToken& area);
TokenBlock MakeNameToken(uint16_t index);
TokenBlock MakeFuncVarToken(uint8_t argCount, uint16_t number);

// Readers of one token at `p` (the kind byte); the caller has checked the token fits.
double ReadNumberToken(const uint8_t* p);
bool ReadBoolToken(const uint8_t* p);
std::string ReadStringToken(const uint8_t* p);
RefToken ReadRefToken(const uint8_t* p);    // ptgRef (p[0] == 36) or ptgRef3d (58)
AreaToken ReadAreaToken(const uint8_t* p);  // ptgArea (37) or ptgArea3d (59)
uint16_t ReadSheetOf3d(const uint8_t* p);   // ptgRef3d / ptgArea3d
uint16_t ReadNameIndex(const uint8_t* p);
void WriteRefToken(uint8_t* p, const RefToken& ref);
void WriteAreaToken(uint8_t* p, const AreaToken& area);

// The token fields' byte order (the short names read better inside the token code).
inline uint16_t ReadU16(const uint8_t* p) { return platform::LoadU16(p); }
inline int32_t ReadI32(const uint8_t* p) { return platform::LoadI32(p); }
inline void WriteU16(uint8_t* p, uint16_t v) { platform::StoreU16(p, v); }
inline void WriteI32(uint8_t* p, int32_t v) { platform::StoreI32(p, v); }

}  // namespace formulas
