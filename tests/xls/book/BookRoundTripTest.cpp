// Load, save, load: a book written by TExcelFileWriter reads back through TExcelFileReader
// with the same sheets, order, visibility, values, styles, sizes, merged areas and protection.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "support/TestComposition.h"
#include "workbook/TCustomSpreadSheetBook.h"
#include "workbook/TSSBookSheet.h"
#include "workbook/TSSCellObject.h"
#include "workbook/Workbook.h"
#include "xls/Errors.h"
#include "xls/biff/RecordIds.h"
#include "xls/biff/RecordReader.h"
#include "xls/book/BookFiles.h"
#include "xls/book/TExcelFileWriter.h"
#include "xls/compound/ByteSource.h"
#include "xls/compound/CompoundReader.h"

namespace xls {
namespace {

using workbook::Workbook;

std::vector<uint8_t> Save(Workbook& book, std::vector<std::string>* warnings = nullptr) {
  std::vector<uint8_t> bytes;
  std::vector<std::string> w = SaveBookToBytes(book, bytes);
  if (warnings) *warnings = w;
  return bytes;
}

std::string Edit(Workbook& book, int sheet, int col, int row) {
  return book.Sheets(sheet).CellObject(col, row)->EditText();
}

// The record ids of the workbook stream, in order.
std::vector<uint16_t> RecordIds(const std::vector<uint8_t>& file) {
  MemoryByteSource source(file);
  CompoundReader container(source);
  std::vector<uint8_t> stream = container.ReadStream(*container.FindWorkbookStream());
  RecordReader r(stream);
  std::vector<uint16_t> ids;
  while (r.Next()) ids.push_back(r.Id());
  return ids;
}

class BookRoundTrip : public ::testing::Test {
 protected:
  void SetUp() override {
    src.AddSheet("Data");
    src.AddSheet("Hidden one");
    src.SetPageVisible(2, false);
    auto& s0 = src.Sheets(0);
    s0.CellObject(0, 0)->SetText("Name");
    s0.CellObject(1, 0)->SetText("12.5");
    s0.CellObject(2, 0)->SetText("-3");
    s0.CellObject(0, 1)->SetText(std::string(300, 'x'));  // through the shared strings
    s0.CellObject(0, 2)->SetText("caf\xe9");              // 8-bit text of the code page
    s0.CellObject(3, 4)->SetText("TRUE");
    s0.CellObject(7, 70)->SetText("far");
    src.Sheets(1).CellObject(0, 0)->SetText("second");
    src.Sheets(2).CellObject(1, 1)->SetText("hidden sheet text");
  }
  Workbook src;
  Workbook dst;
};

TEST_F(BookRoundTrip, SheetsValuesAndOrder) {
  std::vector<uint8_t> file = Save(src);
  LoadBookFromBytes(dst, file);
  ASSERT_EQ(dst.PageCount(), 3);
  EXPECT_EQ(dst.Sheets(0).Caption(), "Sheet1");
  EXPECT_EQ(dst.Sheets(1).Caption(), "Data");
  EXPECT_EQ(dst.Sheets(2).Caption(), "Hidden one");
  EXPECT_TRUE(dst.PageVisible(0));
  EXPECT_TRUE(dst.PageVisible(1));
  EXPECT_FALSE(dst.PageVisible(2));
  EXPECT_EQ(Edit(dst, 0, 0, 0), "Name");
  EXPECT_EQ(Edit(dst, 0, 1, 0), "12.5");
  EXPECT_EQ(Edit(dst, 0, 2, 0), "-3");
  EXPECT_EQ(dst.Sheets(0).Storage().CellDataType(1, 0), workbook::kCellNumber);
  EXPECT_EQ(Edit(dst, 0, 0, 1), std::string(300, 'x'));
  EXPECT_EQ(Edit(dst, 0, 0, 2), "caf\xe9");
  EXPECT_EQ(Edit(dst, 0, 3, 4), "TRUE");
  EXPECT_EQ(Edit(dst, 0, 7, 70), "far");
  EXPECT_EQ(Edit(dst, 1, 0, 0), "second");
  EXPECT_EQ(Edit(dst, 2, 1, 1), "hidden sheet text");
  EXPECT_EQ(dst.ActivePage(), 0);

  // A second round gives the same file: nothing drifts.
  EXPECT_EQ(Save(dst), file);
}

// Rows follow the height of their wrapped texts once the book is loaded; rows without a
// wrapped text keep the default height.
TEST_F(BookRoundTrip, RowsGrowForWrappedTextsAfterLoading) {
  auto& s0 = src.Sheets(0);
  const std::string words = "one two three four five six seven eight nine ten eleven twelve";
  s0.CellObject(1, 3)->SetText(words);
  s0.CellObject(1, 5)->SetText(words);
  s0.CellObject(1, 3)->Style().SetWordBreak(true);  // set after the text: the row stays default
  ASSERT_EQ(s0.RowHeader().Size(3), s0.RowHeader().DefaultSize());
  LoadBookFromBytes(dst, Save(src));
  auto& d0 = dst.Sheets(0);
  EXPECT_GT(d0.RowHeader().Size(3), d0.RowHeader().DefaultSize());
  EXPECT_EQ(d0.RowHeader().Size(5), d0.RowHeader().DefaultSize());
}

TEST_F(BookRoundTrip, StylesFontsFillsAndBorders) {
  auto& s0 = src.Sheets(0);
  {
    auto cell = s0.CellObject(0, 0);
    auto& style = cell->Style();
    style.Font().SetAll("Courier New", 14, 10, 1, workbook::kFontBold | workbook::kFontItalic);
    style.Brush().SetAll(workbook::fsGray50, 5, 3);
    style.Borders().Left().SetAll(workbook::lsThin, 2);
    style.Borders().Bottom().SetAll(workbook::lsDouble, 12);
    style.SetHorzTextAlign(workbook::haRIGHT);
    style.SetVertTextAlign(workbook::vaTOP);
    style.SetWordBreak(true);
  }
  s0.CellObject(1, 0)->Style().SetFormatCode(10);
  s0.CellObject(2, 0)->Style().SetLocked(false);

  std::vector<uint8_t> file = Save(src);
  LoadBookFromBytes(dst, file);
  auto& d0 = dst.Sheets(0);
  auto a1 = d0.CellObject(0, 0);
  auto& st = a1->Style();
  EXPECT_EQ(st.Font().Name(), "Courier New");
  EXPECT_EQ(st.Font().Size(), 14);
  EXPECT_EQ(st.Font().FontColor(), 10);
  EXPECT_EQ(st.Font().Style(), workbook::kFontBold | workbook::kFontItalic);
  EXPECT_EQ(st.Brush().Style(), workbook::fsGray50);
  EXPECT_EQ(st.Brush().BackgroundColor(), 5);
  EXPECT_EQ(st.Brush().ForegroundColor(), 3);
  EXPECT_EQ(st.Borders().Left().Style(), workbook::lsThin);
  EXPECT_EQ(st.Borders().Left().Color(), 2);
  EXPECT_EQ(st.Borders().Bottom().Style(), workbook::lsDouble);
  EXPECT_EQ(st.Borders().Bottom().Color(), 12);
  EXPECT_EQ(st.HorzTextAlign(), workbook::haRIGHT);
  EXPECT_EQ(st.VertTextAlign(), workbook::vaTOP);
  EXPECT_TRUE(st.WordBreak());
  EXPECT_EQ(d0.CellObject(1, 0)->Style().FormatCode(), 10);
  EXPECT_FALSE(d0.CellObject(2, 0)->Style().Locked());
  EXPECT_TRUE(d0.CellObject(0, 2)->Style().Locked());
  // Unformatted cells share the book's default entry again.
  EXPECT_EQ(d0.Storage().CellStyleEntry(0, 2), d0.Storage().CellStyleEntry(3, 4));
  EXPECT_EQ(Save(dst), file);
}

TEST_F(BookRoundTrip, SizesHiddenMergedAndProtection) {
  auto& s0 = src.Sheets(0);
  s0.ColumnHeader().SetSize(1, 120);
  s0.ColumnHeader().SetVisible(4, false);
  s0.RowHeader().SetSize(0, 30);
  s0.RowHeader().SetVisible(9, false);
  s0.Storage().MergeCells({0, 5, 1, 6}, true);
  s0.Storage().MergeCells({3, 10, 5, 10}, true);
  s0.SheetProtected = true;
  s0.ShowGrid = false;
  src.Protected = true;

  LoadBookFromBytes(dst, Save(src));
  auto& d0 = dst.Sheets(0);
  EXPECT_EQ(d0.ColumnHeader().Size(1), 120);
  EXPECT_EQ(d0.ColumnHeader().Size(2), src.Sheets(0).ColumnHeader().DefaultSize());
  EXPECT_FALSE(d0.ColumnHeader().IsVisible(4));
  EXPECT_TRUE(d0.ColumnHeader().IsVisible(3));
  EXPECT_EQ(d0.RowHeader().Size(0), 30);
  EXPECT_FALSE(d0.RowHeader().IsVisible(9));
  ASSERT_EQ(d0.Storage().MergedCells().Count(), 2);
  EXPECT_EQ(d0.Storage().MergedCells().AreaByIndex(0), (workbook::TRect{0, 5, 1, 6}));
  EXPECT_EQ(d0.Storage().MergedCells().AreaByIndex(1), (workbook::TRect{3, 10, 5, 10}));
  EXPECT_TRUE(d0.SheetProtected);
  EXPECT_FALSE(dst.Sheets(1).SheetProtected);
  EXPECT_FALSE(d0.ShowGrid);
  EXPECT_TRUE(dst.Sheets(1).ShowGrid);
  EXPECT_TRUE(dst.Protected);
}

TEST(BookWriter, TextsNumbersAndLabelLimits) {
  Workbook book;
  auto& s = book.Sheets(0);
  s.CellObject(0, 0)->Style().SetFormatCode(49);  // text format: "123" stays a label
  s.CellObject(0, 0)->SetText("123");
  s.CellObject(1, 0)->SetRawText("123");  // a number text of a plain cell
  s.CellObject(2, 0)->SetText(std::string(250, 'a'));
  s.CellObject(3, 0)->SetText(std::string(251, 'b'));
  std::vector<uint16_t> ids = RecordIds(Save(book));
  auto count = [&](uint16_t id) { return std::count(ids.begin(), ids.end(), id); };
  EXPECT_EQ(count(rec::kLabel), 2);
  EXPECT_EQ(count(rec::kNumber), 1);
  EXPECT_EQ(count(rec::kLabelSst), 1);
  EXPECT_EQ(count(rec::kSst), 1);
  EXPECT_EQ(count(rec::kBoundSheet), 1);
  EXPECT_EQ(count(rec::kBof), 2);
  EXPECT_EQ(count(rec::kEof), 2);
}

TEST(BookWriter, SmallBookUsesTheMiniStreamAndReadsBack) {
  Workbook book;
  book.Sheets(0).CellObject(0, 0)->SetText("1");
  std::vector<uint8_t> file = Save(book);
  MemoryByteSource source(file);
  CompoundReader container(source);
  const auto entry = container.FindWorkbookStream();
  ASSERT_TRUE(entry);
  EXPECT_LT(container.Entries()[*entry].size, 4096u);
  Workbook back;
  LoadBookFromBytes(back, file);
  EXPECT_EQ(Edit(back, 0, 0, 0), "1");
}

TEST(BookWriter, CellsBeyondTheFormatAreReportedNotSilentlyLost) {
  Workbook book;
  auto& s = book.Sheets(0);
  s.CellObject(255, 65535)->SetText("last");
  s.CellObject(256, 0)->SetText("col 257");
  s.CellObject(0, 65536)->SetText("row 65537");
  std::vector<std::string> warnings;
  std::vector<uint8_t> file = Save(book, &warnings);
  ASSERT_EQ(warnings.size(), 1u);
  EXPECT_NE(warnings[0].find("2 cells"), std::string::npos) << warnings[0];
  Workbook back;
  LoadBookFromBytes(back, file);
  EXPECT_EQ(Edit(back, 0, 255, 65535), "last");
  EXPECT_EQ(back.Sheets(0).Storage().HasRecord(256, 0), false);
}

TEST(BookWriter, ManyStylesAndMergedAreasSplitAcrossRecords) {
  Workbook book;
  auto& s = book.Sheets(0);
  for (int i = 0; i < 1100; ++i) s.Storage().MergeCells({0, i * 2, 1, i * 2}, true);
  for (int i = 0; i < 40; ++i) {
    auto cell = s.CellObject(3, i);
    cell->SetText("v" + std::to_string(i));
    cell->Style().Font().SetSize(static_cast<uint8_t>(6 + i));
  }
  std::vector<uint8_t> file = Save(book);
  std::vector<uint16_t> ids = RecordIds(file);
  EXPECT_EQ(std::count(ids.begin(), ids.end(), rec::kMergedCells), 2);
  Workbook back;
  LoadBookFromBytes(back, file);
  EXPECT_EQ(back.Sheets(0).Storage().MergedCells().Count(), 1100);
  for (int i = 0; i < 40; ++i)
    EXPECT_EQ(back.Sheets(0).CellObject(3, i)->Style().Font().Size(), 6 + i) << i;
}

}  // namespace
}  // namespace xls

