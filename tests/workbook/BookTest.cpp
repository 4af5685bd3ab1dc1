#include <gtest/gtest.h>

#include "workbook/KeyCodes.h"
#include "workbook/TCustomSpreadSheetBook.h"
#include "workbook/TSSBookSheet.h"
#include "workbook/TSSCellObject.h"
#include "workbook/TestLocales.h"
#include "workbook/Workbook.h"

namespace workbook {
namespace {

std::vector<std::string> Captions(const TCustomSpreadSheetBook& book) {
  std::vector<std::string> out;
  for (int i = 0; i < book.PageCount(); ++i) out.push_back(book.Sheets(i).Caption());
  return out;
}

TEST(Book, NewBookHasSheet1AndDefaults) {
  Workbook book;
  ASSERT_EQ(book.PageCount(), 1);
  EXPECT_EQ(book.Sheets(0).Caption(), "Sheet1");
  EXPECT_EQ(book.ActivePage(), 0);
  EXPECT_TRUE(book.AutoRecalc());
  EXPECT_EQ(book.DefaultColWidth(), 85);
  EXPECT_EQ(book.DefaultRowHeight(), 20);
  EXPECT_EQ(book.Precision(), 2);
  EXPECT_TRUE(book.ExcelProtectionStyle);
  EXPECT_FALSE(book.Protected);
  EXPECT_FALSE(book.ReadOnly());
  EXPECT_TRUE(book.ShowGrid());
  EXPECT_TRUE(book.ShowHeaders());
  EXPECT_EQ(book.History().UndoCount(), 0);
  EXPECT_THROW(book.Sheets(1), ESpreadSheetError);
  try {
    book.Sheets(-1);
  } catch (const ESpreadSheetError& e) {
    EXPECT_STREQ(e.what(), "Invalid page number");
  }
}

TEST(Book, SheetCaptionsAndDeletion) {
  Workbook book;
  book.AddSheet();
  book.AddSheet();
  EXPECT_EQ(Captions(book), (std::vector<std::string>{"Sheet1", "Sheet2", "Sheet3"}));
  book.DeleteSheet(1);
  book.AddSheet();  // PageCount + 1 again: two sheets share a caption
  EXPECT_EQ(Captions(book), (std::vector<std::string>{"Sheet1", "Sheet3", "Sheet3"}));
  book.AddSheet("Given");
  EXPECT_EQ(book.Sheets(3).Caption(), "Given");
}

TEST(Book, RenamingRefusesDuplicates) {
  Workbook book;
  TSSBookSheet& second = book.AddSheet();
  try {
    second.SetCaption("Sheet1");
    FAIL() << "duplicate caption accepted";
  } catch (const ESpreadSheetError& e) {
    EXPECT_STREQ(e.what(), "Sheet caption invalid or already exist");
  }
  EXPECT_EQ(second.Caption(), "Sheet2");
  second.SetCaption("sheet1");  // case matters
  EXPECT_EQ(second.Caption(), "sheet1");
  book.events.OnChangeSheetCaption = [](TSSBookSheet&, std::string& caption) { caption += "!"; };
  second.SetCaption("Data");
  EXPECT_EQ(second.Caption(), "Data!");
}

TEST(Book, DeletingKeepsAValidActiveSheet) {
  Workbook book;
  book.DeleteSheet(0);  // the only sheet
  EXPECT_EQ(book.PageCount(), 1);
  book.AddSheet();
  book.AddSheet();
  book.SetActiveSheet(2);
  book.DeleteSheet(2);  // the active last one: the previous becomes active
  EXPECT_EQ(book.ActivePage(), 1);
  EXPECT_EQ(book.ActiveSheet()->Caption(), "Sheet2");
  book.AddSheet();
  book.SetActiveSheet(1);
  book.DeleteSheet(1);  // active, not last: the next one takes its place
  EXPECT_EQ(book.ActivePage(), 1);
  EXPECT_EQ(book.ActiveSheet()->Caption(), "Sheet3");
  book.DeleteSheet(0);  // before the active one
  EXPECT_EQ(book.ActivePage(), 0);
  EXPECT_EQ(book.ActiveSheet()->Caption(), "Sheet3");
  book.DeleteSheet(5);
  EXPECT_EQ(book.PageCount(), 1);
}

TEST(Book, DeleteAndExchangeVetoes) {
  Workbook book;
  book.AddSheet();
  std::vector<int> asked;
  book.events.OnDeleteSheet = [&](int sheet, bool& can) {
    asked.push_back(sheet);
    can = false;
  };
  book.DeleteSheet(1);
  EXPECT_EQ(book.PageCount(), 2);
  EXPECT_EQ(asked, (std::vector<int>{1}));
  book.events.OnExchangeSheets = [](int, int, bool& can) { can = false; };
  book.ExchangeSheets(0, 1);
  EXPECT_EQ(book.Sheets(0).Caption(), "Sheet1");
  book.events.OnExchangeSheets = nullptr;
  book.ExchangeSheets(0, 1);
  EXPECT_EQ(Captions(book), (std::vector<std::string>{"Sheet2", "Sheet1"}));
  EXPECT_EQ(book.ActivePage(), 1);  // follows the active sheet
  book.ExchangeSheets(0, 7);
  EXPECT_EQ(book.Sheets(0).Caption(), "Sheet2");
}

TEST(Book, PageCountShrinksWithoutDeleteEvents) {
  Workbook book;
  book.SetPageCount(3);
  EXPECT_EQ(Captions(book), (std::vector<std::string>{"Sheet1", "Sheet2", "Sheet3"}));
  book.SetActiveSheet(2);
  int deletes = 0;
  book.events.OnDeleteSheet = [&](int, bool&) { ++deletes; };
  book.SetPageCount(1);
  EXPECT_EQ(book.PageCount(), 1);
  EXPECT_EQ(book.ActivePage(), 0);
  EXPECT_EQ(deletes, 0);
}

TEST(Book, ActivationSkipsHiddenPages) {
  Workbook book;
  book.SetPageCount(4);
  book.SetPageVisible(1, false);
  book.SetActiveSheet(1);
  EXPECT_EQ(book.ActivePage(), 2);
  book.SetPageVisible(3, false);
  book.SetActiveSheet(0);
  book.SetActiveSheet(3);  // nothing visible after it: the nearest before
  EXPECT_EQ(book.ActivePage(), 2);
  int asked = -1;
  book.events.OnActiveSheetChanging = [&](TCustomSpreadSheetBook&, int index, bool& can) {
    asked = index;
    can = false;
  };
  book.SetActiveSheet(0);
  EXPECT_EQ(asked, 0);
  EXPECT_EQ(book.ActivePage(), 2);
}

TEST(Book, UpdateLockHoldsBackCellEvents) {
  Workbook book;
  std::vector<std::pair<int, int>> changes;
  book.events.OnCellChange = [&](TSSBookSheet&, int32_t col, int32_t row) {
    changes.push_back({col, row});
  };
  book.ActiveSheet()->CellObject(1, 2)->SetText("x");
  EXPECT_EQ(changes, (std::vector<std::pair<int, int>>{{1, 2}}));
  book.BeginUpdate();
  book.ActiveSheet()->CellObject(3, 3)->SetText("y");
  EXPECT_TRUE(book.IsLocked());
  book.EndUpdate();
  book.EndUpdate();  // never below 0
  EXPECT_FALSE(book.IsLocked());
  EXPECT_EQ(changes.size(), 1u);
  EXPECT_EQ(book.ActiveSheet()->Storage().CellRec(3, 3).Text, "y");
}

TEST(Book, DefaultSizesReachEverySheet) {
  Workbook book;
  book.AddSheet();
  book.Sheets(1).ColumnHeader().SetSize(2, 40);
  book.SetDefaultColWidth(100);
  book.SetDefaultRowHeight(30);
  EXPECT_EQ(book.Sheets(0).ColumnHeader().Size(0), 100);
  EXPECT_EQ(book.Sheets(1).ColumnHeader().Size(2), 40);
  EXPECT_EQ(book.Sheets(1).RowHeader().Size(9), 30);
  TSSBookSheet& added = book.AddSheet();  // new sheets start with the book's sizes
  EXPECT_EQ(added.ColumnHeader().Size(0), 100);
}

TEST(Book, ClearAndAssign) {
  platform::ScopedLocale locale(test::EnglishUS());
  Workbook source;
  source.AddSheet("Data");
  source.Sheets(1).CellObject(0, 0)->SetText("hello");
  {
    auto cell = source.Sheets(1).CellObject(1, 0);
    cell->SetText("2.5");
    cell->Style().Font().SetStyle(kFontBold);
  }
  source.Sheets(1).Storage().MergeCells(TRect{2, 2, 3, 3}, true);
  source.SetActiveSheet(1);
  Workbook copy;
  copy.Assign(source);
  EXPECT_EQ(Captions(copy), (std::vector<std::string>{"Sheet1", "Data"}));
  EXPECT_EQ(copy.ActivePage(), 1);
  EXPECT_EQ(copy.Sheets(1).Storage().CellRec(0, 0).Text, "hello");
  const StyleEntry* bold = copy.Sheets(1).Storage().CellStyleEntry(1, 0);
  EXPECT_TRUE(copy.StyleCache().Owns(bold));
  EXPECT_EQ(bold->Font->Style, kFontBold);
  EXPECT_EQ(copy.Sheets(1).Storage().MergedCells().Count(), 1);
  copy.ClearBook();
  EXPECT_EQ(copy.PageCount(), 0);
  EXPECT_EQ(copy.StyleCache().EntryCount(), 1);
  EXPECT_EQ(copy.StyleCache().DefaultEntry()->RefCount, 1);
  EXPECT_EQ(copy.History().UndoCount(), 0);
}

TEST(Book, FilesWithoutHandlers) {
  Workbook book;
  try {
    book.LoadFromFile("no-such-file.xls");
    FAIL();
  } catch (const ESpreadSheetError& e) {
    EXPECT_STREQ(e.what(), "Invalid file no-such-file.xls name");
  }
  EXPECT_THROW(book.SaveToFile("out.xls"), ESpreadSheetError);
}

TEST(Book, ReadOnlyFlagsTheDefaultStyle) {
  Workbook book;
  book.SetReadOnly(true);
  EXPECT_TRUE(book.StyleCache().DefaultEntry()->Flags & kStyleReadOnly);
  book.SetReadOnly(false);
  EXPECT_FALSE(book.StyleCache().DefaultEntry()->Flags & kStyleReadOnly);
}

}  // namespace
}  // namespace workbook

