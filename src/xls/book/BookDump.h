#pragma once
// Text and JSON dumps of a whole book, as `sstool dump` prints them and the interop tests
// compare with what other readers find.
//
// JSON: the schema is documented in docs/sstool-json.md. In short, {"sheets":[{"name",
// "visible","cells":[{"ref","col","row","kind","edit","display","result":{"type","value"},
// "font":{...}}],"merged","colWidths","rowHeights","hiddenCols","hiddenRows"}],"names"}.
// "result" is the engine's value (never read back from the display text); numbers are the
// shortest text that reads back as the same double; texts are converted to UTF-8.
#include <string>

namespace workbook {
class TCustomSpreadSheetBook;
}

namespace xls {

std::string DumpJson(workbook::TCustomSpreadSheetBook& book);
std::string DumpText(workbook::TCustomSpreadSheetBook& book);
// A JSON string literal of an 8-bit system text (quotes included).
std::string JsonString(const std::string& systemText);
// The shortest round-trip form; non-finite values (which JSON cannot hold) as null.
std::string JsonNumber(double value);

}  // namespace xls
