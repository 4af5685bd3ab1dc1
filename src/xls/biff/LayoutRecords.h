#pragma once
// Records of a worksheet's layout: DIMENSIONS, ROW, COLINFO, MERGEDCELLS and WINDOW2.
#include <cstdint>
#include <vector>

#include "xls/biff/RecordReader.h"
#include "xls/biff/RecordWriter.h"

namespace xls {

// DIMENSIONS, 14 bytes: first row (4), last row + 1 (4), first column (2), last column + 1 (2),
// reserved (2).
struct DimensionsRecord {
  uint32_t firstRow = 0;
  uint32_t endRow = 0;  // one past the last used row
  uint16_t firstColumn = 0;
  uint16_t endColumn = 0;
  static DimensionsRecord Read(RecordReader& r);
  RecordBuilder Build() const;
  friend bool operator==(const DimensionsRecord&, const DimensionsRecord&) = default;
};

// ROW, 16 bytes:
//   OFFSET SIZE DESCRIPTION
//   0      2    row
//   2      2    first column, 4 2 last column + 1
//   6      2    height in twips (bit 15: default height)
//   8      4    reserved
//   12     2    options: bits 0-2 outline level, bit 4 collapsed, bit 5 hidden (zero height),
//               bit 6 height set by the user, bit 7 the XF below applies, bit 8 always set
//   14     2    bits 0-11 XF index of the row
struct RowRecord {
  static constexpr uint16_t kHidden = 0x0020;
  static constexpr uint16_t kCustomHeight = 0x0040;
  uint16_t row = 0;
  uint16_t firstColumn = 0;
  uint16_t endColumn = 0;
  uint16_t height = 255;
  uint16_t options = 0x0100;
  uint16_t xf = 0x000F;
  static RowRecord Read(RecordReader& r);
  RecordBuilder Build() const;
  friend bool operator==(const RowRecord&, const RowRecord&) = default;
};

// COLINFO: first column (2), last column (2), width in 1/256 of a character (2), XF (2),
// options (2: bit 0 hidden, bits 8-10 outline level, bit 12 collapsed), reserved (2; some
// writers give 1 byte or none, which is accepted).
struct ColInfoRecord {
  static constexpr uint16_t kHidden = 0x0001;
  uint16_t firstColumn = 0;
  uint16_t lastColumn = 0;
  uint16_t width = 2340;
  uint16_t xf = 0x000F;
  uint16_t options = 0;
  static ColInfoRecord Read(RecordReader& r);
  RecordBuilder Build() const;
  friend bool operator==(const ColInfoRecord&, const ColInfoRecord&) = default;
};

// MERGEDCELLS: count (2), then per area first row, last row, first column, last column (2
// each). One record holds at most kMaxAreas areas; BuildAll splits longer lists.
struct MergedArea {
  uint16_t firstRow = 0;
  uint16_t lastRow = 0;
  uint16_t firstColumn = 0;
  uint16_t lastColumn = 0;
  friend bool operator==(const MergedArea&, const MergedArea&) = default;
};
struct MergedCellsRecord {
  static constexpr size_t kMaxAreas = 1024;
  std::vector<MergedArea> areas;
  // Throws XlsError when the record holds fewer areas than its count.
  static MergedCellsRecord Read(RecordReader& r);
  static std::vector<RecordBuilder> BuildAll(const std::vector<MergedArea>& areas);
  friend bool operator==(const MergedCellsRecord&, const MergedCellsRecord&) = default;
};

// WINDOW2, 18 bytes in worksheets: options (2), top row (2), left column (2), grid colour
// index (4), zoom in page break preview (2), zoom in normal view (2), reserved (4). Only the
// first 10 bytes are required when reading.
//   options: bit 0 show formulas, bit 1 show grid, bit 2 show headers, bit 3 frozen panes,
//   bit 4 show zeros, bit 5 automatic grid colour, bit 7 outline symbols, bit 9 selected,
//   bit 10 active (displayed) sheet
struct Window2Record {
  static constexpr uint16_t kShowFormulas = 0x0001;
  static constexpr uint16_t kShowGrid = 0x0002;
  static constexpr uint16_t kShowHeaders = 0x0004;
  static constexpr uint16_t kSelected = 0x0200;
  static constexpr uint16_t kActive = 0x0400;
  uint16_t options = 0x00B6;
  uint16_t topRow = 0;
  uint16_t leftColumn = 0;
  uint32_t gridColour = 0;
  static Window2Record Read(RecordReader& r);
  RecordBuilder Build() const;
  friend bool operator==(const Window2Record&, const Window2Record&) = default;
};

}  // namespace xls
