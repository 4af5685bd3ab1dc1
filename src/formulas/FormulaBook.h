#pragma once
// What the formula engine needs from the book that owns it. The book implements this over
// its sheets and cell storage; the tests implement it in memory.
//
// Cell records are read and written only through ReadCell / WriteCell, the same single
// write path every other change of a cell takes.
#include <cstdint>
#include <string>
#include <string_view>

#include "workbook/Geometry.h"

namespace formulas {

struct FormulaEntry;

// Data types of a cell record.
// LiteralText: a text kept exactly as a file stored it, which formulas see as text even when
// it reads as a number ("0001", "1/3").
enum class CellDataType : uint8_t { Text = 0, Formula = 1, Number = 2, LiteralText = 3 };

// A view of one cell record, valid until the next change of the book.
struct CellView {
  CellDataType dataType = CellDataType::Text;
  // The stored text (a formula cell: its formula text; empty when the cell keeps none and
  // its text is its entry's).
  std::string_view text;
  FormulaEntry* formula = nullptr;  // the entry of a formula cell
};

class FormulaBook {
 public:
  virtual ~FormulaBook() = default;

  virtual int32_t SheetCount() const = 0;
  // The sheet's caption as the user sees it (no quotes).
  virtual std::string SheetCaption(int32_t index) const = 0;
  virtual bool R1C1ReferenceStyle() const = 0;
  virtual bool ShowFormulas() const = 0;

  // An inclusive rectangle outside which every cell of the sheet is empty ((0, 0, -1, -1)
  // when the sheet is empty). Ranges are read inside it only, so a formula over a huge range
  // costs no more than the cells that exist.
  virtual workbook::TRect UsedArea(uint16_t sheet) const = 0;
  // False when the cell does not exist (an empty cell).
  virtual bool ReadCell(uint16_t sheet, int32_t col, int32_t row, CellView& cell) = 0;
  // A number cell whose text is derived from its value (as every number read from a file or
  // typed plainly): true with the exact value. Any other cell: false, and ReadCell tells the
  // rest. Lets evaluation skip building the number's text only to read it back.
  virtual bool ReadDerivedNumber(uint16_t sheet, int32_t col, int32_t row, double& value) {
    (void)sheet, (void)col, (void)row, (void)value;
    return false;
  }
  // ReadDerivedNumber for the cells (col, row) to (col + count - 1, row) at once, up to the
  // first that is no such number cell: how many values were read into `values`.
  virtual int32_t ReadDerivedNumbers(uint16_t sheet, int32_t col, int32_t row, int32_t count,
                                     double* values) {
    int32_t n = 0;
    while (n < count && ReadDerivedNumber(sheet, col + n, row, values[n])) ++n;
    return n;
  }
  // Writes a cell's text and data type; `formula` is the entry of a formula cell, else null.
  virtual void WriteCell(uint16_t sheet, int32_t col, int32_t row, const std::string& text,
                         CellDataType dataType, FormulaEntry* formula) = 0;

  // The display text of a number result under the cell's number format.
  virtual std::string FormatCellNumber(uint16_t sheet, int32_t col, int32_t row, double value) = 0;
  // A modal message with an OK button.
  virtual void ShowMessage(std::string_view message) = 0;
};

}  // namespace formulas
