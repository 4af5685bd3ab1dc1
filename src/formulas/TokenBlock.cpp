#include "formulas/TokenBlock.h"

#include <algorithm>
#include <bit>
#include <stdexcept>

#include "platform/CodePage.h"
#include "platform/LittleEndian.h"

namespace formulas {

size_t TokenSize(uint8_t kind) {
  switch (kind) {
    case ptgStr:
      return 3;  // the fixed part; the caller adds 2 per character (see StrTokenSize)
    case ptgBool:
      return 2;
    case ptgNum:
      return 9;
    case ptgName:
      return 3;
    case ptgRef:
      return 11;
    case ptgArea:
      return 21;
    case ptgRef3d:
      return 13;
    case ptgArea3d:
      return 23;
    case ptgFuncVar:
      return 4;
    default:
      return 1;
  }
}

size_t TokenSizeAt(std::span<const uint8_t> stream, size_t pos) {
  if (pos >= stream.size()) return 0;
  size_t size = TokenSize(stream[pos]);
  if (stream[pos] == ptgStr) {
    if (pos + 1 >= stream.size()) return 0;
    size += 2 * static_cast<size_t>(stream[pos + 1]);
  }
  return pos + size <= stream.size() ? size : 0;
}

TokenBlock::TokenBlock(std::span<const uint8_t> bytes) { Append(bytes); }

TokenBlock::TokenBlock(const TokenBlock& other) { Append(other.Bytes()); }

TokenBlock& TokenBlock::operator=(const TokenBlock& other) {
  if (this != &other) {
    length_ = 0;
    Append(other.Bytes());
  }
  return *this;
}

TokenBlock::TokenBlock(TokenBlock&& other) noexcept
    : length_(other.length_), capacity_(other.capacity_), heap_(std::move(other.heap_)) {
  if (!heap_) std::memcpy(inline_, other.inline_, length_);
  other.length_ = 0;
  other.capacity_ = kInline;
}

TokenBlock& TokenBlock::operator=(TokenBlock&& other) noexcept {
  if (this != &other) {
    length_ = other.length_;
    capacity_ = other.capacity_;
    heap_ = std::move(other.heap_);
    if (!heap_) std::memcpy(inline_, other.inline_, length_);
    other.length_ = 0;
    other.capacity_ = kInline;
  }
  return *this;
}

void TokenBlock::Clear() {
  length_ = 0;
  heap_.reset();
  capacity_ = kInline;
}

void TokenBlock::Reserve(size_t length) {
  if (length <= capacity_) return;
  size_t capacity = std::max<size_t>(length, static_cast<size_t>(capacity_) * 2);
  capacity = std::min(capacity, kMaxLength);
  auto buffer = std::make_unique<uint8_t[]>(capacity);
  std::memcpy(buffer.get(), Data(), length_);
  heap_ = std::move(buffer);
  capacity_ = static_cast<uint16_t>(capacity);
}

void TokenBlock::Append(std::span<const uint8_t> bytes) {
  if (bytes.empty()) return;
  const size_t length = static_cast<size_t>(length_) + bytes.size();
  if (length > kMaxLength) throw std::length_error("token stream longer than 65535 bytes");
  Reserve(length);
  std::memmove(MutableData() + length_, bytes.data(), bytes.size());
  length_ = static_cast<uint16_t>(length);
}

uint8_t TokenBlock::ValueKind() const {
  if (length_ == 0) return 0;
  // Walk to the last token: kinds fix their sizes, ptgStr adds its characters.
  const uint8_t* p = Data();
  size_t pos = 0;
  size_t last = 0;
  while (pos < length_) {
    last = pos;
    const size_t size = TokenSizeAt(Bytes(), pos);
    if (size == 0) break;  // a truncated last token still names its kind
    pos += size;
  }
  const uint8_t kind = p[last];
  if (length_ > 1 && kind == ptgIsect) return p[0];
  return kind;
}

namespace {

TokenBlock FromBytes(const uint8_t* bytes, size_t size) {
  return TokenBlock(std::span<const uint8_t>(bytes, size));
}

void WriteDouble(uint8_t* p, double value) { platform::StoreDouble(p, value); }

}  // namespace

TokenBlock MakeNumberToken(double value) {
  uint8_t b[9] = {ptgNum};
  WriteDouble(b + 1, value);
  return FromBytes(b, sizeof b);
}

TokenBlock MakeBoolToken(bool value) {
  const uint8_t b[2] = {ptgBool, static_cast<uint8_t>(value ? 1 : 0)};
  return FromBytes(b, sizeof b);
}

TokenBlock MakeStringToken(std::string_view text) {
  std::u16string wide = platform::AnsiToUtf16(text);
  if (wide.size() > 255) wide.resize(255);
  const size_t n = wide.size();
  uint8_t head[3] = {ptgStr, static_cast<uint8_t>(n), static_cast<uint8_t>(n > 0 ? 1 : 0)};
  TokenBlock block(std::span<const uint8_t>(head, 3));
  uint8_t unit[2];
  for (char16_t c : wide) {
    platform::StoreU16(unit, static_cast<uint16_t>(c));
    block.Append(std::span<const uint8_t>(unit, 2));
  }
  return block;
}

TokenBlock MakeByteToken(uint8_t kind) { return FromBytes(&kind, 1); }

void WriteRefToken(uint8_t* p, const RefToken& ref) {
  p[0] = ref.rowAbs ? 1 : 0;
  p[1] = ref.colAbs ? 1 : 0;
  WriteI32(p + 2, ref.row);
  WriteI32(p + 6, ref.col);
}

void WriteAreaToken(uint8_t* p, const AreaToken& a) {
  p[0] = a.row1Abs ? 1 : 0;
  p[1] = a.row2Abs ? 1 : 0;
  p[2] = a.col1Abs ? 1 : 0;
  p[3] = a.col2Abs ? 1 : 0;
  WriteI32(p + 4, a.row1);
  WriteI32(p + 8, a.row2);
  WriteI32(p + 12, a.col1);
  WriteI32(p + 16, a.col2);
}

TokenBlock MakeRefToken(const RefToken& ref) {
  uint8_t b[11] = {ptgRef};
  WriteRefToken(b + 1, ref);
  return FromBytes(b, sizeof b);
}

TokenBlock MakeAreaToken(const AreaToken& area) {
  uint8_t b[21] = {ptgArea};
  WriteAreaToken(b + 1, area);
  return FromBytes(b, sizeof b);
}

TokenBlock MakeRef3dToken(uint16_t sheet, const RefToken& ref) {
  uint8_t b[13] = {ptgRef3d};
  WriteU16(b + 1, sheet);
  WriteRefToken(b + 3, ref);
  return FromBytes(b, sizeof b);
}

TokenBlock MakeArea3dToken(uint16_t sheet, const AreaToken& area) {
  uint8_t b[23] = {ptgArea3d};
  WriteU16(b + 1, sheet);
  WriteAreaToken(b + 3, area);
  return FromBytes(b, sizeof b);
}

TokenBlock MakeNameToken(uint16_t index) {
  uint8_t b[3] = {ptgName};
  WriteU16(b + 1, index);
  return FromBytes(b, sizeof b);
}

TokenBlock MakeFuncVarToken(uint8_t argCount, uint16_t number) {
  uint8_t b[4] = {ptgFuncVar, argCount};
  WriteU16(b + 2, number);
  return FromBytes(b, sizeof b);
}

double ReadNumberToken(const uint8_t* p) { return platform::LoadDouble(p + 1); }

bool ReadBoolToken(const uint8_t* p) { return p[1] != 0; }

std::string ReadStringToken(const uint8_t* p) {
  const size_t n = p[1];
  std::u16string wide(n, u'\0');
  for (size_t i = 0; i < n; ++i) wide[i] = static_cast<char16_t>(platform::LoadU16(p + 3 + 2 * i));
  return platform::Utf16ToAnsi(wide);
}

RefToken ReadRefToken(const uint8_t* p) {
  const uint8_t* q = p + (p[0] == ptgRef3d ? 3 : 1);
  return RefToken{q[0] != 0, q[1] != 0, ReadI32(q + 2), ReadI32(q + 6)};
}

AreaToken ReadAreaToken(const uint8_t* p) {
  const uint8_t* q = p + (p[0] == ptgArea3d ? 3 : 1);
  AreaToken a;
  a.row1Abs = q[0] != 0;
  a.row2Abs = q[1] != 0;
  a.col1Abs = q[2] != 0;
  a.col2Abs = q[3] != 0;
  a.row1 = ReadI32(q + 4);
  a.row2 = ReadI32(q + 8);
  a.col1 = ReadI32(q + 12);
  a.col2 = ReadI32(q + 16);
  return a;
}

uint16_t ReadSheetOf3d(const uint8_t* p) { return ReadU16(p + 1); }

uint16_t ReadNameIndex(const uint8_t* p) { return ReadU16(p + 1); }

}  // namespace formulas
