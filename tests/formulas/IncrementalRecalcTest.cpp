// Incremental recalculation gives exactly what a full recalculation gives: random books under
// random sequences of edits, insertions, deletions, sorts, pastes, sheet exchanges, undo and
// redo, each step checked against a copy of the book calculated from scratch.
//
// SS_RECALC_SEEDS=<n> runs n seeds instead of the suite's 200.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <random>
#include <tuple>

#include "formulas/BookFormulaCache.h"
#include "platform/Clock.h"
#include "platform/Locale.h"
#include "support/TestComposition.h"
#include "workbook/SSUtils.h"
#include "workbook/TCustomSpreadSheetBook.h"
#include "workbook/TSSBookSheet.h"
#include "workbook/TSSCellObject.h"
#include "workbook/TSSClipboard.h"
#include "workbook/TSSDataStorage.h"
#include "workbook/TSpreadSheetHistory.h"
#include "workbook/Workbook.h"

namespace formulas::test {
namespace {

using workbook::TRect;

constexpr int32_t kCols = 6;
constexpr int32_t kRows = 8;

// A copy of a book's cells, names and formulas (added in the original's registration order, so
// that cycles are entered where the original enters them), with its own cache.
class BookCopy : public FormulaBook {
 public:
  BookCopy(workbook::TCustomSpreadSheetBook& book, TSSFormulasCache& engine) : cache_(*this) {
    for (int i = 0; i < book.PageCount(); ++i) {
      workbook::TSSDataStorage& storage = book.Sheets(i).Storage();
      captions_.push_back(book.Sheets(i).Caption());
      used_.push_back(TRect{0, 0, storage.UsedColCount() - 1, storage.UsedRowCount() - 1});
      for (int32_t col = 0; col < storage.UsedColCount(); ++col) {
        for (int32_t row = 0; row < storage.UsedRowCount(); ++row) {
          const workbook::TSSCellRec rec = storage.CellRec(col, row);
          if (rec.DataType == workbook::kCellFormula || rec.Text.empty()) continue;
          cells_[{static_cast<uint16_t>(i), col, row}] = Cell{
              rec.Text,
              rec.DataType == workbook::kCellNumber ? CellDataType::Number : CellDataType::Text,
              nullptr};
        }
      }
    }
    cache_.AssignNames(engine.Names());
    for (FormulaEntry* e : engine.Entries()) {
      FormulaEntry* copy = cache_.Clone(*e);
      copy->Result.Clear();
      cells_[{e->Sheet, e->Col, e->Row}] = Cell{std::string(), CellDataType::Formula, copy};
      copies_.push_back(copy);
    }
    cache_.RecalculateAll();
  }
  TSSFormulasCache& Cache() { return cache_; }
  const std::vector<FormulaEntry*>& Copies() const { return copies_; }

  int32_t SheetCount() const override { return static_cast<int32_t>(captions_.size()); }
  std::string SheetCaption(int32_t index) const override { return captions_.at(index); }
  bool R1C1ReferenceStyle() const override { return false; }
  bool ShowFormulas() const override { return false; }
  TRect UsedArea(uint16_t sheet) const override {
    return sheet < used_.size() ? used_[sheet] : TRect{0, 0, -1, -1};
  }
  bool ReadCell(uint16_t sheet, int32_t col, int32_t row, CellView& view) override {
    auto it = cells_.find({sheet, col, row});
    if (it == cells_.end()) return false;
    view.text = it->second.text;
    view.dataType = it->second.type;
    view.formula = it->second.formula;
    return true;
  }
  void WriteCell(uint16_t, int32_t, int32_t, const std::string&, CellDataType,
                 FormulaEntry*) override {}
  std::string FormatCellNumber(uint16_t, int32_t, int32_t, double value) override {
    return workbook::NumberText(value);
  }
  void ShowMessage(std::string_view) override {}

 private:
  struct Cell {
    std::string text;
    CellDataType type;
    FormulaEntry* formula;
  };
  std::vector<std::string> captions_;
  std::vector<TRect> used_;
  std::map<std::tuple<uint16_t, int32_t, int32_t>, Cell> cells_;
  std::vector<FormulaEntry*> copies_;
  TSSFormulasCache cache_;  // last: destroyed first
};

class RandomBook {
 public:
  explicit RandomBook(uint32_t seed) : rng_(seed) {
    book_ = std::make_unique<workbook::Workbook>();
    book_->AddSheet("Other");
    Engine().AddName("Rate", 0, true, TRect{1, 1, 1, 1});
    Engine().AddName("Block", 1, true, TRect{0, 0, 2, 3});
    for (int i = 0; i < 24; ++i) Enter();
  }

