#pragma once
// Defined names in workbook files: where a NAME record's formula points, and the NAME record
// the writer makes for a name over a rectangle of one sheet.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "xls/biff/FormulaRecords.h"

namespace xls {

struct NameTarget {
  int32_t sheet = 0;  // book sheet index; 255 for a plain reference read among the globals
  int32_t left = 0, top = 0, right = 0, bottom = 0;  // inclusive cell rectangle
  friend bool operator==(const NameTarget&, const NameTarget&) = default;
};

// The sheet and rectangle of a name whose formula is one reference: ptgRef, ptgArea (on
// `currentSheet`, or sheet 255 while no sheet is current, i.e. `currentSheet` < 0) or ptgRef3d,
// ptgArea3d (on the first sheet of the EXTERNSHEET entry, or the index itself beyond them), in
// any token class. Names with option flags, without tokens or with another first token give
// none.
std::optional<NameTarget> DecodeNameTarget(const NameRecord& name, int32_t currentSheet,
                                           const std::vector<uint16_t>& externFirstSheets);

// A NAME record for `name` (system code page) over `target`: an absolute ptgArea3d on the
// EXTERNSHEET entry of the sheet (0 when the sheet is not below `sheetCount`), option flag 1
// for a deleted name. Rows beyond 65535 and columns beyond 255 do not fit the format: they are
// clamped to the last row and column and `clipped` is set so the caller can say so.
NameRecord BuildDefinedName(const std::string& name, bool deleted, const NameTarget& target,
                            int32_t sheetCount, bool* clipped = nullptr);

}  // namespace xls
