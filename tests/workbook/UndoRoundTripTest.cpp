// Random sequences of sheet operations: undoing all of them gives back the exact state before,
// redoing all gives back the state after.
#include <gtest/gtest.h>

#include <random>

#include "support/TestComposition.h"
#include "workbook/TCustomSpreadSheetBook.h"
#include "workbook/TSSBookSheet.h"
#include "workbook/TSSCellObject.h"
#include "workbook/TSSClipboard.h"
#include "workbook/TestLocales.h"
#include "workbook/Workbook.h"

namespace workbook {
namespace {

constexpr int32_t kSize = 8;

std::string Describe(TSSDataStorage& st, int32_t col, int32_t row) {
  const TSSCellRec rec = st.CellRec(col, row);
  const StyleEntry& e = *rec.Style;
  std::string s = rec.Text + "|" + std::to_string(rec.DataType) + "|" + std::to_string(rec.Value);
  s += "|f" + std::to_string(e.Format) + "|h" + std::to_string(e.HorzAlign) + "|w" +
       std::to_string(e.WordBreak) + "|x" + std::to_string(e.Flags) + "|b" +
       std::to_string(e.BackgroundColor) + "|p" + std::to_string(e.FillStyle);
  for (const auto& edge : e.Borders)
    s += "|e" + std::to_string(edge.Style) + ":" + std::to_string(edge.Color);
  s +=
      "|" + e.Font->Name + ":" + std::to_string(e.Font->Style) + ":" + std::to_string(e.Font->Size);
  return s;
}

std::vector<std::string> State(TCustomSpreadSheetBook& book, TSSBookSheet& sheet) {
  TSSDataStorage& st = sheet.Storage();
  std::vector<std::string> out;
  for (int32_t col = 0; col < kSize + 4; ++col)
    for (int32_t row = 0; row < kSize + 4; ++row)
      out.push_back(std::to_string(col) + "," + std::to_string(row) + " " + Describe(st, col, row));
  std::vector<std::string> entries;
  for (int i = 0; i < book.StyleCache().EntryCount(); ++i) {
    const StyleEntry* e = book.StyleCache().EntryAt(i);
    entries.push_back(std::to_string(e->RefCount) + " " + std::to_string(e->Format) + " " +
                      std::to_string(e->Flags) + " " + std::to_string(e->BackgroundColor) + " " +
                      std::to_string(e->Font->Style));
  }
  std::sort(entries.begin(), entries.end());
  out.insert(out.end(), entries.begin(), entries.end());
  for (const TRect& a : st.MergedCells().AllAreas())
    out.push_back("area " + std::to_string(a.Left) + "," + std::to_string(a.Top) + "," +
                  std::to_string(a.Right) + "," + std::to_string(a.Bottom));
  std::sort(out.end() - st.MergedCells().Count(), out.end());
  for (int32_t i = 0; i < kSize + 4; ++i)
    out.push_back("size " + std::to_string(i) + " " + std::to_string(sheet.ColumnHeader().Size(i)) +
                  " " + std::to_string(sheet.RowHeader().Size(i)));
  return out;
}

std::string FirstDifference(const std::vector<std::string>& a, const std::vector<std::string>& b) {
  for (size_t i = 0; i < std::min(a.size(), b.size()); ++i)
    if (a[i] != b[i]) return a[i] + "  <>  " + b[i];
  if (a.size() != b.size())
    return "sizes " + std::to_string(a.size()) + " vs " + std::to_string(b.size());
  return "";
}

class UndoRoundTrip : public ::testing::TestWithParam<int> {
 protected:
  TRect RandomRect(std::mt19937& rng) {
    std::uniform_int_distribution<int32_t> d(0, kSize - 1);
    const int32_t l = d(rng), t = d(rng);
    std::uniform_int_distribution<int32_t> e(0, 2);
    return TRect{l, t, l + e(rng), t + e(rng)};
  }

