#include "xls/biff/CellRecords.h"

#include "platform/LittleEndian.h"
#include "xls/Errors.h"
#include "xls/biff/RecordIds.h"

namespace xls {

CellHeader CellHeader::Read(RecordReader& r) {
  const std::array<uint8_t, 6> b = r.Array<6>();
  CellHeader h;
  h.row = platform::LoadU16(b.data());
  h.column = platform::LoadU16(b.data() + 2);
  h.xf = platform::LoadU16(b.data() + 4);
  return h;
}

void CellHeader::Put(RecordBuilder& b) const { b.U16(row).U16(column).U16(xf); }

namespace {
RecordBuilder Start(uint16_t id, const CellHeader& cell) {
  RecordBuilder b(id);
  cell.Put(b);
  return b;
}
}  // namespace

NumberRecord NumberRecord::Read(RecordReader& r) {
  NumberRecord n;
  n.cell = CellHeader::Read(r);
  n.value = r.Double();
  return n;
}
RecordBuilder NumberRecord::Build() const {
  return std::move(Start(rec::kNumber, cell).Double(value));
}

RkRecord RkRecord::Read(RecordReader& r) {
  RkRecord n;
  n.cell = CellHeader::Read(r);
  n.rk = r.U32();
  return n;
}
RecordBuilder RkRecord::Build() const { return std::move(Start(rec::kRk, cell).U32(rk)); }

MulRkRecord MulRkRecord::Read(RecordReader& r) {
  MulRkRecord m;
  m.row = r.U16();
  m.firstColumn = r.U16();
  if (r.Remaining() < 2 || (r.Remaining() - 2) % 6 != 0)
    r.Fail("MULRK data of " + std::to_string(r.Length()) + " bytes is not a whole number of cells");
  size_t count = (r.Remaining() - 2) / 6;
  m.cells.reserve(count);
  for (size_t i = 0; i < count; ++i) {
    Cell c;
    c.xf = r.U16();
    c.rk = r.U32();
    m.cells.push_back(c);
  }
  uint16_t last = r.U16();
  if (count == 0 || last != m.firstColumn + count - 1)
    r.Fail("MULRK last column " + std::to_string(last) + " does not match its " +
           std::to_string(count) + " cells from column " + std::to_string(m.firstColumn));
  return m;
}

RecordBuilder MulRkRecord::Build() const {
  if (cells.empty() || firstColumn + cells.size() - 1 > 0xFFFF)
    throw XlsError("MULRK needs 1 to " + std::to_string(0x10000 - firstColumn) + " cells");
  RecordBuilder b(rec::kMulRk);
  b.U16(row).U16(firstColumn);
  for (const Cell& c : cells) b.U16(c.xf).U32(c.rk);
  b.U16(static_cast<uint16_t>(firstColumn + cells.size() - 1));
  return b;
}

MulBlankRecord MulBlankRecord::Read(RecordReader& r) {
  MulBlankRecord m;
  m.row = r.U16();
  m.firstColumn = r.U16();
  if (r.Remaining() < 2 || r.Remaining() % 2 != 0)
    r.Fail("MULBLANK data of " + std::to_string(r.Length()) +
           " bytes is not a whole number of cells");
  size_t count = (r.Remaining() - 2) / 2;
  for (size_t i = 0; i < count; ++i) m.xfs.push_back(r.U16());
  uint16_t last = r.U16();
  if (count == 0 || last != m.firstColumn + count - 1)
    r.Fail("MULBLANK last column " + std::to_string(last) + " does not match its " +
           std::to_string(count) + " cells from column " + std::to_string(m.firstColumn));
  return m;
}

RecordBuilder MulBlankRecord::Build() const {
  if (xfs.empty() || firstColumn + xfs.size() - 1 > 0xFFFF)
    throw XlsError("MULBLANK needs 1 to " + std::to_string(0x10000 - firstColumn) + " cells");
  RecordBuilder b(rec::kMulBlank);
  b.U16(row).U16(firstColumn);
  for (uint16_t xf : xfs) b.U16(xf);
  b.U16(static_cast<uint16_t>(firstColumn + xfs.size() - 1));
  return b;
}

LabelRecord LabelRecord::Read(RecordReader& r) {
  LabelRecord l;
  l.cell = CellHeader::Read(r);
  l.text = r.String16();
  return l;
}
RecordBuilder LabelRecord::Build() const {
  return std::move(Start(rec::kLabel, cell).String16(text));
}

LabelSstRecord LabelSstRecord::Read(RecordReader& r) {
  LabelSstRecord l;
  l.cell = CellHeader::Read(r);
  l.index = r.U32();
  return l;
}
RecordBuilder LabelSstRecord::Build() const {
  return std::move(Start(rec::kLabelSst, cell).U32(index));
}

BoolErrRecord BoolErrRecord::Read(RecordReader& r) {
  BoolErrRecord b;
  b.cell = CellHeader::Read(r);
  b.value = r.U8();
  b.isError = r.U8() != 0;
  return b;
}
RecordBuilder BoolErrRecord::Build() const {
  return std::move(Start(rec::kBoolErr, cell).U8(value).U8(isError ? 1 : 0));
}

BlankRecord BlankRecord::Read(RecordReader& r) { return BlankRecord{CellHeader::Read(r)}; }
RecordBuilder BlankRecord::Build() const { return Start(rec::kBlank, cell); }

}  // namespace xls
