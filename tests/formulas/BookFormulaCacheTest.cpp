// The engine installed as a real book's formula cache: typing, display, range operations,
// sheets, undo and the clipboard go through the book's own paths.
#include <gtest/gtest.h>

#include <cmath>

#include "formulas/BookFormulaCache.h"
#include "platform/Locale.h"
#include "support/TestComposition.h"
#include "workbook/TCustomSpreadSheetBook.h"
#include "workbook/TSSBookSheet.h"
#include "workbook/TSSCellObject.h"
#include "workbook/TSSClipboard.h"
#include "workbook/Workbook.h"

namespace formulas::test {
namespace {

using workbook::TRect;

class BookFormulaCacheTest : public ::testing::Test {
 protected:
  BookFormulaCacheTest() { book_ = std::make_unique<workbook::Workbook>(); }
  workbook::TSSBookSheet& Sheet(int i = 0) { return book_->Sheets(i); }
  void Enter(int32_t col, int32_t row, const std::string& text, int sheet = 0) {
    Sheet(sheet).CellObject(col, row)->SetText(text);
  }
  std::string Text(int32_t col, int32_t row, int sheet = 0) {
    return Sheet(sheet).Storage().CellRec(col, row).Text;
  }
  std::string Shown(int32_t col, int32_t row, int sheet = 0) {
    return Sheet(sheet).Storage().CellDisplayText(col, row);
  }
  BookFormulaCache& Cache() { return *static_cast<BookFormulaCache*>(book_->FormulaCache()); }

