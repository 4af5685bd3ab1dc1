#pragma once
// A cell as an undo action keeps it, and the two steps that take a cell out of a storage and
// put it back exactly.
#include <cstdint>
#include <string>
#include <vector>

#include "workbook/CellValueTypes.h"
#include "workbook/SSStyleTypes.h"

namespace workbook {

class TSSDataStorage;

// One cell as an action keeps it: content and every style field (the font by value).
struct TStoreCellRec {
  std::string Text;
  uint8_t DataType = kCellText;
  double Value = 0;          // the exact number of a number cell
  bool DerivedText = false;  // a number whose text is its own decimal text (Text left empty)
  StyleEntry Style;          // Font is null; the font fields follow
  std::string FontName;
  TSSColor FontColor = 0;
  uint8_t FontStyle = 0;
  uint8_t FontCharset = 1;
  uint8_t FontSize = 8;
};
using TCellsData = std::vector<std::vector<TStoreCellRec>>;  // one array per column

TStoreCellRec CaptureCell(TSSDataStorage& storage, int32_t col, int32_t row);
// Writes a stored cell back: content (a formula text becomes a formula again), then the whole
// style, then a cell-change notification.
void RestoreCell(TSSDataStorage& storage, int32_t col, int32_t row, const TStoreCellRec& cell);

}  // namespace workbook
