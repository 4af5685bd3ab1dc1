#pragma once
// Token bytes of a file formula (FORMULA, ARRAY, SHRFMLA, NAME records) in a structured form:
// one FileToken per token, payload fields decoded, in file (postfix) order. Parsing never reads
// past the bytes: an unknown kind or a truncated payload ends the list, and ParsedFormula says
// where and why. Turning tokens into formula text needs the function table and the workbook's
// names and sheets, and happens above this layer.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "xls/formula/PtgTable.h"

namespace xls {

struct FileToken {
  uint8_t kind = 0;
  uint8_t base = 0;
  ptg::TokenClass tokenClass = ptg::TokenClass::None;
  uint16_t offset = 0;  // of the kind byte
  uint16_t size = 0;    // kind byte and payload

  // References (ptgRef, ptgArea and their N, Err and 3D forms): raw row fields and column
  // words; single cells use `row` and `column` only. ptgExp and ptgTbl: the cell of the
  // shared or array formula in `row` and `column`.
  uint16_t row = 0;
  uint16_t lastRow = 0;
  uint16_t column = 0;
  uint16_t lastColumn = 0;
  uint16_t externSheet = 0;  // 3D tokens and ptgNameX: the EXTERNSHEET index

  // ptgName and ptgNameX: name index from 1. ptgFunc, ptgFuncVar: function number (bit 15,
  // the command flag, removed). ptgInt: the value.
  uint16_t index = 0;
  uint8_t argCount = 0;             // ptgFuncVar, without the prompt bit 7
  uint8_t code = 0;                 // ptgErr: error code; ptgBool: 0 or 1; ptgAttr: the option byte
  uint16_t attrData = 0;            // ptgAttr: the 16-bit field
  std::vector<uint16_t> jumpTable;  // ptgAttr Choose: c + 1 offsets
  double number = 0;                // ptgNum
  std::u16string text;              // ptgStr
  uint16_t memSize = 0;             // mem tokens: bytes of the subexpression that follows
};

struct ParsedFormula {
  std::vector<FileToken> tokens;
  bool complete = true;     // false when parsing stopped before the end
  uint16_t stopOffset = 0;  // where it stopped
  std::string problem;      // why, e.g. "unknown token 0x18 at offset 5"
};

ParsedFormula ParseFileTokens(std::span<const uint8_t> bytes);

// A cell of a reference token resolved to sheet coordinates.
struct FileCellRef {
  int32_t row = 0;
  int32_t column = 0;
  bool rowRelative = false;
  bool columnRelative = false;
  friend bool operator==(const FileCellRef&, const FileCellRef&) = default;
};

// Plain references: column bits 0-13 of the word, row as stored.
FileCellRef PlainCellRef(uint16_t columnWord, uint16_t row);
// ptgRefN and ptgAreaN (shared formulas): relative parts are offsets from the cell that gets
// the formula, the column as a signed byte, the row as a signed 16-bit number.
FileCellRef OffsetCellRef(uint16_t columnWord, uint16_t row, int32_t baseColumn, int32_t baseRow);
// The column word of a reference.
uint16_t ColumnWord(uint16_t column, bool columnRelative, bool rowRelative);

}  // namespace xls