  platform::ScopedLocale locale_{platform::LocaleSettings::EnglishUS()};
  workbook::MemoryClipboard clipboard_;
  std::vector<std::string> shown_;  // what went to the services' message handler
  static workbook::BookServices Services(workbook::BookClipboard& clipboard,
                                         std::vector<std::string>& shown) {
    workbook::BookServices services =
        testsupport::WithFormulaEngine(testsupport::ModelServices(clipboard));
    services.showMessage = [&shown](std::string_view m) { shown.emplace_back(m); };
    return services;
  }
  workbook::ScopedBookServices services_{Services(clipboard_, shown_)};
  std::unique_ptr<workbook::Workbook> book_;
};

TEST_F(BookFormulaCacheTest, TypedFormulasAreCompiledShownAndRecalculated) {
  ASSERT_NE(book_->FormulaCache(), nullptr);
  Enter(0, 0, "2");
  Enter(0, 1, "=sum(a1:a1)*3");
  EXPECT_EQ(Text(0, 1), "=SUM(A1:A1)*3");
  EXPECT_EQ(Sheet().Storage().CellDataType(0, 1), workbook::kCellFormula);
  EXPECT_EQ(Shown(0, 1), "6");
  Enter(0, 0, "5");
  EXPECT_EQ(Shown(0, 1), "15");
  Enter(0, 2, "=(1");  // does not compile: stays text
  EXPECT_EQ(Sheet().Storage().CellDataType(0, 2), workbook::kCellText);
  EXPECT_EQ(Text(0, 2), "=(1");
  ASSERT_FALSE(Cache().LastMessages().empty());
  EXPECT_EQ(Cache().LastMessages().back(), "Error - symbol ')' expected!");
  EXPECT_EQ(shown_, Cache().LastMessages());  // each message also went to the handler
  Enter(0, 1, "plain");                       // the formula's entry goes with it
  EXPECT_EQ(Cache().Engine().EntryCount(), 0u);
}

TEST_F(BookFormulaCacheTest, DeletingAndInsertingColumnsRepairsFormulas) {
  Enter(3, 0, "7");                           // D1
  Enter(2, 0, "=D1*2");                       // C1
  Sheet().DeleteCells(TRect{1, 0, 1, 0}, 2);  // delete column B
  EXPECT_EQ(Text(1, 0), "=C1*2");
  EXPECT_EQ(Shown(1, 0), "14");
  Sheet().InsertCells(TRect{0, 0, 0, 0}, 2);  // insert a column at A
  EXPECT_EQ(Text(2, 0), "=D1*2");
  EXPECT_EQ(Shown(2, 0), "14");
  Sheet().DeleteCells(TRect{3, 0, 3, 0}, 2);  // delete the referenced column
  EXPECT_EQ(Text(2, 0), "#REF!");
  EXPECT_EQ(Sheet().Storage().CellDataType(2, 0), workbook::kCellText);
}

TEST_F(BookFormulaCacheTest, InsertingRowsRepairsFormulas) {
  Enter(0, 0, "1");
  Enter(0, 1, "=A1+1");
  Sheet().InsertCells(TRect{0, 0, 0, 0}, 3);  // a row above row 1
  EXPECT_EQ(Text(0, 2), "=A2+1");
  EXPECT_EQ(Shown(0, 2), "2");
}

TEST_F(BookFormulaCacheTest, SheetsAreFollowedWhenSwappedOrRemoved) {
  book_->AddSheet("Data Two");
  Enter(0, 0, "4", 1);
  Enter(0, 0, "='data two'!A1+1", 0);
  EXPECT_EQ(Text(0, 0), "='Data Two'!A1+1");
  EXPECT_EQ(Shown(0, 0), "5");
  book_->ExchangeSheets(0, 1);
  EXPECT_EQ(Shown(0, 0, 1), "5");
  EXPECT_EQ(Text(0, 0, 1), "='Data Two'!A1+1");
  EXPECT_EQ(Cache().FormulaText(Sheet(1).Storage().CellRec(0, 0).Formula), "='Data Two'!A1+1");
  book_->AddSheet("Third");
  Enter(0, 0, "=Sheet1!A1&\"-\"", 2);  // Sheet1 is sheet 1 now
  EXPECT_EQ(Shown(0, 0, 2), "5-");
  book_->DeleteSheet(0);  // 'Data Two' goes: its references read as #REF!
  EXPECT_EQ(Shown(0, 0, 0), "#REF!");
  EXPECT_EQ(Shown(0, 0, 1), "#REF!");  // the error of Sheet1!A1 travels
  EXPECT_EQ(Cache().FormulaText(Sheet(1).Storage().CellRec(0, 0).Formula), "=Sheet1!A1&\"-\"");
}

TEST_F(BookFormulaCacheTest, CopyAndPasteMovesRelativeReferences) {
  Enter(0, 0, "3");
  Enter(0, 1, "9");
  Enter(1, 0, "=A1*2");
  Sheet().CopyToClipboard(TRect{1, 0, 1, 0}, false);
  Sheet().Paste(1, 1);
  EXPECT_EQ(Text(1, 1), "=A2*2");
  EXPECT_EQ(Shown(1, 1), "18");
  Sheet().Paste(0, 3);  // A4 would refer before column A
  EXPECT_EQ(Text(0, 3), "#REF!");
}

// Pasted tokens that could give no text are refused, whatever was pasted before them: a
// pattern found good once is not checked again, any other one is.
TEST_F(BookFormulaCacheTest, PastedTokensThatGiveNoTextAreRefusedEveryTime) {
  using Result = workbook::FormulaEngine::PasteResult;
  workbook::TSSDataStorage& cells = Sheet().Storage();
  Enter(0, 0, "5");
  Enter(1, 0, "=A1");
  uint16_t count = 0;
  const std::string good = Cache().FormulaTokenBytes(cells.CellRec(1, 0).Formula, count);
  ASSERT_GT(count, 0);
  const std::string ref = good.substr(0, count);
  const std::string bad = ref + ref;  // two operands and no operator
  for (int round = 0; round < 2; ++round) {
    const int32_t row = 2 + round * 2;
    EXPECT_EQ(Cache().PasteFormula(cells, 1, row, ref, count, 0, 0), Result::Pasted);
    EXPECT_EQ(Cache().PasteFormula(cells, 1, row + 1, bad, static_cast<uint16_t>(bad.size()), 0, 0),
              Result::NotSupported);
    EXPECT_EQ(cells.CellDataType(1, row), workbook::kCellFormula);
    EXPECT_NE(cells.CellDataType(1, row + 1), workbook::kCellFormula);
  }
}

TEST_F(BookFormulaCacheTest, UndoBringsTheFormulaBack) {
  Enter(0, 0, "2");
  Enter(1, 0, "=A1+1");
  Enter(1, 0, "=A1*10");
  EXPECT_EQ(Shown(1, 0), "20");
  book_->History().Undo();
  EXPECT_EQ(Text(1, 0), "=A1+1");
  EXPECT_EQ(Sheet().Storage().CellDataType(1, 0), workbook::kCellFormula);
  EXPECT_EQ(Shown(1, 0), "3");
  EXPECT_EQ(Cache().Engine().EntryCount(), 1u);
}

TEST_F(BookFormulaCacheTest, UndoOfPlainTextOverAFormulaRestoresTheFormula) {
  Enter(0, 0, "2");
  Enter(1, 0, "=A1+1");
  Enter(1, 0, "plain");
  EXPECT_EQ(Cache().Engine().EntryCount(), 0u);
  book_->History().Undo();
  EXPECT_EQ(Text(1, 0), "=A1+1");
  EXPECT_EQ(Sheet().Storage().CellDataType(1, 0), workbook::kCellFormula);
  EXPECT_EQ(Shown(1, 0), "3");
  book_->History().Redo();
  EXPECT_EQ(Text(1, 0), "plain");
  EXPECT_EQ(Cache().Engine().EntryCount(), 0u);
  book_->History().Undo();
  Enter(0, 0, "4");  // the restored formula is live again
  EXPECT_EQ(Shown(1, 0), "5");
}

TEST_F(BookFormulaCacheTest, UndoOfANumberOverAFormulaRestoresTheFormula) {
  Enter(0, 0, "2");
  Enter(1, 0, "=A1+1");
  Sheet().Storage().StoreCellValue(1, 0, 7.5);
  EXPECT_EQ(Sheet().Storage().CellDataType(1, 0), workbook::kCellNumber);
  EXPECT_EQ(Shown(1, 0), "7.5");
  EXPECT_EQ(Cache().Engine().EntryCount(), 0u);
  book_->History().Undo();
  EXPECT_EQ(Text(1, 0), "=A1+1");
  EXPECT_EQ(Shown(1, 0), "3");
}

// Literal texts (text cells of a file) are texts to formulas, whatever they read as; a typed
// text that reads as a number is still a number. The typed result comes straight from the
// engine (FormulaResult), and a text result is shown as it is.
TEST_F(BookFormulaCacheTest, LiteralTextsAreTextsToFormulas) {
  auto& st = Sheet().Storage();
  st.StoreLiteralText(0, 0, "0001");  // A1
  st.StoreLiteralText(0, 1, "42");    // A2
  Enter(0, 2, "42");                  // A3, typed
  st.StoreLiteralText(0, 3, "TRUE");  // A4
  st.StoreLiteralText(0, 4, "1/3");   // A5
  using Kind = workbook::FormulaValue::Kind;
  struct Case {
    const char* formula;
    Kind kind;
    const char* shown;
  };
  const Case cases[] = {
      {"=ISTEXT(A1)", Kind::Boolean, "TRUE"},
      {"=ISNUMBER(A2)", Kind::Boolean, "FALSE"},
      {"=ISNUMBER(A3)", Kind::Boolean, "TRUE"},
      {"=ISTEXT(A3)", Kind::Boolean, "FALSE"},
      {"=ISNONTEXT(A1)", Kind::Boolean, "FALSE"},
      {"=ISLOGICAL(A4)", Kind::Boolean, "FALSE"},
      {"=A1&\"-x\"", Kind::Text, "0001-x"},
      {"=A1", Kind::Text, "0001"},
      {"=A5", Kind::Text, "1/3"},
      {"=A2+1", Kind::Number, "43"},
      {"=SUM(A1:A3)", Kind::Number, "42"},
      {"=COUNT(A1:A3)", Kind::Number, "1"},
      {"=LEN(A1)", Kind::Number, "4"},
      {"=1/0", Kind::Error, "#DIV/0!"},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    const int32_t row = static_cast<int32_t>(i);
    Enter(2, row, cases[i].formula);
    ASSERT_EQ(st.CellDataType(2, row), workbook::kCellFormula) << cases[i].formula;
    const workbook::FormulaValue v = Cache().FormulaResult(st.CellFormula(2, row));
    EXPECT_EQ(v.kind, cases[i].kind) << cases[i].formula;
    if (v.kind == Kind::Boolean)  // (the general format shows a boolean as 1 or 0)
      EXPECT_EQ(v.number != 0 ? "TRUE" : "FALSE", std::string(cases[i].shown)) << cases[i].formula;
    else
      EXPECT_EQ(Shown(2, row), cases[i].shown) << cases[i].formula;
  }
  // The engine's double, not its display text.
  Enter(3, 0, "=ACOS(0.5)");
  EXPECT_NEAR(Cache().FormulaResult(st.CellFormula(3, 0)).number, std::acos(0.5), 1e-14);
  EXPECT_EQ(Shown(3, 0), "1.0471976");  // the display rounds; the result does not
}

}  // namespace
}  // namespace formulas::test