namespace workbook {
namespace {

TEST(BookBuilding, ReaderFillsABookThroughTheInterfaces) {
  Workbook book;
  book.ClearBook();
  ISpreadSheetBook& intf = book;
  intf.BeginUpdate();
  IBookSheet& sheet = intf.AddSheetIntf("Imported");
  sheet.SetDefaultSize(0, 70);
  sheet.SetHeaderEntry(0, 2, false, false, 33);
  sheet.SetHeaderEntry(1, 4, true, true, 40);
  sheet.SetCapacity(30, 70000);
  sheet.MergeCells(TRect{0, 0, 1, 0}, true);
  sheet.SetViewOptions(TRect{3, 3, 3, 3}, true, false, false);
  sheet.SetProtected(true);
  intf.GetCell(0, 5, 5)->SetText("cell");
  intf.SetProtected(true);
  intf.SetPageVisible(0, true);
  ColorPalette palette = DefaultPalette();
  palette[0] = RGBColor(1, 2, 3);
  intf.SetPalette(palette);
  StyleEntry entry;
  entry.HorzAlign = haRIGHT;
  entry.WordBreak = true;
  TSSFontRec font;
  font.Name = "Arial";
  font.Size = 10;
  TSSFontRec* ownFont = book.StyleCache().DefaultEntry()->Font;
  intf.SetDefaultStyleEntry(entry, font);
  intf.EndUpdate();

  EXPECT_EQ(intf.PageCount(), 1);
  TSSBookSheet& s = book.Sheets(0);
  EXPECT_EQ(s.Caption(), "Imported");
  EXPECT_EQ(s.ColumnHeader().Size(0), 70);
  EXPECT_FALSE(s.ColumnHeader().IsVisible(2));
  EXPECT_EQ(s.ColumnHeader().Entry(2).Size, 33);
  EXPECT_FALSE(s.ColumnHeader().IsProtectionLocked(2));
  EXPECT_EQ(s.RowHeader().Size(4), 40);
  EXPECT_GE(s.Storage().RowCapacity(), 70000);
  EXPECT_EQ(s.Storage().MergedCells().Count(), 1);
  EXPECT_EQ(s.Selection(), (TRect{3, 3, 3, 3}));
  EXPECT_TRUE(s.ShowFormulas);
  EXPECT_FALSE(s.ShowGrid);
  EXPECT_TRUE(s.SheetProtected);
  EXPECT_TRUE(book.Protected);
  EXPECT_EQ(s.Storage().CellRec(5, 5).Text, "cell");
  EXPECT_EQ(book.Palette()[0], RGBColor(1, 2, 3));
  const StyleEntry* def = book.StyleCache().DefaultEntry();
  EXPECT_EQ(def->HorzAlign, haRIGHT);
  EXPECT_EQ(def->Font, ownFont);  // the same record, refreshed
  EXPECT_EQ(def->Font->Name, "Arial");
  EXPECT_EQ(book.DefaultStyle().HorzTextAlign(), haRIGHT);
  EXPECT_THROW(intf.GetCell(3, 0, 0), ESpreadSheetError);
  // A file asking for absurd capacities is bounded rather than trusted.
  sheet.SetCapacity(-5, -5);
  EXPECT_GE(s.Storage().RowCapacity(), 70000);
}

}  // namespace
}  // namespace workbook