namespace xls {
namespace {

struct TempPath {
  std::string path;
  explicit TempPath(const std::string& name)
      : path((std::filesystem::temp_directory_path() /
              ("xlsbook_" + std::to_string(std::rand()) + name))
                 .string()) {}
  ~TempPath() {
    std::error_code ec;
    std::filesystem::remove(path, ec);
  }
};

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

size_t FilesBeside(const std::string& path) {
  size_t n = 0;
  for (const auto& e :
       std::filesystem::directory_iterator(std::filesystem::path(path).parent_path()))
    if (e.path().filename().string().rfind(std::filesystem::path(path).filename().string(), 0) == 0)
      ++n;
  return n;
}

TEST(BookSaveToFile, ReplacesTheFileAndLeavesNoTemporaryBehind) {
  TempPath target(".xls");
  { std::ofstream(target.path) << "previous content"; }
  workbook::Workbook book;
  book.Sheets(0).CellObject(0, 0)->SetText("new");
  SaveBookToFile(book, target.path);
  workbook::Workbook back;
  LoadBookFromFile(back, target.path);
  EXPECT_EQ(back.Sheets(0).CellObject(0, 0)->EditText(), "new");
  EXPECT_EQ(FilesBeside(target.path), 1u);
}

// The file is written while the stream is produced, in pieces; it must hold the very bytes
// of the document built in memory, for a book whose sheets span many pieces.
TEST(BookSaveToFile, StreamedFileEqualsTheDocumentInMemory) {
  TempPath target(".xls");
  workbook::Workbook book;
  book.SetPageCount(3);
  for (int sheet = 0; sheet < 3; ++sheet)
    for (int row = 0; row < 3000; ++row)
      for (int col = 0; col < 4; ++col)
        book.Sheets(sheet).CellObject(col, row)->SetText(
            col == 3 && row % 100 == 0 ? std::string(300, char('a' + sheet))  // shared string
                                       : std::to_string(sheet * 100000 + row * 4 + col));
  std::vector<uint8_t> bytes;
  SaveBookToBytes(book, bytes);
  SaveBookToFile(book, target.path);
  const std::string file = ReadAll(target.path);
  ASSERT_EQ(file.size(), bytes.size());
  EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), file.begin(),
                         [](uint8_t b, char c) { return b == static_cast<uint8_t>(c); }));
  workbook::Workbook back;
  LoadBookFromFile(back, target.path);
  ASSERT_EQ(back.PageCount(), 3);
  EXPECT_EQ(back.Sheets(2).CellObject(2, 2999)->EditText(), "211998");
  EXPECT_EQ(back.Sheets(1).CellObject(3, 2900)->EditText(), std::string(300, 'b'));
}

