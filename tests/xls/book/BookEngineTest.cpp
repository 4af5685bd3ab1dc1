// Whole books with the real formula engine: formulas written with their file tokens and
// results, recalculated after loading, names and cross-sheet references kept.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "formulas/BookFormulaCache.h"
#include "support/TestComposition.h"
#include "workbook/TCustomSpreadSheetBook.h"
#include "workbook/TSSBookSheet.h"
#include "workbook/TSSCellObject.h"
#include "workbook/Workbook.h"
#include "xls/biff/FormulaRecords.h"
#include "xls/biff/RecordIds.h"
#include "xls/biff/RecordReader.h"
#include "xls/book/BookFiles.h"
#include "xls/book/BookNames.h"
#include "xls/compound/CompoundReader.h"

namespace xls {
namespace {

class BookEngine : public ::testing::Test {
 protected:
  workbook::ScopedBookServices engine_{
      testsupport::WithFormulaEngine(testsupport::ModelServices())};

  static std::string Display(workbook::Workbook& b, int sheet, int col, int row) {
    return b.Sheets(sheet).CellObject(col, row)->DisplayText();
  }
  static std::string Edit(workbook::Workbook& b, int sheet, int col, int row) {
    return b.Sheets(sheet).CellObject(col, row)->EditText();
  }
  // The workbook stream of a saved file, as readers that do not calculate see it.
  static std::vector<uint8_t> WorkbookStream(const std::vector<uint8_t>& file) {
    MemoryByteSource source(file);
    CompoundReader container(source);
    return container.ReadStream(*container.FindWorkbookStream());
  }
};

TEST_F(BookEngine, FormulasRecalculateAfterLoadingAndKeepTheirText) {
  workbook::Workbook book;
  book.AddSheet("Data");
  auto& s = book.Sheets(0);
  s.CellObject(0, 0)->SetText("1");
  s.CellObject(0, 1)->SetText("2");
  s.CellObject(0, 2)->SetText("3");
  s.CellObject(1, 0)->SetText("=A1+A2*A3");
  s.CellObject(1, 1)->SetText("=SUM(A1:A3)");
  s.CellObject(1, 2)->SetText("=$A$1+A$2");
  s.CellObject(1, 3)->SetText("=Data!B2*2");
  s.CellObject(1, 4)->SetText("=IF(A1>0,\"pos\",\"neg\")");
  book.Sheets(1).CellObject(1, 1)->SetText("21");
  book.Recalculate();
  ASSERT_EQ(Display(book, 0, 1, 0), "7");

  std::vector<uint8_t> file;
  ASSERT_TRUE(SaveBookToBytes(book, file).empty());

  // Readers that do not calculate find the results in the file.
  std::vector<uint8_t> stream = WorkbookStream(file);
  RecordReader r(stream);
  std::vector<double> numbers;
  while (r.Next()) {
    if (r.Id() != rec::kFormula) continue;
    FormulaRecord f = FormulaRecord::Read(r);
    if (f.result[6] == 0xFF && f.result[7] == 0xFF) continue;
    double d;
    std::memcpy(&d, f.result.data(), 8);
    numbers.push_back(d);
  }
  EXPECT_EQ(numbers, (std::vector<double>{7, 6, 3, 42}));

  workbook::Workbook back;
  LoadBookFromBytes(back, file);
  EXPECT_EQ(Edit(back, 0, 1, 0), "=A1+A2*A3");
  EXPECT_EQ(Edit(back, 0, 1, 1), "=SUM(A1:A3)");
  EXPECT_EQ(Edit(back, 0, 1, 2), "=$A$1+A$2");
  EXPECT_EQ(Edit(back, 0, 1, 3), "=Data!B2*2");
  EXPECT_EQ(Display(back, 0, 1, 0), "7");
  EXPECT_EQ(Display(back, 0, 1, 1), "6");
  EXPECT_EQ(Display(back, 0, 1, 2), "3");
  EXPECT_EQ(Display(back, 0, 1, 3), "42");
  EXPECT_EQ(Display(back, 0, 1, 4), "pos");
  // The loaded formulas are live: a changed input recalculates them.
  back.Sheets(0).CellObject(0, 0)->SetText("10");
  EXPECT_EQ(Display(back, 0, 1, 0), "16");
}

// Every kind of formula result is cached in the file as readers that do not calculate expect:
// a number as its double, a Boolean or an error by its tag, a text by the tag 0 and a STRING
// record right after the formula.
TEST_F(BookEngine, FormulaResultsOfEveryKindAreCachedInTheFile) {
  struct Case {
    const char* formula;
    uint8_t tag;  // 0xFF: a number
    uint8_t value;
    const char* text;  // the STRING record's text, null: none follows
  };
  const Case cases[] = {
      {"=1/4", 0xFF, 0, nullptr},
      {"=\"ab\"&\"c\"", 0, 0, "abc"},
      {"=UPPER(\"x y\")", 0, 0, "X Y"},
      {"=\"12\"&\"\"", 0, 0, "12"},  // a text that reads as a number stays a text
      {"=CONCATENATE(\"0123456789012345678901234567890123456789\",\"0123456789012345678901234567"
       "890123456789\")",
       0, 0, "01234567890123456789012345678901234567890123456789012345678901234567890123456789"},
      {"=1<2", 1, 1, nullptr},
      {"=1>2", 1, 0, nullptr},
      {"=1/0", 2, 0x07, nullptr},
      {"=SQRT(-1)", 2, 0x24, nullptr},
  };
  workbook::Workbook book;
  auto& s = book.Sheets(0);
  int32_t row = 0;
  for (const Case& c : cases) s.CellObject(0, row++)->SetText(c.formula);
  book.Recalculate();
  std::vector<uint8_t> file;
  ASSERT_TRUE(SaveBookToBytes(book, file).empty());

  std::vector<uint8_t> stream = WorkbookStream(file);
  RecordReader r(stream);
  std::vector<FormulaRecord> formulas;
  std::vector<std::string> texts;  // per formula: its STRING record's text, or "-"
  while (r.Next()) {
    if (r.Id() == rec::kFormula) {
      formulas.push_back(FormulaRecord::Read(r));
      texts.emplace_back("-");
    } else if (r.Id() == rec::kString) {
      ASSERT_FALSE(texts.empty()) << "a STRING record before any formula";
      ASSERT_EQ(texts.back(), "-") << "two STRING records after one formula";
      texts.back() = r.SystemString16();
    } else if (!texts.empty() && texts.back() == "-" && formulas.back().result[0] == 0 &&
               formulas.back().result[6] == 0xFF) {
      ADD_FAILURE() << "a text result without its STRING record (record " << r.Id() << ")";
    }
  }
  ASSERT_EQ(formulas.size(), std::size(cases));
  for (size_t i = 0; i < formulas.size(); ++i) {
    const Case& c = cases[i];
    const auto& result = formulas[i].result;
    ASSERT_EQ(formulas[i].cell.row, i);
    const bool number = result[6] != 0xFF || result[7] != 0xFF;
    if (c.tag == 0xFF) {
      EXPECT_TRUE(number) << c.formula;
      continue;
    }
    EXPECT_FALSE(number) << c.formula;
    EXPECT_EQ(result[0], c.tag) << c.formula;
    if (c.tag != 0) {
      EXPECT_EQ(result[2], c.value) << c.formula;
    }
    EXPECT_EQ(texts[i], c.text ? c.text : "-") << c.formula;
  }

  // Our own reader takes the STRING records in its stride and recalculates the same values.
  workbook::Workbook back;
  LoadBookFromBytes(back, file);
  EXPECT_EQ(Display(back, 0, 0, 1), "abc");
  EXPECT_EQ(Edit(back, 0, 0, 1), "=\"ab\"&\"c\"");
  EXPECT_EQ(Display(back, 0, 0, 3), "12");
  EXPECT_EQ(Display(back, 0, 0, 7), "#DIV/0!");
}

TEST_F(BookEngine, DefinedNamesRoundTrip) {
  workbook::Workbook book;
  book.AddSheet("Data");
  ASSERT_TRUE(AddBookName(book, {"Prices", 1, {0, 0, 0, 9}, false}));
  ASSERT_TRUE(AddBookName(book, {"Corner", 0, {2, 3, 2, 3}, false}));
  std::vector<uint8_t> file;
  SaveBookToBytes(book, file);
  workbook::Workbook back;
  LoadBookFromBytes(back, file);
  const std::vector<workbook::DefinedNameRecord> names = BookNames(back);
  ASSERT_EQ(names.size(), 2u);
  EXPECT_EQ(names[0].Name, "Prices");
  EXPECT_EQ(names[0].Sheet, 1);
  EXPECT_EQ(names[0].Rect, (workbook::TRect{0, 0, 0, 9}));
  EXPECT_EQ(names[1].Name, "Corner");
  EXPECT_EQ(names[1].Sheet, 0);
  EXPECT_EQ(names[1].Rect, (workbook::TRect{2, 3, 2, 3}));
}

// Formula cells loaded from repeated patterns keep no text of their own. Every way of reading
// or changing them must see what it sees on the typed originals: the stored record, insertion
// of rows, sheet renaming, the clipboard and undo.
TEST_F(BookEngine, FormulasWithoutTextOfTheirOwnBehaveAsTypedOnes) {
  workbook::Workbook typed;
  typed.AddSheet("Data");
  const int rows = 12;
  for (int r = 0; r < rows; ++r) {
    const std::string n = std::to_string(r + 1);
    typed.Sheets(0).CellObject(0, r)->SetText(std::to_string(r * 2));
    typed.Sheets(1).CellObject(0, r)->SetText(std::to_string(50 + r));
    typed.Sheets(0).CellObject(1, r)->SetText("=A" + n + "*2+Data!$A$3");
    typed.Sheets(0).CellObject(2, r)->SetText("=SUM($A$1:B" + n + ")");
  }
  typed.Recalculate();
  std::vector<uint8_t> file;
  ASSERT_TRUE(SaveBookToBytes(typed, file).empty());
  workbook::Workbook loaded;
  LoadBookFromBytes(loaded, file);
  auto& storage = loaded.Sheets(0).Storage();
  ASSERT_TRUE(storage.IsFormulaTextDerived(1, rows - 1));  // the case under test does occur
  ASSERT_TRUE(storage.IsFormulaTextDerived(2, rows - 1));
  auto sameEverywhere = [&](const char* step) {
    SCOPED_TRACE(step);
    for (int r = 0; r < rows + 2; ++r) {
      for (int c = 0; c < 4; ++c) {
        SCOPED_TRACE("column " + std::to_string(c) + ", row " + std::to_string(r));
        // A record without text of its own reads as the formula the user edits.
        if (storage.IsFormulaTextDerived(c, r)) {
          EXPECT_EQ(storage.CellRec(c, r).Text, Edit(loaded, 0, c, r));
        }
        EXPECT_EQ(Edit(loaded, 0, c, r), Edit(typed, 0, c, r));
        EXPECT_EQ(Display(loaded, 0, c, r), Display(typed, 0, c, r));
      }
    }
  };
  sameEverywhere("loaded");
  for (workbook::Workbook* book : {&typed, &loaded}) {
    book->Sheets(0).Storage().InsertCells(workbook::TRect{0, 3, 0, 4}, 3);  // two rows above row 4
  }
  sameEverywhere("rows inserted");
  for (workbook::Workbook* book : {&typed, &loaded}) book->Sheets(1).SetCaption("Figures");
  sameEverywhere("sheet renamed");
  ASSERT_NE(Edit(loaded, 0, 1, rows - 1).find("Figures!"), std::string::npos);
  for (workbook::Workbook* book : {&typed, &loaded}) {
    book->Sheets(0).CopyToClipboard(workbook::TRect{1, 8, 2, 9}, false);
    book->Sheets(0).Paste(3, 0);
  }
  sameEverywhere("copied and pasted");
  for (workbook::Workbook* book : {&typed, &loaded}) {
    book->Sheets(0).CellObject(1, 10)->SetText("7");
    book->Sheets(0).CellObject(2, 11)->SetText("");
    book->Recalculate();
  }
  sameEverywhere("overwritten");
  for (workbook::Workbook* book : {&typed, &loaded}) {
    book->History().Undo();
    book->History().Undo();
    book->Recalculate();
  }
  sameEverywhere("undone");
  // Undo gives back formulas that name the renamed sheet by its new name, in both books.
  for (workbook::Workbook* book : {&typed, &loaded}) {
    EXPECT_EQ(book->Sheets(0).Storage().CellDataType(1, 10), workbook::kCellFormula);
    EXPECT_EQ(book->Sheets(0).Storage().CellDataType(2, 11), workbook::kCellFormula);
    EXPECT_EQ(Edit(*book, 0, 1, 10), "=A11*2+Figures!$A$3");
  }
}

}  // namespace
}  // namespace xls

