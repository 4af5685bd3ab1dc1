#include "workbook/TSSMergedCellsStorage.h"

#include <algorithm>
#include <cstdint>

#include "workbook/TSSCellStyle.h"
#include "workbook/TSSDataStorage.h"

namespace workbook {
namespace {

// Exclusive form of an inclusive rectangle, and back. 64-bit sums keep the far edge safe.
TRect ToExclusive(const TRect& r) { return TRect{r.Left, r.Top, r.Right + 1, r.Bottom + 1}; }
TRect ToInclusive(const TRect& r) { return TRect{r.Left, r.Top, r.Right - 1, r.Bottom - 1}; }

TRect Normalized(const TRect& r) {
  return TRect{std::min(r.Left, r.Right), std::min(r.Top, r.Bottom), std::max(r.Left, r.Right),
               std::max(r.Top, r.Bottom)};
}

// Both exclusive.
bool Meets(const TRect& a, const TRect& b) {
  return a.Left < b.Right && b.Left < a.Right && a.Top < b.Bottom && b.Top < a.Bottom;
}
bool Inside(const TRect& inner, const TRect& outer) {
  return inner.Left >= outer.Left && inner.Top >= outer.Top && inner.Right <= outer.Right &&
         inner.Bottom <= outer.Bottom;
}
bool IsEmpty(const TRect& r) { return r.Left >= r.Right || r.Top >= r.Bottom; }

}  // namespace

bool TSSMergedCellsStorage::AreaAt(TPoint cell, TRect& area) const {
  for (const TRect& a : areas_) {
    if (cell.X >= a.Left && cell.X < a.Right && cell.Y >= a.Top && cell.Y < a.Bottom) {
      area = ToInclusive(a);
      return true;
    }
  }
  area = TRect{cell.X, cell.Y, cell.X, cell.Y};
  return false;
}

TRect TSSMergedCellsStorage::ExpandByMerges(const TRect& rect) const {
  TRect r = ToExclusive(Normalized(rect));
  for (bool grown = true; grown;) {
    grown = false;
    for (const TRect& a : areas_) {
      if (Meets(a, r) && !Inside(a, r)) {
        r = TRect{std::min(r.Left, a.Left), std::min(r.Top, a.Top), std::max(r.Right, a.Right),
                  std::max(r.Bottom, a.Bottom)};
        grown = true;
      }
    }
  }
  return ToInclusive(r);
}

bool TSSMergedCellsStorage::Intersects(const TRect& rect) const {
  const TRect r = ToExclusive(Normalized(rect));
  return std::any_of(areas_.begin(), areas_.end(), [&r](const TRect& a) { return Meets(a, r); });
}

TSSRectsArray TSSMergedCellsStorage::AreasIn(const TRect& rect) const {
  const TRect r = ToExclusive(Normalized(rect));
  TSSRectsArray result;
  for (const TRect& a : areas_)
    if (Meets(a, r)) result.push_back(ToInclusive(a));
  return result;
}

TSSRectsArray TSSMergedCellsStorage::AllAreas() const {
  TSSRectsArray result;
  result.reserve(areas_.size());
  for (const TRect& a : areas_) result.push_back(ToInclusive(a));
  return result;
}

void TSSMergedCellsStorage::AddArea(const TRect& rect) {
  const TRect r = ToExclusive(Normalized(rect));
  if (!IsEmpty(r) && r.Left >= 0 && r.Top >= 0) areas_.push_back(r);
}

void TSSMergedCellsStorage::AddAreas(const TSSRectsArray& areas) {
  for (const TRect& r : areas) AddArea(r);
}

void TSSMergedCellsStorage::DeleteArea(int index) {
  if (index < 0 || index >= Count()) return;
  areas_.erase(areas_.begin() + index);
}

TRect TSSMergedCellsStorage::AreaByIndex(int index) const {
  if (index < 0 || index >= Count()) return TRect{-1, -1, -1, -1};
  return ToInclusive(areas_[static_cast<size_t>(index)]);
}

void TSSMergedCellsStorage::RemoveInside(const TRect& rect) {
  const TRect r = ToExclusive(Normalized(rect));
  areas_.erase(
      std::remove_if(areas_.begin(), areas_.end(), [&r](const TRect& a) { return Inside(a, r); }),
      areas_.end());
}

void TSSMergedCellsStorage::SetMergedFlag(const TRect& inclusive, bool merged) {
  if (!storage_) return;
  for (int32_t col = inclusive.Left; col <= inclusive.Right; ++col) {
    for (int32_t row = inclusive.Top; row <= inclusive.Bottom; ++row) {
      // Cells that already agree need no style object (and no record).
      const bool has = storage_->CellStyleEntry(col, row)->Flags & kStyleMerged;
      if (has == merged) continue;
      TSSCellStyle style(*storage_, col, row);
      style.SetMerged(merged);
    }
  }
}

TRect TSSMergedCellsStorage::MergeOrSplit(const TRect& rect, bool merge) {
  const TRect expanded = ExpandByMerges(rect);
  const TRect r = ToExclusive(expanded);
  areas_.erase(
      std::remove_if(areas_.begin(), areas_.end(), [&r](const TRect& a) { return Meets(a, r); }),
      areas_.end());
  SetMergedFlag(expanded, merge);
  // A single cell is no area.
  if (merge && (expanded.Left != expanded.Right || expanded.Top != expanded.Bottom))
    areas_.push_back(r);
  return expanded;
}

bool TSSMergedCellsStorage::ShiftArea(int index, int32_t dx, int32_t dy) {
  if (index < 0 || index >= Count()) return false;
  TRect& a = areas_[static_cast<size_t>(index)];
  a.Right += dx;
  a.Bottom += dy;
  if (IsEmpty(a)) {
    DeleteArea(index);
    return false;
  }
  if (dx > 0 || dy > 0) {
    // Cells that joined the area carry the merged flag too.
    SetMergedFlag(ToInclusive(areas_[static_cast<size_t>(index)]), true);
  }
  return true;
}

bool TSSMergedCellsStorage::OffsetArea(int index, int32_t dx, int32_t dy) {
  if (index < 0 || index >= Count()) return false;
  TRect& a = areas_[static_cast<size_t>(index)];
  a.Left = std::max(0, a.Left + dx);
  a.Right = std::max(0, a.Right + dx);
  a.Top = std::max(0, a.Top + dy);
  a.Bottom = std::max(0, a.Bottom + dy);
  if (IsEmpty(a)) {
    DeleteArea(index);
    return false;
  }
  return true;
}

void TSSMergedCellsStorage::Adjust(const TRect& block, int mode, int sign) {
  if (mode != 2 && mode != 3) return;
  const TRect b = Normalized(block);
  const bool columns = mode == 2;
  const int32_t size = columns ? b.Width() : b.Height();
  const int32_t start = columns ? b.Left : b.Top;
  const int32_t end = start + size;  // exclusive
  for (int i = 0; i < Count();) {
    const TRect a = areas_[static_cast<size_t>(i)];
    const int32_t aStart = columns ? a.Left : a.Top;
    const int32_t aEnd = columns ? a.Right : a.Bottom;  // exclusive
    bool kept = true;
    if (sign > 0) {
      if (aStart >= start)
        kept = OffsetArea(i, columns ? size : 0, columns ? 0 : size);
      else if (aEnd > start)
        kept = ShiftArea(i, columns ? size : 0, columns ? 0 : size);
    } else if (aEnd > start) {
      // Deleted positions vanish: a coordinate inside the block lands on its start, one
      // beyond it moves back by the block's size. An area that began inside the block keeps
      // only its part after it.
      const auto map = [start, end, size](int32_t x) {
        return x < start ? x : (x < end ? start : x - size);
      };
      const int32_t newStart = map(aStart);
      const int32_t newEnd = map(aEnd);
      if (aStart >= start) {
        kept = OffsetArea(i, columns ? newStart - aStart : 0, columns ? 0 : newStart - aStart);
        if (kept) {
          const TRect& moved = areas_[static_cast<size_t>(i)];
          const int32_t shrink = newEnd - (columns ? moved.Right : moved.Bottom);
          if (shrink != 0) kept = ShiftArea(i, columns ? shrink : 0, columns ? 0 : shrink);
        }
      } else {
        kept = ShiftArea(i, columns ? newEnd - aEnd : 0, columns ? 0 : newEnd - aEnd);
      }
    }
    if (kept) ++i;  // a removed area does not advance the scan
  }
}

void TSSMergedCellsStorage::AdjustForInsert(const TRect& block, int mode) {
  Adjust(block, mode, 1);
}
void TSSMergedCellsStorage::AdjustForDelete(const TRect& block, int mode) {
  Adjust(block, mode, -1);
}

}  // namespace workbook
