#include "view/TSpreadSheetBook.h"

namespace view {

void TSpreadSheetBook::SetColHeaderHeight(int height) {
  if (height > 0) colHeaderHeight_ = height;
}

void TSpreadSheetBook::SetRowHeaderWidth(int width) {
  if (width > 0) rowHeaderWidth_ = width;
}

TSpreadSheet::TSpreadSheet() { ShowCaptionBar = false; }

}  // namespace view
