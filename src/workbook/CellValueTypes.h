#pragma once
// What a cell record holds: its data type, and the codes of the error values a cell or a
// formula result can be.
#include <cstdint>

namespace workbook {

// Error values: the one-byte codes of the binary workbook format.
enum ErrorCode : uint8_t {
  kErrNull = 0,
  kErrDiv0 = 7,
  kErrValue = 15,
  kErrRef = 23,
  kErrName = 29,
  kErrNum = 36,
  kErrNA = 42,
};

// Cell record data types: the byte kept in a record's DataType field, which code compares
// with these constants directly.
enum CellContentType : uint8_t {
  kCellText = 0,  // also the empty cell
  kCellFormula = 1,
  kCellNumber = 2,
  // A text kept exactly as it arrived (a text record of a workbook file, and such a cell
  // copied, pasted, sorted or restored by undo): it is never read as a number, date, boolean
  // or percentage, neither for display nor by formulas, and files write it back as text.
  // Typing into the cell applies the entry rules again and makes it plain text (type 0).
  kCellLiteralText = 3,
};

// Both text types: the record's text is the content itself.
inline bool IsTextType(uint8_t type) { return type == kCellText || type == kCellLiteralText; }

}  // namespace workbook