TEST(BookSaveToFile, AFailedSaveKeepsThePreviousFile) {
  TempPath target(".xls");
  { std::ofstream(target.path) << "previous content"; }
  // A book without sheets has no workbook stream to write.
  workbook::TCustomSpreadSheetBook empty;
  try {
    SaveBookToFile(empty, target.path);
    FAIL() << "no error";
  } catch (const EExcelDataWriter& e) {
    EXPECT_STREQ(e.what(), "Error store workbook stream");
  }
  EXPECT_EQ(ReadAll(target.path), "previous content");
  // A target in a folder that does not exist: the error names the failure, nothing is left.
  workbook::Workbook book;
  EXPECT_THROW(SaveBookToFile(book, target.path + "-missing-dir/x.xls"), std::exception);
  EXPECT_EQ(ReadAll(target.path), "previous content");
  EXPECT_EQ(FilesBeside(target.path), 1u);
}

TEST(BookSaveToFile, TheBookFileHandlersOfTheServicesReadAndWrite) {
  workbook::ScopedBookServices files{testsupport::WithWorkbookFiles(testsupport::ModelServices())};
  TempPath target(".xls");
  workbook::Workbook book;
  book.Sheets(0).CellObject(2, 3)->SetText("through the book");
  book.SaveToFile(target.path);
  workbook::Workbook back;
  back.LoadFromFile(target.path);
  EXPECT_EQ(back.Sheets(0).CellObject(2, 3)->EditText(), "through the book");
}

}  // namespace
}  // namespace xls

