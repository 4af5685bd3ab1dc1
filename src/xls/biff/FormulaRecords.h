#pragma once
// Records that carry formula tokens: FORMULA, SHRFMLA, ARRAY and NAME, and the EXTERNSHEET
// and SUPBOOK records that 3D references go through. Token bytes are kept as they are; their
// meaning is parsed by xls/formula.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "xls/biff/CellRecords.h"

namespace xls {

// FORMULA:
//   OFFSET SIZE DESCRIPTION
//   0      6    row, column, XF
//   6      8    cached result (a double, or a tagged string/boolean/error/empty form)
//   14     2    options: bit 0 always calculate, bit 1 calculate on load, bit 3 shared formula
//   16     4    reserved
//   20     2    token length
//   22     var  tokens, then extra data of array and mem tokens
struct FormulaRecord {
  static constexpr uint16_t kAlwaysCalc = 0x0001;
  static constexpr uint16_t kCalcOnLoad = 0x0002;
  static constexpr uint16_t kShared = 0x0008;
  CellHeader cell;
  std::array<uint8_t, 8> result{};
  uint16_t options = kAlwaysCalc | kCalcOnLoad;
  std::vector<uint8_t> tokens;
  std::vector<uint8_t> extra;
  static FormulaRecord Read(RecordReader& r);
  // The same into `into`, reusing its vectors' memory.
  static void Read(RecordReader& r, FormulaRecord& into);
  RecordBuilder Build() const;
  friend bool operator==(const FormulaRecord&, const FormulaRecord&) = default;
};

// STRING: the text result of the FORMULA record just before it (whose result bytes are then
// 0, unused, 0, 0, 0, 0, FF, FF): a string with a 16-bit character count.
struct StringRecord {
  std::u16string text;
  RecordBuilder Build() const;
};

// SHRFMLA: first row (2), last row (2), first column (1), last column (1), reserved (1), use
// count (1), token length (2), tokens (relative references as ptgRefN/ptgAreaN), extra data.
struct SharedFormulaRecord {
  uint16_t firstRow = 0;
  uint16_t lastRow = 0;
  uint8_t firstColumn = 0;
  uint8_t lastColumn = 0;
  uint8_t uses = 0;
  std::vector<uint8_t> tokens;
  std::vector<uint8_t> extra;
  static SharedFormulaRecord Read(RecordReader& r);
  RecordBuilder Build() const;
  friend bool operator==(const SharedFormulaRecord&, const SharedFormulaRecord&) = default;
};

// ARRAY: first row (2), last row (2), first column (1), last column (1), options (2), reserved
// (4), token length (2), tokens, extra data.
struct ArrayRecord {
  uint16_t firstRow = 0;
  uint16_t lastRow = 0;
  uint8_t firstColumn = 0;
  uint8_t lastColumn = 0;
  uint16_t options = 0;
  std::vector<uint8_t> tokens;
  std::vector<uint8_t> extra;
  static ArrayRecord Read(RecordReader& r);
  RecordBuilder Build() const;
  friend bool operator==(const ArrayRecord&, const ArrayRecord&) = default;
};

// NAME:
//   OFFSET SIZE DESCRIPTION
//   0      2    options: bit 0 hidden, bit 1 function, bit 5 built-in, ...
//   2      1    keyboard shortcut
//   3      1    name length in characters
//   4      2    token length
//   6      2    reserved
//   8      2    sheet index from 1 for a sheet-local name, 0 for a global one
//   10     4    lengths of the menu, description, help and status texts
//   14     var  option byte and the name's characters, then the tokens, then those texts
struct NameRecord {
  static constexpr uint16_t kBuiltIn = 0x0020;
  uint16_t options = 0;
  uint8_t shortcut = 0;
  uint16_t sheet = 0;
  std::u16string name;  // for built-in names one character: the built-in code
  std::vector<uint8_t> tokens;
  static NameRecord Read(RecordReader& r);
  RecordBuilder Build() const;
  friend bool operator==(const NameRecord&, const NameRecord&) = default;
};

// EXTERNSHEET: count (2), then per entry the SUPBOOK index, first and last sheet (2 each).
struct ExternSheetEntry {
  uint16_t supBook = 0;
  uint16_t firstSheet = 0;
  uint16_t lastSheet = 0;
  friend bool operator==(const ExternSheetEntry&, const ExternSheetEntry&) = default;
};
struct ExternSheetRecord {
  std::vector<ExternSheetEntry> entries;
  // Throws XlsError when the record holds fewer entries than its count.
  static ExternSheetRecord Read(RecordReader& r);
  RecordBuilder Build() const;
  friend bool operator==(const ExternSheetRecord&, const ExternSheetRecord&) = default;
};

// SUPBOOK naming this workbook's own sheets: sheet count (2), 0x0401.
RecordBuilder BuildInternalSupBook(uint16_t sheetCount);

}  // namespace xls