  // One random operation; operations that the model refuses (merged areas in the way) are
  // skipped, since a refused operation records nothing.
  void RandomOperation(std::mt19937& rng, TSSBookSheet& sheet, std::string& log) {
    std::uniform_int_distribution<int> pick(0, 13);
    std::uniform_int_distribution<int32_t> cell(0, kSize - 1);
    const int32_t col = cell(rng), row = cell(rng);
    static const char* const kTexts[] = {"abc",    "12.5", "=1+2", "1/2/2004",
                                         "$1,000", "TRUE", "",     "7"};
    try {
      switch (pick(rng)) {
        case 0:
        case 1: {
          const char* text = kTexts[rng() % 8];
          log += " text" + std::to_string(col) + "," + std::to_string(row) + "=" + text;
          sheet.CellObject(col, row)->SetText(text);
          break;
        }
        case 2: {
          log += " bold";
          auto c = sheet.CellObject(col, row);
          c->Style().Font().SetStyle(static_cast<uint8_t>(rng() % 4));
          c->Style().Brush().SetBackgroundColor(static_cast<int>(rng() % 6));
          break;
        }
        case 3:
          log += " border";
          sheet.CellObject(col, row)
              ->Style()
              .Borders()
              .Edge(static_cast<EdgeSide>(rng() % 4))
              .SetStyle(lsThin);
          break;
        case 4:
          log += " merge";
          sheet.Storage().MergeCells(RandomRect(rng), rng() % 3 != 0);
          break;
        case 5:
          log += " clear";
          sheet.ClearCells(RandomRect(rng), rng() % 2 == 0);
          break;
        case 6:
        case 7: {
          const int mode = static_cast<int>(rng() % 4);
          log += " insert" + std::to_string(mode);
          sheet.InsertCells(RandomRect(rng), mode);
          break;
        }
        case 8:
        case 9: {
          const int mode = static_cast<int>(rng() % 4);
          log += " delete" + std::to_string(mode);
          sheet.DeleteCells(RandomRect(rng), mode);
          break;
        }
        case 10:
          log += " sort";
          sheet.SortCells(RandomRect(rng), {rng() % 2 == 0});
          break;
        case 11:
          log += " copypaste";
          sheet.CopyToClipboard(RandomRect(rng), rng() % 2 == 0);
          sheet.Paste(col, row);
          break;
        case 12:
          log += " number";
          sheet.Storage().StoreCellValue(col, row, 1.0 / (col + 1));
          break;
        default:
          log += " format";
          sheet.CellObject(col, row)->Style().SetFormat(static_cast<int>(rng() % 38));
          break;
      }
    } catch (const ESpreadSheetError&) {
      log += "(refused)";
    }
  }

  MemoryClipboard clipboard_;
  ScopedBookServices services_{testsupport::ModelServices(clipboard_)};  // before any book
};

TEST_P(UndoRoundTrip, UndoAllRestoresRedoAllReproduces) {
  platform::ScopedLocale locale(test::EnglishUS());
  std::mt19937 rng(static_cast<unsigned>(GetParam()));
  Workbook book;
  TSSBookSheet& sheet = *book.ActiveSheet();
  // A starting state with content, styles, sizes and an area.
  for (int32_t i = 0; i < kSize; ++i) sheet.CellObject(i, i)->SetText("start" + std::to_string(i));
  sheet.CellObject(2, 1)->Style().Font().SetStyle(kFontItalic);
  sheet.ColumnHeader().SetSize(3, 44);
  sheet.RowHeader().SetSize(2, 33);
  sheet.Storage().MergeCells(TRect{5, 0, 6, 0}, true);
  book.History().Clear();
  const auto before = State(book, sheet);
  std::string log;
  std::uniform_int_distribution<int> count(1, TCustomHistory::kLimit);
  const int steps = count(rng);
  // An operation adds at most two steps (cut and paste): stop before the oldest would go.
  for (int i = 0; i < steps && book.History().UndoCount() <= TCustomHistory::kLimit - 2; ++i)
    RandomOperation(rng, sheet, log);
  ASSERT_LE(book.History().UndoCount(), TCustomHistory::kLimit);
  const auto after = State(book, sheet);
  book.History().Undo(book.History().UndoCount());
  EXPECT_EQ(FirstDifference(State(book, sheet), before), "") << log;
  book.History().Redo(book.History().RedoCount());
  EXPECT_EQ(FirstDifference(State(book, sheet), after), "") << log;
  EXPECT_FALSE(book.IsLocked());
  EXPECT_FALSE(book.History().IsSuspended());
}

INSTANTIATE_TEST_SUITE_P(Seeds, UndoRoundTrip, ::testing::Range(1, 101));

}  // namespace
}  // namespace workbook
