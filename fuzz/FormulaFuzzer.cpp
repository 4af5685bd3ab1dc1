// Fuzzes the formula engine from both ends: the first byte chooses between formula text
// (parsed, evaluated, regenerated, repaired after insertions and deletions) and a raw token
// stream as a workbook file might carry it. Nothing may crash, hang or grow without bound.
#include <cstddef>
#include <cstdint>
#include <string>

#include "formulas/FormulaTestBook.h"  // the in-memory book of the tests

using formulas::test::FormulaTestBook;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1 || size > 4096) return 0;
  const uint8_t mode = data[0];
  FormulaTestBook book;
  book.AddSheet("My Data");
  book.SetR1C1((mode & 2) != 0);
  book.Set("A1", "1");
  book.Set("A2", "x");
  book.Set("'My Data'!B2", "3");
  book.Set("B1", "=A1+1");
  book.Cache().AddName("Rate", 0, true, workbook::TRect{0, 0, 0, 1});
  formulas::TSSFormulasCache& cache = book.Cache();
  formulas::FormulaEntry* entry = nullptr;
  if ((mode & 1) == 0) {
    const std::string text = "=" + std::string(reinterpret_cast<const char*>(data + 1), size - 1);
    book.Set("C3", text);
    entry = book.Entry("C3");
    // A second formula that reads the first, so that on-demand evaluation runs too.
    book.Set("D4", "=C3&B1");
  } else {
    formulas::FormulaEntry e;
    e.Col = 2;
    e.Row = 2;
    e.Tokens = formulas::TokenBlock(std::span<const uint8_t>(data + 1, size - 1));
    entry = cache.Add(std::move(e));
    book.WriteCell(0, 2, 2, "=?", formulas::CellDataType::Formula, entry);
  }
  if (entry != nullptr) {
    cache.FormulaDisplayText(entry, true);
    cache.FormulaText(*entry);
    cache.CheckPastedReferences(*entry);
  }
  cache.RecalculateAll();
  book.Shown("D4");
  cache.AdjustForInsertDelete(0, workbook::TRect{1, 0, 1, workbook::kFarEdge}, true,
                              (mode & 4) != 0);
  book.MoveCells(0, true, (mode & 4) != 0, 1, 1);
  cache.AdjustForInsertDelete(0, workbook::TRect{0, 1, workbook::kFarEdge, 2}, false,
                              (mode & 8) != 0);
  book.MoveCells(0, false, (mode & 8) != 0, 1, 2);
  cache.RecalculateAll();
  return 0;
}
