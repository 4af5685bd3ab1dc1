#include "formulas/DependencyGraph.h"

#include <bit>

#include "formulas/TSSFormulasCache.h"

namespace formulas {
namespace {

// Positions beyond this are clamped: no sheet reaches them (the far edge is below), and the
// tile coordinates of a level stay within their bits.
constexpr int64_t kLastPosition = (int64_t{1} << 27) - 1;

constexpr uint16_t kFunctionRand = 63;
constexpr uint16_t kFunctionNow = 74;
constexpr uint16_t kFunctionToday = 221;

int64_t Resolve(bool absolute, int32_t value, int32_t own) {
  return absolute ? int64_t{value} : int64_t{value} + own;
}

}  // namespace

void DependencyGraph::Clear() {
  sheets_.clear();
  edges_ = 0;
}

int DependencyGraph::Level(const RangeEdge& e) {
  const uint32_t extent =
      static_cast<uint32_t>(std::max(e.right - e.left, e.bottom - e.top));  // longer side - 1
  return std::bit_width(extent);
}

DependencyGraph::SheetEdges& DependencyGraph::Sheet(uint16_t sheet) {
  if (sheet >= sheets_.size()) sheets_.resize(size_t{sheet} + 1);
  return sheets_[sheet];
}

void DependencyGraph::AddCell(uint16_t sheet, int64_t col, int64_t row, FormulaEntry* reader,
                              Scan& scan) {
  if (col < 0 || row < 0) return;  // reads as #REF!: no cell is read
  if (sheet >= kMaxSheets) {
    scan.unknown = true;
    return;
  }
  col = std::min(col, kLastPosition);
  row = std::min(row, kLastPosition);
  Sheet(sheet).recentCells.push_back(
      CellEdge{CellKey(static_cast<int32_t>(col), static_cast<int32_t>(row)), reader});
  ++scan.edges;
  ++edges_;
}

void DependencyGraph::AddRange(uint16_t sheet, int64_t left, int64_t top, int64_t right,
                               int64_t bottom, FormulaEntry* reader, Scan& scan) {
  // A corner before the sheet reads as #REF!, a reversed range visits no cell.
  if (left < 0 || top < 0 || right < left || bottom < top) return;
  if (sheet >= kMaxSheets) {
    scan.unknown = true;
    return;
  }
  RangeEdge e{static_cast<int32_t>(std::min(left, kLastPosition)),
              static_cast<int32_t>(std::min(top, kLastPosition)),
              static_cast<int32_t>(std::min(right, kLastPosition)),
              static_cast<int32_t>(std::min(bottom, kLastPosition)), reader};
  Sheet(sheet).recentRanges.push_back(e);
  ++scan.edges;
  ++edges_;
}

DependencyGraph::Scan DependencyGraph::AddEntry(FormulaEntry& entry,
                                                const std::vector<TSSNameDefinition>& names) {
  Scan scan;
  const auto bytes = entry.Tokens.Bytes();
  for (size_t pos = 0; pos < bytes.size();) {
    const size_t size = TokenSizeAt(bytes, pos);
    if (size == 0) {
      scan.unknown = true;  // a broken stream: what it reads cannot be told
      break;
    }
    const uint8_t* p = bytes.data() + pos;
    switch (p[0]) {
      case ptgRef: {
        const RefToken r = ReadRefToken(p);
        AddCell(entry.Sheet, Resolve(r.colAbs, r.col, entry.Col),
                Resolve(r.rowAbs, r.row, entry.Row), &entry, scan);
        break;
      }
      case ptgArea: {
        const AreaToken a = ReadAreaToken(p);
        AddRange(entry.Sheet, Resolve(a.col1Abs, a.col1, entry.Col),
                 Resolve(a.row1Abs, a.row1, entry.Row), Resolve(a.col2Abs, a.col2, entry.Col),
                 Resolve(a.row2Abs, a.row2, entry.Row), &entry, scan);
        break;
      }
      case ptgRef3d: {
        const RefToken r = ReadRefToken(p);
        AddCell(ReadSheetOf3d(p), r.col, r.row, &entry, scan);
        break;
      }
      case ptgArea3d: {
        const AreaToken a = ReadAreaToken(p);
        AddRange(ReadSheetOf3d(p), a.col1, a.row1, a.col2, a.row2, &entry, scan);
        break;
      }
      case ptgName: {
        const uint16_t index = ReadNameIndex(p);
        if (index >= names.size()) break;  // reads as #REF!; names change only structurally
        const TSSNameDefinition& n = names[index];
        if (n.Deleted) break;
        AddRange(n.Sheet, n.Left, n.Top, n.Right, n.Bottom, &entry, scan);
        break;
      }
      case ptgFuncVar: {
        const uint16_t number = ReadU16(p + 2);
        if (number == kFunctionNow || number == kFunctionToday || number == kFunctionRand)
          scan.isVolatile = true;
        break;
      }
      default:
        break;
    }
    pos += size;
  }
  return scan;
}

void DependencyGraph::Compact(size_t keep) {
  for (SheetEdges& s : sheets_) {
    if (s.recentCells.size() > keep) {
      std::sort(s.recentCells.begin(), s.recentCells.end(),
                [](const CellEdge& a, const CellEdge& b) { return a.key < b.key; });
      std::vector<CellEdge> merged;
      merged.reserve(s.cells.size() + s.recentCells.size());
      std::merge(s.cells.begin(), s.cells.end(), s.recentCells.begin(), s.recentCells.end(),
                 std::back_inserter(merged),
                 [](const CellEdge& a, const CellEdge& b) { return a.key < b.key; });
      s.cells.swap(merged);
      s.recentCells.clear();
      s.recentCells.shrink_to_fit();
    }
    if (s.recentRanges.size() > keep) {
      const auto byKey = [](const RangeEdge& a, const RangeEdge& b) {
        return RangeKey(a) < RangeKey(b);
      };
      std::sort(s.recentRanges.begin(), s.recentRanges.end(), byKey);
      for (const RangeEdge& e : s.recentRanges) s.levels |= uint32_t{1} << Level(e);
      std::vector<RangeEdge> merged;
      merged.reserve(s.ranges.size() + s.recentRanges.size());
      std::merge(s.ranges.begin(), s.ranges.end(), s.recentRanges.begin(), s.recentRanges.end(),
                 std::back_inserter(merged), byKey);
      s.ranges.swap(merged);
      s.recentRanges.clear();
      s.recentRanges.shrink_to_fit();
    }
  }
}

size_t DependencyGraph::Bytes() const {
  size_t bytes = sheets_.capacity() * sizeof(SheetEdges);
  for (const SheetEdges& s : sheets_)
    bytes += (s.cells.capacity() + s.recentCells.capacity()) * sizeof(CellEdge) +
             (s.ranges.capacity() + s.recentRanges.capacity()) * sizeof(RangeEdge);
  return bytes;
}

}  // namespace formulas
