// The reader on workbook streams assembled record by record: every cell record kind, shared
// strings split across CONTINUE, substreams of other kinds, formula text, encrypted and broken
// files.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>
#include <vector>

#include "platform/Locale.h"
#include "workbook/TCustomSpreadSheetBook.h"
#include "workbook/TSSBookSheet.h"
#include "workbook/TSSCellObject.h"
#include "workbook/TSSDataStorage.h"
#include "workbook/Workbook.h"
#include "xls/biff/CellRecords.h"
#include "xls/biff/DefaultRecords.h"
#include "xls/biff/FormulaRecords.h"
#include "xls/biff/LayoutRecords.h"
#include "xls/biff/RecordIds.h"
#include "xls/biff/RecordWriter.h"
#include "xls/biff/SheetRecords.h"
#include "xls/biff/StyleRecords.h"
#include "xls/biff/WorkbookStream.h"
#include "xls/book/BookFiles.h"
#include "xls/compound/CompoundWriter.h"

namespace xls {
namespace {

using workbook::Workbook;

// A stream with the default fonts and XFs, and sheets added by the test.
struct StreamMaker {
  WorkbookStreamBuilder b;
  StreamMaker() {
    for (int i = 0; i < 4; ++i) b.Globals().Append(defaults::Font().Build());
    for (const XfRecord& x : defaults::Xfs()) b.Globals().Append(x.Build());
  }
  RecordList& AddSheet(const std::u16string& name, uint8_t type = 0, uint8_t visibility = 0) {
    BoundSheetRecord s;
    s.name = name;
    s.sheetType = type;
    s.visibility = visibility;
    return b.Sheet(b.AddSheet(s));
  }
  std::vector<uint8_t> File() const {
    std::vector<uint8_t> stream = b.Build();
    CompoundStream s{u"Workbook", stream};
    return BuildCompoundDocument(std::span<const CompoundStream>(&s, 1));
  }
};

std::string Edit(Workbook& book, int sheet, int col, int row) {
  return book.Sheets(sheet).CellObject(col, row)->EditText();
}

TEST(ExcelFileReader, EveryCellRecordKind) {
  StreamMaker m;
  XfRecord unlocked = defaults::Xfs()[15];
  unlocked.locked = false;
  m.b.Globals().Append(unlocked.Build());
  RecordList& s = m.AddSheet(u"Cells");
  s.Append(RkRecord{{0, 0, 15}, 0x0000000A}.Build());     // integer 2
  s.Append(RkRecord{{0, 1, 15}, 1234u * 4 + 3}.Build());  // 12.34
  MulRkRecord mul;
  mul.row = 1;
  mul.firstColumn = 2;
  mul.cells = {{15, 0x0000000E}, {15, 0x3FF00000}};  // 3 and 1.0
  s.Append(mul.Build());
  s.Append(NumberRecord{{2, 0, 15}, -0.1}.Build());
  s.Append(LabelRecord{{2, 1, 15}, u"=not a formula"}.Build());
  s.Append(BoolErrRecord{{3, 0, 15}, 1, false}.Build());
  s.Append(BoolErrRecord{{3, 1, 15}, 7, true}.Build());
  s.Append(BlankRecord{{4, 0, 15}}.Build());
  MulBlankRecord blanks;
  blanks.row = 5;
  blanks.firstColumn = 0;
  blanks.xfs = {15, 17, 15};  // XF 17: an unlocked cell, which a blank record keeps
  s.Append(blanks.Build());
  std::vector<uint8_t> file = m.File();

  Workbook book;
  LoadBookFromBytes(book, file);
  ASSERT_EQ(book.PageCount(), 1);
  EXPECT_EQ(book.Sheets(0).Caption(), "Cells");
  EXPECT_EQ(Edit(book, 0, 0, 0), "2");
  EXPECT_EQ(Edit(book, 0, 1, 0), "12.34");
  EXPECT_EQ(Edit(book, 0, 2, 1), "3");
  EXPECT_EQ(Edit(book, 0, 3, 1), "1");
  EXPECT_EQ(Edit(book, 0, 0, 2), "-0.1");
  EXPECT_EQ(book.Sheets(0).Storage().CellNumber(0, 2), -0.1);
  // A label that begins with "=" stays text.
  EXPECT_EQ(Edit(book, 0, 1, 2), "=not a formula");
  EXPECT_EQ(book.Sheets(0).Storage().CellDataType(1, 2), workbook::kCellLiteralText);
  EXPECT_EQ(Edit(book, 0, 0, 3), "TRUE");
  EXPECT_EQ(Edit(book, 0, 1, 3), "#DIV/0!");
  EXPECT_EQ(Edit(book, 0, 0, 4), "");
  EXPECT_TRUE(book.Sheets(0).Storage().HasRecord(1, 5));
  EXPECT_FALSE(book.Sheets(0).CellObject(1, 5)->Style().Locked());
  EXPECT_EQ(Edit(book, 0, 1, 5), "");
}

TEST(ExcelFileReader, SharedStringAcrossContinueWithWidthChange) {
  // Laid out by hand: the stream builder writes a shared string table of its own.
  std::vector<uint8_t> stream;
  RecordWriter w(stream);
  w.Write(BofRecord{}.Build());
  for (int i = 0; i < 4; ++i) w.Write(defaults::Font().Build());
  for (const XfRecord& x : defaults::Xfs()) w.Write(x.Build());
  BoundSheetRecord bound;
  bound.name = u"S";
  const size_t boundAt = w.Offset();
  w.Write(bound.Build());
  // One string of 6 characters: "abc" 8-bit in the SST, U+0416 "ef" 16-bit in the CONTINUE.
  RecordBuilder sst(rec::kSst);
  sst.U32(1).U32(1).U16(6).U8(0);
  const uint8_t head[] = {'a', 'b', 'c'};
  sst.Bytes(head);
  w.Write(sst);
  RecordBuilder cont(rec::kContinue);
  cont.U8(1).U16(0x0416).U16('e').U16('f');
  w.Write(cont);
  w.Write(RecordBuilder(rec::kEof));
  const auto sheetAt = static_cast<uint32_t>(w.Offset());
  BofRecord bof;
  bof.type = rec::kBofWorksheet;
  w.Write(bof.Build());
  w.Write(LabelSstRecord{{0, 0, 15}, 0}.Build());
  w.Write(RecordBuilder(rec::kEof));
  std::memcpy(stream.data() + boundAt + 4, &sheetAt, 4);
  CompoundStream cs{u"Workbook", stream};
  Workbook book;
  LoadBookFromBytes(book, BuildCompoundDocument(std::span<const CompoundStream>(&cs, 1)));
  // U+0416 has no Windows-1252 form: the code page's replacement stands in for it.
  const std::string text = Edit(book, 0, 0, 0);
  ASSERT_EQ(text.size(), 6u) << text;
  EXPECT_EQ(text.substr(0, 3), "abc");
  EXPECT_EQ(text.substr(4), "ef");
}

TEST(ExcelFileReader, ChartSubstreamIsPassedOverAndHiddenSheetsStayHidden) {
  StreamMaker m;
  m.AddSheet(u"First").Append(LabelRecord{{0, 0, 15}, u"one"}.Build());
  RecordList& chart = m.AddSheet(u"Chart1", 2);
  chart.Append(LabelRecord{{0, 0, 15}, u"chart text"}.Build());
  m.AddSheet(u"Second", 0, 1).Append(LabelRecord{{0, 0, 15}, u"two"}.Build());
  Workbook book;
  LoadBookFromBytes(book, m.File());
  ASSERT_EQ(book.PageCount(), 2);
  EXPECT_EQ(book.Sheets(1).Caption(), "Second");
  EXPECT_EQ(Edit(book, 0, 0, 0), "one");
  EXPECT_EQ(Edit(book, 1, 0, 0), "two");
  EXPECT_FALSE(book.PageVisible(1));
}

TEST(ExcelFileReader, FormulaRecordsBecomeFormulaText) {
  StreamMaker m;
  ExternSheetRecord ext;
  ext.entries = {{0, 0, 0}, {0, 7, 7}};
  m.b.Globals().Append(ext.Build());
  RecordList& s = m.AddSheet(u"F");
  FormulaRecord f;
  f.cell = {1, 1, 15};
  f.tokens = {0x24, 0x00, 0x00, 0x00, 0xC0, 0x1E, 0x02, 0x00, 0x03};  // A1 + 2
  std::memset(f.result.data(), 0xAB, 8);  // a stored result that must not be used
  s.Append(f.Build());
  FormulaRecord bad;
  bad.cell = {2, 1, 15};
  bad.tokens = {0x3A, 0x01, 0x00, 0x00, 0x00, 0x00, 0xC0};  // a 3D reference to a missing sheet
  s.Append(bad.Build());
  FormulaRecord shared;
  shared.cell = {3, 1, 15};
  shared.tokens = {0x01, 0x03, 0x00, 0x01, 0x00};  // ptgExp: the SHRFMLA below fills it
  s.Append(shared.Build());
  shared.cell = {4, 1, 15};
  s.Append(shared.Build());
  SharedFormulaRecord sf;
  // The range reaches row 6, where no cell uses it: that cell stays empty.
  sf.firstRow = 3, sf.lastRow = 5, sf.firstColumn = 1, sf.lastColumn = 1;
  sf.tokens = {0x2C, 0x00, 0x00, 0xFF, 0xC0};  // ptgRefN: the cell to the left
  s.Append(sf.Build());
  Workbook book;
  LoadBookFromBytes(book, m.File());
  EXPECT_EQ(Edit(book, 0, 1, 1), "=A1+2");
  EXPECT_EQ(Edit(book, 0, 1, 2), "#REF!");
  EXPECT_EQ(Edit(book, 0, 1, 3), "=A4");
  EXPECT_EQ(Edit(book, 0, 1, 4), "=A5");
  EXPECT_FALSE(book.Sheets(0).Storage().HasRecord(1, 5));
}

TEST(ExcelFileReader, ArrayFormulaFillsItsCells) {
  StreamMaker m;
  RecordList& s = m.AddSheet(u"A");
  for (uint16_t row = 0; row < 2; ++row) {
    FormulaRecord f;
    f.cell = {row, 2, 15};
    f.tokens = {0x01, 0x00, 0x00, 0x02, 0x00};
    s.Append(f.Build());
  }
  ArrayRecord a;
  a.firstRow = 0, a.lastRow = 60000, a.firstColumn = 0, a.lastColumn = 255;  // absurdly large
  a.tokens = {0x1E, 0x05, 0x00};                                             // 5
  s.Append(a.Build());
  Workbook book;
  LoadBookFromBytes(book, m.File());
  EXPECT_EQ(Edit(book, 0, 2, 0), "=5");
  EXPECT_EQ(Edit(book, 0, 2, 1), "=5");
  EXPECT_EQ(book.Sheets(0).Storage().RecordCount(), 2u);
}

// A formula whose function the engine does not know keeps the result the file stored (each
// kind of result), the rest of the book loads and calculates, one warning names the cells, and
// a save writes the kept values.
using ResultBytes = std::array<uint8_t, 8>;  // a FORMULA record's result field

TEST(ExcelFileReader, UnknownFunctionsKeepTheirStoredResults) {
  StreamMaker m;
  RecordList& s = m.AddSheet(u"F");
  struct Case {
    ResultBytes result;
    const char16_t* stringRecord;  // the text result's STRING record, or null
    workbook::CellContentType type;
    const char* edit;
  };
  const auto number = [](double v) {
    ResultBytes r{};
    std::memcpy(r.data(), &v, 8);
    return r;
  };
  const auto special = [](uint8_t kind, uint8_t value) {
    return ResultBytes{kind, 0, value, 0, 0, 0, 0xFF, 0xFF};
  };
  const std::vector<Case> cases = {
      {number(42.5), nullptr, workbook::kCellNumber, "42.5"},
      {special(1, 1), nullptr, workbook::kCellText, "TRUE"},
      {special(2, 7), nullptr, workbook::kCellText, "#DIV/0!"},
      {special(0, 0), u"0001", workbook::kCellLiteralText, "0001"},
      {special(3, 0), nullptr, workbook::kCellText, ""},
      {number(-1e-300), nullptr, workbook::kCellNumber, "-1E-300"},
  };
  for (size_t i = 0; i < cases.size(); ++i) {
    FormulaRecord f;
    f.cell = {uint16_t(i), 0, 15};
    f.result = cases[i].result;
    f.tokens = {0x41, 0xFE, 0x00};  // ptgFuncV with a number the table does not hold
    s.Append(f.Build());
    if (cases[i].stringRecord)
      s.Append(RecordBuilder(rec::kString).String16(cases[i].stringRecord));
  }
  FormulaRecord known;
  known.cell = {0, 1, 15};
  known.tokens = {0x1E, 0x01, 0x00, 0x1E, 0x02, 0x00, 0x03};  // 1+2
  s.Append(known.Build());
  s.Append(LabelRecord{{1, 1, 15}, u"after"}.Build());
  Workbook book;
  ASSERT_NO_THROW(LoadBookFromBytes(book, m.File()));
  const auto check = [&](Workbook& b, const std::string& when) {
    workbook::TSSDataStorage& st = b.Sheets(0).Storage();
    for (size_t i = 0; i < cases.size(); ++i) {
      const int32_t row = static_cast<int32_t>(i);
      EXPECT_EQ(st.CellDataType(0, row), cases[i].type) << when << " row " << i;
      EXPECT_EQ(Edit(b, 0, 0, row), cases[i].edit) << when << " row " << i;
    }
    EXPECT_EQ(st.CellNumber(0, 0), 42.5) << when;
    EXPECT_EQ(Edit(b, 0, 1, 0), "=1+2") << when;  // a known function stays a formula
    EXPECT_EQ(Edit(b, 0, 1, 1), "after") << when;
  };
  check(book, "loaded");
  ASSERT_EQ(book.LoadWarnings().size(), 1u);
  EXPECT_EQ(book.LoadWarnings()[0],
            "6 formulas use functions this program does not know and keep the values stored in "
            "the file: F!A1, F!A2, F!A3, F!A4, F!A5, ...");
  std::vector<uint8_t> saved;
  SaveBookToBytes(book, saved);
  Workbook again;
  LoadBookFromBytes(again, saved);
  check(again, "saved and loaded");
  EXPECT_TRUE(again.LoadWarnings().empty());
}

TEST(ExcelFileReader, EncryptedFileIsRefused) {
  StreamMaker m;
  m.b.Globals().Append(RecordBuilder(rec::kFilePass).U16(1).Zeros(52));
  m.AddSheet(u"S");
  Workbook book;
  try {
    LoadBookFromBytes(book, m.File());
    FAIL() << "no error";
  } catch (const std::exception& e) {
    EXPECT_STREQ(e.what(), "Invalid stream format");
  }
  EXPECT_GE(book.PageCount(), 1);  // the book still has a sheet to show
}

TEST(ExcelFileReader, NotAWorkbookLeavesTheBookAsItWas) {
  Workbook book;
  book.Sheets(0).CellObject(0, 0)->SetText("keep");
  const std::vector<std::vector<uint8_t>> inputs = {
      {}, std::vector<uint8_t>(700, 0x41), std::vector<uint8_t>(4096, 0)};
  for (const auto& bytes : inputs) {
    try {
      LoadBookFromBytes(book, bytes);
      ADD_FAILURE() << "accepted " << bytes.size() << " bytes";
    } catch (const workbook::ESpreadSheetError& e) {
      EXPECT_STREQ(e.what(), "Invalid stream format");
    }
    EXPECT_EQ(Edit(book, 0, 0, 0), "keep");
    EXPECT_FALSE(book.IsLocked());  // the update lock was released
    EXPECT_FALSE(book.Loading());
  }
}

TEST(ExcelFileReader, TruncatedAndCorruptStreamsFailCleanly) {
  StreamMaker m;
  RecordList& s = m.AddSheet(u"S");
  for (int i = 0; i < 400; ++i)
    s.Append(LabelRecord{{uint16_t(i), 0, 15}, u"text of a cell"}.Build());
  const std::vector<uint8_t> good = m.File();
  Workbook book;
  LoadBookFromBytes(book, good);
  EXPECT_EQ(Edit(book, 0, 0, 399), "text of a cell");
  // Every cut and a byte flipped at many places: an error or a book, never a crash or a hang.
  for (size_t cut = 0; cut < good.size(); cut += 997) {
    std::vector<uint8_t> bytes(good.begin(), good.begin() + long(cut));
    Workbook b;
    try {
      LoadBookFromBytes(b, bytes);
    } catch (const std::exception&) {
    }
    EXPECT_FALSE(b.IsLocked());
  }
  for (size_t at = 0; at < good.size(); at += 331) {
    std::vector<uint8_t> bytes = good;
    bytes[at] ^= 0xFF;
    Workbook b;
    try {
      LoadBookFromBytes(b, bytes);
    } catch (const std::exception&) {
    }
    EXPECT_GE(b.PageCount(), 1);
  }
}

TEST(ExcelFileReader, MissingFileNamesTheFile) {
  Workbook book;
  try {
    LoadBookFromFile(book, "no-such-dir/none.xls");
    FAIL() << "no error";
  } catch (const workbook::ESpreadSheetError& e) {
    EXPECT_STREQ(e.what(), "Invalid file no-such-dir/none.xls name");
  }
}

}  // namespace
}  // namespace xls

