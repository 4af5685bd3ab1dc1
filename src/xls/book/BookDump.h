#pragma once
// Text and JSON dumps of a whole book, as `sstool dump` prints them and the interop tests
// compare with what other readers find.
//
// JSON: {"sheets":[{"name","visible","cells":[{"ref","col","row","kind","edit","display",
// "result":{"type","value"},"font":{"name","height","bold","italic","underline","colorIndex"}}],"merged":["A1:B2"],"colWidths":{"3":120},"rowHeights":{"0":30},
// "hiddenCols":[..],"hiddenRows":[..]}],"names":[{"name","ref"}]}. Only non-empty cells;
// widths and heights only where they differ from the sheet's default; numbers with 17
// significant digits so that they read back exactly; texts converted to UTF-8.
#include <string>

namespace workbook {
class TCustomSpreadSheetBook;
}

namespace xls {

std::string DumpJson(workbook::TCustomSpreadSheetBook& book);
std::string DumpText(workbook::TCustomSpreadSheetBook& book);
// A JSON string literal of an 8-bit system text (quotes included).
std::string JsonString(const std::string& systemText);
// 17 significant digits; non-finite values (which JSON cannot hold) as null.
std::string JsonNumber(double value);

}  // namespace xls
