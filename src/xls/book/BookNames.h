#pragma once
// The defined names of a book as the file code sees them: from the formula engine's cache
// when the book runs the engine, else from any installed formula cache that offers
// workbook::DefinedNames; a book with neither has no names.
#include <cstddef>
#include <vector>

#include "workbook/DefinedNames.h"

namespace workbook {
class TCustomSpreadSheetBook;
}

namespace xls {

std::vector<workbook::DefinedNameRecord> BookNames(workbook::TCustomSpreadSheetBook& book);
// Adds a name with the cache's checks; false when refused or when the book keeps no names.
bool AddBookName(workbook::TCustomSpreadSheetBook& book, const workbook::DefinedNameRecord& name);

}  // namespace xls
