#include "xls/biff/FormulaRecords.h"

#include "xls/Errors.h"
#include "xls/biff/RecordIds.h"

namespace xls {

namespace {
// Token bytes of the given length, then whatever the record holds after them.
void ReadTokens(RecordReader& r, size_t length, std::vector<uint8_t>& tokens,
                std::vector<uint8_t>& extra) {
  if (length > r.Remaining())
    r.Fail("formula of " + std::to_string(length) + " token bytes, the record holds " +
           std::to_string(r.Remaining()));
  // Into the vectors' own memory: a reader that keeps one record for every FORMULA of a
  // file allocates once.
  tokens.resize(length);
  r.Read(tokens.data(), length);
  extra.resize(r.Remaining());
  r.Read(extra.data(), extra.size());
}
void PutTokens(RecordBuilder& b, const std::vector<uint8_t>& tokens,
               const std::vector<uint8_t>& extra) {
  if (tokens.size() > 0xFFFF)
    throw XlsError("A formula of " + std::to_string(tokens.size()) + " token bytes is too long");
  b.U16(static_cast<uint16_t>(tokens.size())).Bytes(tokens).Bytes(extra);
}
}  // namespace

FormulaRecord FormulaRecord::Read(RecordReader& r) {
  FormulaRecord f;
  Read(r, f);
  return f;
}

void FormulaRecord::Read(RecordReader& r, FormulaRecord& f) {
  f.cell = CellHeader::Read(r);
  r.Read(f.result.data(), f.result.size());
  f.options = r.U16();
  r.Skip(4);
  size_t length = r.U16();
  ReadTokens(r, length, f.tokens, f.extra);
}

RecordBuilder FormulaRecord::Build() const {
  RecordBuilder b(rec::kFormula);
  cell.Put(b);
  b.Bytes(result).U16(options).U32(0);
  PutTokens(b, tokens, extra);
  return b;
}

RecordBuilder StringRecord::Build() const {
  RecordBuilder b(rec::kString);
  b.String16(text);
  return b;
}

SharedFormulaRecord SharedFormulaRecord::Read(RecordReader& r) {
  SharedFormulaRecord s;
  s.firstRow = r.U16();
  s.lastRow = r.U16();
  s.firstColumn = r.U8();
  s.lastColumn = r.U8();
  r.U8();
  s.uses = r.U8();
  size_t length = r.U16();
  ReadTokens(r, length, s.tokens, s.extra);
  return s;
}

RecordBuilder SharedFormulaRecord::Build() const {
  RecordBuilder b(rec::kShrFmla);
  b.U16(firstRow).U16(lastRow).U8(firstColumn).U8(lastColumn).U8(0).U8(uses);
  PutTokens(b, tokens, extra);
  return b;
}

ArrayRecord ArrayRecord::Read(RecordReader& r) {
  ArrayRecord a;
  a.firstRow = r.U16();
  a.lastRow = r.U16();
  a.firstColumn = r.U8();
  a.lastColumn = r.U8();
  a.options = r.U16();
  r.Skip(4);
  size_t length = r.U16();
  ReadTokens(r, length, a.tokens, a.extra);
  return a;
}

RecordBuilder ArrayRecord::Build() const {
  RecordBuilder b(rec::kArray);
  b.U16(firstRow).U16(lastRow).U8(firstColumn).U8(lastColumn).U16(options).U32(0);
  PutTokens(b, tokens, extra);
  return b;
}

NameRecord NameRecord::Read(RecordReader& r) {
  NameRecord n;
  n.options = r.U16();
  n.shortcut = r.U8();
  size_t nameLength = r.U8();
  size_t tokenLength = r.U16();
  r.Skip(2);
  n.sheet = r.U16();
  r.Skip(4);
  n.name = r.StringBody(nameLength);
  if (tokenLength > r.Remaining())
    r.Fail("NAME formula of " + std::to_string(tokenLength) + " token bytes, the record holds " +
           std::to_string(r.Remaining()));
  n.tokens = r.Bytes(tokenLength);
  return n;
}

RecordBuilder NameRecord::Build() const {
  if (name.size() > 0xFF)
    throw XlsError("A name of " + std::to_string(name.size()) + " characters is too long");
  if (tokens.size() > 0xFFFF)
    throw XlsError("A name formula of " + std::to_string(tokens.size()) + " bytes is too long");
  bool wide = !FitsCompressed(name);
  RecordBuilder b(rec::kName);
  b.U16(options).U8(shortcut).U8(static_cast<uint8_t>(name.size()));
  b.U16(static_cast<uint16_t>(tokens.size())).U16(0).U16(sheet).U32(0);
  b.U8(wide ? rec::kStrWide : 0).Chars(name, wide).Bytes(tokens);
  return b;
}

ExternSheetRecord ExternSheetRecord::Read(RecordReader& r) {
  ExternSheetRecord e;
  uint16_t count = r.U16();
  if (size_t{count} * 6 > r.Remaining())
    r.Fail("EXTERNSHEET claims " + std::to_string(count) + " entries, the record holds " +
           std::to_string(r.Remaining() / 6));
  for (uint16_t i = 0; i < count; ++i) {
    ExternSheetEntry x;
    x.supBook = r.U16();
    x.firstSheet = r.U16();
    x.lastSheet = r.U16();
    e.entries.push_back(x);
  }
  return e;
}

RecordBuilder ExternSheetRecord::Build() const {
  if (entries.size() > 0xFFFF)
    throw XlsError("EXTERNSHEET cannot hold " + std::to_string(entries.size()) + " entries");
  RecordBuilder b(rec::kExternSheet);
  b.U16(static_cast<uint16_t>(entries.size()));
  for (const auto& x : entries) b.U16(x.supBook).U16(x.firstSheet).U16(x.lastSheet);
  return b;
}

RecordBuilder BuildInternalSupBook(uint16_t sheetCount) {
  RecordBuilder b(rec::kSupBook);
  b.U16(sheetCount).U16(0x0401);
  return b;
}

}  // namespace xls