namespace workbook {
namespace {

class FakeReader : public WorkbookReader {
 public:
  bool IsWorkbook() override { return workbook; }
  void Read(ISpreadSheetBook& book, const std::function<void(uint8_t)>& progress) override {
    progress(0);
    IBookSheet& sheet = book.AddSheetIntf("Loaded");
    book.GetCell(0, 0, 0)->SetText("=1+1");
    book.GetCell(0, 1, 0)->SetText("text");
    sheet.SetHeaderEntry(0, 1, true, true, 50);
    book.AddSheetIntf("Second");
    if (fail) throw std::runtime_error("truncated record");
    progress(100);
  }
  std::vector<std::string> Warnings() const override { return warnings; }
  bool workbook = true, fail = false;
  std::vector<std::string> warnings;
};

TEST(BookLoading, ReaderFillsAClearedBook) {
  Workbook book;
  book.ActiveSheet()->CellObject(5, 5)->SetText("old");
  book.SetReadOnly(true);
  std::vector<int> progress;
  book.events.OnProgress = [&](TCustomSpreadSheetBook&, uint8_t p) { progress.push_back(p); };
  FakeReader reader;
  book.LoadFromReader(reader);
  ASSERT_EQ(book.PageCount(), 2);
  EXPECT_EQ(book.Sheets(0).Caption(), "Loaded");
  EXPECT_EQ(book.Sheets(0).Storage().CellRec(1, 0).Text, "text");
  EXPECT_EQ(book.Sheets(0).ColumnHeader().Size(1), 50);
  EXPECT_EQ(book.ActivePage(), 0);
  EXPECT_EQ(progress, (std::vector<int>{0, 100}));
  EXPECT_FALSE(book.ReadOnly());
  EXPECT_FALSE(book.Loading());
  EXPECT_FALSE(book.IsLocked());
  EXPECT_EQ(book.History().UndoCount(), 0);
  EXPECT_FALSE(book.History().IsSuspended());
  EXPECT_FALSE(book.Modified());
}

TEST(BookLoading, FailuresAreClearAndRestoreTheBook) {
  Workbook book;
  FakeReader notABook;
  notABook.workbook = false;
  try {
    book.LoadFromReader(notABook);
    FAIL();
  } catch (const ESpreadSheetError& e) {
    EXPECT_STREQ(e.what(), "Invalid stream format");
  }
  EXPECT_EQ(book.PageCount(), 1);  // checked before anything was cleared
  // Warnings do not fail the load; the book keeps them until the next load.
  FakeReader warned;
  warned.warnings = {"2 formulas use functions this program does not know"};
  ASSERT_NO_THROW(book.LoadFromReader(warned));
  EXPECT_EQ(book.LoadWarnings(), warned.warnings);
  EXPECT_EQ(book.Sheets(0).Caption(), "Loaded");
  FakeReader broken;
  broken.fail = true;
  EXPECT_THROW(book.LoadFromReader(broken), std::runtime_error);
  EXPECT_TRUE(book.LoadWarnings().empty());
  EXPECT_FALSE(book.IsLocked());
  EXPECT_FALSE(book.Loading());
  EXPECT_FALSE(book.History().IsSuspended());
  // Still usable afterwards.
  book.AddSheet();
  book.Sheets(book.PageCount() - 1).CellObject(0, 0)->SetText("again");
  EXPECT_EQ(book.History().UndoCount(), 1);
}

}  // namespace
}  // namespace workbook