namespace xls {
namespace {

// The reader compiles a repeated formula pattern once and gives the next cells the compiled
// tokens; every cell must still read exactly as if its own text had been compiled.
TEST_F(BookEngine, RepeatedFormulaPatternsLoadAsEachCellWasTyped) {
  workbook::Workbook book;
  book.AddSheet("Other");
  auto& s = book.Sheets(0);
  const int rows = 40;
  const auto n = [](int r) { return std::to_string(r + 1); };
  for (int r = 0; r < rows; ++r) {
    s.CellObject(0, r)->SetText(std::to_string(r * 3 + 1));
    s.CellObject(1, r)->SetText(std::to_string(r % 7));
    book.Sheets(1).CellObject(0, r)->SetText(std::to_string(100 + r));
    const std::vector<std::string> texts = {
        "=A" + n(r) + "+B" + n(r),   // both relative
        "=$A" + n(r) + "*2",         // absolute column
        "=A$1+B" + n(r),             // absolute row
        "=SUM($A$1:A" + n(r) + ")",  // growing area
        "=Other!A" + n(r) + "+1",    // another sheet, same row
        "=IF(A" + n(r) + ">20,\"big\",\"small\")",
        r > 0 ? "=A" + n(r - 1) + "-B" + n(r) : "=B1",  // the row above
        "=$C$1*0+A" + n(rows - 1 - r),                  // a distance that changes
    };
    for (size_t c = 0; c < texts.size(); ++c)
      s.CellObject(2 + static_cast<int>(c), r)->SetText(texts[c]);
  }
  book.Recalculate();
  std::vector<uint8_t> file;
  ASSERT_TRUE(SaveBookToBytes(book, file).empty());
  workbook::Workbook back;
  LoadBookFromBytes(back, file);
  for (int r = 0; r < rows; ++r) {
    for (int c = 2; c < 10; ++c) {
      SCOPED_TRACE("column " + std::to_string(c) + ", row " + std::to_string(r));
      ASSERT_EQ(back.Sheets(0).Storage().CellDataType(c, r), workbook::kCellFormula);
      EXPECT_EQ(Edit(back, 0, c, r), Edit(book, 0, c, r));
      EXPECT_EQ(Display(back, 0, c, r), Display(book, 0, c, r));
    }
  }
  // The loaded formulas are live: a change reaches every pattern's cells.
  back.Sheets(0).CellObject(0, 0)->SetText("1000");
  EXPECT_EQ(Display(back, 0, 2, 0), "1000");
  EXPECT_EQ(Display(back, 0, 4, 5), "1005");
  EXPECT_EQ(Display(back, 0, 5, rows - 1),
            std::to_string(1000 + (rows * (rows - 1) / 2) * 3 + rows - 1));
}

}  // namespace
}  // namespace xls
