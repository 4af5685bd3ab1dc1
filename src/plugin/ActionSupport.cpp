#include "plugin/ActionSupport.h"

#include <utility>

#include "plugin/TextConventions.h"
#include "ui/Backend.h"
#include "workbook/TSSBookSheet.h"

namespace plugin {

namespace {

int32_t Bounded(const std::string& text, const char* emptyDefault, int32_t max, const char* what) {
  int32_t value = emptyDefault != nullptr ? ParseIntParam(text, emptyDefault) : ParseIntParam(text);
  if (value < 0 || value > max) {
    throw ParameterError(std::string(what) + " " + std::to_string(value) + " is out of range");
  }
  return value;
}

}  // namespace

int32_t ColumnParam(const std::string& text, const char* emptyDefault) {
  return Bounded(text, emptyDefault, kMaxColumnIndex, "column");
}

int32_t RowParam(const std::string& text, const char* emptyDefault) {
  return Bounded(text, emptyDefault, kMaxRowIndex, "row");
}

int32_t SheetIndexParam(const std::string& text, const char* emptyDefault) {
  // Any 32-bit index is harmless here: the book checks it against its sheet count.
  return emptyDefault != nullptr ? ParseIntParam(text, emptyDefault) : ParseIntParam(text);
}

int32_t HeaderSizeParam(const std::string& text, const char* emptyDefault) {
  return Bounded(text, emptyDefault, kMaxHeaderSize, "size");
}

workbook::TRect RangeParams(const ActionParams& params, size_t first) {
  workbook::TRect r;
  r.Left = ColumnParam(params.at(first), "0");
  r.Top = RowParam(params.at(first + 1), "0");
  r.Right = ColumnParam(params.at(first + 2), "2");
  r.Bottom = RowParam(params.at(first + 3), "2");
  if (r.Left > r.Right) std::swap(r.Left, r.Right);
  if (r.Top > r.Bottom) std::swap(r.Top, r.Bottom);
  return r;
}

workbook::TSSBookSheet& ActiveSheet(TNeoSpread& spread) {
  workbook::TSSBookSheet* sheet = spread.Book().ActiveSheet();
  if (sheet == nullptr) throw ParameterError("the book has no active sheet");
  return *sheet;
}

bool InModal(TNeoSpread& spread) {
  return spread.InModalLoop() || ui::CurrentBackend().InModalDialog();
}

void ViewChanged(TNeoSpread& spread) { spread.BookView().BookChangedLater(); }

}  // namespace plugin
