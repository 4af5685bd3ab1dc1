#pragma once
// The merged areas of one sheet: an unordered list of non-overlapping, non-empty rectangles.
// Inside the list rectangles have exclusive ends (Right = last column + 1); every operation
// that takes or returns a rectangle uses inclusive ends and converts.
#include <cstdint>
#include <vector>

#include "workbook/Geometry.h"

namespace workbook {

class TSSDataStorage;
using TSSRectsArray = std::vector<TRect>;

class TSSMergedCellsStorage {
 public:
  explicit TSSMergedCellsStorage(TSSDataStorage* storage) : storage_(storage) {}
  virtual ~TSSMergedCellsStorage() = default;
  virtual void Assign(const TSSMergedCellsStorage& source) { areas_ = source.areas_; }

  // The first area containing the cell; otherwise the cell itself and false.
  bool AreaAt(TPoint cell, TRect& area) const;
  // The smallest rectangle holding rect (corners normalised) and every area it touches.
  TRect ExpandByMerges(const TRect& rect) const;
  bool Intersects(const TRect& rect) const;
  // The areas that meet rect.
  TSSRectsArray AreasIn(const TRect& rect) const;
  TSSRectsArray AllAreas() const;
  // Adds an area as given (callers keep areas apart); an empty rectangle is ignored.
  void AddArea(const TRect& rect);
  void AddAreas(const TSSRectsArray& areas);
  void DeleteArea(int index);
  void ClearAreas() { areas_.clear(); }
  // (-1, -1, -1, -1) for a bad index.
  TRect AreaByIndex(int index) const;
  int Count() const { return static_cast<int>(areas_.size()); }
  // Removes every area lying completely inside rect.
  void RemoveInside(const TRect& rect);
  // Removes every area meeting rect (expanded over areas) and, when merging, adds the expanded
  // rectangle; sets or clears the merged flag of every cell's style. Returns the expanded
  // rectangle. Vetoes and undo are the storage's business (TSSDataStorage::MergeCells).
  TRect MergeOrSplit(const TRect& rect, bool merge);
  // Whole columns (mode 2) or rows (mode 3) inserted or deleted at block.
  void AdjustForInsert(const TRect& block, int mode);
  void AdjustForDelete(const TRect& block, int mode);
  // Moves the right/bottom end of an area (it grows or shrinks); an empty result is removed.
  // Returns false when the area was removed.
  bool ShiftArea(int index, int32_t dx, int32_t dy);
  // Moves an area as a whole, clipped at column and row 0; an empty result is removed.
  bool OffsetArea(int index, int32_t dx, int32_t dy);

 private:
  void Adjust(const TRect& block, int mode, int sign);
  void SetMergedFlag(const TRect& inclusive, bool merged);

  TSSDataStorage* storage_;
  std::vector<TRect> areas_;  // exclusive ends
};

}  // namespace workbook
