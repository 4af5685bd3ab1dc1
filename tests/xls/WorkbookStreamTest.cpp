// Assembling a workbook stream from record lists: order, insertion and sheet positions.
#include <gtest/gtest.h>

#include "xls/biff/CellRecords.h"
#include "xls/biff/FormulaRecords.h"
#include "xls/biff/RecordIds.h"
#include "xls/biff/RecordReader.h"
#include "xls/biff/StyleRecords.h"
#include "xls/biff/WorkbookStream.h"

namespace xls {
namespace {

TEST(WorkbookStream, BoundSheetsPointAtTheirSheetsAndRecordsKeepTheirOrder) {
  WorkbookStreamBuilder book;
  RecordList& g = book.Globals();
  g.Append(FontRecord{}.Build());
  auto supBook = g.Append(BuildInternalSupBook(2));
  g.InsertAfter(g.FindLast(rec::kFont), FontRecord{}.Build());
  book.AddSheet(BoundSheetRecord{0, 0, 0, u"First"}, supBook);
  book.AddSheet(BoundSheetRecord{0, 1, 0, u"Second"}, supBook);
  book.SharedStrings().Add(std::u16string(9000, u'x'));  // the SST spans CONTINUEs
  book.Sheet(0).Append(NumberRecord{{0, 0, 15}, 1.0}.Build());
  book.Sheet(1).Append(LabelSstRecord{{0, 0, 15}, 0}.Build());
  auto stream = book.Build();

  RecordReader r(stream);
  std::vector<uint16_t> ids;
  std::vector<BoundSheetRecord> bound;
  while (r.Next()) {
    ids.push_back(r.Id());
    if (r.Id() == rec::kBoundSheet) bound.push_back(BoundSheetRecord::Read(r));
  }
  EXPECT_EQ(ids, (std::vector<uint16_t>{rec::kBof, rec::kFont, rec::kFont, rec::kBoundSheet,
                                        rec::kBoundSheet, rec::kSupBook, rec::kSst, rec::kExtSst,
                                        rec::kEof, rec::kBof, rec::kNumber, rec::kEof, rec::kBof,
                                        rec::kLabelSst, rec::kEof}));
  ASSERT_EQ(bound.size(), 2u);
  EXPECT_EQ(bound[1].name, u"Second");
  EXPECT_EQ(bound[1].visibility, 1);
  for (size_t i = 0; i < 2; ++i) {
    ASSERT_TRUE(r.Seek(bound[i].position));
    ASSERT_TRUE(r.Next());
    EXPECT_EQ(r.Id(), rec::kBof);
    EXPECT_EQ(BofRecord::Read(r).type, rec::kBofWorksheet);
    ASSERT_TRUE(r.Next());
    EXPECT_EQ(r.Id(), i == 0 ? rec::kNumber : rec::kLabelSst);
  }
  RecordReader first(stream);
  ASSERT_TRUE(first.Next());
  EXPECT_EQ(BofRecord::Read(first).type, rec::kBofGlobals);
}

TEST(WorkbookStream, RecordListFindsFirstAndLast) {
  RecordList list;
  EXPECT_EQ(list.Find(rec::kXf), list.end());
  auto a = list.Append(RecordBuilder(rec::kXf));
  list.Append(RecordBuilder(rec::kFont));
  auto c = list.Append(RecordBuilder(rec::kXf));
  EXPECT_EQ(list.Find(rec::kXf), a);
  EXPECT_EQ(list.FindLast(rec::kXf), c);
  list.InsertBefore(a, RecordBuilder(rec::kBof));
  EXPECT_EQ(list.begin()->Id(), rec::kBof);
  EXPECT_EQ(list.size(), 4u);
}

// A book large enough that the stream goes out in many pieces, with globals past the first
// piece so the shared strings are laid out after a hand-on: the pieces must join to the
// stream Size() promised, and positions (BOUNDSHEET, EXTSST) must count what went before.
TEST(WorkbookStream, PiecesJoinToTheSizedStreamWithPositionsIntact) {
  WorkbookStreamBuilder book;
  RecordList& g = book.Globals();
  for (int i = 0; i < 5000; ++i) g.Append(FontRecord{}.Build());  // ~150 KiB of globals
  book.AddSheet(BoundSheetRecord{0, 0, 0, u"Cells"});
  book.AddSheet(BoundSheetRecord{0, 0, 0, u"Listed"});
  book.SharedStrings().Add(u"first");
  book.SharedStrings().Add(std::u16string(9000, u'y'));
  {
    RecordWriter laid(book.SheetLaidOut(0));
    for (uint16_t row = 0; row < 20000; ++row)
      laid.Write(NumberRecord{{row, 1, 15}, double(row)}.Build());
  }
  book.Sheet(0).Append(RecordBuilder(rec::kDimensions).Zeros(14));
  book.Sheet(1).Append(LabelSstRecord{{0, 0, 15}, 1}.Build());

  std::vector<uint8_t> joined;
  size_t pieces = 0;
  book.WriteTo([&](std::span<const uint8_t> piece) {
    ++pieces;
    joined.insert(joined.end(), piece.begin(), piece.end());
  });
  EXPECT_GT(pieces, 4u);
  EXPECT_EQ(joined.size(), book.Size());
  EXPECT_EQ(joined, book.Build());

  RecordReader r(joined);
  std::vector<BoundSheetRecord> bound;
  uint32_t sstAt = 0, firstBucket = 0, numbers = 0;
  std::vector<uint16_t> sheetIds;
  bool inSheets = false;
  while (r.Next()) {
    if (r.Id() == rec::kBoundSheet) bound.push_back(BoundSheetRecord::Read(r));
    if (r.Id() == rec::kSst) sstAt = r.Offset();
    if (r.Id() == rec::kExtSst) r.U16(), firstBucket = r.U32();
    if (r.Id() == rec::kNumber) ++numbers;
    if (inSheets && r.Id() != rec::kNumber) sheetIds.push_back(r.Id());
    inSheets = inSheets || (r.Id() == rec::kEof);
  }
  EXPECT_GT(sstAt, 64u * 1024);
  EXPECT_EQ(firstBucket, sstAt + 12);  // header, total and unique counts, then the first string
  EXPECT_EQ(numbers, 20000u);
  // The listed records come before the laid-out ones.
  EXPECT_EQ(sheetIds, (std::vector<uint16_t>{rec::kBof, rec::kDimensions, rec::kEof, rec::kBof,
                                             rec::kLabelSst, rec::kEof}));
  ASSERT_EQ(bound.size(), 2u);
  for (const BoundSheetRecord& b : bound) {
    ASSERT_TRUE(r.Seek(b.position));
    ASSERT_TRUE(r.Next());
    EXPECT_EQ(r.Id(), rec::kBof);
  }
  ASSERT_TRUE(r.Seek(bound[1].position));
  r.Next();
  ASSERT_TRUE(r.Next());
  EXPECT_EQ(r.Id(), rec::kLabelSst);
}

}  // namespace
}  // namespace xls