  TSSFormulasCache& Engine() {
    return static_cast<BookFormulaCache*>(book_->FormulaCache())->Engine();
  }

  // One random operation; returns what it did, for the failure message.
  std::string Step() {
    const int op = Pick(0, 99);
    const int sheet = Pick(0, 1);
    workbook::TSSBookSheet& s = book_->Sheets(sheet);
    const TRect r = Rect();
    std::string what;
    try {
      if (op < 45) {
        what = Enter();
      } else if (op < 52) {
        what = "clear " + Describe(sheet, r);
        s.ClearCells(r, Pick(0, 1) == 1);
      } else if (op < 60) {
        const int mode = Pick(0, 3);
        what = "insert mode " + std::to_string(mode) + " " + Describe(sheet, r);
        s.InsertCells(r, mode);
      } else if (op < 68) {
        const int mode = Pick(0, 3);
        what = "delete mode " + std::to_string(mode) + " " + Describe(sheet, r);
        s.DeleteCells(r, mode);
      } else if (op < 73) {
        what = "sort " + Describe(sheet, r);
        s.SortCells(r, {Pick(0, 1) == 1});
      } else if (op < 80) {
        const bool cut = Pick(0, 3) == 0;
        const int32_t col = Pick(0, kCols - 1), row = Pick(0, kRows - 1);
        what = std::string(cut ? "cut " : "copy ") + Describe(sheet, r) + " to " +
               std::to_string(col) + "," + std::to_string(row);
        s.CopyToClipboard(r, cut);
        s.Paste(col, row);
      } else if (op < 89) {
        what = "undo";
        book_->History().Undo();
      } else if (op < 97) {
        what = "redo";
        book_->History().Redo();
      } else {
        what = "exchange sheets";
        book_->ExchangeSheets(0, 1);
      }
    } catch (const std::exception& e) {
      what += std::string(" (refused: ") + e.what() + ")";
    }
    now_ += 0.25;  // volatile formulas must show the new time
    book_->Recalculate();
    return what;
  }

  // The incremental results against the copy's full recalculation.
  ::testing::AssertionResult SameAsFullRecalculation() {
    TSSFormulasCache& engine = Engine();
    const std::vector<FormulaEntry*> entries = engine.Entries();
    for (FormulaEntry* e : entries) {
      workbook::TSSDataStorage& storage = book_->Sheets(e->Sheet).Storage();
      if (storage.CellFormula(e->Col, e->Row) != e)
        return ::testing::AssertionFailure() << "an entry no cell points at: " << Where(*e);
    }
    BookCopy copy(*book_, engine);
    for (size_t i = 0; i < entries.size(); ++i) {
      const FormulaEntry& a = *entries[i];
      const FormulaEntry& b = *copy.Copies()[i];
      if (a.State != b.State || !(a.Result == b.Result))
        return ::testing::AssertionFailure()
               << Where(a) << " " << engine.FormulaText(a) << ": incremental " << Shown(engine, a)
               << ", full " << Shown(copy.Cache(), b);
    }
    if (engine.CycleFlag() != copy.Cache().CycleFlag())
      return ::testing::AssertionFailure()
             << "cycle flag " << engine.CycleFlag() << ", full " << copy.Cache().CycleFlag();
    return ::testing::AssertionSuccess();
  }

  size_t incremental = 0, full = 0;  // how the steps were recalculated
  void Count() { (Engine().LastWasFull() ? full : incremental) += 1; }

