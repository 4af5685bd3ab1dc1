// Assembling a workbook stream from record lists: order, insertion and sheet positions.
#include <gtest/gtest.h>

#include "xls/biff/CellRecords.h"
#include "xls/biff/FormulaRecords.h"
#include "xls/biff/RecordIds.h"
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

}  // namespace
}  // namespace xls