namespace xls {
namespace {

// Fills of merged areas and of plain cells, in every order of filling and merging, come back
// after a save and a load as they were, and a second save writes the same file.
TEST(BookRoundTripFills, MergedAndPlainFillsSurvive) {
  struct Case {
    const char* what;
    workbook::TSSFillStyle pattern;
    uint16_t foreground, background;
    bool merge, mergeFirst, wholeArea;
  };
  const Case cases[] = {
      {"solid top-left, then merged", workbook::fsSolid, 5, 5, true, false, false},
      {"solid everywhere, then merged", workbook::fsSolid, 13, 13, true, false, true},
      {"merged, then solid top-left", workbook::fsSolid, 0, 3, true, true, false},
      {"50% grey, merged", workbook::fsGray50, 2, 7, true, false, false},
      {"thin diagonal crosshatch, merged", workbook::fsThinThickCrossHatch, 9, 1, true, true, true},
      {"solid, not merged", workbook::fsSolid, 56, 22, false, false, false},
      {"12.5% grey, not merged", workbook::fsGray12, 4, 10, false, false, false},
  };
  const workbook::TRect area{1, 1, 2, 2};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Workbook src;
    auto& s = src.Sheets(0);
    s.CellObject(1, 1)->SetText("Merged");
    if (c.merge && c.mergeFirst) s.MergeCells(area, true);
    for (int32_t col = 1; col <= 2; ++col)
      for (int32_t row = 1; row <= 2; ++row)
        if (c.wholeArea || (col == 1 && row == 1)) {
          auto cell = s.CellObject(col, row);
          cell->Style().Brush().SetAll(c.pattern, c.background, c.foreground);
        }
    if (c.merge && !c.mergeFirst) s.MergeCells(area, true);
    const std::vector<uint8_t> file = Save(src);
    Workbook dst;
    LoadBookFromBytes(dst, file);
    auto& d = dst.Sheets(0).Storage();
    EXPECT_EQ(d.MergedCells().Count(), c.merge ? 1 : 0);
    for (int32_t col = 1; col <= 2; ++col)
      for (int32_t row = 1; row <= 2; ++row) {
        const workbook::StyleEntry* want = s.Storage().CellStyleEntry(col, row);
        const workbook::StyleEntry* got = d.CellStyleEntry(col, row);
        EXPECT_EQ(got->FillStyle, want->FillStyle) << col << "," << row;
        EXPECT_EQ(got->BackgroundColor, want->BackgroundColor) << col << "," << row;
        EXPECT_EQ(got->ForegroundColor, want->ForegroundColor) << col << "," << row;
      }
    EXPECT_EQ(d.CellStyleEntry(1, 1)->BackgroundColor, c.background);
    EXPECT_EQ(Save(dst), file);
  }
}

}  // namespace
}  // namespace xls