namespace workbook {
namespace {

// Records what the book asks of its formula cache.
class RecordingCache : public FormulaEngine {
 public:
  void Remove(FormulaHandle*) override {}
  void SetFormula(TSSDataStorage&, int32_t, int32_t) override { ++compiled; }
  FormulaHandle* Clone(FormulaHandle*, TSSDataStorage&) override { return nullptr; }
  std::string FormulaText(FormulaHandle*) override { return ""; }
  std::string FormulaDisplayText(FormulaHandle*) override { return ""; }
  int RecalculateAll() override {
    ++recalcs;
    return lock > 0 ? 0 : 1;
  }
  void SheetRemoved(int32_t index) override { calls.push_back("removed " + std::to_string(index)); }
  void SwapSheets(int32_t a, int32_t b) override {
    calls.push_back("swap " + std::to_string(a) + " " + std::to_string(b));
  }
  void ColumnsShifted(int32_t sheet, int32_t at, int32_t count) override {
    calls.push_back("cols " + std::to_string(sheet) + " " + std::to_string(at) + " " +
                    std::to_string(count));
  }
  void RowsShifted(int32_t sheet, int32_t at, int32_t count) override {
    calls.push_back("rows " + std::to_string(sheet) + " " + std::to_string(at) + " " +
                    std::to_string(count));
  }
  void Lock() override { ++lock; }
  void Unlock() override {
    if (lock > 0) --lock;
  }
  int LockCount() const override { return lock; }
  int compiled = 0, recalcs = 0, lock = 0;
  std::vector<std::string> calls;
};

TEST(BookFormulaSeam, TheBookDrivesItsFormulaCache) {
  Workbook book;
  auto owned = std::make_unique<RecordingCache>();
  RecordingCache& cache = *owned;
  book.SetFormulaCache(std::move(owned));
  book.AddSheet();
  int afterCalc = 0;
  book.events.OnAfterCalculation = [&](TCustomSpreadSheetBook& b) {
    ++afterCalc;
    EXPECT_TRUE(b.IsLocked());  // handlers run under the lock
  };
  book.ActiveSheet()->CellObject(0, 0)->SetText("=1+1");
  EXPECT_EQ(cache.compiled, 1);
  EXPECT_GE(afterCalc, 1);
  const int before = cache.recalcs;
  book.BeginUpdate();
  book.Refresh();  // held back while locked
  EXPECT_EQ(cache.recalcs, before);
  EXPECT_EQ(cache.lock, 1);
  book.EndUpdate();  // the end of the lock refreshes
  EXPECT_EQ(cache.lock, 0);
  EXPECT_GT(cache.recalcs, before);
  book.SetAutoRecalc(false);
  const int manual = cache.recalcs;
  book.ActiveSheet()->CellObject(0, 1)->SetText("x");
  EXPECT_EQ(cache.recalcs, manual);
  book.KeyDown(kKeyF9, false, false);
  EXPECT_EQ(cache.recalcs, manual + 1);
  cache.calls.clear();
  book.ActiveSheet()->InsertCells(TRect{2, 0, 3, 0}, 2);
  book.ActiveSheet()->DeleteCells(TRect{0, 4, 0, 4}, 3);
  book.ExchangeSheets(0, 1);
  book.DeleteSheet(1);
  EXPECT_EQ(cache.calls,
            (std::vector<std::string>{"cols 0 2 2", "rows 0 4 -1", "swap 0 1", "removed 1"}));
}

}  // namespace
}  // namespace workbook
