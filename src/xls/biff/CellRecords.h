#pragma once
// Cell records of a worksheet substream as plain structures. Every cell record starts with
// row (2), column (2) and XF index (2); Read takes a reader standing at the first data byte and
// throws XlsError when the record is shorter than its layout.
#include <cstdint>
#include <string>
#include <vector>

#include "xls/biff/RecordReader.h"
#include "xls/biff/RecordWriter.h"

namespace xls {

struct CellHeader {
  uint16_t row = 0;
  uint16_t column = 0;
  uint16_t xf = 0;
  static CellHeader Read(RecordReader& r);
  void Put(RecordBuilder& b) const;
  friend bool operator==(const CellHeader&, const CellHeader&) = default;
};

// NUMBER: header, IEEE double.
struct NumberRecord {
  CellHeader cell;
  double value = 0;
  static NumberRecord Read(RecordReader& r);
  RecordBuilder Build() const;
  friend bool operator==(const NumberRecord&, const NumberRecord&) = default;
};

// RK: header, RK value (32-bit).
struct RkRecord {
  CellHeader cell;
  uint32_t rk = 0;
  static RkRecord Read(RecordReader& r);
  RecordBuilder Build() const;
  friend bool operator==(const RkRecord&, const RkRecord&) = default;
};

// MULRK: row, first column, then per cell XF (2) and RK (4), then the last column (2).
// MULBLANK: row, first column, per cell an XF, then the last column.
struct MulRkRecord {
  struct Cell {
    uint16_t xf = 0;
    uint32_t rk = 0;
    friend bool operator==(const Cell&, const Cell&) = default;
  };
  uint16_t row = 0;
  uint16_t firstColumn = 0;
  std::vector<Cell> cells;
  // Throws XlsError when the last column does not match the cell count.
  static MulRkRecord Read(RecordReader& r);
  RecordBuilder Build() const;
  friend bool operator==(const MulRkRecord&, const MulRkRecord&) = default;
};

struct MulBlankRecord {
  uint16_t row = 0;
  uint16_t firstColumn = 0;
  std::vector<uint16_t> xfs;
  static MulBlankRecord Read(RecordReader& r);
  RecordBuilder Build() const;
  friend bool operator==(const MulBlankRecord&, const MulBlankRecord&) = default;
};

// LABEL and RSTRING: header, string with a 16-bit count (RSTRING's formatting runs after the
// string are ignored).
struct LabelRecord {
  CellHeader cell;
  std::u16string text;
  static LabelRecord Read(RecordReader& r);
  RecordBuilder Build() const;
  friend bool operator==(const LabelRecord&, const LabelRecord&) = default;
};

// LABELSST: header, shared string number (32-bit).
struct LabelSstRecord {
  CellHeader cell;
  uint32_t index = 0;
  static LabelSstRecord Read(RecordReader& r);
  RecordBuilder Build() const;
  friend bool operator==(const LabelSstRecord&, const LabelSstRecord&) = default;
};

// BOOLERR: header, value (1: boolean 0/1 or error code), error flag (1).
struct BoolErrRecord {
  CellHeader cell;
  uint8_t value = 0;
  bool isError = false;
  static BoolErrRecord Read(RecordReader& r);
  RecordBuilder Build() const;
  friend bool operator==(const BoolErrRecord&, const BoolErrRecord&) = default;
};

// BLANK: header only.
struct BlankRecord {
  CellHeader cell;
  static BlankRecord Read(RecordReader& r);
  RecordBuilder Build() const;
  friend bool operator==(const BlankRecord&, const BlankRecord&) = default;
};

}  // namespace xls