namespace xls {
namespace {

// Label texts go through the entry rules exactly as typed texts do, whether the reader stores
// them itself (kept as they stand) or hands them to the cell object (dates, amounts).
// Text records stay the texts they are: no entry rule turns a label into a date, an amount, a
// number, a percentage, a boolean or a formula, and the format stays the file's.
TEST(ExcelFileReader, LabelTextsStayTheTextsTheyAre) {
  platform::ScopedLocale locale{platform::LocaleSettings::EnglishUS()};
  const std::vector<std::u16string> texts = {u"hello",    u"1/2/2003", u"10:30 PM", u"$5.25",
                                             u"123",      u"50%",      u"TRUE",     u"=A1",
                                             u" padded ", u"1,000",    u"0001",     u"1e15"};
  StreamMaker m;
  RecordList& s = m.AddSheet(u"L");
  for (size_t i = 0; i < texts.size(); ++i)
    s.Append(LabelRecord{{uint16_t(i), 0, 15}, texts[i]}.Build());
  Workbook loaded;
  LoadBookFromBytes(loaded, m.File());
  const auto& a = loaded.Sheets(0).Storage();
  for (size_t i = 0; i < texts.size(); ++i) {
    SCOPED_TRACE(i);
    std::string text;
    for (char16_t c : texts[i]) text += static_cast<char>(c);
    EXPECT_EQ(a.CellDataType(0, int32_t(i)), workbook::kCellLiteralText);
    EXPECT_EQ(a.CellEditText(0, int32_t(i)), text);
    EXPECT_EQ(a.CellDisplayText(0, int32_t(i)), text);
    EXPECT_EQ(a.CellStyleEntry(0, int32_t(i))->Format, 0);
  }
}

}  // namespace
}  // namespace xls
