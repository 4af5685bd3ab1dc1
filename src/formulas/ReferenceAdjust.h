#pragma once
// Reference repair for whole columns or rows inserted into or deleted from one sheet, as a
// pure function on token streams and name rectangles.
//
// Positions move, not offsets: every reference part (relative or absolute) is turned into
// the position it points at, moved, and a relative part is then stored again as the offset
// from the formula's new position. On insertion at `first` (count n) a position at or after
// `first` moves by n. On deletion of first..first+n-1 a position after the deleted band moves
// back by n; a single reference into the band becomes invalid; an area loses the part that
// was deleted and is invalid only when nothing of it remains.
#include <cstdint>

#include "formulas/TokenBlock.h"
#include "workbook/Geometry.h"

namespace formulas {

struct BandChange {
  uint16_t sheet = 0;   // the sheet whose columns or rows change
  bool columns = true;  // columns (true) or rows
  bool del = false;     // deletion (true) or insertion
  int32_t first = 0;    // first column/row inserted or deleted
  int32_t count = 0;    // how many (> 0)

  // The new position of `pos`, or -1 when it was deleted.
  int64_t Move(int64_t pos) const;
  // Moves an inclusive span [lo, hi]; false when it was deleted entirely.
  bool MoveSpan(int64_t& lo, int64_t& hi) const;
};

// Adjusts the references of one formula that lives on `ownSheet` and moves from (oldCol,
// oldRow) to (newCol, newRow). Returns false when a reference became invalid (it would point
// before the first column or row, or into deleted cells); the stream is then left partly
// adjusted and must be discarded. A broken stream also returns false.
bool AdjustTokens(TokenBlock& tokens, uint16_t ownSheet, int32_t oldCol, int32_t oldRow,
                  int32_t newCol, int32_t newRow, const BandChange& change);

// Moves a name's rectangle; false when the name's cells were deleted entirely.
bool AdjustNameRect(workbook::TRect& rect, const BandChange& change);

}  // namespace formulas
