#pragma once
// What the action bodies share: the window and book they run on, parameters read against the
// model's limits (checked before anything is allocated or changed), normalised rectangles,
// and guards that close every begin/end pair on every path.
#include <cstdint>
#include <string>

#include "plugin/ActionCatalogue.h"
#include "plugin/TNeoSpread.h"
#include "workbook/CellValueTypes.h"
#include "workbook/Errors.h"
#include "workbook/Geometry.h"
#include "workbook/KeyCodes.h"

namespace workbook {
class TSSBookSheet;
}

namespace plugin {

// The largest column and row indexes an action accepts: those of the workbook file (256
// columns, 65,536 rows), which is all the book can save. The cell grid and the header tables
// grow to the index they are given, so these bound what one host number can make the model
// allocate.
inline constexpr int32_t kMaxColumnIndex = 255;
inline constexpr int32_t kMaxRowIndex = 65535;
// Column widths and row heights are 16-bit pixel counts.
inline constexpr int32_t kMaxHeaderSize = 65535;

// Strict 32-bit decimal (empty replaced by `emptyDefault` when given), then range-checked;
// ParameterError otherwise.
int32_t ColumnParam(const std::string& text, const char* emptyDefault = nullptr);
int32_t RowParam(const std::string& text, const char* emptyDefault = nullptr);
int32_t SheetIndexParam(const std::string& text, const char* emptyDefault = nullptr);
int32_t HeaderSizeParam(const std::string& text, const char* emptyDefault);

// params[first .. first+3] as left, top, right, bottom with the range defaults 0, 0, 2, 2
// for empty texts; reversed corners are swapped.
workbook::TRect RangeParams(const ActionParams& params, size_t first);

// The active sheet of the window's book; the book always has one outside New's lock.
workbook::TSSBookSheet& ActiveSheet(TNeoSpread& spread);

// True while the window or the toolkit runs a modal dialog: actions that would destroy or
// replace the window or its book refuse then, so the dialog's caller never loses what it uses.
bool InModal(TNeoSpread& spread);

// The book's update lock, released on every path.
class BookUpdate {
 public:
  explicit BookUpdate(view::TSpreadSheetBook& book) : book_(book) { book_.BeginUpdate(); }
  ~BookUpdate() { book_.EndUpdate(); }
  BookUpdate(const BookUpdate&) = delete;
  BookUpdate& operator=(const BookUpdate&) = delete;

 private:
  view::TSpreadSheetBook& book_;
};

// The view repaints after an action changed the book's contents or display properties.
void ViewChanged(TNeoSpread& spread);

}  // namespace plugin
