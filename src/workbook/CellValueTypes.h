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
};

}  // namespace workbook
