// Cell, layout and formula-carrying records: round trips through the record writer and
// reader, and the malformed forms each reader must refuse.
#include <gtest/gtest.h>

#include "platform/LittleEndian.h"
#include "xls/Errors.h"
#include "xls/biff/FormulaRecords.h"
#include "xls/biff/LayoutRecords.h"
#include "xls/biff/RecordIds.h"

namespace xls {
namespace {

template <typename T>
T RoundTrip(const T& value, uint16_t expectedId) {
  std::vector<uint8_t> out;
  RecordWriter w(out);
  RecordBuilder b = value.Build();
  EXPECT_EQ(b.Id(), expectedId);
  w.Write(b);
  RecordReader r(out);
  EXPECT_TRUE(r.Next());
  T back = T::Read(r);
  EXPECT_EQ(r.Remaining(), 0u);
  return back;
}

// A reader standing on one record with the given data.
std::vector<uint8_t> MakeRecord(uint16_t id, const std::vector<uint8_t>& data) {
  std::vector<uint8_t> bytes = {static_cast<uint8_t>(id), static_cast<uint8_t>(id >> 8),
                                static_cast<uint8_t>(data.size()),
                                static_cast<uint8_t>(data.size() >> 8)};
  for (uint8_t b : data) bytes.push_back(b);
  return bytes;
}

struct OneRecord {
  std::vector<uint8_t> bytes;
  RecordReader reader;
  OneRecord(uint16_t id, const std::vector<uint8_t>& data)
      : bytes(MakeRecord(id, data)), reader(bytes) {
    reader.Next();
  }
  void Reset() {
    reader = RecordReader(bytes);
    reader.Next();
  }
};

TEST(RecordStructs, CellRecordsRoundTrip) {
  CellHeader at{65535, 255, 17};
  EXPECT_EQ(RoundTrip(NumberRecord{at, -0.125}, rec::kNumber), (NumberRecord{at, -0.125}));
  EXPECT_EQ(RoundTrip(RkRecord{at, 0x3FF00000}, rec::kRk), (RkRecord{at, 0x3FF00000}));
  EXPECT_EQ(RoundTrip(LabelRecord{at, u"caf\u00e9 \u20ac"}, rec::kLabel),
            (LabelRecord{at, u"caf\u00e9 \u20ac"}));
  EXPECT_EQ(RoundTrip(LabelSstRecord{at, 123456}, rec::kLabelSst), (LabelSstRecord{at, 123456}));
  EXPECT_EQ(RoundTrip(BoolErrRecord{at, 42, true}, rec::kBoolErr), (BoolErrRecord{at, 42, true}));
  EXPECT_EQ(RoundTrip(BlankRecord{at}, rec::kBlank), (BlankRecord{at}));
  MulRkRecord m{3, 250, {{15, 0x3FF00000}, {16, 0x0000000A}, {17, 1234 * 4 + 3}}};
  EXPECT_EQ(RoundTrip(m, rec::kMulRk), m);
  MulBlankRecord mb{7, 1, {15, 15, 20}};
  EXPECT_EQ(RoundTrip(mb, rec::kMulBlank), mb);
}

TEST(RecordStructs, MultipleCellRecordsCheckTheirLastColumn) {
  // Two cells from column 2, last column claimed 9.
  OneRecord bad(rec::kMulRk, {0, 0, 2, 0, 15, 0, 1, 0, 0, 0, 15, 0, 2, 0, 0, 0, 9, 0});
  EXPECT_THROW(MulRkRecord::Read(bad.reader), XlsError);
  OneRecord ragged(rec::kMulRk, {0, 0, 2, 0, 15, 0, 1, 0, 0});
  EXPECT_THROW(MulRkRecord::Read(ragged.reader), XlsError);
  OneRecord blanks(rec::kMulBlank, {0, 0, 2, 0, 15, 0, 15, 0, 4, 0});
  EXPECT_THROW(MulBlankRecord::Read(blanks.reader), XlsError);
  EXPECT_THROW(MulRkRecord{}.Build(), XlsError);
  EXPECT_THROW(MulBlankRecord{}.Build(), XlsError);
}

TEST(RecordStructs, LayoutRecordsRoundTrip) {
  DimensionsRecord d{0, 65536, 0, 256};
  EXPECT_EQ(RoundTrip(d, rec::kDimensions), d);
  EXPECT_EQ(d.Build().Size(), 14u);
  RowRecord row{9, 0, 256, 600, 0x0160, 16};
  EXPECT_EQ(RoundTrip(row, rec::kRow), row);
  EXPECT_EQ(row.Build().Size(), 16u);
  ColInfoRecord c{3, 7, 4000, 16, ColInfoRecord::kHidden};
  EXPECT_EQ(RoundTrip(c, rec::kColInfo), c);
  Window2Record w{0x06B6, 4, 2, 64};
  EXPECT_EQ(RoundTrip(w, rec::kWindow2), w);
  EXPECT_EQ(w.Build().Size(), 18u);
  // Older writers: 11-byte COLINFO and 10-byte WINDOW2.
  OneRecord shortCol(rec::kColInfo, {1, 0, 1, 0, 0x24, 0x09, 15, 0, 1, 0, 0});
  EXPECT_EQ(ColInfoRecord::Read(shortCol.reader), (ColInfoRecord{1, 1, 0x0924, 15, 1}));
  OneRecord reversed(rec::kColInfo, {5, 0, 1, 0, 0, 0, 15, 0, 0, 0, 0, 0});
  EXPECT_THROW(ColInfoRecord::Read(reversed.reader), XlsError);
}

TEST(RecordStructs, MergedAreasSplitEvery1024AndCountsAreChecked) {
  std::vector<MergedArea> areas;
  for (uint16_t i = 0; i < 2500; ++i) areas.push_back({i, i, 0, 1});
  auto records = MergedCellsRecord::BuildAll(areas);
  ASSERT_EQ(records.size(), 3u);
  std::vector<uint8_t> out;
  RecordWriter w(out);
  for (const auto& b : records) w.Write(b);
  RecordReader r(out);
  std::vector<MergedArea> back;
  while (r.Next()) {
    auto m = MergedCellsRecord::Read(r);
    EXPECT_LE(m.areas.size(), 1024u);
    back.insert(back.end(), m.areas.begin(), m.areas.end());
  }
  EXPECT_EQ(back, areas);
  OneRecord lying(rec::kMergedCells, {3, 0, 0, 0, 1, 0, 0, 0, 1, 0});
  EXPECT_THROW(MergedCellsRecord::Read(lying.reader), XlsError);
}

TEST(RecordStructs, FormulaRecordsKeepTokensAndExtraData) {
  FormulaRecord f;
  f.cell = {1, 2, 15};
  f.tokens = {0x44, 0, 0, 0, 0xC0, 0x1E, 1, 0, 0x03};
  f.extra = {9, 9};
  auto back = RoundTrip(f, rec::kFormula);
  EXPECT_EQ(back, f);
  EXPECT_EQ(f.Build().Size(), 22u + 9 + 2);
  EXPECT_EQ(back.options, FormulaRecord::kAlwaysCalc | FormulaRecord::kCalcOnLoad);

  SharedFormulaRecord s{4, 9, 1, 3, 6, {0x4C, 0, 0, 0xFF, 0xC0}, {}};
  EXPECT_EQ(RoundTrip(s, rec::kShrFmla), s);
  ArrayRecord a{0, 2, 0, 0, 1, {0x25, 0, 0, 2, 0, 0, 0, 0, 0}, {}};
  EXPECT_EQ(RoundTrip(a, rec::kArray), a);

  // A token length beyond the record.
  OneRecord bad(rec::kFormula, std::vector<uint8_t>(22, 0));
  platform::StoreU16(bad.bytes.data() + 4 + 20, 50);
  bad.Reset();
  EXPECT_THROW(FormulaRecord::Read(bad.reader), XlsError);

  // One record read again and again (as the file reader does) holds each record's own bytes:
  // a shorter formula and no extra data after a longer one leave nothing behind.
  FormulaRecord shorter;
  shorter.cell = {7, 3, 16};
  shorter.tokens = {0x1E, 5, 0};
  std::vector<uint8_t> stream;
  RecordWriter w(stream);
  w.Write(f.Build());
  w.Write(shorter.Build());
  w.Write(f.Build());
  RecordReader r(stream);
  FormulaRecord into;
  for (const FormulaRecord* expected : {&f, &shorter, &f}) {
    ASSERT_TRUE(r.Next());
    FormulaRecord::Read(r, into);
    EXPECT_EQ(into, *expected);
  }
}

TEST(RecordStructs, NamesAndExternSheets) {
  NameRecord n;
  n.name = u"Totals";
  n.tokens = {0x3B, 0, 0, 0, 0, 9, 0, 1, 0, 2, 0};
  auto back = RoundTrip(n, rec::kName);
  EXPECT_EQ(back, n);
  EXPECT_EQ(n.Build().Data()[14], 0);  // compressed name
  NameRecord wide{0, 0, 2, u"\u0421\u0443\u043c\u043c\u0430", {0x1E, 1, 0}};
  EXPECT_EQ(RoundTrip(wide, rec::kName), wide);
  NameRecord builtIn{NameRecord::kBuiltIn, 0, 1, std::u16string(1, u'\x06'), {}};
  EXPECT_EQ(RoundTrip(builtIn, rec::kName), builtIn);

  ExternSheetRecord e{{{0, 0, 0}, {0, 1, 1}, {0, 2, 2}}};
  EXPECT_EQ(RoundTrip(e, rec::kExternSheet), e);
  OneRecord lying(rec::kExternSheet, {5, 0, 0, 0, 1, 0, 1, 0});
  EXPECT_THROW(ExternSheetRecord::Read(lying.reader), XlsError);
  auto sup = BuildInternalSupBook(3);
  EXPECT_EQ(sup.Data(), (std::vector<uint8_t>{3, 0, 1, 4}));
}

}  // namespace
}  // namespace xls
