#include "xls/biff/LayoutRecords.h"

#include <algorithm>

#include "xls/biff/RecordIds.h"

namespace xls {

DimensionsRecord DimensionsRecord::Read(RecordReader& r) {
  DimensionsRecord d;
  d.firstRow = r.U32();
  d.endRow = r.U32();
  d.firstColumn = r.U16();
  d.endColumn = r.U16();
  r.Skip(std::min<size_t>(r.Remaining(), 2));  // reserved
  return d;
}

RecordBuilder DimensionsRecord::Build() const {
  RecordBuilder b(rec::kDimensions);
  b.U32(firstRow).U32(endRow).U16(firstColumn).U16(endColumn).U16(0);
  return b;
}

RowRecord RowRecord::Read(RecordReader& r) {
  RowRecord row;
  row.row = r.U16();
  row.firstColumn = r.U16();
  row.endColumn = r.U16();
  row.height = r.U16();
  r.Skip(4);
  row.options = r.U16();
  row.xf = r.U16() & 0x0FFF;
  return row;
}

RecordBuilder RowRecord::Build() const {
  RecordBuilder b(rec::kRow);
  b.U16(row).U16(firstColumn).U16(endColumn).U16(height).U32(0).U16(options).U16(xf & 0x0FFF);
  return b;
}

ColInfoRecord ColInfoRecord::Read(RecordReader& r) {
  ColInfoRecord c;
  c.firstColumn = r.U16();
  c.lastColumn = r.U16();
  c.width = r.U16();
  c.xf = r.U16();
  c.options = r.U16();
  r.Skip(std::min<size_t>(r.Remaining(), 2));  // reserved, 0 to 2 bytes depending on the writer
  if (c.lastColumn < c.firstColumn)
    r.Fail("COLINFO columns " + std::to_string(c.firstColumn) + " to " +
           std::to_string(c.lastColumn) + " are reversed");
  return c;
}

RecordBuilder ColInfoRecord::Build() const {
  RecordBuilder b(rec::kColInfo);
  b.U16(firstColumn).U16(lastColumn).U16(width).U16(xf).U16(options).U16(0);
  return b;
}

MergedCellsRecord MergedCellsRecord::Read(RecordReader& r) {
  MergedCellsRecord m;
  uint16_t count = r.U16();
  if (size_t{count} * 8 > r.Remaining())
    r.Fail("MERGEDCELLS claims " + std::to_string(count) + " areas, the record holds " +
           std::to_string(r.Remaining() / 8));
  m.areas.reserve(count);
  for (uint16_t i = 0; i < count; ++i) {
    MergedArea a;
    a.firstRow = r.U16();
    a.lastRow = r.U16();
    a.firstColumn = r.U16();
    a.lastColumn = r.U16();
    m.areas.push_back(a);
  }
  return m;
}

std::vector<RecordBuilder> MergedCellsRecord::BuildAll(const std::vector<MergedArea>& areas) {
  std::vector<RecordBuilder> out;
  for (size_t start = 0; start < areas.size(); start += kMaxAreas) {
    size_t n = std::min(kMaxAreas, areas.size() - start);
    RecordBuilder b(rec::kMergedCells);
    b.U16(static_cast<uint16_t>(n));
    for (size_t i = start; i < start + n; ++i)
      b.U16(areas[i].firstRow)
          .U16(areas[i].lastRow)
          .U16(areas[i].firstColumn)
          .U16(areas[i].lastColumn);
    out.push_back(std::move(b));
  }
  return out;
}

Window2Record Window2Record::Read(RecordReader& r) {
  Window2Record w;
  w.options = r.U16();
  w.topRow = r.U16();
  w.leftColumn = r.U16();
  w.gridColour = r.U32();
  r.Skip(std::min<size_t>(r.Remaining(), 8));  // zoom factors and reserved
  return w;
}

RecordBuilder Window2Record::Build() const {
  RecordBuilder b(rec::kWindow2);
  b.U16(options).U16(topRow).U16(leftColumn).U32(gridColour).U16(0).U16(0).U32(0);
  return b;
}

}  // namespace xls
