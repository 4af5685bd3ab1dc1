#pragma once
// The cell record as the rest of the system sees it.
#include <string>

#include "workbook/CellValueTypes.h"
#include "workbook/SSIntf.h"
#include "workbook/SSStyleTypes.h"

namespace workbook {

struct TSSCellRec {
  // As entered or produced: for numbers the decimal text of the value, for formulas the
  // formula text with its "=".
  std::string Text;
  // The shared style entry; null only in records that callers build, where it means entry 0.
  StyleEntry* Style = nullptr;
  CellContentType DataType = kCellText;
  double Value = 0;                  // DataType number
  FormulaHandle* Formula = nullptr;  // DataType formula, owned by the formula cache
};

// Texts equal (case-sensitive), same style entry, same data type, values equal as doubles
// (formula records: the same formula entry).
inline bool SameCellRec(const TSSCellRec& a, const TSSCellRec& b) {
  return a.Text == b.Text && a.Style == b.Style && a.DataType == b.DataType && a.Value == b.Value &&
         a.Formula == b.Formula;
}

}  // namespace workbook
