#pragma once
// Records that frame the substreams of a workbook stream: BOF and BOUNDSHEET.
#include <cstdint>
#include <string>

#include "xls/biff/RecordIds.h"
#include "xls/biff/RecordReader.h"
#include "xls/biff/RecordWriter.h"

namespace xls {

// BOF, 16 bytes:
//   OFFSET SIZE DESCRIPTION
//   0      2    version (0x0600)
//   2      2    substream type (5 globals, 0x10 worksheet, 0x20 chart, 0x40 macro sheet)
//   4      2    build, 6 2 build year
//   8      4    file history flags, 12 4 lowest version that can read the file
struct BofRecord {
  uint16_t version = rec::kBiff8Version;
  uint16_t type = rec::kBofGlobals;
  uint16_t build = 0x0DBB;
  uint16_t year = 0x07CC;
  uint32_t history = 0x000000C9;
  uint32_t lowestVersion = 0x00000006;

  // Short BOFs of older writers are accepted: missing fields keep their defaults.
  static BofRecord Read(RecordReader& r);
  RecordBuilder Build() const;
  friend bool operator==(const BofRecord&, const BofRecord&) = default;
};

// BOUNDSHEET: stream position of the sheet's BOF (4), visibility (1: 0 visible, 1 hidden,
// 2 very hidden), sheet type (1: 0 worksheet, 1 macro sheet, 2 chart, 6 code module), name
// with an 8-bit count.
struct BoundSheetRecord {
  uint32_t position = 0;
  uint8_t visibility = 0;
  uint8_t sheetType = 0;
  std::u16string name;

  static BoundSheetRecord Read(RecordReader& r);
  RecordBuilder Build() const;  // the position is at data offset 0, for patching
  friend bool operator==(const BoundSheetRecord&, const BoundSheetRecord&) = default;
};

}  // namespace xls
