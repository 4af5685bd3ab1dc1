#pragma once
// Which formulas read which cells: the reverse of every formula's references, kept by the
// formula cache so that a changed cell leads to the formulas it affects without a walk over
// the whole book.
//
// A single-cell reference is one cell edge (16 bytes), a range one range edge (24 bytes) however
// many cells it covers: =SUM(A1:A100000) costs one edge. Edges live per sheet in a sorted array
// and a short unsorted tail of recent additions; Compact merges the tail in.
//
// Range edges are found by their size level L (the smallest power of two 2^L not below the
// range's longer side) and the tile of side 2^L that holds their top-left corner: a range of
// level L that contains a cell has its corner in that cell's tile or in one of the three tiles
// to the left and above, so a lookup costs four binary searches per level in use.
//
// The graph may hold more edges than the formulas have: the edges of a removed or re-entered
// formula stay until the next rebuild. A reader found through such an edge is only calculated
// once more, which changes no result (callers skip entries no longer listed). It never holds
// fewer: every entry that has tokens has its edges in the graph while the graph is current.
#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "formulas/FormulaEntry.h"

namespace formulas {

struct TSSNameDefinition;

class DependencyGraph {
 public:
  // What AddEntry found in a stream besides plain references.
  struct Scan {
    size_t edges = 0;
    bool isVolatile = false;  // NOW, TODAY or RAND: calculated in every recalculation
    bool unknown = false;     // a reference the graph cannot hold (a broken stream, a far sheet)
  };

  // Sheets beyond this index are not indexed: a reference to one counts as unknown.
  static constexpr uint16_t kMaxSheets = 1024;

  void Clear();
  // Adds an edge for every reference of the entry's tokens, names resolved through `names`.
  Scan AddEntry(FormulaEntry& entry, const std::vector<TSSNameDefinition>& names);
  // Merges the recent additions of a sheet into its sorted arrays when there are more than
  // `keep` of them (a lookup scans the recent ones, so a batch of lookups wants few).
  void Compact(size_t keep = 0);

  // Calls f(FormulaEntry*) for every edge that covers the cell (an entry once per edge).
  template <class F>
  void ForEachReader(uint16_t sheet, int32_t col, int32_t row, F&& f) const;

  size_t EdgeCount() const { return edges_; }
  // Memory held by the edges, in bytes (capacity, not only what is used).
  size_t Bytes() const;

 private:
  struct CellEdge {
    uint64_t key;  // column in the high half, row in the low half
    FormulaEntry* reader;
  };
  struct RangeEdge {
    int32_t left, top, right, bottom;  // inclusive, left <= right, top <= bottom
    FormulaEntry* reader;
  };
  struct SheetEdges {
    std::vector<CellEdge> cells, recentCells;
    std::vector<RangeEdge> ranges, recentRanges;
    uint32_t levels = 0;  // bit L set: `ranges` holds ranges of level L
  };

  static constexpr int kLevelShift = 54;
  static constexpr int kTileBits = 27;
  static uint64_t CellKey(int32_t col, int32_t row) {
    return (uint64_t{static_cast<uint32_t>(col)} << 32) | static_cast<uint32_t>(row);
  }
  static int Level(const RangeEdge& e);
  static uint64_t TileKey(int level, int64_t tileCol, int64_t tileRow) {
    return (uint64_t(level) << kLevelShift) | (uint64_t(tileCol) << kTileBits) | uint64_t(tileRow);
  }
  static uint64_t RangeKey(const RangeEdge& e) {
    const int level = Level(e);
    return TileKey(level, e.left >> level, e.top >> level);
  }

  SheetEdges& Sheet(uint16_t sheet);
  void AddCell(uint16_t sheet, int64_t col, int64_t row, FormulaEntry* reader, Scan& scan);
  void AddRange(uint16_t sheet, int64_t left, int64_t top, int64_t right, int64_t bottom,
                FormulaEntry* reader, Scan& scan);

  std::vector<SheetEdges> sheets_;
  size_t edges_ = 0;
};

template <class F>
void DependencyGraph::ForEachReader(uint16_t sheet, int32_t col, int32_t row, F&& f) const {
  if (sheet >= sheets_.size() || col < 0 || row < 0) return;
  const SheetEdges& s = sheets_[sheet];
  const uint64_t key = CellKey(col, row);
  auto cell = std::lower_bound(s.cells.begin(), s.cells.end(), key,
                               [](const CellEdge& e, uint64_t k) { return e.key < k; });
  for (; cell != s.cells.end() && cell->key == key; ++cell) f(cell->reader);
  for (const CellEdge& e : s.recentCells)
    if (e.key == key) f(e.reader);
  const auto covers = [col, row](const RangeEdge& e) {
    return e.left <= col && col <= e.right && e.top <= row && row <= e.bottom;
  };
  for (uint32_t levels = s.levels; levels != 0; levels &= levels - 1) {
    const int level = std::countr_zero(levels);
    const int64_t tileCol = col >> level, tileRow = row >> level;
    for (int64_t dc = 0; dc <= 1 && tileCol - dc >= 0; ++dc) {
      for (int64_t dr = 0; dr <= 1 && tileRow - dr >= 0; ++dr) {
        const uint64_t tile = TileKey(level, tileCol - dc, tileRow - dr);
        auto it = std::lower_bound(s.ranges.begin(), s.ranges.end(), tile,
                                   [](const RangeEdge& e, uint64_t k) { return RangeKey(e) < k; });
        for (; it != s.ranges.end() && RangeKey(*it) == tile; ++it)
          if (covers(*it)) f(it->reader);
      }
    }
  }
  for (const RangeEdge& e : s.recentRanges)
    if (covers(e)) f(e.reader);
}

}  // namespace formulas
