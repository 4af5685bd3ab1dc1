#include "xls/book/BookNames.h"

#include "formulas/BookFormulaCache.h"
#include "workbook/TCustomSpreadSheetBook.h"

namespace xls {

std::vector<workbook::DefinedNameRecord> BookNames(workbook::TCustomSpreadSheetBook& book) {
  std::vector<workbook::DefinedNameRecord> out;
  if (auto* engine = dynamic_cast<formulas::BookFormulaCache*>(book.FormulaCache())) {
    for (const formulas::TSSNameDefinition& n : engine->Engine().Names())
      out.push_back({n.Name, n.Sheet, {n.Left, n.Top, n.Right, n.Bottom}, n.Deleted != 0});
  } else if (auto* names = dynamic_cast<workbook::DefinedNames*>(book.FormulaCache())) {
    for (size_t i = 0; i < names->DefinedNameCount(); ++i) out.push_back(names->DefinedName(i));
  }
  return out;
}

bool AddBookName(workbook::TCustomSpreadSheetBook& book, const workbook::DefinedNameRecord& name) {
  if (auto* engine = dynamic_cast<formulas::BookFormulaCache*>(book.FormulaCache()))
    return engine->Engine().AddName(name.Name, name.Sheet, true, name.Rect) >= 0;
  if (auto* names = dynamic_cast<workbook::DefinedNames*>(book.FormulaCache()))
    return names->AddDefinedName(name);
  return false;
}

}  // namespace xls
