#pragma once
// The parsed-expression tokens ("ptg") of BIFF8 formulas: kinds, payload sizes and classes.
//
// A token is one kind byte followed by its payload. Kinds 0x01-0x1F are the base tokens
// (operators and constants). Kinds 0x20-0x7F are operand tokens in three classes that share one
// base: 0x20-0x3F reference class, 0x40-0x5F value class, 0x60-0x7F array class; the base kind
// is (kind & 0x1F) | 0x20. The class tells how the operand is evaluated, not how it is stored.
#include <cstdint>
#include <optional>
#include <string_view>

namespace xls::ptg {

enum class TokenClass : uint8_t { None, Reference, Value, Array };

// Base kinds (reference-class numbers for the operand tokens).
constexpr uint8_t kExp = 0x01;
constexpr uint8_t kTbl = 0x02;
constexpr uint8_t kAdd = 0x03;
constexpr uint8_t kSub = 0x04;
constexpr uint8_t kMul = 0x05;
constexpr uint8_t kDiv = 0x06;
constexpr uint8_t kPower = 0x07;
constexpr uint8_t kConcat = 0x08;
constexpr uint8_t kLt = 0x09;
constexpr uint8_t kLe = 0x0A;
constexpr uint8_t kEq = 0x0B;
constexpr uint8_t kGe = 0x0C;
constexpr uint8_t kGt = 0x0D;
constexpr uint8_t kNe = 0x0E;
constexpr uint8_t kIsect = 0x0F;
constexpr uint8_t kUnion = 0x10;
constexpr uint8_t kRange = 0x11;
constexpr uint8_t kUplus = 0x12;
constexpr uint8_t kUminus = 0x13;
constexpr uint8_t kPercent = 0x14;
constexpr uint8_t kParen = 0x15;
constexpr uint8_t kMissArg = 0x16;
constexpr uint8_t kStr = 0x17;
constexpr uint8_t kAttr = 0x19;
constexpr uint8_t kErr = 0x1C;
constexpr uint8_t kBool = 0x1D;
constexpr uint8_t kInt = 0x1E;
constexpr uint8_t kNum = 0x1F;
constexpr uint8_t kArray = 0x20;
constexpr uint8_t kFunc = 0x21;
constexpr uint8_t kFuncVar = 0x22;
constexpr uint8_t kName = 0x23;
constexpr uint8_t kRef = 0x24;
constexpr uint8_t kArea = 0x25;
constexpr uint8_t kMemArea = 0x26;
constexpr uint8_t kMemErr = 0x27;
constexpr uint8_t kMemNoMem = 0x28;
constexpr uint8_t kMemFunc = 0x29;
constexpr uint8_t kRefErr = 0x2A;
constexpr uint8_t kAreaErr = 0x2B;
constexpr uint8_t kRefN = 0x2C;
constexpr uint8_t kAreaN = 0x2D;
constexpr uint8_t kMemAreaN = 0x2E;
constexpr uint8_t kMemNoMemN = 0x2F;
constexpr uint8_t kNameX = 0x39;
constexpr uint8_t kRef3d = 0x3A;
constexpr uint8_t kArea3d = 0x3B;
constexpr uint8_t kRefErr3d = 0x3C;
constexpr uint8_t kAreaErr3d = 0x3D;

// Options of ptgAttr.
constexpr uint8_t kAttrVolatile = 0x01;
constexpr uint8_t kAttrIf = 0x02;
constexpr uint8_t kAttrChoose = 0x04;
constexpr uint8_t kAttrSkip = 0x08;
constexpr uint8_t kAttrSum = 0x10;
constexpr uint8_t kAttrAssign = 0x20;
constexpr uint8_t kAttrSpace = 0x40;

// Column word of references: bits 0-13 the column, bit 14 column relative, bit 15 row relative.
constexpr uint16_t kColumnMask = 0x3FFF;
constexpr uint16_t kColumnRelative = 0x4000;
constexpr uint16_t kRowRelative = 0x8000;

struct PtgInfo {
  std::string_view name;  // "ptgRef"; the class suffix ("V", "A") is not part of it
  uint8_t base;           // base kind
  TokenClass tokenClass;
  // Payload bytes after the kind byte; -1 when it depends on the payload (ptgStr, ptgAttr).
  int8_t payload;
  // For the mem tokens: offset inside the payload of the 16-bit size of the subexpression that
  // follows; -1 for other tokens.
  int8_t memSizeAt;
  // Operands taken from the stack by operators (2 binary, 1 unary); 0 for operands; -1 for
  // function calls, whose count comes from the token or the function table.
  int8_t operands;
};

// The table entry of a kind byte; none for kinds that BIFF8 does not define.
std::optional<PtgInfo> LookupPtg(uint8_t kind);

inline uint8_t BaseKind(uint8_t kind) {
  return kind < 0x20 ? kind : static_cast<uint8_t>((kind & 0x1F) | 0x20);
}
inline TokenClass ClassOf(uint8_t kind) {
  if (kind < 0x20) return TokenClass::None;
  return static_cast<TokenClass>((kind >> 5) & 3);
}
// The kind byte of `base` in another class.
inline uint8_t WithClass(uint8_t base, TokenClass c) {
  if (base < 0x20 || c == TokenClass::None) return base;
  return static_cast<uint8_t>((base & 0x1F) | (static_cast<uint8_t>(c) << 5));
}

}  // namespace xls::ptg