 private:
  int Pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }
  TRect Rect() {
    const int32_t left = Pick(0, kCols - 1), top = Pick(0, kRows - 1);
    return TRect{left, top, std::min(kCols - 1, left + Pick(0, 2)),
                 std::min(kRows - 1, top + Pick(0, 3))};
  }
  std::string Ref() {
    std::string ref;
    if (Pick(0, 3) == 0) ref += '$';
    ref += static_cast<char>('A' + Pick(0, kCols - 1));
    if (Pick(0, 3) == 0) ref += '$';
    return ref + std::to_string(Pick(1, kRows));
  }
  std::string Formula(int sheet) {
    const std::string other = sheet == 0 ? "Other!" : book_->Sheets(0).Caption() + "!";
    switch (Pick(0, 11)) {
      case 0:
        return "=" + Ref() + "+" + Ref();
      case 1:
        return "=SUM(" + Ref() + ":" + Ref() + ")";
      case 2:
        return "=" + other + Ref() + "*2";
      case 3:
        return "=SUM(" + other + "A1:C4)+" + Ref();
      case 4:
        return "=SUM(Block)+Rate";
      case 5:
        return "=IF(" + Ref() + ">3," + Ref() + ",\"low\")";
      case 6:
        return "=" + Ref() + "&\"x\"";
      case 7:
        return "=1/" + Ref();
      case 8:
        return "=NOW()+" + Ref();
      case 9:
        return "=IF(RAND()<2," + Ref() + ",0)";
      case 10:
        return "=COUNT(" + Ref() + ":" + Ref() + ")";
      default:
        return "=" + Ref();
    }
  }
  std::string Enter() {
    const int sheet = Pick(0, 1);
    const int32_t col = Pick(0, kCols - 1), row = Pick(0, kRows - 1);
    std::string text;
    const int kind = Pick(0, 9);
    if (kind < 4)
      text = std::to_string(Pick(-3, 12));
    else if (kind == 4)
      text = Pick(0, 1) ? "abc" : "TRUE";
    else if (kind == 5)
      text = "";
    else
      text = Formula(sheet);
    book_->Sheets(sheet).CellObject(col, row)->SetText(text);
    return "enter " + text + " at " + std::to_string(sheet) + ":" + std::to_string(col) + "," +
           std::to_string(row);
  }
  static std::string Describe(int sheet, const TRect& r) {
    return std::to_string(sheet) + ":" + std::to_string(r.Left) + "," + std::to_string(r.Top) +
           "-" + std::to_string(r.Right) + "," + std::to_string(r.Bottom);
  }
  static std::string Where(const FormulaEntry& e) {
    return std::to_string(e.Sheet) + ":" + std::to_string(e.Col) + "," + std::to_string(e.Row);
  }
  static std::string Shown(TSSFormulasCache& cache, const FormulaEntry& e) {
    if (e.Result.Empty()) return "(no result)";
    return cache.FormulaDisplayText(const_cast<FormulaEntry*>(&e), false);
  }

  std::mt19937 rng_;
  double now_ = 45000.5;
  platform::ScopedLocale locale_{platform::LocaleSettings::EnglishUS()};
  workbook::MemoryClipboard clipboard_;
  workbook::ScopedBookServices services_{[this] {
    workbook::BookServices services =
        testsupport::WithFormulaEngine(testsupport::ModelServices(clipboard_));
    services.showMessage = [](std::string_view) {};
    return services;
  }()};
  struct NowPin {
    explicit NowPin(double& now) {
      platform::SetNowOverride([&now] { return now; });
    }
    ~NowPin() { platform::SetNowOverride(nullptr); }
  } pin_{now_};
  std::unique_ptr<workbook::Workbook> book_;
};

TEST(IncrementalRecalcTest, RandomEditsGiveTheResultsOfAFullRecalculation) {
  int seeds = 200;
  if (const char* env = std::getenv("SS_RECALC_SEEDS")) seeds = std::max(1, std::atoi(env));
  size_t incremental = 0, full = 0;
  for (int seed = 1; seed <= seeds; ++seed) {
    RandomBook book(static_cast<uint32_t>(seed));
    book.Count();
    ASSERT_TRUE(book.SameAsFullRecalculation()) << "seed " << seed << " after building";
    for (int step = 0; step < 40; ++step) {
      const std::string what = book.Step();
      book.Count();
      ASSERT_TRUE(book.SameAsFullRecalculation())
          << "seed " << seed << " step " << step << ": " << what;
    }
    incremental += book.incremental;
    full += book.full;
  }
  std::printf("[ recalc ] %zu steps incremental, %zu full\n", incremental, full);
  // The test is only worth its time when the incremental path is what ran most of the time.
  EXPECT_GT(incremental, full / 4) << incremental << " incremental, " << full << " full";
}

}  // namespace
}  // namespace formulas::test
