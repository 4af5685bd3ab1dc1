#include "xls/formula/PtgTable.h"

#include <array>

namespace xls::ptg {

namespace {

struct Base {
  std::string_view name;
  int8_t payload;
  int8_t memSizeAt;
  int8_t operands;
};

// Base tokens 0x00-0x1F; empty names are kinds without a meaning in BIFF8.
constexpr std::array<Base, 32> kBaseTokens = {{
    {"", 0, -1, 0},         {"ptgExp", 4, -1, 0},     {"ptgTbl", 4, -1, 0},
    {"ptgAdd", 0, -1, 2},   {"ptgSub", 0, -1, 2},     {"ptgMul", 0, -1, 2},
    {"ptgDiv", 0, -1, 2},   {"ptgPower", 0, -1, 2},   {"ptgConcat", 0, -1, 2},
    {"ptgLT", 0, -1, 2},    {"ptgLE", 0, -1, 2},      {"ptgEQ", 0, -1, 2},
    {"ptgGE", 0, -1, 2},    {"ptgGT", 0, -1, 2},      {"ptgNE", 0, -1, 2},
    {"ptgIsect", 0, -1, 2}, {"ptgUnion", 0, -1, 2},   {"ptgRange", 0, -1, 2},
    {"ptgUplus", 0, -1, 1}, {"ptgUminus", 0, -1, 1},  {"ptgPercent", 0, -1, 1},
    {"ptgParen", 0, -1, 1}, {"ptgMissArg", 0, -1, 0}, {"ptgStr", -1, -1, 0},
    {"", 0, -1, 0},         {"ptgAttr", -1, -1, 0},   {"", 0, -1, 0},
    {"", 0, -1, 0},         {"ptgErr", 1, -1, 0},     {"ptgBool", 1, -1, 0},
    {"ptgInt", 2, -1, 0},   {"ptgNum", 8, -1, 0},
}};

// Operand tokens by base 0x20-0x3F.
constexpr std::array<Base, 32> kOperandTokens = {{
    {"ptgArray", 7, -1, 0},
    {"ptgFunc", 2, -1, -1},
    {"ptgFuncVar", 3, -1, -1},
    {"ptgName", 4, -1, 0},
    {"ptgRef", 4, -1, 0},
    {"ptgArea", 8, -1, 0},
    {"ptgMemArea", 6, 4, 0},
    {"ptgMemErr", 6, 4, 0},
    {"ptgMemNoMem", 6, 4, 0},
    {"ptgMemFunc", 2, 0, 0},
    {"ptgRefErr", 4, -1, 0},
    {"ptgAreaErr", 8, -1, 0},
    {"ptgRefN", 4, -1, 0},
    {"ptgAreaN", 8, -1, 0},
    {"ptgMemAreaN", 2, 0, 0},
    {"ptgMemNoMemN", 2, 0, 0},
    {"", 0, -1, 0},
    {"", 0, -1, 0},
    {"", 0, -1, 0},
    {"", 0, -1, 0},
    {"", 0, -1, 0},
    {"", 0, -1, 0},
    {"", 0, -1, 0},
    {"", 0, -1, 0},
    {"", 0, -1, 0},
    {"ptgNameX", 6, -1, 0},
    {"ptgRef3d", 6, -1, 0},
    {"ptgArea3d", 10, -1, 0},
    {"ptgRefErr3d", 6, -1, 0},
    {"ptgAreaErr3d", 10, -1, 0},
    {"", 0, -1, 0},
    {"", 0, -1, 0},
}};

}  // namespace

std::optional<PtgInfo> LookupPtg(uint8_t kind) {
  if (kind < 0x20) {
    const Base& b = kBaseTokens[kind];
    if (b.name.empty()) return std::nullopt;
    return PtgInfo{b.name, kind, TokenClass::None, b.payload, b.memSizeAt, b.operands};
  }
  if (kind >= 0x80) return std::nullopt;
  const uint8_t base = BaseKind(kind);
  const Base& b = kOperandTokens[base - 0x20];
  if (b.name.empty()) return std::nullopt;
  return PtgInfo{b.name, base, ClassOf(kind), b.payload, b.memSizeAt, b.operands};
}

}  // namespace xls::ptg