namespace xls {
namespace {

// A sink that takes at most `limit` bytes, then fails as a full disk would.
class LimitedSink final : public ByteSink {
 public:
  explicit LimitedSink(size_t limit) : limit_(limit) {}
  void Write(const uint8_t* data, size_t size) override {
    if (bytes.size() + size > limit_) throw std::runtime_error("the sink is full");
    bytes.insert(bytes.end(), data, data + size);
  }
  std::vector<uint8_t> bytes;

 private:
  size_t limit_;
};

// The document reaches a sink as the same bytes as the document made in memory; a sink that
// fails part way stops the save with its error and leaves the book as it was.
TEST(BookSaveToSink, WritesTheDocumentAndStopsWhenTheSinkFails) {
  Workbook book;
  auto& s = book.Sheets(0);
  for (int32_t row = 0; row < 3000; ++row) {
    s.CellObject(0, row)->SetText(std::to_string(row * 7));
    s.CellObject(1, row)->SetText("text " + std::to_string(row));
    s.CellObject(2, row)->SetText("=A" + std::to_string(row + 1) + "*2");
  }
  std::vector<uint8_t> whole;
  SaveBookToBytes(book, whole);
  LimitedSink sink(SIZE_MAX);
  EXPECT_TRUE(SaveBookToSink(book, sink).empty());
  EXPECT_EQ(sink.bytes, whole);

  for (const size_t limit : {size_t{0}, size_t{512}, whole.size() / 2, whole.size() - 1}) {
    LimitedSink failing(limit);
    EXPECT_THROW(SaveBookToSink(book, failing), std::runtime_error) << limit;
    EXPECT_LE(failing.bytes.size(), limit);
  }
  EXPECT_EQ(s.CellObject(1, 10)->DisplayText(), "text 10");
  std::vector<uint8_t> again;
  SaveBookToBytes(book, again);
  EXPECT_EQ(again, whole);
}

}  // namespace
}  // namespace xls
