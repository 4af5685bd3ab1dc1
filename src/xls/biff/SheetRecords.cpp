#include "xls/biff/SheetRecords.h"

namespace xls {

BofRecord BofRecord::Read(RecordReader& r) {
  BofRecord b;
  b.version = r.U16();
  b.type = r.U16();
  if (r.Remaining() >= 4) {
    b.build = r.U16();
    b.year = r.U16();
  }
  if (r.Remaining() >= 8) {
    b.history = r.U32();
    b.lowestVersion = r.U32();
  }
  return b;
}

RecordBuilder BofRecord::Build() const {
  RecordBuilder b(rec::kBof);
  b.U16(version).U16(type).U16(build).U16(year).U32(history).U32(lowestVersion);
  return b;
}

BoundSheetRecord BoundSheetRecord::Read(RecordReader& r) {
  BoundSheetRecord s;
  s.position = r.U32();
  s.visibility = r.U8();
  s.sheetType = r.U8();
  s.name = r.String8();
  return s;
}

RecordBuilder BoundSheetRecord::Build() const {
  RecordBuilder b(rec::kBoundSheet);
  b.U32(position).U8(visibility).U8(sheetType).String8(name, true);
  return b;
}

}  // namespace xls
