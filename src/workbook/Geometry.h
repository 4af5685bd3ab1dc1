#pragma once
// The vocabulary every layer uses to name cells: 0-based signed coordinates, a cell as a
// point (X column, Y row), a block as a rectangle with inclusive ends.
#include <cstdint>

namespace workbook {

struct TPoint {
  int32_t X = 0;
  int32_t Y = 0;
  friend bool operator==(const TPoint&, const TPoint&) = default;
};

// Left/Top = first column/row, Right/Bottom = last column/row, both inclusive.
struct TRect {
  int32_t Left = 0;
  int32_t Top = 0;
  int32_t Right = -1;
  int32_t Bottom = -1;
  friend bool operator==(const TRect&, const TRect&) = default;
  int32_t Width() const { return Right - Left + 1; }
  int32_t Height() const { return Bottom - Top + 1; }
  bool IsWholeUsedArea() const { return Left == -1 && Top == -1 && Right == -1 && Bottom == -1; }
};

inline TRect CellRect(int32_t left, int32_t top, int32_t right, int32_t bottom) {
  return TRect{left, top, right, bottom};
}

// The coordinate used as "to the end of the sheet"; deliberately not the largest integer so
// that sums of a few of them stay in range.
constexpr int32_t kFarEdge = 107374182;
// (-1, -1, -1, -1): the whole used area, where an operation accepts it.
constexpr TRect kWholeUsedArea{-1, -1, -1, -1};

}  // namespace workbook
