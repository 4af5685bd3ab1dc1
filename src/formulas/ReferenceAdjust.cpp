#include "formulas/ReferenceAdjust.h"

#include <climits>

namespace formulas {

int64_t BandChange::Move(int64_t pos) const {
  if (!del) return pos >= first ? pos + count : pos;
  if (pos < first) return pos;
  if (pos >= int64_t{first} + count) return pos - count;
  return -1;
}

bool BandChange::MoveSpan(int64_t& lo, int64_t& hi) const {
  if (lo > hi) {  // a reversed area keeps its orientation
    int64_t a = hi, b = lo;
    if (!MoveSpan(a, b)) return false;
    lo = b;
    hi = a;
    return true;
  }
  if (!del) {
    lo = Move(lo);
    hi = Move(hi);
    return true;
  }
  const int64_t last = int64_t{first} + count - 1;
  if (lo >= first && hi <= last) return false;
  const int64_t newLo = lo < first ? lo : (lo > last ? lo - count : first);
  const int64_t newHi = hi > last ? hi - count : (hi < first ? hi : first - 1);
  lo = newLo;
  hi = newHi;
  return true;
}

namespace {

bool Fits(int64_t v) { return v >= 0 && v <= INT32_MAX; }

// One part: its position is the stored value (absolute or 3d) or own + offset (relative).
// `moves` tells whether the band applies to the referenced sheet.
bool MovePart(int32_t& stored, bool absolute, int32_t oldOwn, int32_t newOwn, bool moves,
              const BandChange& change) {
  int64_t pos = absolute ? stored : int64_t{stored} + oldOwn;
  if (moves) {
    pos = change.Move(pos);
    if (pos < 0) return false;
  }
  const int64_t value = absolute ? pos : pos - newOwn;
  if (!Fits(pos) || value < INT32_MIN || value > INT32_MAX) return false;
  stored = static_cast<int32_t>(value);
  return true;
}

bool MoveAreaAxis(int32_t& s1, bool abs1, int32_t& s2, bool abs2, int32_t oldOwn, int32_t newOwn,
                  bool moves, const BandChange& change) {
  int64_t p1 = abs1 ? s1 : int64_t{s1} + oldOwn;
  int64_t p2 = abs2 ? s2 : int64_t{s2} + oldOwn;
  if (moves && !change.MoveSpan(p1, p2)) return false;
  const int64_t v1 = abs1 ? p1 : p1 - newOwn;
  const int64_t v2 = abs2 ? p2 : p2 - newOwn;
  if (!Fits(p1) || !Fits(p2) || v1 < INT32_MIN || v1 > INT32_MAX || v2 < INT32_MIN ||
      v2 > INT32_MAX)
    return false;
  s1 = static_cast<int32_t>(v1);
  s2 = static_cast<int32_t>(v2);
  return true;
}

}  // namespace

bool AdjustTokens(TokenBlock& tokens, uint16_t ownSheet, int32_t oldCol, int32_t oldRow,
                  int32_t newCol, int32_t newRow, const BandChange& change) {
  uint8_t* data = tokens.MutableData();
  const auto bytes = tokens.Bytes();
  size_t pos = 0;
  bool valid = true;
  while (pos < bytes.size()) {
    const size_t size = TokenSizeAt(bytes, pos);
    if (size == 0) return false;
    uint8_t* p = data + pos;
    const uint8_t kind = p[0];
    if (kind == ptgRef || kind == ptgRef3d) {
      const bool is3d = kind == ptgRef3d;
      const bool moves = (is3d ? ReadSheetOf3d(p) : ownSheet) == change.sheet;
      RefToken r = ReadRefToken(p);
      // 3d parts are positions whatever their flags say; they never follow the formula.
      const bool rowAbs = r.rowAbs || is3d, colAbs = r.colAbs || is3d;
      const bool ok = MovePart(r.row, rowAbs, oldRow, newRow, moves && !change.columns, change) &&
                      MovePart(r.col, colAbs, oldCol, newCol, moves && change.columns, change);
      if (!ok) valid = false;
      WriteRefToken(p + (is3d ? 3 : 1), r);
    } else if (kind == ptgArea || kind == ptgArea3d) {
      const bool is3d = kind == ptgArea3d;
      const bool moves = (is3d ? ReadSheetOf3d(p) : ownSheet) == change.sheet;
      AreaToken a = ReadAreaToken(p);
      const bool ok = MoveAreaAxis(a.row1, a.row1Abs || is3d, a.row2, a.row2Abs || is3d, oldRow,
                                   newRow, moves && !change.columns, change) &&
                      MoveAreaAxis(a.col1, a.col1Abs || is3d, a.col2, a.col2Abs || is3d, oldCol,
                                   newCol, moves && change.columns, change);
      if (!ok) valid = false;
      WriteAreaToken(p + (is3d ? 3 : 1), a);
    }
    pos += size;
  }
  return valid;
}

bool AdjustNameRect(workbook::TRect& rect, const BandChange& change) {
  int64_t lo = change.columns ? rect.Left : rect.Top;
  int64_t hi = change.columns ? rect.Right : rect.Bottom;
  if (!change.MoveSpan(lo, hi)) return false;
  if (lo < 0) lo = 0;
  if (!Fits(lo) || !Fits(hi)) return false;
  (change.columns ? rect.Left : rect.Top) = static_cast<int32_t>(lo);
  (change.columns ? rect.Right : rect.Bottom) = static_cast<int32_t>(hi);
  return true;
}

}  // namespace formulas
